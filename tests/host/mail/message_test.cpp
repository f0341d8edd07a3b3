#include "host/mail/message.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/mail/store.h"
#include "mail_support.h"
#include "platform/durability.h"

namespace {

using namespace mail_test;
using host::mail::Message;
using host::mail::Store;
using host::mail::WriteStep;

const std::string kReport =
    "Attachment Export Report for message 'x'\r\n----\r\n\"beach.jpg\" was saved to \"/tmp\". caf\xC3\xA9\n";

// A store in a scratch folder holding one fixture, as a Maildir message
// (cur/, flag S) or as an .eml file.
class MessageTest : public ::testing::Test {
 protected:
  std::shared_ptr<Message> Load(const std::string& fixture, bool maildir = true) {
    return LoadBytes(fixture, ReadBytes(Fixture(fixture)), maildir);
  }
  std::shared_ptr<Message> LoadBytes(const std::string& fixture, const std::string& bytes, bool maildir = true) {
    original_ = bytes;
    const fs::path root = base_ / "store";
    if (maildir) {
      MakeMaildir(root / "Inbox");
      file_ = root / "Inbox" / "cur" / "1700000000.M1P1.host:2,S";
    } else {
      file_ = root / "Inbox" / fixture;
    }
    WriteBytes(file_, original_);
    return Reopen();
  }
  // A fresh store over the same files: what the next run of the program sees.
  std::shared_ptr<Message> Reopen() {
    store_ = Store::Open(base_ / "store");
    return store_->FindFolder("Inbox")->Messages().at(0);
  }
  std::vector<std::string> FileNames(const std::shared_ptr<Message>& m) {
    std::vector<std::string> names;
    for (const auto& a : m->Attachments()) names.push_back(a.file_name);
    return names;
  }
  bool TmpIsEmpty() const {
    const fs::path tmp = base_ / "store" / "Inbox" / "tmp";
    return !fs::exists(tmp) || fs::is_empty(tmp);
  }
  fs::path WriteReport() const {
    const fs::path report = base_ / "Attachment Export Report (May 4, 2026).txt";
    WriteBytes(report, kReport);
    return report;
  }

  // Tests that loop start each round in a fresh folder.
  void NewRun() { base_ = scratch_.root() / ("run" + std::to_string(++runs_)); }

  Scratch scratch_;
  int runs_ = 0;
  fs::path base_ = scratch_.root();
  std::shared_ptr<Store> store_;
  fs::path file_;
  std::string original_;
};

TEST_F(MessageTest, ReadsSubjectAttachmentsAndContent) {
  auto m = Load("basic.eml");
  EXPECT_EQ(m->Subject(), "Holiday photos \xE2\x80\x93 beach");
  EXPECT_TRUE(m->Sent());
  const auto& a = m->Attachments();
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0].type, 1);
  EXPECT_EQ(a[0].file_name, "beach.jpg");
  EXPECT_EQ(a[0].display_name, "beach.jpg");
  EXPECT_EQ(a[0].content_type, "image/jpeg");
  EXPECT_EQ(a[0].content_id, "");
  EXPECT_EQ(a[1].file_name, "booking.pdf");
  EXPECT_EQ(a[2].type, 5);
  EXPECT_EQ(a[2].display_name, "Your reservation");
  EXPECT_EQ(a[2].file_name, "Your reservation.eml");
  EXPECT_TRUE(m->Problems().empty());

  const std::string photo = ReadBytes(Fixture("photo.bin"));
  EXPECT_EQ(m->ReadAttachment(0), photo);
  EXPECT_EQ(m->AttachmentSize(0), photo.size());
  EXPECT_EQ(m->ReadAttachment(2),
            "From: Hotel <desk@hotel.example>\nSubject: Your reservation\n"
            "Content-Type: text/plain\n\nWelcome.");

  const fs::path target = scratch_.root() / "out" / "beach.jpg";
  fs::create_directories(target.parent_path());
  WriteBytes(target, "older content");
  m->SaveAttachmentAs(0, target);
  EXPECT_EQ(ReadBytes(target), photo);
  EXPECT_EQ(ReadBytes(file_), original_);  // reading never writes
}

