#include "host/mail/store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail_support.h"

namespace {

using namespace mail_test;
using host::mail::Folder;
using host::mail::FolderFormat;
using host::mail::Store;

std::vector<std::string> Names(const std::vector<std::shared_ptr<Folder>>& folders) {
  std::vector<std::string> names;
  for (const auto& f : folders) names.push_back(f->Name());
  return names;
}

std::vector<std::string> Uniques(Folder& folder) {
  std::vector<std::string> names;
  for (const auto& m : folder.Messages()) names.push_back(m->UniqueName());
  return names;
}

const std::string kTiny = "Subject: tiny\n\nbody\n";

TEST(Store, MaildirRootIsTheInboxWithItsMaildirPlusPlusFoldersBesideIt) {
  Scratch scratch;
  const fs::path root = scratch.root() / "Maildir";
  MakeMaildir(root);
  for (const char* sub : {".Sent", ".Drafts", ".projects", ".projects.2024", ".Orphan.Child", ".Posts"})
    MakeMaildir(root / sub);
  fs::create_directories(root / ".NotAMaildir");
  WriteBytes(root / ".Posts" / ".lumivane-folder", "# our settings\ntype = post\n");

  auto store = Store::Open(root);
  EXPECT_EQ(Names(store->Folders()),
            (std::vector<std::string>{"Drafts", "Inbox", "Orphan.Child", "Posts", "projects", "Sent"}));
  auto inbox = store->FindFolder("INBOX");
  ASSERT_TRUE(inbox);
  EXPECT_EQ(inbox->Format(), FolderFormat::Maildir);
  EXPECT_EQ(inbox->Directory(), fs::canonical(root));
  auto year = store->FindFolder("Projects\\2024");
  ASSERT_TRUE(year);
  EXPECT_EQ(year->Path(), "projects/2024");
  EXPECT_EQ(year->Directory().filename(), ".projects.2024");
  EXPECT_EQ(store->FindFolder("/projects/2024/"), year);
  EXPECT_EQ(store->FindFolder("projects/2025"), nullptr);

  EXPECT_EQ(store->FindFolder("Posts")->DefaultItemType(), host::mail::item_type::kPost);
  EXPECT_EQ(store->FindFolder("Sent")->DefaultItemType(), host::mail::item_type::kMail);
  EXPECT_TRUE(store->FindFolder("drafts")->IsDrafts());
  EXPECT_FALSE(store->FindFolder("Sent")->IsDrafts());
}

TEST(Store, PlainDirectoriesOfEmlFilesAndNestedMaildirs) {
  Scratch scratch;
  const fs::path root = scratch.root();
  WriteBytes(root / "Inbox" / "b.eml", kTiny);
  WriteBytes(root / "Inbox" / "A.eml", kTiny);
  WriteBytes(root / "Inbox" / "c.EML", kTiny);
  WriteBytes(root / "Inbox" / "notes.txt", kTiny);
  WriteBytes(root / "Inbox" / ".hidden.eml", kTiny);
  WriteBytes(root / "Inbox" / "Sub" / "x.eml", kTiny);
  MakeMaildir(root / "archive");
  MakeMaildir(root / "archive" / ".2019");
  fs::create_directories(root / ".cache");
  fs::create_directory_symlink(root / "Inbox", root / "loop");
  WriteBytes(root / "Calendar" / ".lumivane-folder", "type=1\n");
  WriteBytes(root / "Outbox" / ".lumivane-folder", "Drafts = YES\n");
  WriteBytes(root / "Outbox" / "unsent.eml", kTiny);

  auto store = Store::Open(root);
  EXPECT_EQ(Names(store->Folders()), (std::vector<std::string>{"archive", "Calendar", "Inbox", "Outbox"}));
  auto inbox = store->FindFolder("inbox");
  EXPECT_EQ(inbox->Format(), FolderFormat::Eml);
  EXPECT_EQ(Names(inbox->Folders()), (std::vector<std::string>{"Sub"}));
  EXPECT_EQ(Uniques(*inbox), (std::vector<std::string>{"A.eml", "b.eml", "c.EML"}));
  EXPECT_EQ(store->FindFolder("archive")->Format(), FolderFormat::Maildir);
  EXPECT_TRUE(store->FindFolder("archive/2019"));
  EXPECT_EQ(store->FindFolder("Calendar")->DefaultItemType(), host::mail::item_type::kAppointment);
  EXPECT_TRUE(store->FindFolder("Outbox")->IsDrafts());
  EXPECT_FALSE(store->FindFolder("Outbox")->Messages().at(0)->Sent());
  EXPECT_TRUE(inbox->Messages().at(0)->Sent());
}

TEST(Store, RefusesWhatItCannotOpen) {
  Scratch scratch;
  EXPECT_EQ(Raised([&] { Store::Open(scratch.root() / "missing"); }),
            (Outcome{runtime::err::kPathNotFound,
                     "The mail store '" + (scratch.root() / "missing").string() + "' is not a folder"}));

  struct Row {
    const char* name;
    std::string settings;
    std::string says;
  } rows[] = {
      {"unknown type", "type = spaceship\n", "line 1: unknown item type 'spaceship'"},
      {"type out of range", "\n# c\ntype = 7\n", "line 3: unknown item type '7'"},
      {"unknown key", "colour = blue\n", "line 1: unknown setting 'colour'"},
      {"no equals sign", "post\n", "line 1: expected \"key = value\""},
      {"drafts not yes or no", "drafts = maybe\n", "line 1: drafts must be yes or no, not 'maybe'"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Scratch bad;
    WriteBytes(bad.root() / "Folder" / ".lumivane-folder", row.settings);
    const Outcome raised = Raised([&] { Store::Open(bad.root()); });
    EXPECT_EQ(raised.number, runtime::err::kPathFileAccessError);
    EXPECT_NE(raised.description.find(row.says), std::string::npos) << raised.description;
  }
}

TEST(Store, MaildirMessagesSentFlagsAndOrder) {
  Scratch scratch;
  const fs::path root = scratch.root();
  MakeMaildir(root);
  WriteBytes(root / "cur" / "1001.M3.host:2,DS", kTiny);  // a draft
  WriteBytes(root / "new" / "999.M2.host", kTiny);        // received, not yet seen
  WriteBytes(root / "cur" / "1000.M1.host:2,S", kTiny);
  WriteBytes(root / "new" / "1000.M1.host", kTiny);  // same unique name: listed once
  WriteBytes(root / "cur" / ".1002.hidden:2,", kTiny);
  MakeMaildir(root / ".Drafts");
  WriteBytes(root / ".Drafts" / "cur" / "5.M5.host:2,S", kTiny);

  auto store = Store::Open(root);
  auto inbox = store->FindFolder("Inbox");
  EXPECT_EQ(Uniques(*inbox), (std::vector<std::string>{"1000.M1.host", "1001.M3.host", "999.M2.host"}));
  const auto& messages = inbox->Messages();
  EXPECT_TRUE(messages[0]->Sent());
  EXPECT_FALSE(messages[1]->Sent());
  EXPECT_TRUE(messages[2]->Sent());
  EXPECT_EQ(messages[0]->File(), fs::canonical(root) / "cur" / "1000.M1.host:2,S");
  EXPECT_FALSE(store->FindFolder("Drafts")->Messages().at(0)->Sent());
}

TEST(Store, AMaildirCopiedWithoutItsEmptyFoldersIsReadFromWhatItHas) {
  Scratch scratch;
  const fs::path root = scratch.root() / "Maildir";
  fs::create_directories(root / "cur");  // no new/, no tmp/
  WriteBytes(root / "cur" / "1.M1.host:2,S", kTiny);
  fs::create_directories(root / ".Archive" / "new");  // new/ only
  WriteBytes(root / ".Archive" / "new" / "2.M2.host", kTiny);

  auto store = Store::Open(root);
  EXPECT_EQ(Names(store->Folders()), (std::vector<std::string>{"Archive", "Inbox"}));
  EXPECT_EQ(store->FindFolder("Inbox")->Format(), FolderFormat::Maildir);
  EXPECT_EQ(Uniques(*store->FindFolder("Inbox")), std::vector<std::string>{"1.M1.host"});
  EXPECT_EQ(Uniques(*store->FindFolder("Archive")), std::vector<std::string>{"2.M2.host"});
  EXPECT_EQ(store->FindFolder("Archive")->Messages().at(0)->Subject(), "tiny");
}

TEST(Store, EntryIdsAreStableAcrossRunsAndFlagChanges) {
  Scratch scratch;
  const fs::path root = scratch.root();
  MakeMaildir(root);
  MakeMaildir(root / ".Archive");
  WriteBytes(root / "new" / "77.M1.host", ReadBytes(Fixture("basic.eml")));
  WriteBytes(root / ".Archive" / "cur" / "77.M1.host:2,S", kTiny);

  std::string inbox_id, archive_id;
  {
    auto store = Store::Open(root);
    inbox_id = store->FindFolder("Inbox")->Messages().at(0)->EntryID();
    archive_id = store->FindFolder("Archive")->Messages().at(0)->EntryID();
  }
  EXPECT_FALSE(inbox_id.empty());
  EXPECT_NE(inbox_id, archive_id);  // one unique name in two folders: two messages

  auto store = Store::Open(root);
  auto message = store->FindMessage(inbox_id);
  ASSERT_TRUE(message);
  EXPECT_EQ(message->Subject(), "Holiday photos \xE2\x80\x93 beach");
  EXPECT_EQ(store->FindMessage(archive_id)->Subject(), "tiny");

  // Another program marks it seen: new/ -> cur/ with flags. The id and the
  // object survive, and reading goes on from the new place.
  ASSERT_EQ(message->Attachments().size(), 3u);
  fs::rename(root / "new" / "77.M1.host", root / "cur" / "77.M1.host:2,S");
  EXPECT_EQ(message->ReadAttachment(0), ReadBytes(Fixture("photo.bin")));
  EXPECT_EQ(message->File(), fs::canonical(root) / "cur" / "77.M1.host:2,S");
  EXPECT_EQ(message->EntryID(), inbox_id);
  store->FindFolder("Inbox")->Refresh();
  EXPECT_EQ(store->FindMessage(inbox_id), message);

  for (const char* bad : {"", "XYZ", "ABC", "2F6E6F7468696E67"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(store->FindMessage(bad), nullptr);
  }
}

}  // namespace
