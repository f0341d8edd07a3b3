#include "platform/shell/environment.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::shell;

class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Environment env;
    env.Set("SystemRoot", "C:\\Windows");
    env.Set("TEMP", "/tmp/t");
    env.Set("Empty", "");
    SetEnvironment(std::move(env));
  }
  void TearDown() override { SetEnvironment(Environment()); }
};

TEST_F(EnvironmentTest, NamesIgnoreCaseAndKeepTheirSpelling) {
  auto& env = CurrentEnvironment();
  EXPECT_EQ(env.Get("systemroot"), "C:\\Windows");
  env.Set("SYSTEMROOT", "D:\\Win");
  EXPECT_EQ(env.Get("SystemRoot"), "D:\\Win");
  EXPECT_EQ(env.Entries().front().first, "SystemRoot");
  env.Remove("temp");
  EXPECT_FALSE(env.Get("TEMP"));
}

TEST_F(EnvironmentTest, Expansion) {
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  } rows[] = {
      {"defined", "%SystemRoot%\\system32", "C:\\Windows\\system32"},
      {"any case", "%systemroot%", "C:\\Windows"},
      {"two", "%TEMP%;%TEMP%", "/tmp/t;/tmp/t"},
      {"defined as empty", "[%Empty%]", "[]"},
      {"undefined stays", "%NOPE%\\x", "%NOPE%\\x"},
      {"scan goes on after an undefined name", "%NOPE%TEMP%", "%NOPE%TEMP%"},
      {"undefined then defined", "%NOPE%%TEMP%", "%NOPE%/tmp/t"},
      {"double percent", "100%%", "100%%"},
      {"lone percent", "50% of %TEMP", "50% of %TEMP"},
      {"no variables", "plain", "plain"},
      {"ends at NUL", std::string("%TEMP%\0%TEMP%", 13), "/tmp/t"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ExpandEnvironmentStrings(row.in), row.out);
  }
}

TEST_F(EnvironmentTest, FromEntriesAndFaults) {
  const char* entries[] = {"Path=/bin", "PATH=/usr/bin", "NOEQUALS", "=hidden", "X=a=b", nullptr};
  SetEnvironment(Environment::FromEntries(entries));
  EXPECT_EQ(ExpandEnvironmentStrings("%path%|%X%"), "/bin|a=b");
  EXPECT_EQ(CurrentEnvironment().Entries().size(), 2u);

  CurrentEnvironment().expandFault = runtime::Error(5, "Expansion refused");
  EXPECT_THROW(ExpandEnvironmentStrings("%X%"), runtime::Error);
  EXPECT_EQ(CurrentEnvironment().expandLog.back(), "%X%");
}

}  // namespace
