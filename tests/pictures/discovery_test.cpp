// Discovery over a registry built by each test: which programs become
// entries, in which order, and with which names, formats and commands.

#include "pictures/viewer_discovery.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pictures/image_viewers.h"
#include "pictures/viewer_fixture.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "settings/reg_settings.h"

namespace {

using namespace platform::registry;
using lumivane::ImageViewer;
namespace shell = platform::shell;
namespace forms = platform::forms;
namespace mpa = lumivane::modPictureAttachments;

const std::string kApps = "Applications\\";
const std::string kClients = "SOFTWARE\\Clients\\StartMenuInternet\\";

struct Want {
  std::string name, exeName, exeOpen, exePath, formats;
  bool browser = false;
};

class DiscoveryTest : public viewer_test::ViewerWorld {
 protected:
  void SetUp() override {
    ViewerWorld::SetUp();
    shell::Current().folders.Define(shell::CSIDL_MYPICTURES, tmp.MakeDir("Pictures"));
  }

  // The start-up sequence: settings first, then an empty collection that discovery fills.
  void Discover() {
    lumivane::g_objSettings = std::make_shared<lumivane::RegSettings>();
    lumivane::g_objImageViewers = std::make_shared<lumivane::ImageViewers>();
    mpa::LoadInstalledImageViewers();
    mpa::LoadInstalledWebBrowsers();
  }
  void Sz(HKEY root, const std::string& key, const std::string& name, const std::string& data) {
    reg->Seed(root, key, name, REG_SZ, SzData(data));
  }
  void App(const std::string& exe, const std::vector<std::string>& types, const std::string& open,
           const std::string& friendly = {}) {
    reg->SeedKey(HKEY_CLASSES_ROOT, kApps + exe);
    for (const auto& t : types) Sz(HKEY_CLASSES_ROOT, kApps + exe + "\\SupportedTypes", t, "");
    if (!friendly.empty()) Sz(HKEY_CLASSES_ROOT, kApps + exe, "FriendlyAppName", friendly);
    if (!open.empty()) Sz(HKEY_CLASSES_ROOT, kApps + exe + "\\shell\\open\\command", "", open);
  }
  void Browser(const std::string& key, const std::string& name, const std::string* open) {
    reg->SeedKey(HKEY_LOCAL_MACHINE, kClients + key);
    if (!name.empty()) Sz(HKEY_LOCAL_MACHINE, kClients + key, "", name);
    if (open) Sz(HKEY_LOCAL_MACHINE, kClients + key + "\\shell\\open\\command", "", *open);
  }
  void ExpectViewers(const std::vector<Want>& want) {
    const auto& viewers = *lumivane::g_objImageViewers;
    ASSERT_EQ(viewers.Count(), static_cast<long>(want.size()));
    long i = 0;
    for (const auto& v : viewers) {
      const Want& w = want[static_cast<std::size_t>(i++)];
      SCOPED_TRACE(w.name);
      EXPECT_EQ(v->ViewerName(), w.name);
      EXPECT_EQ(v->EXEName(), w.exeName);
      EXPECT_EQ(v->EXEOpen(), w.exeOpen);
      EXPECT_EQ(v->EXEPath(), w.exePath);
      EXPECT_EQ(Formats(*v), w.formats);
      EXPECT_EQ(v->IsBrowser(), w.browser);
    }
  }
  Want PictureAndFaxViewer() const {
    return {"Windows Picture and Fax Viewer", "rundll32.exe", "",
            "rundll32.exe " + sys + "/shimgvw.dll,ImageView_Fullscreen", "BMP GIF JPEG EMF WMF"};
  }