TEST_F(MessageTest, SubjectsAreUnfoldedAndDecoded) {
  struct Row {
    const char* name;
    std::string headers;
    std::string want;
  } rows[] = {
      {"plain", "From: a\nSubject: Hello\n", "Hello"},
      {"encoded words across a fold", "Subject: =?UTF-8?Q?caf=C3=A9?=\n =?ISO-8859-1?Q?_cr=E8me?=\n",
       "caf\xC3\xA9 cr\xC3\xA8me"},
      {"a character split between two Q words", "Subject: =?UTF-8?Q?caf=C3?= =?UTF-8?Q?=A9_au_lait?=\n",
       "caf\xC3\xA9 au lait"},
      {"mixed charsets, B and Q", "Subject: =?ISO-8859-1?B?6ek=?= =?UTF-8?B?w6nDqQ==?= =?UTF-8?Q?_cr=C3=A8me?=\n",
       "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 cr\xC3\xA8me"},
      {"plain words around encoded ones keep their blanks", "Subject: Re: =?UTF-8?B?w6k=?= =?UTF-8?B?w6k=?= ok\n",
       "Re: \xC3\xA9\xC3\xA9 ok"},
      {"raw Latin-1", "Subject: caf\xE9\n", "caf\xC3\xA9"},
      {"raw UTF-8", "Subject: caf\xC3\xA9\n", "caf\xC3\xA9"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    NewRun();
    WriteBytes(base_ / "store" / "Inbox" / "m.eml", row.headers + "\nbody\n");
    EXPECT_EQ(Reopen()->Subject(), row.want);
  }
}

TEST_F(MessageTest, SenderAndDateForTheMessageList) {
  struct Row {
    const char* name;
    std::string headers;
    std::string sender;
    std::optional<std::int64_t> date;
  } rows[] = {
      {"name and address", "From: Mara Lindqvist <mara@example.org>\nDate: Sat, 02 May 2026 09:01:00 +0200\n",
       "Mara Lindqvist", 1777705260},
      {"bare address, folded date", "From: desk@hotel.example\nDate: Sat, 02 May 2026\n 07:01:00 +0000\n",
       "desk@hotel.example", 1777705260},
      {"encoded name", "From: =?UTF-8?Q?Jos=C3=A9?= <j@example.org>\n", "Jos\xC3\xA9", std::nullopt},
      {"name split into base64 words", "From: =?UTF-8?B?Sm8=?= =?UTF-8?B?c8Op?= <j@example.org>\n", "Jos\xC3\xA9",
       std::nullopt},
      {"neither", "X-Note: x\n", "", std::nullopt},
      {"a date that is none", "From: a@b.example\nDate: next Tuesday\n", "a@b.example", std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    NewRun();
    WriteBytes(base_ / "store" / "Inbox" / "m.eml", row.headers + "Subject: s\n\nbody\n");
    auto m = Reopen();
    EXPECT_EQ(m->Sender(), row.sender);
    EXPECT_EQ(m->Date(), row.date);
    EXPECT_EQ(m->Subject(), "s");  // read with them
  }
}

TEST_F(MessageTest, HeadersAndBodyForTheMessageWindow) {
  struct Row {
    const char* name;
    std::string message;
    std::string from, to, body;
  } rows[] = {
      {"plain body beside attachments", ReadBytes(Fixture("basic.eml")), "Ann Example <ann@example.org>",
       "Bob <bob@example.net>", "Hi Bob,\n\ntwo pictures and the booking."},
      {"encoded names, two recipients",
       "From: =?UTF-8?Q?Jos=C3=A9?= <j@example.org>\nTo: a@example.org, Bo <b@example.org>\nSubject: s\n\nHello\n",
       "Jos\xC3\xA9 <j@example.org>", "a@example.org, Bo <b@example.org>", "Hello\n"},
      {"HTML only: its text", "Subject: s\nContent-Type: text/html\n\n<p>Dear &amp; all,</p><p>see <b>you</b></p>\n",
       "", "", "Dear & all,\n\nsee you"},
      {"no body at all", ReadBytes(Fixture("image-only.eml")), "Scanner <scan@example.org>", "", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    NewRun();
    WriteBytes(base_ / "store" / "Inbox" / "m.eml", row.message);
    auto m = Reopen();
    EXPECT_EQ(m->From(), row.from);
    EXPECT_EQ(m->To(), row.to);
    const std::string body = m->BodyText();
    EXPECT_EQ(row.body.empty() ? body : body.substr(0, row.body.size()), row.body);
  }
}

TEST_F(MessageTest, InlineImagesInsideTheHtmlBodyCarryTheirContentId) {
  auto m = Load("inline.eml", false);
  const auto& a = m->Attachments();
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].file_name, "attachment1.png");  // it has no name of its own
  EXPECT_EQ(a[0].content_id, "logo@example.org");
  EXPECT_EQ(a[1].file_name, "chart.png");
  EXPECT_EQ(a[1].content_id, "");  // a Content-ID outside the HTML body does not make it inline
  EXPECT_EQ(m->ReadAttachment(0), ReadBytes(Fixture("inline.bin")));
}

TEST_F(MessageTest, AMessageWithoutAttachments) {
  auto m = Load("single.eml", false);
  EXPECT_EQ(m->Subject(), "Plain note");
  EXPECT_TRUE(m->Attachments().empty());
  const Outcome noSuchAttachment{runtime::err::kSubscriptOutOfRange, "Attachment 1 does not exist; the message has 0"};
  EXPECT_EQ(Raised([&] { m->ReadAttachment(0); }), noSuchAttachment);
  EXPECT_EQ(Raised([&] { m->RemoveAttachment(0); }), noSuchAttachment);
  m->Save();  // nothing to write
  EXPECT_EQ(ReadBytes(file_), original_);
}

TEST_F(MessageTest, SaveRemovesAPartAndKeepsEveryOtherByteForByte) {
  for (const char* fixture : {"basic.eml", "crlf.eml"}) {
    SCOPED_TRACE(fixture);
    NewRun();
    auto m = Load(fixture);
    const std::string id = m->EntryID();
    m->RemoveAttachment(1);
    EXPECT_TRUE(m->Dirty());
    EXPECT_EQ(FileNames(m), (std::vector<std::string>{"beach.jpg", "Your reservation.eml"}));
    m->Save();
    EXPECT_FALSE(m->Dirty());

    const std::string saved = ReadBytes(file_);
    std::vector<std::string> want = PartsOf(original_, "outer-boundary");
    ASSERT_EQ(want.size(), 4u);
    want.erase(want.begin() + 2);  // the PDF; part 0 is the text body
    EXPECT_EQ(PartsOf(saved, "outer-boundary"), want);
    const std::size_t headers_end = original_.find("--outer-boundary");
    EXPECT_EQ(saved.substr(0, headers_end), original_.substr(0, headers_end));
    EXPECT_EQ(saved.substr(saved.size() - 20), original_.substr(original_.size() - 20));
    EXPECT_TRUE(TmpIsEmpty());

    auto again = Reopen();
    EXPECT_EQ(again->EntryID(), id);
    EXPECT_EQ(FileNames(again), (std::vector<std::string>{"beach.jpg", "Your reservation.eml"}));
    EXPECT_EQ(again->ReadAttachment(0), ReadBytes(Fixture("photo.bin")));
  }
}

TEST_F(MessageTest, SaveAddsAFileAsANewPartOfTheMixedBody) {
  auto m = Load("basic.eml");
  const fs::path report = WriteReport();
  m->AddAttachment(report);
  WriteBytes(report, "changed after it was attached");  // the message took the bytes already
  ASSERT_EQ(m->Attachments().size(), 4u);
  EXPECT_TRUE(m->Attachments()[3].added);
  EXPECT_EQ(m->ReadAttachment(3), kReport);
  m->Save();

  const std::string saved = ReadBytes(file_);
  std::vector<std::string> parts = PartsOf(saved, "outer-boundary");
  ASSERT_EQ(parts.size(), 5u);
  parts.pop_back();
  EXPECT_EQ(parts, PartsOf(original_, "outer-boundary"));

  auto again = Reopen();
  const auto& a = again->Attachments();
  ASSERT_EQ(a.size(), 4u);
  EXPECT_EQ(a[3].file_name, "Attachment Export Report (May 4, 2026).txt");
  EXPECT_EQ(a[3].content_type, "text/plain");
  EXPECT_FALSE(a[3].added);
  EXPECT_EQ(again->ReadAttachment(3), kReport);
}

TEST_F(MessageTest, AddingToASinglePartMessageWrapsItsBody) {
  auto m = Load("single.eml", false);
  m->AddAttachment(WriteReport());
  m->Save();

  const std::string saved = ReadBytes(file_);
  const std::string body = original_.substr(original_.find("\n\n") + 2);
  const std::size_t at = saved.find(body);
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(saved.rfind("Content-Type: text/plain; charset=utf-8\nContent-Transfer-Encoding: quoted-printable\n\n", at),
            std::string::npos);
  EXPECT_NE(saved.find("Content-Type: multipart/mixed"), std::string::npos);

  auto again = Reopen();
  EXPECT_EQ(again->Subject(), "Plain note");
  ASSERT_EQ(again->Attachments().size(), 1u);
  EXPECT_EQ(again->ReadAttachment(0), kReport);
  EXPECT_EQ(Raised([&] { again->AddAttachment(scratch_.root() / "missing.txt"); }),
            (Outcome{runtime::err::kFileNotFound,
                     "Cannot attach '" + (scratch_.root() / "missing.txt").string() + "': no such file"}));
}

TEST_F(MessageTest, NestedMultipartsKeepTheirBytesWhenASiblingGoes) {
  auto m = Load("inline.eml");
  m->RemoveAttachment(1);  // the chart, beside the whole HTML body
  m->Save();
  std::string saved = ReadBytes(file_);
  EXPECT_EQ(PartsOf(saved, "mix"), std::vector<std::string>{PartsOf(original_, "mix").at(0)});
  EXPECT_EQ(PartsOf(saved, "rel"), PartsOf(original_, "rel"));

  m->RemoveAttachment(0);  // the inline logo, inside the HTML body
  m->Save();
  saved = ReadBytes(file_);
  EXPECT_EQ(PartsOf(saved, "rel").size(), 1u);
  EXPECT_EQ(PartsOf(saved, "alt"), PartsOf(original_, "alt"));
  EXPECT_TRUE(Reopen()->Attachments().empty());
}

TEST_F(MessageTest, RemovingEveryAttachmentLeavesTheBody) {
  auto m = Load("basic.eml");
  for (std::size_t i = m->Attachments().size(); i-- > 0;)
    m->RemoveAttachment(i);  // from the last, as "delete all" does
  m->Save();
  const std::string saved = ReadBytes(file_);
  EXPECT_EQ(PartsOf(saved, "outer-boundary"), std::vector<std::string>{PartsOf(original_, "outer-boundary").at(0)});
  auto again = Reopen();
  EXPECT_TRUE(again->Attachments().empty());
  EXPECT_EQ(again->Subject(), "Holiday photos \xE2\x80\x93 beach");
}

TEST_F(MessageTest, RemovingTheOnlyPartOfAnImageMessageLeavesAnEmptyText) {
  auto m = Load("image-only.eml");
  ASSERT_EQ(FileNames(m), (std::vector<std::string>{"scan.jpg"}));
  m->RemoveAttachment(0);
  m->Save();
  auto again = Reopen();
  EXPECT_EQ(again->Subject(), "Scan");
  EXPECT_TRUE(again->Attachments().empty());
  EXPECT_EQ(ReadBytes(file_).find("image/jpeg"), std::string::npos);
}

TEST_F(MessageTest, AFailedSaveLeavesTheFileAndKeepsTheEdits) {
  const WriteStep steps[] = {WriteStep::CreateTemp, WriteStep::Write, WriteStep::Sync, WriteStep::Rename};
  for (bool maildir : {true, false}) {
    for (WriteStep step : steps) {
      SCOPED_TRACE(std::string(maildir ? "maildir" : "eml") + " step " + std::to_string(static_cast<int>(step)));
      NewRun();
      auto m = Load("basic.eml", maildir);
      store_->Faults().FailAt(step, 61, "Disk full");
      m->RemoveAttachment(0);
      const Outcome raised = Raised([&] { m->Save(); });
      EXPECT_EQ(raised.number, 61);
      EXPECT_EQ(raised.description, "The message '" + file_.filename().string() +
                                        "' was not saved: Disk full. The file on disk is unchanged.");
      EXPECT_EQ(ReadBytes(file_), original_);
      EXPECT_TRUE(TmpIsEmpty());
      EXPECT_EQ(std::distance(fs::directory_iterator(file_.parent_path()), {}), 1);  // no temporary left beside it
      EXPECT_TRUE(m->Dirty());

      store_->Faults().Clear();
      m->Save();
      EXPECT_EQ(FileNames(Reopen()), (std::vector<std::string>{"booking.pdf", "Your reservation.eml"}));
    }
  }
}

// An attachment saved out just before (an export that deletes what it
// saved) must be on the disk before the message loses it.
TEST_F(MessageTest, ACopyThatCannotBeSyncedKeepsTheAttachmentInTheMessage) {
  auto m = Load("basic.eml");
  const fs::path copies = base_ / "copies";
  WriteBytes(copies, "a file where the folder of the copy should be");
  platform::NoteUnsyncedCopy(copies / "photo.jpg");
  m->RemoveAttachment(0);
  const Outcome raised = Raised([&] { m->Save(); });
  EXPECT_EQ(raised.number, 76);  // path not found
  EXPECT_NE(raised.description.find("The file on disk is unchanged."), std::string::npos) << raised.description;
  EXPECT_EQ(ReadBytes(file_), original_);

  // Once the copy is there, the same save goes through.
  fs::remove(copies);
  fs::create_directories(copies);
  WriteBytes(copies / "photo.jpg", "copy");
  m->Save();
  EXPECT_EQ(FileNames(Reopen()), (std::vector<std::string>{"booking.pdf", "Your reservation.eml"}));
}

TEST_F(MessageTest, ASaveThatTheFileSystemRefusesReportsWhy) {
  auto m = Load("basic.eml");
  const fs::path tmp = base_ / "store" / "Inbox" / "tmp";
  fs::remove(tmp);
  WriteBytes(tmp, "a file where tmp/ should be");
  m->Subject();
  m->RemoveAttachment(0);
  const Outcome raised = Raised([&] { m->Save(); });
  EXPECT_EQ(raised.number, runtime::err::kPathNotFound);
  EXPECT_EQ(raised.description.rfind("The message 'Holiday photos \xE2\x80\x93 beach' was not saved: Could not create "
                                     "a temporary file in '",
                                     0),
            0u)
      << raised.description;
  EXPECT_EQ(ReadBytes(file_), original_);
}

TEST_F(MessageTest, AMessageChangedByAnotherProgramIsNotOverwritten) {
  auto m = Load("basic.eml");
  ASSERT_EQ(m->Attachments().size(), 3u);
  const std::string changed = original_ + "\nappended by someone else\n";
  WriteBytes(file_, changed);
  m->RemoveAttachment(0);
  const Outcome raised = Raised([&] { m->Save(); });
  EXPECT_EQ(raised.number, runtime::err::kPathFileAccessError);
  EXPECT_NE(raised.description.find("was changed by another program since it was read; the changes made to it here "
                                    "were dropped"),
            std::string::npos)
      << raised.description;
  EXPECT_EQ(ReadBytes(file_), changed);
  EXPECT_FALSE(m->Dirty());
  EXPECT_EQ(m->Attachments().size(), 3u);
}

TEST_F(MessageTest, SavingAnAttachmentFailsCleanly) {
  auto m = Load("basic.eml");
  const fs::path target = scratch_.root() / "out" / "beach.jpg";
  WriteBytes(target, "older content");
  store_->Faults().FailAt(WriteStep::Rename, 70, "Permission denied");
  EXPECT_EQ(Raised([&] { m->SaveAttachmentAs(0, target); }), (Outcome{70, "Permission denied"}));
  EXPECT_EQ(ReadBytes(target), "older content");
  EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), {}), 1);

  fs::remove(file_);
  store_->Faults().Clear();
  EXPECT_EQ(Raised([&] { m->SaveAttachmentAs(0, target); }),
            (Outcome{runtime::err::kFileNotFound, "The message file '" + file_.string() + "' is missing"}));
  EXPECT_EQ(ReadBytes(target), "older content");
}

