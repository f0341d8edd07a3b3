#include "platform/shell/programs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/shell/shell.h"

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

}  // namespace
