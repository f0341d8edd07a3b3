// The client's store loaded from real mail: scenarios over the fixtures, as
// the add-in sees them through the object model.
#include "host/mail_link.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <set>

#include "host/addin.h"
#include "host/mail/mail_support.h"
#include "host/mail/names.h"
#include "host/rdo.h"

namespace {

using namespace mail_test;
using host::mail::WriteStep;

class MailLinkTest : public ::testing::Test {
 protected:
  // Puts a fixture into Maildir folder `folder` (cur/, flags `flags`).
  fs::path Put(const std::string& folder, const std::string& fixture, const std::string& unique,
               const std::string& flags = "S") {
    MakeMaildir(Root() / folder);
    fs::path file = Root() / folder / "cur" / (unique + ":2," + flags);
    WriteBytes(file, ReadBytes(Fixture(fixture)));
    return file;
  }
  void Settings(const std::string& folder, const std::string& text) {
    WriteBytes(Root() / folder / host::mail::kFolderSettingsFile, text);
  }
  void Open() {
    mail_ = host::mail::Store::Open(Root());
    link_ = host::MailLink::Attach(*host_.Store(), mail_);
  }
  std::shared_ptr<host::Item> ItemOf(const std::string& folder, long index = 1) {
    return link_->FolderAt(folder)->Items()->Item(index);
  }
  fs::path Root() const { return scratch_.root() / "store"; }
  fs::path Out() const {
    fs::create_directories(scratch_.root() / "out");
    return scratch_.root() / "out";
  }
  static std::vector<std::string> Names(const std::shared_ptr<host::Item>& item) {
    std::vector<std::string> names;
    for (auto a : item->Attachments()) names.push_back(a->FileName());
    return names;
  }

