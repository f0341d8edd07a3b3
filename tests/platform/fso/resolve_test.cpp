#include "platform/fso/resolve.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/fso/temp_dir.h"
#include "runtime/text.h"

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

// ---- the folder index: changes made behind its back ----

// Runs `change` in a child process, so the looking-up process learns of it
// only from the file system. The child keeps to plain system calls.
void InAnotherProcess(const std::function<bool()>& change) {
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) ::_exit(change() ? 0 : 1);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

bool Create(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  return fd >= 0 && ::close(fd) == 0;
}

TEST_F(Resolve, NamesCreatedRenamedOrDeletedByAnotherProcessAreSeenAtOnce) {
  MakeFolder("Pics");
  Write("Pics/A.JPG");
  EXPECT_EQ(ResolvePath(Path("pics/NEW.JPG")), Path("Pics/NEW.JPG"));  // the folder is read here

  const std::string neu = Path("Pics/new.jpg"), renamed = Path("Pics/Renamed.jpg"), upper = Path("Pics/RENAMED.jpg");
  InAnotherProcess([&] { return Create(neu); });
  EXPECT_EQ(ResolvePath(Path("pics/NEW.JPG")), neu);

  InAnotherProcess([&] { return ::rename(neu.c_str(), renamed.c_str()) == 0; });
  EXPECT_EQ(ResolvePath(Path("pics/NEW.JPG")), Path("Pics/NEW.JPG"));
  EXPECT_EQ(ResolvePath(Path("pics/renamed.JPG")), renamed);

  InAnotherProcess([&] { return Create(upper); });
  EXPECT_EQ(ResolvePath(Path("pics/renamed.JPG")), upper);  // now first in case-insensitive order
  InAnotherProcess([&] { return ::unlink(upper.c_str()) == 0; });
  EXPECT_EQ(ResolvePath(Path("pics/renamed.JPG")), renamed);

  // Another folder put in its place under the same name.
  const std::string pics = Path("Pics"), old = Path("Old"), other = Path("Pics/other.jpg");
  InAnotherProcess([&] { return ::rename(pics.c_str(), old.c_str()) == 0 && ::mkdir(pics.c_str(), 0755) == 0; });
  EXPECT_EQ(ResolvePath(Path("pics/a.jpg")), Path("Pics/a.jpg"));
  InAnotherProcess([&] { return Create(other); });
  EXPECT_EQ(ResolvePath(Path("pics/OTHER.JPG")), other);
  EXPECT_EQ(ResolvePath(Path("OLD/renamed.jpg")), Path("Old/Renamed.jpg"));
}

// Whatever happens to a folder, by this process or another, a look-up gives
// what reading the folder afresh gives: the exact name, else the first
// case-blind match in byte order, else the name as given.
TEST_F(Resolve, LookUpsAgreeWithAFreshReadOfTheFolderThroughAnyChange) {
  MakeFolder("F");
  const std::vector<std::string> spellings = {"ab.jpg", "aB.jpg", "Ab.jpg", "AB.jpg", "AB.JPG", "cd", "CD"};
  const auto fresh = [&](const std::string& name) {
    std::string best;
    for (const auto& e : std::filesystem::directory_iterator(Path("F"))) {
      const std::string n = e.path().filename().string();
      if (n == name) return Path("F/" + n);
      if (runtime::TextEqual(n, name) && (best.empty() || n < best)) best = n;
    }
    return Path("F/" + (best.empty() ? name : best));
  };
  std::uint32_t seed = 12345;
  const auto next = [&](std::size_t n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<std::size_t>((seed >> 16) % n);
  };
  for (int step = 0; step < 120; ++step) {
    const std::string a = Path("F/" + spellings[next(spellings.size())]);
    const std::string b = Path("F/" + spellings[next(spellings.size())]);
    const std::size_t op = next(3);
    const auto change = [op, &a, &b] {
      if (op == 0) return Create(a) || errno == EEXIST;
      if (op == 1) return ::unlink(a.c_str()) == 0 || errno == ENOENT;
      return ::rename(a.c_str(), b.c_str()) == 0 || errno == ENOENT;
    };
    if (step % 2 == 0) {
      InAnotherProcess(change);
    } else {
      ASSERT_TRUE(change());
    }
    for (const auto& s : spellings) {
      SCOPED_TRACE("step " + std::to_string(step) + ", " + s);
      ASSERT_EQ(ResolvePath(Path("f/" + s)), fresh(s));
    }
  }
}
