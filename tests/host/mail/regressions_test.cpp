// Faults found by trying the mail layer as an attacker and a careless user
// would; each test failed before its fault was mended.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "host/files.h"
#include "host/mail/names.h"
#include "host/mail/store.h"
#include "mail_support.h"

namespace {

using namespace mail_test;
using host::mail::Store;

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

mode_t ModeOf(const fs::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

void Age(const fs::path& file, std::chrono::hours age) {
  fs::last_write_time(file, fs::file_time_type::clock::now() - age);
}

// GMime decoded only up to the first base64 word that ends in padding.
TEST(Regressions, NamesSplitOverEncodedWordsAreDecodedWhole) {
  Scratch scratch;
  WriteBytes(scratch.root() / "Inbox" / "a.eml", ReadBytes(Fixture("split-names.eml")));
  auto message = Store::Open(scratch.root())->FindFolder("Inbox")->Messages().at(0);
  const std::vector<std::string> want = {
      Repeat("\xC3\xA9", 125) + ".jpg",  // 130 characters and ".jpg" in seven words, cut to 255 bytes
      Repeat("\xC3\xA9", 17) + ".jpg",   // seven short words
      Repeat("\xC3\xA9", 4) + "-x.png",  // ISO-8859-1, then UTF-8 in base64 and in Q
      Repeat("\xC3\xBC", 30) + ".gif",   // the Content-Type name
  };
  const auto& attachments = message->Attachments();
  ASSERT_EQ(attachments.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(attachments[i].file_name, want[i]);
  }
}

TEST(Regressions, InvisibleCharactersLeaveAttachmentNames) {
  for (const char* raw : {"ph\u200Boto.jpg", "pho\u200Cto.jpg", "phot\u200Do.jpg", "\uFEFFphoto.jpg", "photo\u2028.jpg",
                          "photo.jpg\u2029"}) {
    SCOPED_TRACE(raw);
    EXPECT_EQ(host::mail::SanitizeAttachmentName(raw, "x"), "photo.jpg");
  }
  // Composed and decomposed accents are both legitimate and stay as they are.
  EXPECT_EQ(host::mail::SanitizeAttachmentName("cafe\u0301.jpg", "x"), "cafe\u0301.jpg");
}

TEST(Regressions, AReadOnlyMessageIsNotRewritten) {
  Scratch scratch;
  const fs::path file = scratch.root() / "Inbox" / "cur" / "1.a:2,S";
  MakeMaildir(scratch.root() / "Inbox");
  WriteBytes(file, ReadBytes(Fixture("basic.eml")));
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                  fs::perm_options::replace);
  auto message = Store::Open(scratch.root())->FindFolder("Inbox")->Messages().at(0);
  message->RemoveAttachment(0);
  const Outcome r = Raised([&] { message->Save(); });
  EXPECT_EQ(r.number, runtime::err::kPermissionDenied);
  EXPECT_NE(r.description.find("read-only"), std::string::npos) << r.description;
  EXPECT_EQ(ReadBytes(file), ReadBytes(Fixture("basic.eml")));
}

// Saves killed half-way left their temporary files for good.
TEST(Regressions, TemporaryFilesOfKilledSavesAreRemoved) {
  Scratch scratch;
  const fs::path inbox = scratch.root() / "Inbox";
  MakeMaildir(inbox);
  WriteBytes(inbox / "cur" / "1.a:2,S", ReadBytes(Fixture("basic.eml")));
  struct Row {
    fs::path file;
    std::chrono::hours age;
    bool stays;
  } rows[] = {
      {inbox / "tmp" / ".lumivane-12-0-345.tmp", std::chrono::hours(30), false},  // ours, old
      {inbox / "tmp" / ".lumivane-12-1-345.tmp", std::chrono::hours(0), true},    // ours, maybe still being written
      {inbox / "tmp" / "1700000000.M1P2.other", std::chrono::hours(30), true},    // another program's
      {scratch.root() / "out" / ".~lumivane.12.3.tmp", std::chrono::hours(2), false},
      {scratch.root() / "out" / ".~lumivane.12.4.tmp", std::chrono::hours(0), true},
      {scratch.root() / "out" / "photo.jpg.tmp", std::chrono::hours(2), true},
  };
  for (const auto& row : rows) {
    WriteBytes(row.file, "half a file");
    Age(row.file, row.age);
  }
  // At start-up for tmp/ of a Maildir; before the first write for a folder written to.
  Store::Open(scratch.root());
  ASSERT_EQ(host::files::WriteAll((scratch.root() / "out" / "a.jpg").string(), {'a'}), host::files::WriteFailure::None);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file.string());
    EXPECT_EQ(fs::exists(row.file), row.stays);
  }
}

// Saved files were 0600 whatever the umask.
TEST(Regressions, SavedFilesGetTheModeOfAnyNewFile) {
  Scratch scratch;
  const mode_t before = ::umask(027);
  const fs::path out = scratch.root() / "out";
  fs::create_directories(out);
  WriteBytes(out / "old.jpg", "old");
  fs::permissions(out / "old.jpg", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read,
                  fs::perm_options::replace);
  EXPECT_EQ(host::files::WriteAll((out / "new.jpg").string(), {'n'}), host::files::WriteFailure::None);
  EXPECT_EQ(host::files::WriteAll((out / "old.jpg").string(), {'o'}), host::files::WriteFailure::None);
  WriteBytes(scratch.root() / "Inbox" / "a.eml", ReadBytes(Fixture("basic.eml")));
  const fs::path saved = Store::Open(scratch.root())->FindFolder("Inbox")->Messages().at(0)->SaveAttachmentInto(0, out);
  ::umask(before);
  EXPECT_EQ(ModeOf(out / "new.jpg"), 0640u);
  EXPECT_EQ(ModeOf(saved), 0640u);
  EXPECT_EQ(ModeOf(out / "old.jpg"), 0604u);  // a file replaced keeps its mode
}

}  // namespace