  Scratch scratch_;
  host::Host host_;
  std::shared_ptr<host::mail::Store> mail_;
  std::shared_ptr<host::MailLink> link_;
};

TEST_F(MailLinkTest, ItemsCarryWhatTheAddInReads) {
  Put("Inbox", "basic.eml", "1.a");
  Put("Inbox", "inline.eml", "2.b");
  Put("Drafts", "single.eml", "3.c");
  Put("Inbox", "image-only.eml", "4.d", "DS");  // a draft by its flag
  Put("Board", "basic.eml", "5.e");
  Settings("Board", "type = post\n");
  Put("Calendar", "single.eml", "6.f");
  Settings("Calendar", "type = appointment\n");
  Open();

  std::vector<std::string> folders;
  for (const auto& f : host_.Store()->Folders())
    folders.push_back(f->Name() + ":" + std::to_string(f->DefaultItemType()));
  EXPECT_EQ(folders, (std::vector<std::string>{"Board:6", "Calendar:1", "Drafts:0", "Inbox:0"}));

  auto basic = ItemOf("Inbox", 1);
  EXPECT_EQ(basic->Subject(), "Holiday photos \xE2\x80\x93 beach");
  EXPECT_EQ(basic->Class(), host::olMail);
  EXPECT_TRUE(basic->Sent());
  EXPECT_EQ(basic->DownloadState(), host::olFullItem);
  EXPECT_EQ(basic->EntryID(), mail_->FindFolder("Inbox")->Messages()[0]->EntryID());
  EXPECT_EQ(host_.Store()->FindItem(basic->EntryID()), basic);
  auto beach = basic->Attachments()->Item(1);
  EXPECT_EQ(beach->FileName(), "beach.jpg");
  EXPECT_EQ(beach->DisplayName(), "beach.jpg");
  EXPECT_EQ(beach->Type(), host::olByValue);

  EXPECT_FALSE(ItemOf("Inbox", 3)->Sent());
  EXPECT_FALSE(ItemOf("Drafts")->Sent());
  EXPECT_EQ(ItemOf("Board")->Class(), host::olPost);
  EXPECT_EQ(ItemOf("Calendar")->Class(), host::olAppointment);
  EXPECT_EQ(ItemOf("Drafts")->Attachments()->Count(), 0);
}

// Mail programs split long non-ASCII header texts into several encoded
// words; only the first of them reached the add-in and the message list.
TEST_F(MailLinkTest, HeaderTextsSplitIntoEncodedWordsArriveWhole) {
  Put("Inbox", "split-headers.eml", "1.a");
  Open();
  std::string subject;
  for (int i = 0; i < 140; ++i) subject += "\xC3\xA9";
  auto item = ItemOf("Inbox");
  EXPECT_EQ(item->Subject(), subject);
  EXPECT_EQ(item->Attachments()->Item(1)->DisplayName(), "R\xC3\xA9servation n\xC2\xB0 42");
  auto message = mail_->FindFolder("Inbox")->Messages().at(0);
  EXPECT_EQ(message->Sender(), "Jos\xC3\xA9");
  EXPECT_EQ(message->From(), "Jos\xC3\xA9 <jose@example.org>");
  EXPECT_EQ(message->To(), "Zo\xC3\xAB Lindqvist <zoe@example.org>, bo@example.org");
}

TEST_F(MailLinkTest, SessionObjectReadsTheContentIdOfInlineImages) {
  Put("Inbox", "inline.eml", "1.a");
  Put("Inbox", "basic.eml", "2.b");
  Open();
  host::RDOSession session;
  session.MAPIOBJECT(host_.App()->Session()->MAPIOBJECT());
  for (long i = 1; i <= 2; ++i) {
    auto item = ItemOf("Inbox", i);
    // Nothing of the item was read yet: the session object reads the file.
    auto mail = session.GetMessageFromID(item->EntryID());
    EXPECT_EQ(mail->Subject(), item->Subject());
    for (const auto& a : *mail->Attachments()) {
      SCOPED_TRACE(a->FileName());
      // The logo sits inside the HTML body; chart.png has a Content-ID too,
      // but beside the body it is an ordinary attachment.
      const bool inlineLogo = i == 1 && a->FileName() != "chart.png";
      EXPECT_EQ(a->Fields(host::PR_ATTACH_CONTENT_ID_W), inlineLogo ? "logo@example.org" : "");
      EXPECT_EQ(a->Fields(host::PR_ATTACH_CONTENT_ID_ERROR), inlineLogo ? "logo@example.org" : "");
    }
  }
}

TEST_F(MailLinkTest, NothingIsReadBeforeItIsNeeded) {
  const fs::path file = Put("Inbox", "basic.eml", "1.a");
  Open();
  auto items = link_->FolderAt("inbox")->Items();
  ASSERT_EQ(items->Count(), 1);
  // The listing opened no file: a message that goes now fails only when read.
  fs::remove(file);
  auto item = items->Item(1);
  EXPECT_EQ(item->Class(), host::olMail);
  EXPECT_NE(Raised([&] { item->Subject(); }), kNoError);
  EXPECT_NE(Raised([&] { item->Attachments(); }), kNoError);
  // Back again: the item reads itself now.
  WriteBytes(file, ReadBytes(Fixture("basic.eml")));
  EXPECT_EQ(Names(item), (std::vector<std::string>{"beach.jpg", "booking.pdf", "Your reservation.eml"}));
}

TEST_F(MailLinkTest, MalformedMessagesLoadWithoutACrash) {
  const char* fixtures[] = {"empty.eml",       "garbage.eml",   "headers-only.eml", "nested-40.eml",
                            "no-boundary.eml", "truncated.eml", "unclosed.eml",     "wrong-encodings.eml"};
  int n = 0;
  for (const char* f : fixtures) Put("Inbox", std::string("malformed/") + f, std::to_string(++n) + ".m");
  Open();
  auto items = link_->FolderAt("Inbox")->Items();
  ASSERT_EQ(items->Count(), n);
  for (auto item : *items) {
    SCOPED_TRACE(item->EntryID());
    Raised([&] { item->Subject(); });
    // Whatever the parser made of it can be saved, into the folder only.
    const Outcome r = Raised([&] {
      for (auto a : item->Attachments()) a->SaveAsFile((Out() / a->FileName()).string());
    });
    EXPECT_EQ(r.number, 0) << r.description;
  }
  for (const auto& entry : fs::recursive_directory_iterator(scratch_.root() / "out"))
    EXPECT_EQ(entry.path().parent_path(), Out());
}

TEST_F(MailLinkTest, AWriteThatFailsHalfwayLeavesNoHalfFile) {
  Put("Inbox", "basic.eml", "1.a");
  Open();
  auto beach = ItemOf("Inbox")->Attachments()->Item(1);
  const std::string bytes = mail_->FindFolder("Inbox")->Messages()[0]->ReadAttachment(0);
  ASSERT_GT(bytes.size(), 2000u);
  const fs::path fresh = Out() / "fresh.jpg";
  const fs::path older = Out() / "older.jpg";
  WriteBytes(older, "older content");
  // The file-size limit makes the disk refuse the write after 1000 bytes.
  struct rlimit before {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto ignored = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = before;
  limit.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  const Outcome onFresh = Raised([&] { beach->SaveAsFile(fresh.string()); });
  const Outcome onOlder = Raised([&] { beach->SaveAsFile(older.string()); });
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, ignored);

  for (const Outcome& r : {onFresh, onOlder}) {
    EXPECT_EQ(r.number, host::err::kFail);
    EXPECT_EQ(r.description, std::string(host::text::kSaveFailed) + " File too large.");
  }
  EXPECT_FALSE(fs::exists(fresh));
  EXPECT_EQ(ReadBytes(older), "older content");
  EXPECT_EQ(std::distance(fs::directory_iterator(Out()), {}), 1);  // no temporary file left

  beach->SaveAsFile(fresh.string());
  EXPECT_EQ(ReadBytes(fresh), bytes);
}

TEST_F(MailLinkTest, HostileNamesStayInsideTheTargetFolder) {
  Put("Inbox", "names.eml", "1.a");
  Open();
  auto item = ItemOf("Inbox");
  std::set<std::string> names;
  for (auto a : item->Attachments()) {
    SCOPED_TRACE(a->FileName());
    EXPECT_EQ(a->FileName().find_first_of("/\\"), std::string::npos);
    EXPECT_LE(a->FileName().size(), host::mail::kMaxNameBytes);
    a->SaveAsFile((Out() / a->FileName()).string());
    names.insert(a->FileName());
  }
  EXPECT_GE(names.size(), 8u);
  // Every file written is directly in the folder; nothing appeared elsewhere.
  for (const auto& entry : fs::recursive_directory_iterator(scratch_.root())) {
    if (entry.is_directory()) continue;
    const bool inOut = entry.path().parent_path() == Out();
    const bool inStore = entry.path().string().rfind(Root().string(), 0) == 0;
    EXPECT_TRUE(inOut || inStore) << entry.path();
  }
}

TEST_F(MailLinkTest, SavingWritesTheMessageBackKeepingUntouchedPartsExact) {
  const fs::path file = Put("Inbox", "basic.eml", "1.a");
  const std::string original = ReadBytes(file);
  Open();
  auto item = ItemOf("Inbox");
  ASSERT_EQ(Names(item), (std::vector<std::string>{"beach.jpg", "booking.pdf", "Your reservation.eml"}));
  EXPECT_EQ(item->Attachments()->Item(3)->Type(), host::olEmbeddeditem);
  const runtime::ByteArray pdf = item->Attachments()->Item(2)->Content();

  // The add-in deletes the picture and adds its export report.
  item->Attachments()->Remove(1);
  const fs::path report = Out() / "Attachment Export Report (May 4, 2026).txt";
  WriteBytes(report, "report\r\n");
  item->Attachments()->Add(report.string());
  item->Save();

  const std::string saved = ReadBytes(mail_->FindMessage(item->EntryID())->File());
  const auto before = PartsOf(original, "outer-boundary");
  const auto after = PartsOf(saved, "outer-boundary");
  ASSERT_EQ(before.size(), 4u);
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[0], before[0]);  // the text
  EXPECT_EQ(after[1], before[2]);  // the PDF, byte for byte
  EXPECT_EQ(after[2], before[3]);
  EXPECT_NE(after[3].find("Attachment Export Report"), std::string::npos);

