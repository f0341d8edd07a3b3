// Replays the mail fuzz targets' corpora (tests/data/fuzz/<target>/) through
// the same entry points, so that every input once found interesting stays
// sound: read, edited and saved, or refused with the file left as it was.

#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/mail_entries.h"
#include "host/mail/mail_support.h"

namespace {

namespace fs = std::filesystem;

template <class Entry>
void Replay(const std::string& target, Entry entry) {
  const fs::path folder = fs::path(LUMIVANE_TEST_DATA) / "fuzz" / target;
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  int files = 0;
  for (const fs::directory_entry& file : fs::directory_iterator(folder)) {
    if (file.path().filename().string().front() == '.') continue;  // .gitattributes
    SCOPED_TRACE(file.path().filename().string());
    const std::string bytes = mail_test::ReadBytes(file.path());
    EXPECT_EQ(entry(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())), "");
    ++files;
  }
  EXPECT_GT(files, 0);
}

// Findings kept under names that say what they broke.
std::string Finding(const std::string& name) {
  const std::string bytes = mail_test::ReadBytes(fs::path(LUMIVANE_TEST_DATA) / "fuzz" / "mail_message" / name);
  if (bytes.empty()) return "no finding " + name;
  return fuzz::MailMessage(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

TEST(MailFuzzFindings, AnAttachedMessageKeepsItsBytesWhenASaveChangesTheLayoutAroundIt) {
  // A line GMime reads as a delimiter and we do not: the saved file gave
  // the attached messages other bytes, and the check after the rewrite
  // compared only their subjects.
  for (const char* name : {"attached-message-shrinks", "attached-message-grows"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Finding(name), "");
  }
}

TEST(MailFuzzFindings, RemovingTheRootOfARelatedPartKeepsItsInlinePartsInline) {
  EXPECT_EQ(Finding("related-root-removed"), "");
}

TEST(MailFuzzCorpus, MailMessage) { Replay("mail_message", fuzz::MailMessage); }
TEST(MailFuzzCorpus, AttachmentName) { Replay("attachment_name", fuzz::AttachmentName); }

}  // namespace
