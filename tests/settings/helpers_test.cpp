#include "settings/helpers.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/forms/msgbox.h"
#include "platform/shell/shell.h"
#include "settings/reg_settings.h"
#include "support/temp_dir.h"

namespace {

using namespace lumivane::modPictureAttachments;
namespace shell = platform::shell;
namespace forms = platform::forms;

class HelpersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell::Reset();
    lumivane::ResetAddInGlobals();
    forms::SetMessageBoxResponder(boxes);
  }
  void TearDown() override {
    lumivane::ResetAddInGlobals();
    shell::Reset();
  }
  std::vector<std::string> Prompts() const {
    std::vector<std::string> out;
    for (const auto& b : boxes->Log()) out.push_back(b.prompt);
    return out;
  }
  shell::Shell& sh() { return shell::Current(); }
  std::vector<std::string> WindowCalls() const {
    std::vector<std::string> out;
    for (const auto& c : shell::Current().seam.log.Calls()) {
      if (c.rfind("SetForegroundWindow", 0) == 0 || c.rfind("AttachThreadInput", 0) == 0 ||
          c.rfind("ShowWindow", 0) == 0) {
        out.push_back(c);
      }
    }
    return out;
  }

  std::shared_ptr<forms::ScriptedMessageBoxes> boxes = std::make_shared<forms::ScriptedMessageBoxes>();
  testsupport::TempDir tmp;
};

TEST_F(HelpersTest, ExtensionsAndThePictureTest) {
  struct Ext {
    std::string name, want;
  };
  for (const Ext& row : std::vector<Ext>{{"photo.final.JPG", ".JPG"},
                                         {"README", "README"},
                                         {"/a.folder/file", ".folder/file"},  // the last period anywhere counts
                                         {"trailing.", "."},
                                         {"", ""}}) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GetExtension(row.name), row.want);
  }
  struct Pic {
    const char* ext;
    bool noPng;
    bool want;
  };
  for (const Pic& row : std::vector<Pic>{{".JPG", false, true},
                                         {".Png", false, true},
                                         {".Png", true, false},
                                         {".jpeg", true, true},
                                         {".TIFF", false, true},
                                         {".wmf", false, true},
                                         {".jpe", false, false},
                                         {".ico", false, false},
                                         {"jpg", false, false},
                                         {"", false, false},
                                         {".jpg ", false, false}}) {
    SCOPED_TRACE(std::string(row.ext) + (row.noPng ? " no-PNG" : ""));
    EXPECT_EQ(IsPictureExtension(row.ext, row.noPng), row.want);
  }
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(HelpersTest, LongFileName) {
  const std::string file = tmp.Write("Temp/Picture.JPG");
  EXPECT_EQ(GetLongFileName(tmp / "temp/picture.jpg"), file);
  EXPECT_EQ(GetLongFileName(tmp / "Temp/missing.jpg"), "");
  EXPECT_EQ(sh().modules.LoadCount("kernel32"), 0);  // the library is freed after the test for the function
  EXPECT_TRUE(boxes->Log().empty());

  // Without the function nothing is asked of it.
  sh().seam.log.Clear();
  sh().modules.RemoveFunction("kernel32", "GetLongPathNameA");
  EXPECT_EQ(GetLongFileName(file), "");
  EXPECT_TRUE(sh().seam.log.CallsOf("GetLongPathNameA").empty());
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(HelpersTest, LongFileNameFailureShowsTheCommonErrorBoxAndGivesEmptyText) {
  const std::string file = tmp.Write("a.jpg");
  sh().seam.faults.Arm("GetLongPathNameA", 5);
  EXPECT_EQ(GetLongFileName(file), "");
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Error 5 (Invalid procedure call or argument) in procedure "
                                                "GetLongFileName of Module modPictureAttachments"});
  EXPECT_EQ(boxes->Log()[0].title, "Lumivane 1.1 Error");
  EXPECT_EQ(boxes->Log()[0].style, forms::vbExclamation);
}

TEST_F(HelpersTest, Regression_LongPathBeyondTheBufferComesBackWholeNeverAsNuls) {
  std::string deep = tmp.path();
  while (deep.size() < 400) deep += "/Temporary Picture Files";
  std::filesystem::create_directories(deep);
  const std::string got = GetLongFileName(deep);
  EXPECT_EQ(got, deep);
  EXPECT_EQ(got.find('\0'), std::string::npos);
  EXPECT_EQ(sh().seam.log.CallsOf("GetLongPathNameA").size(), 2u);

  // If the second call fails, the answer is empty, not the untouched buffer.
  sh().seam.log.Clear();
  sh().seam.faults.Arm("GetLongPathNameA", 75, "", 1);
  EXPECT_EQ(GetLongFileName(deep), "");
  EXPECT_EQ(boxes->Log().size(), 1u);
}

TEST_F(HelpersTest, APIFunctionPresent) {
  EXPECT_TRUE(APIFunctionPresent("GetLongPathNameA", "kernel32"));
  EXPECT_FALSE(APIFunctionPresent("NoSuchFunction", "kernel32"));
  EXPECT_FALSE(APIFunctionPresent("GetLongPathNameA", "nosuchlib"));
  EXPECT_EQ(sh().modules.LoadCount("kernel32"), 0);
  EXPECT_TRUE(boxes->Log().empty());

  // An error in the lookup is reported, and the library is still freed.
  sh().seam.faults.Arm("GetProcAddress", 7);
  EXPECT_FALSE(APIFunctionPresent("GetLongPathNameA", "kernel32"));
  EXPECT_EQ(Prompts(), std::vector<std::string>{
                           "Error 7 (Out of memory) in procedure APIFunctionPresent of Module modPictureAttachments"});
  EXPECT_EQ(sh().modules.LoadCount("kernel32"), 0);
}