  // The item's attachments still read their bytes where they now stand.
  EXPECT_EQ(Names(item), (std::vector<std::string>{"booking.pdf", "Your reservation.eml",
                                                   "Attachment Export Report (May 4, 2026).txt"}));
  EXPECT_EQ(item->Attachments()->Item(1)->Content(), pdf);
  // A second save with nothing changed leaves the file alone.
  const auto stamp = fs::last_write_time(mail_->FindMessage(item->EntryID())->File());
  item->Save();
  EXPECT_EQ(fs::last_write_time(mail_->FindMessage(item->EntryID())->File()), stamp);

  // The next run of the client sees what was saved.
  host::Host next;
  auto link = host::MailLink::Attach(*next.Store(), host::mail::Store::Open(Root()));
  auto again = link->FolderAt("Inbox")->Items()->Item(1);
  EXPECT_EQ(again->EntryID(), item->EntryID());
  EXPECT_EQ(Names(again), Names(item));
  EXPECT_EQ(again->Attachments()->Item(3)->Content(), runtime::ByteArray({'r', 'e', 'p', 'o', 'r', 't', '\r', '\n'}));

  // Deleting every attachment, as the delete command does, from the last.
  for (long i = again->Attachments()->Count(); i >= 1; --i) again->Attachments()->Remove(i);
  again->Save();
  EXPECT_EQ(host::mail::Store::Open(Root())->FindFolder("Inbox")->Messages()[0]->Attachments().size(), 0u);
}

