// Damaged and hostile messages: each gives a clear error or a best-effort
// message, never a crash, and never loses what the file held.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/mail/store.h"
#include "mail_support.h"

namespace {

using namespace mail_test;
using host::mail::Store;

std::shared_ptr<host::mail::Message> OnlyMessageIn(const fs::path& root) {
  return Store::Open(root)->FindFolder("Inbox")->Messages().at(0);
}

bool Mentions(const std::vector<std::string>& problems, const std::string& text) {
  for (const auto& p : problems)
    if (p.find(text) != std::string::npos) return true;
  return false;
}

TEST(MalformedMail, FixturesGiveTheirBestAndStayIntact) {
  struct Row {
    const char* fixture;
    std::string subject;
    std::vector<std::string> names;
    std::string problem;  // "" for none
  } rows[] = {
      {"empty.eml", "", {}, "the file is not a mail message"},
      {"garbage.eml", "", {}, "the file is not a mail message"},
      {"headers-only.eml", "cut here", {}, "the message is truncated"},
      {"no-boundary.eml", "No boundary", {}, "a multipart section has no boundary"},
      {"nested-40.eml", "Nested forty deep", {}, "nested more than 32 levels deep"},
      {"truncated.eml", "Holiday photos \xE2\x80\x93 beach", {"beach.jpg", "booking.pdf"}, "the message is truncated"},
      {"unclosed.eml", "Unclosed", {"lost.png"}, "the message is truncated"},
      {"wrong-encodings.eml", "Caf\xC3\xA9 and ", {"garbage.jpg", "qp.bin"}, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fixture);
    Scratch scratch;
    const fs::path file = scratch.root() / "Inbox" / row.fixture;
    const std::string original = ReadBytes(Fixture(std::string("malformed/") + row.fixture));
    WriteBytes(file, original);
    auto m = OnlyMessageIn(scratch.root());

    EXPECT_EQ(m->Subject().substr(0, row.subject.size()), row.subject);
    std::vector<std::string> names;
    for (const auto& a : m->Attachments()) names.push_back(a.file_name);
    EXPECT_EQ(names, row.names);
    if (row.problem.empty()) {
      EXPECT_TRUE(m->Problems().empty());
    } else {
      EXPECT_TRUE(Mentions(m->Problems(), row.problem)) << testing::PrintToString(m->Problems());
    }

    std::vector<std::string> contents;
    for (std::size_t i = 0; i < names.size(); ++i) contents.push_back(m->ReadAttachment(i));
    if (names.empty()) {
      EXPECT_EQ(ReadBytes(file), original);
      continue;
    }
    // What stays after a removal reads exactly as before.
    m->RemoveAttachment(0);
    m->Save();
    auto again = OnlyMessageIn(scratch.root());
    ASSERT_EQ(again->Attachments().size(), names.size() - 1);
    for (std::size_t i = 1; i < names.size(); ++i) {
      EXPECT_EQ(again->Attachments()[i - 1].file_name, names[i]);
      EXPECT_EQ(again->ReadAttachment(i - 1), contents[i]);
    }
  }
}

// Adding a file either works, keeping what was there, or is refused with
// the file untouched.
TEST(MalformedMail, AddingAFileWorksOrIsRefusedCleanly) {
  struct Row {
    const char* fixture;
    std::string refusal;  // "" when the file can be added
  } rows[] = {
      {"empty.eml", "the file is not a mail message"},
      {"garbage.eml", "the file is not a mail message"},
      {"no-boundary.eml",
       "the message cannot be changed without losing part of it (a multipart section has no boundary)"},
      {"headers-only.eml", ""},
      {"nested-40.eml", ""},
      {"truncated.eml", ""},
      {"unclosed.eml", ""},
      {"wrong-encodings.eml", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fixture);
    Scratch scratch;
    const fs::path file = scratch.root() / "Inbox" / row.fixture;
    const std::string original = ReadBytes(Fixture(std::string("malformed/") + row.fixture));
    WriteBytes(file, original);
    WriteBytes(scratch.root() / "report.txt", "report");
    auto m = OnlyMessageIn(scratch.root());
    std::vector<std::string> before;
    for (std::size_t i = 0; i < m->Attachments().size(); ++i) before.push_back(m->ReadAttachment(i));
    m->AddAttachment(scratch.root() / "report.txt");

    const Outcome raised = Raised([&] { m->Save(); });
    if (!row.refusal.empty()) {
      EXPECT_EQ(raised.number, runtime::err::kPathFileAccessError);
      EXPECT_EQ(raised.description, "The message '" + std::string(row.fixture) + "' was not saved: " + row.refusal +
                                        ". The file on disk is unchanged.");
      EXPECT_EQ(ReadBytes(file), original);
      continue;
    }
    ASSERT_EQ(raised.number, 0) << raised.description;
    auto again = OnlyMessageIn(scratch.root());
    ASSERT_EQ(again->Attachments().size(), before.size() + 1);
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(again->ReadAttachment(i), before[i]);
    EXPECT_EQ(again->ReadAttachment(before.size()), "report");
  }
}

// Far deeper than any parser should follow; GMime stops at its own limit.
TEST(MalformedMail, DeepNestingIsCutNotFollowed) {
  const int depth = 3000;
  std::string multiparts = "Subject: deep\nContent-Type: multipart/mixed; boundary=b0\n\n";
  for (int i = 1; i < depth; ++i)
    multiparts +=
        "--b" + std::to_string(i - 1) + "\nContent-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\n\n";
  multiparts += "--b" + std::to_string(depth - 1) + "\nContent-Type: image/png; name=x.png\n\nx\n";
  for (int i = depth - 1; i >= 0; --i) multiparts += "--b" + std::to_string(i) + "--\n";
  std::string messages;
  for (int i = 0; i < depth; ++i) messages += "Subject: level\nContent-Type: message/rfc822\n\n";
  messages += "Subject: bottom\n\nbody\n";

  Scratch scratch;
  WriteBytes(scratch.root() / "Inbox" / "a.eml", multiparts);
  WriteBytes(scratch.root() / "Inbox" / "b.eml", messages);
  auto folder = Store::Open(scratch.root())->FindFolder("Inbox");
  auto a = folder->Messages().at(0);
  EXPECT_TRUE(a->Attachments().empty());
  EXPECT_TRUE(Mentions(a->Problems(), "nested too deeply"));

  auto b = folder->Messages().at(1);
  ASSERT_EQ(b->Attachments().size(), 1u);
  EXPECT_EQ(b->Attachments()[0].type, 5);
  EXPECT_TRUE(Mentions(b->Problems(), "nested too deeply"));
  EXPECT_GT(b->ReadAttachment(0).size(), 0u);
  b->RemoveAttachment(0);
  b->Save();
  EXPECT_TRUE(folder->Messages().at(1)->Attachments().empty());
}

}  // namespace