TEST_F(MessageTest, RevertDropsUnsavedEdits) {
  auto m = Load("basic.eml");
  m->RemoveAttachment(2);
  m->AddAttachment(WriteReport());
  m->Revert();
  EXPECT_FALSE(m->Dirty());
  EXPECT_EQ(FileNames(m), (std::vector<std::string>{"beach.jpg", "booking.pdf", "Your reservation.eml"}));
}

}  // namespace

TEST_F(MessageTest, RemovingTheRootOfARelatedPartIsRefusedRatherThanUnlinkingItsInlineParts) {
  // Without its root the logo would become the root and read as a plain
  // attachment: the save must refuse rather than change what the rest is.
  const std::string text =
      "Subject: related\n"
      "MIME-Version: 1.0\n"
      "Content-Type: multipart/related; boundary=\"rel\"\n"
      "\n"
      "--rel\n"
      "Content-Type: application/x-page; name=\"page.bin\"\n"
      "\n"
      "page\n"
      "--rel\n"
      "Content-Type: image/png\n"
      "Content-ID: <logo@example.org>\n"
      "\n"
      "logo\n"
      "--rel--\n";
  for (bool maildir : {true, false}) {
    SCOPED_TRACE(maildir ? "maildir" : "eml");
    NewRun();
    auto m = LoadBytes("related.eml", text, maildir);
    ASSERT_EQ(m->Attachments().size(), 2u);
    ASSERT_EQ(m->Attachments()[1].content_id, "logo@example.org");
    m->RemoveAttachment(0);
    EXPECT_EQ(Raised([&] { m->Save(); }),
              (Outcome{75, "The message '" + file_.filename().string() +
                               "' was not saved: the message cannot be changed without losing part of it. The file "
                               "on disk is unchanged."}));
    EXPECT_EQ(ReadBytes(file_), original_);
    EXPECT_TRUE(TmpIsEmpty());
    EXPECT_EQ(Reopen()->Attachments().at(1).content_id, "logo@example.org");

    m = Reopen();
    m->RemoveAttachment(1);  // an inline part may go: the root stays the root
    m->Save();
    EXPECT_EQ(FileNames(Reopen()), (std::vector<std::string>{"page.bin"}));
  }
}