TEST_F(MailLinkTest, AFailedSaveLosesNothing) {
  const fs::path file = Put("Inbox", "basic.eml", "1.a");
  const std::string original = ReadBytes(file);
  Open();
  auto item = ItemOf("Inbox");
  std::vector<std::string> told;
  const auto observe = [&](const fs::path& f, const std::string& failure) {
    told.push_back(f.filename().string() + (failure.empty() ? "" : ": failed"));
  };
  link_->OnWrite(observe);
  std::vector<std::unique_ptr<host::Host>> hosts;
  for (WriteStep step : {WriteStep::CreateTemp, WriteStep::Write, WriteStep::Sync, WriteStep::Rename}) {
    SCOPED_TRACE(static_cast<int>(step));
    mail_->Faults().FailAt(step, 61, "Disk full");
    item->Attachments()->Remove(1);
    const Outcome r = Raised([&] { item->Save(); });
    EXPECT_EQ(r.number, 61);
    EXPECT_NE(r.description.find("Disk full"), std::string::npos) << r.description;
    EXPECT_EQ(ReadBytes(file), original);
    EXPECT_TRUE(fs::is_empty(Root() / "Inbox" / "tmp"));
    // The item shows what the file holds, as does the stored copy.
    EXPECT_EQ(Names(item), (std::vector<std::string>{"beach.jpg", "booking.pdf", "Your reservation.eml"}));
    EXPECT_EQ(hosts.empty() ? host_.Store()->Persisted(item->EntryID())->attachments.size()
                            : hosts.back()->Store()->Persisted(item->EntryID())->attachments.size(),
              3u);
    mail_->Faults().Clear();
    item->Attachments()->Remove(1);
    item->Save();
    // Only what was removed this time is gone from the file.
    std::vector<std::string> inFile;
    const auto reread = host::mail::Store::Open(Root())->FindFolder("Inbox")->Messages().at(0);
    for (const auto& a : reread->Attachments()) inFile.push_back(a.file_name);
    EXPECT_EQ(inFile, (std::vector<std::string>{"booking.pdf", "Your reservation.eml"}));
    EXPECT_EQ(told, (std::vector<std::string>{"1.a:2,S: failed", "1.a:2,S"}));
    told.clear();
    // Back to the start for the next step.
    WriteBytes(file, original);
    hosts.push_back(std::make_unique<host::Host>());
    link_ = host::MailLink::Attach(*hosts.back()->Store(), mail_ = host::mail::Store::Open(Root()));
    link_->OnWrite(observe);
    item = link_->FolderAt("Inbox")->Items()->Item(1);
  }
}

