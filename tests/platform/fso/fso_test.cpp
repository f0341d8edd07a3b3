#include "platform/fso/fso.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fso/resolve.h"
#include "platform/fso/temp_dir.h"
#include "runtime/error.h"
#include "support/raised.h"

namespace {

using namespace platform::fso;
namespace fs = std::filesystem;

class Fso : public fso_test::TempDirTest {
 protected:
  FileSystemObject fso;
};

using testsupport::kCannotCreateObject;
using testsupport::kFileAlreadyExists;
using testsupport::kFileNotFound;
using testsupport::kInvalidCall;
using testsupport::kPathNotFound;
using testsupport::kPermissionDenied;
using testsupport::Outcome;
using testsupport::Raised;

TEST_F(Fso, RaisesTheNumbersOfTheOriginal) {
  Write("photo.jpg");
  MakeFolder("Pics");
  struct Row {
    const char* name;
    std::function<void()> statement;
    Outcome want;
  } rows[] = {
      {"GetFolder of a missing folder", [&] { fso.GetFolder(Path("missing")); }, kPathNotFound},
      {"GetFolder of a file", [&] { fso.GetFolder(Path("photo.jpg")); }, kPathNotFound},
      {"GetFile of a missing file", [&] { fso.GetFile(Path("missing.jpg")); }, kFileNotFound},
      {"GetFile of a folder", [&] { fso.GetFile(Path("Pics")); }, kFileNotFound},
      {"CreateFolder over a folder", [&] { fso.CreateFolder(Path("PICS")); }, kFileAlreadyExists},
      {"CreateFolder over a file", [&] { fso.CreateFolder(Path("Photo.jpg")); }, kFileAlreadyExists},
      {"CreateFolder two levels deep", [&] { fso.CreateFolder(Path("a/b")); }, kPathNotFound},
      {"DeleteFile of a missing file", [&] { fso.DeleteFile(Path("missing.jpg")); }, kFileNotFound},
      {"CreateTextFile without overwrite", [&] { fso.CreateTextFile(Path("PHOTO.JPG"), false); }, kFileAlreadyExists},
      {"CreateTextFile in a missing folder", [&] { fso.CreateTextFile(Path("missing/r.txt")); }, kPathNotFound},
      {"CreateTextFile over a folder", [&] { fso.CreateTextFile(Path("Pics")); }, kPermissionDenied},
      {"an empty path", [&] { fso.GetFolder(""); }, kInvalidCall},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Raised(row.statement), row.want);
  }
}

TEST_F(Fso, ExistenceTestsAreCaseBlindAndTellFilesFromFolders) {
  Write("Photo.JPG");
  MakeFolder("Pics");
  EXPECT_TRUE(fso.FileExists(Path("photo.jpg")));
  EXPECT_FALSE(fso.FileExists(Path("pics")));
  EXPECT_TRUE(fso.FolderExists(Path("PICS")));
  EXPECT_FALSE(fso.FolderExists(Path("photo.jpg")));
  EXPECT_FALSE(fso.FileExists(""));
  EXPECT_FALSE(fso.FolderExists(""));
  EXPECT_EQ(fso.GetFolder(Path("pics/"))->Path(), Path("Pics"));  // the spelling on disk
  EXPECT_EQ(fso.GetFolder(Path("pics"))->Name(), "Pics");
  EXPECT_EQ(fso.GetFile(Path("photo.jpg"))->Name(), "Photo.JPG");
}

TEST_F(Fso, CreateFolderMakesOneLevelAndGivesItsPath) {
  auto a = fso.CreateFolder(Path("Quenstor"));
  ASSERT_NE(a, nullptr);
  auto b = fso.CreateFolder(a->Path() + "/Lumivane");
  EXPECT_EQ(b->Path(), Path("Quenstor/Lumivane"));
  EXPECT_TRUE(fs::is_directory(Path("Quenstor/Lumivane")));
}

TEST_F(Fso, FilesAreListedInCaseInsensitiveOrderWithoutSubfolders) {
  for (const char* n : {"b.jpg", "A.gif", "c.PNG"}) Write(n);
  MakeFolder("sub");
  std::vector<std::string> names, paths;
  for (const auto& f : fso.GetFolder(root_)->Files()) {
    names.push_back(f->Name());
    paths.push_back(f->Path());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"A.gif", "b.jpg", "c.PNG"}));
  EXPECT_EQ(paths.front(), Path("A.gif"));
}

TEST_F(Fso, SizeIsInBytesAndAVanishedFileRaises53) {
  Write("a.bin", std::string(1234, 'x'));
  auto file = fso.GetFile(Path("A.BIN"));
  EXPECT_EQ(file->Size(), 1234);
  fs::remove(Path("a.bin"));
  EXPECT_EQ(Raised([&] { file->Size(); }), kFileNotFound);
  EXPECT_EQ(Raised([&] { file->Delete(true); }), kFileNotFound);
}

