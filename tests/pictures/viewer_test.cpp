// One viewer and the collection of them: name mapping, the browser formats,
// the registered extensions, the command-line rewriting, the long form of
// the executable's path, and the default-viewer and handler rules.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pictures/image_viewer.h"
#include "pictures/image_viewers.h"
#include "pictures/viewer_fixture.h"
#include "platform/shell/shell.h"
#include "runtime/error.h"
#include "settings/reg_settings.h"

namespace {

using lumivane::ImageViewer;
using lumivane::ImageViewers;
using runtime::Variant;
using runtime::VariantArray;
namespace shell = platform::shell;

class ViewerTest : public viewer_test::ViewerWorld {
 protected:
  void TearDown() override {
    EXPECT_TRUE(boxes->Log().empty()) << boxes->Log()[0].prompt;
    ViewerWorld::TearDown();
  }
  static runtime::Collection<VariantArray> Extensions(const std::vector<std::string>& names) {
    runtime::Collection<VariantArray> out;
    for (const auto& n : names) out.Add(VariantArray{Variant(n), Variant("")}, n);
    return out;
  }
  static std::vector<std::string> Names(const ImageViewers& viewers) {
    std::vector<std::string> out;
    for (const auto& v : viewers) out.push_back(v->ViewerName());
    return out;
  }
};

TEST_F(ViewerTest, NamesMapAndKeyTheCollectionInTheOrderAdded) {
  ImageViewers viewers;
  viewers.Add("mspaint.exe");
  viewers.Add("MSPAINT.EXE");  // only the exact spelling is mapped
  viewers.Add("ois.exe");
  viewers.Add("Zed", "zkey");
  viewers.Add("Alpha");
  EXPECT_EQ(Names(viewers), (std::vector<std::string>{"Paint", "MSPAINT.EXE", "Microsoft Office Picture Manager", "Zed",
                                                      "Alpha"}));  // never sorted
  EXPECT_EQ(viewers.Item("Paint")->ViewerName(), "Paint");
  EXPECT_EQ(viewers.Item("ZKEY")->ViewerName(), "Zed");  // keys are case-blind
  EXPECT_EQ(viewers.Item(2)->ViewerName(), "MSPAINT.EXE");
  EXPECT_EQ(viewers.Item(Variant(std::int32_t{5}))->ViewerName(), "Alpha");
}

TEST_F(ViewerTest, SecondEntryOfANameIsNotKeptButStillReturned) {
  ImageViewers viewers;
  auto first = viewers.Add("Paint");
  first->EXEName("first.exe");
  auto second = viewers.Add("mspaint.exe");  // maps onto the same key
  ASSERT_TRUE(second);
  EXPECT_NE(second, first);
  second->EXEName("second.exe");
  EXPECT_EQ(viewers.Count(), 1);
  EXPECT_EQ(viewers.Item("Paint")->EXEName(), "first.exe");
}

TEST_F(ViewerTest, ItemFallsBackToCustomThenToNothing) {
  ImageViewers viewers;
  viewers.Add("Paint");
  for (const Variant& key : {Variant("Nope"), Variant(std::int32_t{0}), Variant(std::int32_t{9}), Variant()}) {
    EXPECT_EQ(viewers.Item(key), nullptr);
  }
  viewers.Add("Custom");
  for (const Variant& key : {Variant("Nope"), Variant(std::int32_t{0}), Variant(std::int32_t{9})}) {
    ASSERT_TRUE(viewers.Item(key));
    EXPECT_EQ(viewers.Item(key)->ViewerName(), "Custom");
  }
  viewers.Remove("Paint");
  viewers.Remove("Paint");  // gone already: passed over
  EXPECT_EQ(Names(viewers), std::vector<std::string>{"Custom"});
}

TEST_F(ViewerTest, BrowserFormats) {
  ImageViewer v;
  v.TIFF(true);
  v.PNG(true);
  v.EMF(true);
  v.WMF(true);
  v.IsBrowser(true);
  EXPECT_EQ(Formats(v), "BMP GIF JPEG");
  v.TIFF(true);
  v.IsBrowser(false);  // clears nothing, sets nothing
  EXPECT_EQ(Formats(v), "BMP GIF JPEG TIFF");
  EXPECT_FALSE(v.IsBrowser());
}

TEST_F(ViewerTest, RegisteredExtensionsCountExtensionsNotFormats) {
  struct Row {
    const char* name;
    std::vector<std::string> extensions;
    std::string want;
  } rows[] = {
      {"both spellings reach seven without EMF and WMF",
       {".jpg", ".jpeg", ".tif", ".tiff", ".gif", ".bmp", ".png"},
       "BMP GIF JPEG TIFF PNG all"},
      {"all seven", {".bmp", ".gif", ".jpg", ".tif", ".png", ".emf", ".wmf"}, "BMP GIF JPEG TIFF PNG EMF WMF all"},
      {"six", {".bmp", ".gif", ".jpg", ".tif", ".png", ".emf"}, "BMP GIF JPEG TIFF PNG EMF"},
      {"case and strays", {".JPG", ".txt", "gif", ".jpe", ".Wmf"}, "JPEG WMF"},
      {"none", {}, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ImageViewer v;
    v.SetRegisteredExtensions(Extensions(row.extensions));
    EXPECT_EQ(Formats(v), row.want);
  }
  ImageViewer kept;
  kept.EMF(true);
  kept.SetRegisteredExtensions(Extensions({".jpg"}));
  EXPECT_EQ(Formats(kept), "JPEG EMF");
}

TEST_F(ViewerTest, ImageHandlingCapability) {
  ImageViewer viewer, browser, imaging;
  browser.IsBrowser(true);
  imaging.EXEName("MSPVIEW.EXE");
  struct Row {
    const char* ext;
    bool viewer, browser, imaging;
  } rows[] = {
      {".jpg", true, true, false},   {".png", true, false, false}, {".emf", true, false, false},
      {".tif", true, false, true},   {".TIF", true, true, false},  // the substring tests keep their case
      {".txt", false, false, false}, {"jpg", false, false, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.ext);
    EXPECT_EQ(viewer.ConfirmImageHandlingCapability(row.ext), row.viewer);
    EXPECT_EQ(browser.ConfirmImageHandlingCapability(row.ext), row.browser);
    EXPECT_EQ(imaging.ConfirmImageHandlingCapability(row.ext), row.imaging);
  }
}

TEST_F(ViewerTest, BuildEXEPathRewritesTheCommandLine) {
  const std::string pf = programFiles;
  struct Row {
    const char* name;
    std::string exeName, command, wantOpen, wantPath;
  } rows[] = {
      {"quoted program with placeholder", "view.exe", "\"%programfiles%/Tools/View.exe\" /open \"%1\"",
       pf + "/Tools/View.exe /open ", pf + "/Tools/View.exe"},
      {"no placeholder keeps the quotes", "View.exe", "\"C:\\Tools\\View.exe\"", "\"C:\\Tools\\View.exe\"",
       "C:\\Tools\\View.exe"},
      {"name not in the line", "other.exe", "\"/opt/v/view\" -a", "\"/opt/v/view\" -a", "/opt/v/view -a"},
      {"no name at all", "", "\"/opt/v/view\" %1", "/opt/v/view ", "/opt/v/view "},
      {"name then one blank keeps the blank", "view.exe", "/opt/v/view.exe %1", "/opt/v/view.exe ", "/opt/v/view.exe "},
      {"system folder", "viewer.exe", "%systemroot%/viewer.exe \"%1\" -x", system + "/viewer.exe  -x",
       system + "/viewer.exe"},
      {"usual spellings stay as they are", "v.exe", "%ProgramFiles%/v.exe %1", "%ProgramFiles%/v.exe ",
       "%ProgramFiles%/v.exe "},
      {"odd spelling brought to the token in any case", "b.exe", "programfiles%/a.exe %PROGRAMFILES%/b.exe",
       pf + "/a.exe %" + pf + "/b.exe", pf + "/a.exe %" + pf + "/b.exe"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ImageViewer v;
    v.EXEName(row.exeName);
    std::string line = row.command;
    v.BuildEXEPath(line);
    EXPECT_EQ(v.EXEOpen(), row.wantOpen);
    EXPECT_EQ(line, row.wantOpen);  // rewritten in place
    EXPECT_EQ(v.EXEPath(), row.wantPath);
  }
}

TEST_F(ViewerTest, EXEPathTakesTheLongFormOfAnExistingFile) {
  tmp.Write("Program Files/Tools/View.exe", "");
  ImageViewer v;
  v.EXEName("VIEW.EXE");
  std::string line = "\"%programfiles%/TOOLS/VIEW.EXE\" /s \"%1\"";
  v.BuildEXEPath(line);
  EXPECT_EQ(v.EXEPath(), programFiles + "/Tools/View.exe");  // as spelled on disk
  v.EXEPath("\"" + programFiles + "/Tools/View.exe\"");      // quotes: no long form, kept as given
  EXPECT_EQ(v.EXEPath(), "\"" + programFiles + "/Tools/View.exe\"");

  shell::Current().folders.Undefine(shell::CSIDL_PROGRAM_FILES);
  line = "%programfiles%/x.exe";
  v.BuildEXEPath(line);
  EXPECT_EQ(v.EXEOpen(), "/x.exe");
}

TEST_F(ViewerTest, DefaultViewerFollowsTheSettingAndSetDefaultViewer) {
  ImageViewers viewers;
  viewers.Add("mspaint.exe");
  viewers.Add("IrfanView");
  viewers.Add("Windows Picture and Fax Viewer");

  // Without the settings object the flag cannot be judged: the getter says
  // so, and the collection passes over it.
  EXPECT_THROW(viewers.Item("Paint")->PreferredHandler(), runtime::Error);
  EXPECT_EQ(viewers.GetDefaultViewer(), nullptr);

  lumivane::g_objSettings = std::make_shared<lumivane::RegSettings>();
  EXPECT_EQ(viewers.GetDefaultViewer(), nullptr);  // no DefaultViewer stored
  viewers.SetDefaultViewer("Paint");
  EXPECT_EQ(viewers.GetDefaultViewer()->ViewerName(), "Paint");
  viewers.SetDefaultViewer("paint");  // names compare exactly
  EXPECT_EQ(viewers.GetDefaultViewer(), nullptr);

  lumivane::g_objSettings->DefaultViewer("IrfanView");
  EXPECT_EQ(viewers.GetDefaultViewer()->ViewerName(), "IrfanView");
  lumivane::g_objSettings->DefaultViewer("Paint");
  EXPECT_TRUE(viewers.Item("IrfanView")->PreferredHandler());  // once true, it stays
  EXPECT_EQ(viewers.GetDefaultViewer()->ViewerName(), "Paint");
  viewers.SetDefaultViewer("Windows Picture and Fax Viewer");
  EXPECT_FALSE(viewers.Item("IrfanView")->PreferredHandler());
  EXPECT_TRUE(viewers.Item("Paint")->PreferredHandler());  // the setting still names it
}

TEST_F(ViewerTest, ImageHandlers) {
  ImageViewers viewers;
  viewers.Add("A");
  viewers.Add("B");
  viewers.Add("b", "lower b");  // keys are case-blind, names are not
  ASSERT_EQ(viewers.Count(), 3);
  EXPECT_EQ(viewers.GetImageHandler(2), nullptr);
  viewers.SetImageHandler("b", 2);
  viewers.SetImageHandler("A", 3);
  viewers.SetImageHandler("B", 7);  // no such format: nothing changes
  viewers.SetImageHandler("B", -1);
  ASSERT_TRUE(viewers.GetImageHandler(2));
  EXPECT_EQ(viewers.GetImageHandler(2)->ViewerName(), "b");
  ASSERT_TRUE(viewers.GetImageHandler(3));
  EXPECT_EQ(viewers.GetImageHandler(3)->ViewerName(), "A");
  EXPECT_EQ(viewers.GetImageHandler(7), nullptr);
  viewers.SetImageHandler("A", 2);  // one handler at a time
  EXPECT_EQ(viewers.GetImageHandler(2)->ViewerName(), "A");
  EXPECT_FALSE(viewers.Item(3)->JPGHandler());
  const long types[] = {0, 1, 2, 3, 4, 5, 6};
  for (long t : types) {
    SCOPED_TRACE(t);
    viewers.SetImageHandler("B", t);
    EXPECT_EQ(viewers.GetImageHandler(t)->ViewerName(), "B");
  }
  auto b = viewers.Item("B");
  EXPECT_TRUE(b->BMPHandler() && b->GIFHandler() && b->JPGHandler() && b->TIFHandler() && b->PNGHandler() &&
              b->EMFHandler() && b->WMFHandler());
}

}  // namespace