TEST_F(MailLinkTest, NestedFoldersAndPlainEmlFolders) {
  MakeMaildir(Root() / "Inbox");
  Put("Inbox/.Projects", "basic.eml", "1.a");
  WriteBytes(Root() / "Archive" / "2019" / "old.eml", ReadBytes(Fixture("image-only.eml")));
  Open();
  ASSERT_NE(link_->FolderAt("Inbox/Projects"), nullptr);
  EXPECT_EQ(link_->FolderAt("inbox\\projects")->Name(), "Projects");
  EXPECT_EQ(link_->PathOf(link_->FolderAt("Archive/2019")), "Archive/2019");
  EXPECT_EQ(Names(ItemOf("Archive/2019")), (std::vector<std::string>{"scan.jpg"}));
  EXPECT_EQ(link_->FolderAt("Nowhere"), nullptr);
}

}  // namespace

namespace {

TEST_F(MailLinkTest, ASentMessageIsFiledInSentWithItsAttachmentsAndAFailedSendLosesNothing) {
  Put("Inbox", "basic.eml", "1.a");
  Open();
  WriteBytes(Out() / "photo.jpg", "\xFF\xD8 not quite a picture \n\r\n\x00 bytes");
  const auto app = host_.App();
  auto inspector =
      app->Compose({.subject = "Pictures for mum", .to = "Mum <mum@example.org>", .body = "Here they are.\n"},
                   link_->FolderAt("Inbox"));
  auto item = inspector->CurrentItem();
  item->Attachments()->Add((Out() / "photo.jpg").string());
  auto send = host::As<host::CommandBarButton>(inspector->Bars()->FindControl({.Id = host::kIdSend}));

  // The disk refuses: the window stays, nothing half-written, the item unsent.
  mail_->Faults().FailAt(WriteStep::Rename, 61, "Disk full");
  EXPECT_THROW(send->UserClick(), runtime::Error);
  EXPECT_FALSE(inspector->Closed());
  EXPECT_FALSE(item->SentFlag());
  const fs::path sent = Root() / "Sent";
  EXPECT_TRUE(fs::is_empty(sent / "cur"));
  EXPECT_TRUE(fs::is_empty(sent / "tmp"));

  mail_->Faults().Clear();
  send->UserClick();
  EXPECT_TRUE(inspector->Closed());
  const std::vector<fs::path> files{fs::directory_iterator(sent / "cur"), fs::directory_iterator()};
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(files[0].filename().string().ends_with(":2,S")) << files[0];

  // The item is that message now, in Sent and only there.
  auto hostSent = link_->FolderAt("Sent");
  ASSERT_NE(hostSent, nullptr);
  EXPECT_EQ(hostSent->ItemList(), std::vector<std::shared_ptr<host::Item>>{item});
  EXPECT_EQ(link_->FolderAt("Inbox")->ItemList().size(), 1u);
  EXPECT_EQ(item->EntryID(), mail_->FindFolder("Sent")->Messages()[0]->EntryID());

  // Read afresh, as the next run reads it.
  auto reread = host::mail::Store::Open(Root());
  auto message = reread->FindFolder("Sent")->Messages().at(0);
  EXPECT_EQ(message->Subject(), "Pictures for mum");
  EXPECT_EQ(message->To(), "Mum <mum@example.org>");
  EXPECT_TRUE(message->Sent());
  EXPECT_EQ(message->BodyText(), "Here they are.\n");
  ASSERT_EQ(message->Attachments().size(), 1u);
  EXPECT_EQ(message->Attachments()[0].file_name, "photo.jpg");
  EXPECT_EQ(message->ReadAttachment(0), ReadBytes(Out() / "photo.jpg"));

  // A later save of the sent item rewrites its file like any other.
  item->Attachments()->Remove(1);
  item->Save();
  auto after = host::mail::Store::Open(Root())->FindFolder("Sent")->Messages().at(0);
  EXPECT_TRUE(after->Attachments().empty());
  EXPECT_EQ(after->BodyText(), "Here they are.\n");
}

}  // namespace