TEST_F(HelpersTest, SetTheForegroundWindow) {
  struct Row {
    const char* name;
    bool targetIsForeground;
    bool sameThread;
    bool minimised;
    std::vector<std::string> calls;  // "@" stands for the target; threads 1 and 2
    bool minimisedAfter;
  };
  const std::vector<Row> rows = {
      {"already in front, minimised: nothing at all", true, true, true, {}, true},
      {"same thread", false, true, false, {"SetForegroundWindow(@)", "ShowWindow(@, 5)"}, false},
      {"other thread, minimised",
       false,
       false,
       true,
       {"AttachThreadInput(1, 2, 1)", "SetForegroundWindow(@)", "AttachThreadInput(1, 2, 0)", "ShowWindow(@, 9)"},
       false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    shell::Reset();
    auto& w = sh().windows;
    const long fg = w.AddWindow(1);
    const long target = w.AddWindow(row.sameThread ? 1 : 2, row.minimised);
    w.SetForeground(row.targetIsForeground ? target : fg);
    SetTheForegroundWindow(target);
    std::vector<std::string> want;
    for (std::string c : row.calls) {
      if (auto at = c.find('@'); at != std::string::npos) c.replace(at, 1, std::to_string(target));
      want.push_back(c);
    }
    EXPECT_EQ(WindowCalls(), want);
    EXPECT_EQ(shell::GetForegroundWindow(), target);
    EXPECT_EQ(w.Find(target)->minimised, row.minimisedAfter);
    EXPECT_FALSE(w.InputAttached(1, 2));
  }
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(HelpersTest, SetTheForegroundWindowCarriesOnAfterAnError) {
  auto& w = sh().windows;
  w.SetForeground(w.AddWindow(1));
  const long target = w.AddWindow(2);
  sh().seam.faults.Arm("SetForegroundWindow", 5);
  SetTheForegroundWindow(target);
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Error 5 (Invalid procedure call or argument) in procedure "
                                                "SetTheForegroundWindow of Module modPictureAttachments"});
  // The input is detached again and the window still shown.
  EXPECT_FALSE(w.InputAttached(1, 2));
  EXPECT_EQ(sh().seam.log.CallsOf("ShowWindow"),
            std::vector<std::string>{"ShowWindow(" + std::to_string(target) + ", 5)"});
}

TEST_F(HelpersTest, ShowHandCursor) {
  ShowHandCursor();
  EXPECT_EQ(sh().cursors.CurrentCursor(), sh().cursors.HandleOf(shell::IDC_HAND));

  shell::Reset();
  const long before = sh().cursors.CurrentCursor();
  sh().cursors.RemoveSystemCursor(shell::IDC_HAND);
  ShowHandCursor();
  EXPECT_EQ(sh().cursors.CurrentCursor(), before);
  EXPECT_TRUE(sh().seam.log.CallsOf("SetCursor").empty());

  sh().seam.faults.Arm("LoadCursorA", 5);
  ShowHandCursor();
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Error 5 (Invalid procedure call or argument) in procedure "
                                                "ShowHandCursor of Module modPictureAttachments"});
}

TEST_F(HelpersTest, DebugMessageWithoutSettingsObjectReportsButShowsNoDebugText) {
  DebugMessage("hello");
  EXPECT_EQ(Prompts(), std::vector<std::string>{"Error 91 (Object variable or With block variable not set) in "
                                                "procedure DebugMessage of Module modPictureAttachments"});
}

TEST_F(HelpersTest, SpecialFoldersAreSilentAndEmptyWhenUnavailable) {
  sh().folders.Define(shell::CSIDL_PROGRAM_FILES, "/opt/lumivane");
  sh().folders.Define(shell::CSIDL_SYSTEM, "/usr/bin");
  sh().folders.Define(shell::CSIDL_PERSONAL, tmp / "Documents");
  sh().folders.MakeVirtual(shell::CSIDL_MYPICTURES);
  EXPECT_EQ(GetProgramFilesFolder(), "/opt/lumivane");
  EXPECT_EQ(GetSystemFolder(), "/usr/bin");
  EXPECT_EQ(GetMyDocumentsFolder(), tmp / "Documents");
  EXPECT_EQ(GetMyPicturesFolder(), "");      // virtual
  EXPECT_EQ(GetLocalAppDataFolder(), "");    // undefined
  EXPECT_EQ(GetTempPictureFilesPath(), "");  // not the bare suffix
  EXPECT_EQ(sh().folders.LiveItemLists(), 0u);

  for (const char* member : {"SHGetSpecialFolderLocation", "SHGetPathFromIDList", "SHGetMalloc"}) {
    SCOPED_TRACE(member);
    sh().seam.faults.Arm(member, 5);
    EXPECT_EQ(GetSystemFolder(), member == std::string("SHGetMalloc") ? "/usr/bin" : "");
    sh().seam.faults.Clear(member);
  }
  EXPECT_TRUE(boxes->Log().empty());
}

TEST_F(HelpersTest, TempPictureFilesPathJoinsWithOneSeparator) {
  for (const std::string& local : {tmp / "share", tmp / "share/", std::string("/")}) {
    SCOPED_TRACE(local);
    sh().folders.Define(shell::CSIDL_LOCAL_APPDATA, local);
    const std::string base = local == "/" ? "" : tmp / "share";
    EXPECT_EQ(GetTempPictureFilesPath(), base + "/Quenstor/Lumivane/Temporary Picture Files");
  }
  EXPECT_EQ(GetLocalAppDataFolder(), "/");
}

}  // namespace