TEST_F(Fso, DeleteNeedsForceForAReadOnlyFileAndFailsOnALockedOne) {
  Write("ro.jpg");
  Write("open.jpg");
  fs::permissions(Path("ro.jpg"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  auto ro = fso.GetFile(Path("ro.jpg"));
  EXPECT_EQ(Raised([&] { ro->Delete(false); }), kPermissionDenied);
  EXPECT_TRUE(Exists("ro.jpg"));
  ro->Delete(true);
  EXPECT_FALSE(Exists("ro.jpg"));

  FileLock lock(Path("open.jpg"));
  EXPECT_EQ(Raised([&] { fso.DeleteFile(Path("OPEN.JPG"), true); }), kPermissionDenied);
  EXPECT_TRUE(Exists("open.jpg"));
  lock.Release();
  fso.DeleteFile(Path("OPEN.JPG"), true);
  EXPECT_FALSE(Exists("open.jpg"));
}

TEST_F(Fso, GetBaseNameDropsTheLastExtensionOnly) {
  struct Row {
    const char* in;
    const char* want;
  } rows[] = {
      {"a.b.jpg", "a.b"}, {"/tmp/x/photo.JPG", "photo"}, {"scan", "scan"}, {"dir/sub/", "sub"}, {"", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.in);
    EXPECT_EQ(fso.GetBaseName(row.in), row.want);
  }
}

TEST_F(Fso, ATextFileEndsLinesWithCrLfAndAppearsWholeOnlyWhenClosed) {
  Write("Report.txt", "old report");
  auto stream = fso.CreateTextFile(Path("REPORT.TXT"), true);
  stream->WriteLine("Header\r\n------");
  stream->Write("\"a.jpg\" was saved.");
  stream->WriteLine();
  EXPECT_EQ(Read("Report.txt"), "old report");  // nothing half written meanwhile
  stream->Close();
  EXPECT_EQ(Read("Report.txt"), "Header\r\n------\r\n\"a.jpg\" was saved.\r\n");
  EXPECT_EQ(fso.GetFolder(root_)->Files().size(), 1u);  // written over, no second spelling, no leftovers
  EXPECT_EQ(Raised([&] { stream->WriteLine("late"); }), (Outcome{54, "Bad file mode"}));
}

TEST_F(Fso, ATextStreamReleasedUnclosedKeepsItsText) {
  fso.CreateTextFile(Path("r.txt"))->WriteLine("one");
  EXPECT_EQ(Read("r.txt"), "one\r\n");
}

TEST_F(Fso, AFailedCloseLeavesTheOldFileAndNoTemporaryOne) {
  Write("r.txt", "old");
  auto stream = fso.CreateTextFile(Path("r.txt"));
  stream->WriteLine("new");
  fso.seam().Fail("TextStream.Close", 61, "Disk full");
  EXPECT_EQ(Raised([&] { stream->Close(); }), (Outcome{61, "Disk full"}));
  EXPECT_EQ(Read("r.txt"), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

TEST_F(Fso, TheSeamRecordsCallsInjectsFaultsAndCanGiveNoObject) {
  MakeFolder("Pics");
  Seam& seam = fso.seam();
  seam.Fail("FolderExists", 70, "Permission denied", 1);
  EXPECT_EQ(Raised([&] { fso.FolderExists(Path("Pics")); }), kPermissionDenied);
  EXPECT_TRUE(fso.FolderExists(Path("Pics")));  // once only

  seam.GiveNothing("GetFolder");
  EXPECT_EQ(fso.GetFolder(Path("Pics")), nullptr);
  seam.Heal("GetFolder");
  EXPECT_NE(fso.GetFolder(Path("Pics")), nullptr);

  // Objects made by the file-system object share its seam.
  seam.Fail("Folder.Files", 76, "Path not found");
  auto folder = fso.GetFolder(Path("Pics"));
  EXPECT_EQ(Raised([&] { folder->Files(); }), kPathNotFound);
  EXPECT_EQ(seam.CallsOf("FolderExists"), (std::vector<std::string>{Path("Pics"), Path("Pics")}));
  EXPECT_EQ(seam.CallsOf("GetFolder").size(), 3u);
}

TEST_F(Fso, CreationGoesThroughTheProvider) {
  auto mine = std::make_shared<FileSystemObject>();
  SetFileSystemObjectProvider([&] { return mine; });
  EXPECT_EQ(CreateFileSystemObject(), mine);
  SetFileSystemObjectProvider([]() -> std::shared_ptr<FileSystemObject> { runtime::Raise(429); });
  EXPECT_EQ(Raised([] { CreateFileSystemObject(); }), kCannotCreateObject);
  SetFileSystemObjectProvider(nullptr);
  EXPECT_NE(CreateFileSystemObject(), nullptr);
}

using FsoRegressions = Fso;

// A failure of the system says why: "Error 75 (Path/File access error)"
// alone leaves the person guessing. A link is told from what it points to.
TEST_F(FsoRegressions, SystemFailuresCarryTheReasonAndLinksAreToldApart) {
  MakeFolder("Pics");
  const std::string longName(300, 'x');
  try {
    fso.CreateFolder(Path(longName));
    ADD_FAILURE() << "a 300-byte name was made";
  } catch (const runtime::Error& e) {
    EXPECT_EQ(e.Number(), 75);
    EXPECT_EQ(e.Description(), "Path/File access error: File name too long");
  }
  fs::create_directory_symlink(Path("Pics"), Path("Link"));
  EXPECT_TRUE(fso.FolderExists(Path("link")));
  EXPECT_TRUE(IsSymbolicLink(Path("LINK")));
  EXPECT_FALSE(IsSymbolicLink(Path("Pics")));
  EXPECT_FALSE(IsSymbolicLink(Path("missing")));
}

}  // namespace
