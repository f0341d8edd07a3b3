#include <gtest/gtest.h>

#include <string>

#include "platform/shell/shell.h"
#include "support/temp_dir.h"

namespace {

using namespace platform::shell;

class LongPathTest : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }
  void TearDown() override { Reset(); }
  testsupport::TempDir tmp;
};

TEST_F(LongPathTest, ExistingPathsComeBackNormalisedAndSpelledAsOnDisk) {
  const std::string file = tmp.Write("Photos/Summer Trip/IMG_0001.JPG");
  struct Row {
    const char* name;
    std::string in;
    std::string want;  // empty: the call fails with 0
  };
  const Row rows[] = {
      {"file as it is", file, file},
      {"folder", tmp / "Photos", tmp / "Photos"},
      {"trailing separator dropped", tmp / "Photos/", tmp / "Photos"},
      {"backslashes are separators", tmp.path() + "\\Photos\\Summer Trip\\IMG_0001.JPG", file},
      {"case resolves to the disk's spelling", tmp / "photos/SUMMER TRIP/img_0001.jpg", file},
      {"dot and dot-dot", tmp / "Photos/./Summer Trip/../Summer Trip//IMG_0001.JPG", file},
      {"missing file", tmp / "Photos/IMG_0002.JPG", ""},
      {"missing folder", tmp / "Nope/IMG_0001.JPG", ""},
      {"file used as a folder", file + "/x", ""},
      {"quotes", "\"" + file + "\"", ""},
      {"wildcard", tmp / "Photos/*", ""},
      {"empty", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string buffer(260, '\0');
    const long n = GetLongPathNameA(row.in, buffer, 260);
    EXPECT_EQ(n, static_cast<long>(row.want.size()));
    EXPECT_EQ(buffer.substr(0, buffer.find('\0')), row.want);
  }
}

TEST_F(LongPathTest, AShortBufferGetsTheSizeNeededAndIsLeftAlone) {
  std::string deep = tmp.path();
  while (deep.size() < 300) deep += "/a-rather-long-folder-name";
  std::filesystem::create_directories(deep);
  const long needed = static_cast<long>(deep.size()) + 1;

  std::string buffer(260, '#');
  EXPECT_EQ(GetLongPathNameA(deep, buffer, 260), needed);
  EXPECT_EQ(buffer, std::string(260, '#'));

  // A length claimed beyond the real buffer is not believed.
  std::string small(10, '#');
  EXPECT_EQ(GetLongPathNameA(deep, small, 10000), needed);
  EXPECT_EQ(small, std::string(10, '#'));

  // Exactly the size asked for is enough.
  std::string exact(static_cast<std::size_t>(needed), '#');
  EXPECT_EQ(GetLongPathNameA(deep, exact, needed), needed - 1);
  EXPECT_EQ(exact.substr(0, exact.size() - 1), deep);
  EXPECT_EQ(exact.back(), '\0');
}

}  // namespace
