#include "host/mail/names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "host/mail/store.h"
#include "host/mail/text_util.h"
#include "mail_support.h"

namespace {

using namespace mail_test;
using host::mail::kMaxNameBytes;
using host::mail::PathInside;
using host::mail::SanitizeAttachmentName;

bool IsValidUtf8(const std::string& s) { return host::mail::detail::MakeValidUtf8(s, "?") == s; }

TEST(AttachmentNames, HostileNamesBecomeOnePlainComponent) {
  const std::string e_acute = "\xC3\xA9";
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += e_acute;
  struct Row {
    const char* name;
    std::string raw;
    std::string want;
  } rows[] = {
      {"plain", "photo.jpg", "photo.jpg"},
      {"traversal", "../../etc/passwd", "passwd"},
      {"absolute", "/etc/passwd", "passwd"},
      {"windows separators", "..\\..\\Windows\\system32\\evil.dll", "evil.dll"},
      {"drive letter", "C:\\Users\\ann\\photo.jpg", "photo.jpg"},
      {"trailing separator", "photos/beach.jpg/", "beach.jpg"},
      {"mixed separators", "a/..\\b/../c.png", "c.png"},
      {"dot", ".", "FALLBACK"},
      {"dot dot", "..", "FALLBACK"},
      {"dot dot slash", "../", "FALLBACK"},
      {"ends in dot dot", "evil/..", "FALLBACK"},
      {"empty", "", "FALLBACK"},
      {"blanks only", "   ", "FALLBACK"},
      {"blanks trimmed", "  beach .jpg  ", "beach .jpg"},
      {"right-to-left override", "\u202Egpj.exe", "gpj.exe"},
      {"isolates and marks", "in\u2066voi\u2069ce\u200F.pdf\u200E", "invoice.pdf"},
      {"override hides dot dot", "\u202E..", "FALLBACK"},
      {"newline and tab", "line\nbreak\t.jpg", "linebreak.jpg"},
      {"carriage return, DEL and C1",
       "a\r\x7F\xC2\x85"
       "b.jpg",
       "ab.jpg"},
      {"NUL inside", std::string("nul\0byte.jpg", 12), "nulbyte.jpg"},
      {"invalid UTF-8", "bad\xFF\xFE.png", "bad__.png"},
      {"overlong slash is not a slash",
       "a\xC0\xAF"
       "b.png",
       "a__b.png"},
      {"hidden file stays inside", ".profile", ".profile"},
      {"three dots are a name", "...", "..."},
      {"300 characters keep the extension", std::string(300, 'a') + ".jpg", std::string(251, 'a') + ".jpg"},
      {"300 characters, no extension", std::string(300, 'b'), std::string(255, 'b')},
      {"300 two-byte characters cut on a boundary", accents + ".png", accents.substr(0, 250) + ".png"},
      {"overlong extension is not kept whole", "x." + std::string(300, 'c'), "x." + std::string(253, 'c')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string got = SanitizeAttachmentName(row.raw, "FALLBACK");
    EXPECT_EQ(got, row.want);
    EXPECT_LE(got.size(), kMaxNameBytes);
    EXPECT_TRUE(IsValidUtf8(got));
    EXPECT_EQ(got.find_first_of(std::string("/\\\0", 3)), std::string::npos);
  }
}

TEST(AttachmentNames, NeutralNamesCarryTheTypesExtension) {
  EXPECT_EQ(host::mail::NeutralAttachmentName(3, "image/jpeg"), "attachment3.jpg");
  EXPECT_EQ(host::mail::NeutralAttachmentName(1, "IMAGE/PNG"), "attachment1.png");
  EXPECT_EQ(host::mail::NeutralAttachmentName(2, "application/x-unknown"), "attachment2");
  EXPECT_EQ(host::mail::ContentTypeForFileName("Photo.JPEG"), "image/jpeg");
  EXPECT_EQ(host::mail::ContentTypeForFileName("report.txt"), "text/plain");
  EXPECT_EQ(host::mail::ContentTypeForFileName("mail.eml"), "application/octet-stream");
  EXPECT_EQ(host::mail::ContentTypeForFileName("noextension"), "application/octet-stream");
}

TEST(AttachmentNames, PathInsideRefusesAnythingButOnePlainName) {
  Scratch scratch;
  const fs::path target = scratch.root() / "target";
  fs::create_directories(target / "sub");
  fs::create_symlink("/etc/passwd", target / "link.txt");
  struct Row {
    const char* name;
    std::string raw;
    Outcome want;
  } rows[] = {
      {"traversal", "../escape.txt", {runtime::err::kBadFileNameOrNumber, "'../escape.txt' is not a plain file name"}},
      {"separator", "sub/x.txt", {runtime::err::kBadFileNameOrNumber, "'sub/x.txt' is not a plain file name"}},
      {"backslash", "sub\\x.txt", {runtime::err::kBadFileNameOrNumber, "'sub\\x.txt' is not a plain file name"}},
      {"dot dot", "..", {runtime::err::kBadFileNameOrNumber, "'..' is not a plain file name"}},
      {"dot", ".", {runtime::err::kBadFileNameOrNumber, "'.' is not a plain file name"}},
      {"empty", "", {runtime::err::kBadFileNameOrNumber, "'' is not a plain file name"}},
      {"NUL",
       std::string("a\0b", 3),
       {runtime::err::kBadFileNameOrNumber, "'" + std::string("a\0b", 3) + "' is not a plain file name"}},
      {"too long",
       std::string(256, 'x'),
       {runtime::err::kBadFileNameOrNumber, "'" + std::string(256, 'x') + "' is not a plain file name"}},
      {"existing directory",
       "sub",
       {runtime::err::kPathFileAccessError,
        "'" + (target / "sub").string() + "' exists and is not a plain file; nothing was written"}},
      {"symbolic link",
       "link.txt",
       {runtime::err::kPathFileAccessError,
        "'" + (target / "link.txt").string() + "' exists and is not a plain file; nothing was written"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Raised([&] { PathInside(target, row.raw); }), row.want);
  }
  EXPECT_EQ(PathInside(target, "photo.jpg"), fs::canonical(target) / "photo.jpg");
  // A folder reached through a link is judged by where it really is.
  fs::create_directory_symlink(target, scratch.root() / "alias");
  EXPECT_EQ(PathInside(scratch.root() / "alias", "a.jpg"), fs::canonical(target) / "a.jpg");
}

// Every attachment of a message full of hostile names, saved by its
// sanitised name, lands directly inside the target folder.
TEST(AttachmentNames, NothingIsEverWrittenOutsideTheTarget) {
  Scratch scratch;
  const fs::path store_dir = scratch.root() / "store";
  const fs::path target = scratch.root() / "sandbox" / "target";
  fs::create_directories(target);
  WriteBytes(store_dir / "Inbox" / "names.eml", ReadBytes(Fixture("names.eml")));
  // Decoys where an escaping name would land.
  WriteBytes(scratch.root() / "sandbox" / "passwd", "decoy");

  auto store = host::mail::Store::Open(store_dir);
  auto message = store->FindFolder("Inbox")->Messages().at(0);
  const auto& attachments = message->Attachments();
  const std::vector<std::string> want = {
      "passwd",
      "shadow",
      "evil.jpg",
      "gpj.exe",
      "up.jpg",
      "rfc2047.jpg",
      "attachment7.jpg",
      "linebreak",
      std::string(251, 'a') + ".jpg",
      "same.jpg",
      "same.jpg",
      "tabandnewline.jpg",
      "temp",
  };
  ASSERT_EQ(attachments.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(want[i]);
    EXPECT_EQ(attachments[i].file_name, want[i]);
    EXPECT_EQ(attachments[i].display_name, want[i]);
    const fs::path written = message->SaveAttachmentInto(i, target);
    EXPECT_EQ(written.parent_path(), fs::canonical(target));
    EXPECT_EQ(ReadBytes(written), "hi");
  }

  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(scratch.root() / "sandbox"))
    if (entry.is_regular_file()) files.push_back(entry.path());
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    EXPECT_TRUE(file.parent_path() == target || file == scratch.root() / "sandbox" / "passwd");
  }
  EXPECT_EQ(ReadBytes(scratch.root() / "sandbox" / "passwd"), "decoy");
  // Two attachments named alike share a name; the second replaced the first,
  // inside the folder: the caller decides on unique names.
  EXPECT_EQ(files.size(), (want.size() - 1) + 1 /* the decoy */);
}

}  // namespace
