#include "platform/shell/programs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/shell/shell.h"
#include "runtime/error.h"

namespace {

using namespace platform::shell;

class Programs : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override {
    SetProgramStarter(nullptr);
    Reset();
  }
};

TEST_F(Programs, StartsAreLoggedAndHandedToTheStarter) {
  EXPECT_EQ(StartProgram("explorer.exe http://example.com/help.htm", vbNormalFocus), 0.0);  // headless
  std::vector<std::string> started;
  SetProgramStarter([&](std::string_view commandLine, long style) {
    started.push_back(std::string(commandLine) + " @" + std::to_string(style));
    return 4242.0;
  });
  EXPECT_EQ(StartProgram("viewer.exe a.jpg"), 4242.0);
  EXPECT_EQ(started, std::vector<std::string>{"viewer.exe a.jpg @2"});
  EXPECT_EQ(Current().seam.log.CallsOf("Shell"),
            (std::vector<std::string>{"Shell(\"explorer.exe http://example.com/help.htm\", 1)",
                                      "Shell(\"viewer.exe a.jpg\", 2)"}));
}

TEST_F(Programs, AnArmedFaultFailsTheStartBeforeAnythingRuns) {
  bool ran = false;
  SetProgramStarter([&](std::string_view, long) {
    ran = true;
    return 1.0;
  });
  Current().seam.faults.Arm("Shell", 53, "File not found", 1);
  try {
    StartProgram("missing.exe", vbNormalFocus);
    FAIL() << "started";
  } catch (const runtime::Error& e) {
    EXPECT_EQ(e.Number(), 53);
    EXPECT_EQ(e.Description(), "File not found");
  }
  EXPECT_FALSE(ran);
}

}  // namespace
