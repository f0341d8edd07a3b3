// Replays the fuzz targets' corpora (tests/data/fuzz/<target>/) through the
// same entry points, so that every input once found interesting stays sound.

#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/entries.h"
#include "platform/gdiplus/test_files.h"

namespace {

namespace fs = std::filesystem;

template <class Entry>
void Replay(const std::string& target, Entry entry) {
  const fs::path folder = fs::path(LUMIVANE_TEST_DATA) / "fuzz" / target;
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  int files = 0;
  for (const fs::directory_entry& file : fs::directory_iterator(folder)) {
    SCOPED_TRACE(file.path().filename().string());
    const std::vector<std::uint8_t> bytes = gdiplus_test::ReadBytes(file.path().string());
    EXPECT_EQ(entry(bytes), "");
    ++files;
  }
  EXPECT_GT(files, 0);
}

TEST(FuzzCorpus, PictureHeader) { Replay("picture_header", fuzz::PictureHeader); }
TEST(FuzzCorpus, PictureExif) { Replay("picture_exif", fuzz::PictureExif); }

}  // namespace