  const std::string& pf = programFiles;
  const std::string& sys = system;
};

TEST_F(DiscoveryTest, WithNothingRegisteredThePictureAndFaxViewerIsStillThere) {
  Discover();
  ExpectViewers({PictureAndFaxViewer()});
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(DiscoveryTest, WithoutTheSettingsObjectOnlyTheFixedViewerIsAddedAndNothingEscapes) {
  App("view.exe", {".jpg"}, "/usr/bin/view.exe %1");
  lumivane::g_objImageViewers = std::make_shared<lumivane::ImageViewers>();
  mpa::LoadInstalledImageViewers();
  mpa::LoadInstalledWebBrowsers();
  ExpectViewers({PictureAndFaxViewer()});
}

TEST_F(DiscoveryTest, ViewersAndBrowsersInRegistryOrder) {
  // Picture viewers, listed by the registry in case-blind name order.
  App("zview.exe", {".jpg", ".png"}, "\"%programfiles%/Zed/zview.exe\" \"%1\"");
  Sz(HKEY_CLASSES_ROOT, kApps + "zview.exe", "NoOpenWith", "");  // the friendly name is not the first value
  Sz(HKEY_CLASSES_ROOT, kApps + "zview.exe", "FriendlyAppName", "Zed Viewer");
  App("alpha.exe", {".txt"}, "/usr/bin/alpha.exe %1");  // no picture type
  App("Beta.exe", {".JPG"}, "");
  Sz(HKEY_CLASSES_ROOT, kApps + "Beta.exe\\shell\\edit\\command", "", "/usr/bin/beta.exe --edit %1");
  App("mspaint.exe", {".bmp", ".gif", ".jpg", ".jpeg", ".tif", ".tiff", ".png"}, "%systemroot%/mspaint.exe \"%1\"");
  App("MSPVIEW.EXE", {}, "\"%programfiles%/Office/MSPVIEW.EXE\" /p \"%1\"");
  App("dup1.exe", {".gif"}, "/opt/dup1.exe %1", "Same Viewer");
  App("dup2.exe", {".bmp", ".emf"}, "/opt/dup2.exe %1", "Same Viewer");
  App("i_view32.exe", {}, "\"%programfiles%/IrfanView/i_view32.exe\" \"%1\"");
  App("PhotoSnapViewer.exe", {}, "\"/opt/photosnap/PhotoSnapViewer.exe\" \"%1\"");
  App("other.exe", {}, "/opt/other.exe %1");  // no types and not the imaging program

  // Browsers, in the same order.
  const std::string firefox = "\"%programfiles%/Mozilla Firefox/FIREFOX.EXE\" -osint -url \"%1\"";
  const std::string empty;
  const std::string opera = "/usr/bin/opera %1";
  Browser("FIREFOX.EXE", "Mozilla Firefox", &firefox);
  Browser("IEXPLORE.EXE", "Internet Explorer", &empty);
  Browser("MSN Explorer", "MSN Explorer", &opera);
  Browser("avant.exe", "Avant", &opera);
  Browser("Opera", "ignored: the key is the name", &opera);
  Browser("MSN6.EXE", "MSN Explorer", &opera);  // passed over by its name
  Browser("NoCommand", "", nullptr);

  Discover();
  ExpectViewers({
      {"Beta.exe", "Beta.exe", "/usr/bin/beta.exe --edit ", "/usr/bin/beta.exe", "JPEG"},
      {"Same Viewer", "dup1.exe", "/opt/dup1.exe ", "/opt/dup1.exe ", "GIF"},  // the first one keeps its settings
      {"Paint", "mspaint.exe", sys + "/mspaint.exe ", sys + "/mspaint.exe ", "BMP GIF JPEG TIFF PNG all"},
      {"Microsoft Office Document Imaging", "MSPVIEW.EXE", pf + "/Office/MSPVIEW.EXE /p ", pf + "/Office/MSPVIEW.EXE",
       "TIFF"},
      {"Zed Viewer", "zview.exe", pf + "/Zed/zview.exe ", pf + "/Zed/zview.exe ", "JPEG PNG"},
      {"Nero PhotoSnap", "", "/opt/photosnap/PhotoSnapViewer.exe ", "/opt/photosnap/PhotoSnapViewer.exe ",
       "BMP GIF JPEG PNG EMF WMF"},
      {"IrfanView", "", pf + "/IrfanView/i_view32.exe ", pf + "/IrfanView/i_view32.exe ",
       "BMP GIF JPEG TIFF PNG EMF WMF all"},
      PictureAndFaxViewer(),
      {"Mozilla Firefox", "FIREFOX.EXE", pf + "/Mozilla Firefox/FIREFOX.EXE -osint -url ",
       pf + "/Mozilla Firefox/FIREFOX.EXE", "BMP GIF JPEG", true},
      {"Internet Explorer", "IEXPLORE.EXE", "\"" + pf + "/Internet Explorer/iexplore.exe\"",
       pf + "/Internet Explorer/iexplore.exe", "BMP GIF JPEG", true},
      {"NoCommand", "", "", "", "BMP GIF JPEG", true},
      {"Opera", "Opera", "/usr/bin/opera ", "/usr/bin/opera ", "BMP GIF JPEG", true},
  });
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(DiscoveryTest, ExecutableKeysAndPictureExtensions) {
  App("both.exe", {}, "/opt/both.exe open");
  Sz(HKEY_CLASSES_ROOT, kApps + "both.exe\\shell\\edit\\command", "", "/opt/both.exe edit");
  App("edit.exe", {}, "");
  Sz(HKEY_CLASSES_ROOT, kApps + "edit.exe\\shell\\edit\\command", "", "/opt/edit.exe edit");
  reg->SeedKey(HKEY_CLASSES_ROOT, kApps + "none.exe\\shell\\open\\command");  // a key without a value
  lumivane::g_objSettings = std::make_shared<lumivane::RegSettings>();

  auto both = mpa::GetImageViewerExecutableKeys("both.exe");
  ASSERT_TRUE(both);
  EXPECT_EQ(both->Item(1)[1].AsString(), "/opt/both.exe open");
  auto edit = mpa::GetImageViewerExecutableKeys("edit.exe");
  ASSERT_TRUE(edit);
  EXPECT_EQ(edit->Item(1)[1].AsString(), "/opt/edit.exe edit");
  EXPECT_EQ(mpa::GetImageViewerExecutableKeys("none.exe"), nullptr);
  EXPECT_EQ(mpa::GetImageViewerExecutableKeys("missing.exe"), nullptr);

  auto listing = [](std::vector<std::string> names) {
    mpa::RegistryValues out;
    for (const auto& n : names) out.Add(runtime::VariantArray{runtime::Variant(n), runtime::Variant("")}, n);
    return out;
  };
  EXPECT_FALSE(mpa::HasPictureExtension(listing({})));
  EXPECT_FALSE(mpa::HasPictureExtension(listing({".txt", "jpg", ".jpe"})));
  EXPECT_TRUE(mpa::HasPictureExtension(listing({".txt", ".PNG"})));
}

TEST_F(DiscoveryTest, NetscapeCommandFromItsReinstallCommand) {
  const std::string empty;
  Browser("NETSCAPE.EXE", "Netscape Browser", &empty);
  Sz(HKEY_LOCAL_MACHINE, kClients + "NETSCAPE.EXE\\InstallInfo", "HideIconsCommand", "\"/opt/ns/nsset.exe\" hide");
  Sz(HKEY_LOCAL_MACHINE, kClients + "NETSCAPE.EXE\\InstallInfo", "ReinstallCommand", "\"/opt/ns/NSSET.exe\" register");
  Discover();
  auto v = lumivane::g_objImageViewers->Item("Netscape Browser");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->EXEName(), "NETSCAPE.EXE");
  EXPECT_EQ(v->EXEOpen(), "\"/opt/ns/netscape.exe\"");
  EXPECT_EQ(v->EXEPath(), "/opt/ns/netscape.exe");
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(DiscoveryTest, NetscapeWithoutInstallInfoAsksForItsVersion) {
  const std::string empty;
  Browser("NETSCAPE.EXE", "Netscape Browser", &empty);
  Discover();
  ASSERT_EQ(boxes->Log().size(), 1u);
  const auto& box = boxes->Log()[0];
  EXPECT_EQ(box.title, "Unsupported Netscape Version");
  EXPECT_EQ(box.style, forms::vbExclamation);
  EXPECT_NE(box.prompt.find("support@lumivane.example"), std::string::npos) << box.prompt;
  auto v = lumivane::g_objImageViewers->Item("Netscape Browser");
  ASSERT_TRUE(v);  // listed all the same, with nothing to start
  EXPECT_EQ(v->EXEName(), "NETSCAPE.EXE");
  EXPECT_EQ(v->EXEPath(), "");
}

TEST_F(DiscoveryTest, BrowserKeyWithoutItsNameIsNamedByTheKey) {
  const std::string open = "/opt/web/web.exe %1";
  Browser("WEB.EXE", "", &open);
  Sz(HKEY_LOCAL_MACHINE, kClients + "WEB.EXE", "", "");  // a name value that is empty
  Browser("WEB2.EXE", "", &open);                        // no name value at all
  Discover();
  ASSERT_EQ(lumivane::g_objImageViewers->Count(), 3);
  EXPECT_EQ(lumivane::g_objImageViewers->Item(2)->ViewerName(), "WEB.EXE");
  EXPECT_EQ(lumivane::g_objImageViewers->Item(3)->ViewerName(), "WEB2.EXE");
}

}  // namespace
