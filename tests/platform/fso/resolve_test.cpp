#include "platform/fso/resolve.h"

#include <gtest/gtest.h>

#include "platform/fso/temp_dir.h"

namespace {

using namespace platform::fso;

class Resolve : public fso_test::TempDirTest {};

TEST_F(Resolve, FindsNamesWithoutRegardToCaseAndKeepsTheSpellingOnDisk) {
  MakeFolder("Pics/Holiday");
  Write("Pics/Holiday/photo.jpg");
  struct Row {
    const char* name;
    std::string in;
    std::string want;
  } rows[] = {
      {"exact", Path("Pics/Holiday/photo.jpg"), Path("Pics/Holiday/photo.jpg")},
      {"every component folded", Path("PICS/holiday/PHOTO.JPG"), Path("Pics/Holiday/photo.jpg")},
      {"missing leaf keeps its spelling", Path("pics/HOLIDAY/New.jpg"), Path("Pics/Holiday/New.jpg")},
      {"nothing below a missing folder is looked up", Path("pics/Gone/PHOTO.JPG"), Path("Pics/Gone/PHOTO.JPG")},
      {"doubled and trailing separators dropped", Path("pics//holiday/"), Path("Pics/Holiday")},
      {"a file is no folder", Path("pics/holiday/photo.jpg/x"), Path("Pics/Holiday/photo.jpg/x")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ResolvePath(row.in), row.want);
  }
  EXPECT_EQ(ResolvePath(""), "");
  EXPECT_EQ(ResolvePath("/"), "/");
}

TEST_F(Resolve, AnExactMatchWinsOverAFoldedOneAndAmongFoldedOnesTheOrderDecides) {
  Write("Photo.jpg", "upper");
  Write("photo.jpg", "lower");
  EXPECT_EQ(ResolvePath(Path("Photo.jpg")), Path("Photo.jpg"));
  EXPECT_EQ(ResolvePath(Path("photo.jpg")), Path("photo.jpg"));
  // Neither spelled so: the first in case-insensitive order (ties by bytes: upper case first).
  EXPECT_EQ(ResolvePath(Path("PHOTO.JPG")), Path("Photo.jpg"));
}

TEST_F(Resolve, ListsAFolderInCaseInsensitiveOrder) {
  for (const char* n : {"b.jpg", "A.jpg", "a_1.jpg", "C.JPG", "_x.png"}) Write(n);
  MakeFolder("Sub");
  EXPECT_EQ(ListFolder(root_, EntryKind::Files),
            (std::vector<std::string>{"_x.png", "A.jpg", "a_1.jpg", "b.jpg", "C.JPG"}));
  EXPECT_EQ(ListFolder(root_, EntryKind::Folders), std::vector<std::string>{"Sub"});
  EXPECT_EQ(ListFolder(root_, EntryKind::All).size(), 6u);
  EXPECT_TRUE(ListFolder(Path("missing"), EntryKind::All).empty());
}

TEST_F(Resolve, ALockHoldsTheFileWhateverTheSpellingAndEndsWithItsHolder) {
  Write("photo.jpg");
  EXPECT_FALSE(IsLocked(Path("photo.jpg")));
  {
    FileLock lock(Path("PHOTO.JPG"));
    EXPECT_TRUE(IsLocked(Path("photo.jpg")));
    FileLock second(Path("photo.jpg"));
    second.Release();
    EXPECT_TRUE(IsLocked(Path("Photo.Jpg")));  // the first holder still has it
    FileLock moved = std::move(lock);
    EXPECT_TRUE(IsLocked(Path("photo.jpg")));
  }
  EXPECT_FALSE(IsLocked(Path("photo.jpg")));
}

}  // namespace
