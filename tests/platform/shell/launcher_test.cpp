#include "platform/shell/launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/fso/temp_dir.h"
#include "platform/shell/shell.h"
#include "support/raised.h"

namespace {

using namespace platform::shell;
using Args = std::vector<std::string>;
using testsupport::kFileNotFound;
using testsupport::kInvalidCall;
using testsupport::Outcome;
using testsupport::Raised;

class LauncherTest : public fso_test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    Reset();
    recorder_ = std::make_shared<RecordingLauncher>();
    InstallLauncher(recorder_);
  }
  void TearDown() override {
    InstallLauncher(nullptr);
    Reset();
    TempDirTest::TearDown();
  }
  std::shared_ptr<RecordingLauncher> recorder_;
};

TEST(CommandLine, SplitsLikeThePlatformItCameFrom) {
  struct Row {
    const char* line;
    Args want;
  };
  const Row rows[] = {
      {"", {}},
      {"  view.exe  ", {"view.exe"}},
      {"\"C:\\Program Files\\View.exe\" /open \"C:\\pics\\a b.jpg\"",
       {"C:\\Program Files\\View.exe", "/open", "C:\\pics\\a b.jpg"}},
      {"/usr/bin/eog  \"/tmp/x; rm -rf ~.jpg\"", {"/usr/bin/eog", "/tmp/x; rm -rf ~.jpg"}},
      {"a\"b c\"d e", {"ab cd", "e"}},
      {"say \\\"hi\\\"", {"say", "\"hi\""}},
      {"tab\tseparated", {"tab", "separated"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(SplitCommandLine(row.line), row.want);
  }
}

TEST(CommandLine, ProgramsOfTheOtherPlatformBecomeTheirCounterparts) {
  struct Row {
    const char* line;
    Args want;
  };
  const Row rows[] = {
      {"explorer.exe https://example.org/help", {"xdg-open", "https://example.org/help"}},
      {"EXPLORER.EXE /home/u/Pictures", {"xdg-open", "/home/u/Pictures"}},
      {"https://example.org/", {"xdg-open", "https://example.org/"}},
      {"rundll32.exe /usr/bin\\shimgvw.dll,ImageView_Fullscreen /tmp/Temporary Picture Files/a b.jpg",
       {"xdg-open", "/tmp/Temporary Picture Files/a b.jpg"}},
      {"/usr/bin/eog  \"/tmp/a.jpg\"", {"/usr/bin/eog", "/tmp/a.jpg"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(TranslateProgram(row.line), row.want);
  }
}

TEST_F(LauncherTest, AViewerGetsThePictureAsOneArgumentWhateverItsName) {
  MakeFolder("My Viewers");
  Write("My Viewers/view er");  // a program whose path holds a blank
  const std::string hostile = "/tmp/pics/a\" b; $(rm -rf ~) `x`.jpg";
  struct Row {
    std::string program;
    Args want;
  };
  const Row rows[] = {
      {"/usr/bin/eog", {"/usr/bin/eog", hostile}},
      {Path("My Viewers/view er") + " ", {Path("My Viewers/view er"), hostile}},
      {"/opt/v/view -a", {"/opt/v/view", "-a", hostile}},
      {"rundll32.exe /usr/bin/shimgvw.dll,ImageView_Fullscreen", {"xdg-open", hostile}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.program);
    EXPECT_EQ(TranslateProgramOnFile(row.program, hostile), row.want);
  }
  StartProgramOnFile("/usr/bin/eog", hostile, vbMaximizedFocus);
  ASSERT_EQ(recorder_->Starts().size(), 1u);
  EXPECT_EQ(recorder_->Starts()[0].argv, (Args{"/usr/bin/eog", hostile}));
  EXPECT_EQ(recorder_->Starts()[0].windowStyle, vbMaximizedFocus);
  EXPECT_EQ(Current().seam.log.CallsOf("Shell"), Args{"Shell(\"/usr/bin/eog\", \"" + hostile + "\", 3)"});
}

TEST_F(LauncherTest, TheShellsProgramStartsGoThroughTheInstalledLauncher) {
  EXPECT_EQ(StartProgram("\"/usr/bin/eog\" \"/tmp/my photo.jpg\"", vbMaximizedFocus), 1001);
  StartProgram("www.example.org");
  ASSERT_EQ(recorder_->Starts().size(), 2u);
  EXPECT_EQ(recorder_->Starts()[0].argv, (Args{"/usr/bin/eog", "/tmp/my photo.jpg"}));
  EXPECT_EQ(recorder_->Starts()[0].commandLine, "\"/usr/bin/eog\" \"/tmp/my photo.jpg\"");
  EXPECT_EQ(recorder_->Starts()[0].windowStyle, vbMaximizedFocus);
  EXPECT_EQ(recorder_->Starts()[1].argv, (Args{"xdg-open", "www.example.org"}));

  recorder_->Fail(53, "File not found");
  EXPECT_EQ(Raised([] { StartProgram("viewer a.jpg"); }), kFileNotFound);
  EXPECT_EQ(recorder_->Starts().size(), 2u);
  EXPECT_EQ(Raised([] { StartProgram("   "); }), kInvalidCall);
}

TEST_F(LauncherTest, RealProcessesGetTheirArgumentsUntouched) {
  ProcessLauncher launcher;
  // A name a shell would take apart.
  const std::string target = Path("a b; touch \"$HOME\" `x`.txt");
  ProgramStart start;
  start.argv = {"touch", target};
  EXPECT_GT(launcher.Start(start), 0);
  for (int i = 0; i < 500 && !std::filesystem::exists(target); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(std::filesystem::exists(target));

  start.argv = {Path("no-such-program")};
  EXPECT_EQ(Raised([&] { launcher.Start(start); }), (Outcome{53, "File not found: " + start.argv[0]}));
}

}  // namespace
