#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "host/addin.h"
#include "support/raised.h"

namespace {

using namespace host;
namespace fs = std::filesystem;

using testsupport::kMemberNotSupported;
using testsupport::kSubscriptOutOfRange;
using testsupport::Outcome;
using testsupport::Raised;

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct TempDir {
  fs::path path = fs::temp_directory_path() / ("host_store_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
  TempDir() {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::all, ec);
    fs::remove_all(path, ec);
  }
};

struct World {
  Host host;
  std::shared_ptr<Folder> inbox = host.Store()->AddFolder("Inbox");
  std::shared_ptr<Item> mail = inbox->AddItem(
      ItemData{.subject = "Holiday",
               .attachments = {{.fileName = "beach.jpg", .content = TextContent("BEACH")},
                               {.fileName = "notes.txt", .content = TextContent("notes")},
                               {.fileName = "logo.png", .content = TextContent("LOGO"), .contentId = "logo@x"}}});
};

std::vector<std::string> Names(const std::shared_ptr<Item>& item) {
  std::vector<std::string> out;
  for (auto a : item->Attachments()) out.push_back(std::to_string(a->Index()) + ":" + a->FileName());
  return out;
}

TEST(Store, ItemsBuiltInCodeAreSavedAlready) {
  World w;
  EXPECT_FALSE(w.mail->EntryID().empty());
  EXPECT_EQ(w.mail->Parent(), w.inbox);
  EXPECT_EQ(w.inbox->Items()->Count(), 1);
  EXPECT_EQ(w.host.Store()->FindItem(w.mail->EntryID()), w.mail);
  EXPECT_EQ(w.mail->SaveCount(), 0);
  auto other = w.inbox->AddItem(ItemData{.subject = "Other"});
  EXPECT_NE(other->EntryID(), w.mail->EntryID());
}

TEST(Store, FirstSaveGivesTheEntryIdAndPutsTheItemInItsFolder) {
  World w;
  auto drafts = w.host.Store()->AddFolder("Drafts");
  auto draft = w.host.Store()->NewItem(ItemData{.subject = "Draft"}, drafts);
  EXPECT_EQ(draft->EntryID(), "");
  EXPECT_FALSE(draft->Sent());
  EXPECT_EQ(drafts->Items()->Count(), 0);
  draft->Save();
  const std::string id = draft->EntryID();
  EXPECT_FALSE(id.empty());
  EXPECT_EQ(drafts->Items()->Count(), 1);
  draft->Subject("Draft 2");
  draft->Save();
  EXPECT_EQ(draft->EntryID(), id);  // kept
  EXPECT_EQ(drafts->Items()->Count(), 1);
  EXPECT_EQ(draft->SaveCount(), 2);
  EXPECT_EQ(w.host.Store()->Persisted(id)->subject, "Draft 2");
}

struct FailingBackend : StoreBackend {
  bool fail = true;
  int writes = 0;
  void Write(const std::string&, const ItemData&) override {
    if (fail) throw std::runtime_error("disk full");
    ++writes;
  }
};

TEST(Store, AFailedSaveLosesNothing) {
  World w;
  auto backend = std::make_shared<FailingBackend>();
  w.host.Store()->Backend(backend);
  auto draft = w.host.Store()->NewItem(ItemData{.subject = "Draft"});

  // A failure injected on the item and one from the mail-file writer.
  draft->Faults().FailNext("Save", err::kFail, "The operation failed.");
  EXPECT_EQ(Raised([&] { draft->Save(); }), (Outcome{err::kFail, "The operation failed."}));
  EXPECT_EQ(Raised([&] { draft->Save(); }), (Outcome{err::kFail, "The operation failed."}));
  EXPECT_EQ(draft->EntryID(), "");
  EXPECT_EQ(draft->SaveCount(), 0);

  const std::string id = w.mail->EntryID();
  w.mail->Attachments()->Remove(1);
  EXPECT_THROW(w.mail->Save(), runtime::Error);
  EXPECT_EQ(w.host.Store()->Persisted(id)->attachments.size(), 3u);  // the stored copy is untouched
  // The item shows what is stored, not a change that was never written.
  EXPECT_EQ(w.mail->Attachments()->Count(), 3);
  backend->fail = false;
  w.mail->Attachments()->Remove(1);
  w.mail->Save();
  EXPECT_EQ(backend->writes, 1);
  EXPECT_EQ(w.host.Store()->Persisted(id)->attachments.size(), 2u);
}

TEST(Attachments, RemovingShiftsTheLaterIndexes) {
  World w;
  auto attachments = w.mail->Attachments();
  EXPECT_EQ(attachments->Parent(), w.mail);
  auto logo = attachments->Item(3);
  EXPECT_EQ(Names(w.mail), (std::vector<std::string>{"1:beach.jpg", "2:notes.txt", "3:logo.png"}));
  attachments->Remove(1);
  EXPECT_EQ(Names(w.mail), (std::vector<std::string>{"1:notes.txt", "2:logo.png"}));
  EXPECT_EQ(logo->Index(), 2);
  logo->Delete();
  EXPECT_EQ(Names(w.mail), (std::vector<std::string>{"1:notes.txt"}));
  EXPECT_EQ(Raised([&] { logo->FileName(); }), (Outcome{err::kObjectDeleted, std::string(text::kObjectDeleted)}));
  EXPECT_EQ(Raised([&] { attachments->Item(2); }), kSubscriptOutOfRange);
  EXPECT_EQ(Raised([&] { attachments->Remove(0); }), kSubscriptOutOfRange);

  // Walking while removing sees the live collection.
  auto item = w.inbox->AddItem(ItemData{.attachments = {{.fileName = "a"}, {.fileName = "b"}, {.fileName = "c"}}});
  int seen = 0;
  for (auto a : item->Attachments()) {
    ++seen;
    a->Delete();
  }
  EXPECT_EQ(seen, 2);  // as a live walk by index: "a", then "c"
  EXPECT_EQ(Names(item), (std::vector<std::string>{"1:b"}));
  for (long i = item->Attachments()->Count(); i >= 1; --i) item->Attachments()->Remove(i);
  EXPECT_EQ(item->Attachments()->Count(), 0);
}

TEST(Attachments, AddAttachesACopyOfTheFileAndRaisesAttachmentAdd) {
  World w;
  TempDir dir;
  { std::ofstream(dir.path / "Report.txt") << "report"; }
  std::vector<std::string> added;
  auto sub = w.mail->AttachmentAdd.Subscribe(
      [&](std::shared_ptr<Attachment> a) { added.push_back(a->FileName() + "/" + a->DisplayName()); });
  auto a = w.mail->Attachments()->Add((dir.path / "report.TXT").string());
  EXPECT_EQ(added, (std::vector<std::string>{"Report.txt/Report.txt"}));
  EXPECT_EQ(a->Index(), 4);
  EXPECT_EQ(a->Type(), olByValue);
  fs::remove(dir.path / "Report.txt");
  const auto content = a->Content();
  EXPECT_EQ(std::string(content.begin(), content.end()), "report");  // a copy, not a link
  EXPECT_EQ(Raised([&] { w.mail->Attachments()->Add((dir.path / "missing.txt").string()); }),
            (Outcome{err::kFileNotFound, std::string(text::kAddFileNotFound)}));
  EXPECT_EQ(w.mail->Attachments()->Count(), 4);
}

TEST(Attachments, SaveAsFileWritesWholeFilesOverAnyCase) {
  World w;
  TempDir dir;
  auto beach = w.mail->Attachments()->Item(1);
  { std::ofstream(dir.path / "BEACH.JPG") << "old content that is longer"; }
  beach->SaveAsFile((dir.path / "beach.jpg").string());
  EXPECT_EQ(ReadText(dir.path / "BEACH.JPG"), "BEACH");  // the existing file was written over
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir.path)) files += entry.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1);  // no temporary file left behind
  EXPECT_EQ(beach->SavedTo().back(), (dir.path / "beach.jpg").string());
  EXPECT_EQ(w.host.Context()->Calls().back().member, "SaveAsFile");
}

TEST(Attachments, SaveAsFileFailures) {
  World w;
  TempDir dir;
  auto beach = w.mail->Attachments()->Item(1);
  { std::ofstream(dir.path / "locked.jpg") << "keep"; }
  fs::permissions(dir.path / "locked.jpg", fs::perms::owner_read, fs::perm_options::replace);

  struct Row {
    const char* name;
    std::function<void()> arrange;
    fs::path target;
    Outcome want;
  };
  const Row rows[] = {
      {"no such folder",
       [] {},
       dir.path / "none" / "beach.jpg",
       {err::kPathNotFound, std::string(text::kSavePathNotFound)}},
      {"read-only file", [] {}, dir.path / "locked.jpg", {err::kAccessDenied, std::string(text::kSaveNoPermission)}},
      // The system's reason reaches the add-in's error box.
      {"a folder of that name",
       [&] { fs::create_directories(dir.path / "sub.jpg"); },
       dir.path / "sub.jpg",
       {err::kFail, "Cannot save the attachment. Is a directory."}},
      {"a name too long",
       [] {},
       dir.path / (std::string(300, 'n') + ".jpg"),
       {err::kFail, "Cannot save the attachment. File name too long."}},
      {"injected",
       [&] { beach->Faults().FailNext("SaveAsFile", 70, "You don't have appropriate permission"); },
       dir.path / "fine.jpg",
       {70, "You don't have appropriate permission"}},
      {"header only",
       [&] { w.mail->DownloadState(olHeaderOnly); },
       dir.path / "fine.jpg",
       {err::kFail, std::string(text::kNotDownloaded)}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    row.arrange();
    EXPECT_EQ(Raised([&] { beach->SaveAsFile(row.target.string()); }), row.want);
  }
  EXPECT_FALSE(fs::exists(dir.path / "fine.jpg"));
  fs::permissions(dir.path / "locked.jpg", fs::perms::owner_all, fs::perm_options::replace);
  EXPECT_EQ(ReadText(dir.path / "locked.jpg"), "keep");
  EXPECT_TRUE(beach->SavedTo().empty());
}

TEST(Attachments, FileNamesFromMailAreSanitised) {
  struct Row {
    const char* in;
    const char* want;
  };
  // The host cleans every name with the mail layer's sanitiser.
  const Row rows[] = {{"photo.jpg", "photo.jpg"},
                      {"C:\\Users\\a\\photo.jpg", "photo.jpg"},
                      {"../../etc/passwd", "passwd"},
                      {"dir/..", "attachment"},
                      {"", "attachment"},
                      {"a\tb\x01.png", "ab.png"},
                      {"trailing/", "trailing"},
                      {"..\\..\\x.gif", "x.gif"},
                      {"a/b/c.jpg", "c.jpg"}};
  World w;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.in);
    auto item = w.inbox->AddItem(ItemData{.attachments = {{.fileName = row.in}}});
    EXPECT_EQ(item->Attachments()->Item(1)->FileName(), row.want);
    EXPECT_EQ(item->Attachments()->Item(1)->DisplayName(), row.want);
  }
}

struct CountingSource : ContentSource {
  mutable int reads = 0;
  runtime::ByteArray Read() const override {
    ++reads;
    return {'x'};
  }
};

TEST(Attachments, ContentComesFromItsSourceWhenNeeded) {
  World w;
  TempDir dir;
  auto source = std::make_shared<CountingSource>();
  auto item = w.inbox->AddItem(ItemData{.attachments = {{.fileName = "lazy.bin", .content = source}}});
  auto a = item->Attachments()->Item(1);
  EXPECT_EQ(a->FileName(), "lazy.bin");
  EXPECT_EQ(source->reads, 0);
  a->SaveAsFile((dir.path / "lazy.bin").string());
  EXPECT_EQ(source->reads, 1);
  EXPECT_EQ(ReadText(dir.path / "lazy.bin"), "x");
}

TEST(Items, DownloadStateAndSubjectSeams) {
  World w;
  EXPECT_EQ(w.mail->DownloadState(), olFullItem);
  w.mail->DownloadState(olHeaderOnly);
  EXPECT_EQ(w.mail->DownloadState(), olHeaderOnly);
  w.mail->Faults().FailNext("DownloadState", err::kFail);
  EXPECT_THROW(w.mail->DownloadState(), runtime::Error);
  w.host.App()->Version("9.0.0.2711");
  EXPECT_EQ(Raised([&] { w.mail->DownloadState(); }), kMemberNotSupported);
  // Hosts without download states hold whole items.
  EXPECT_NO_THROW(w.mail->Attachments()->Item(1)->Content());
  w.mail->Faults().FailNext("Subject", err::kFail);
  EXPECT_THROW(w.mail->Subject(), runtime::Error);
  EXPECT_EQ(w.mail->Subject(), "Holiday");
}

TEST(Items, EveryClassIsRepresentable) {
  World w;
  for (long cls : {olAppointment, olContact, olTask, olNote, olMeetingRequest, olReport, olPost, olMail}) {
    SCOPED_TRACE(cls);
    auto item = w.inbox->AddItem(ItemData{.itemClass = cls});
    EXPECT_EQ(item->Class(), cls);
    EXPECT_EQ(item->Attachments()->Count(), 0);
  }
  auto folders = std::vector<std::pair<long, std::string>>{
      {olMailItem, "Inbox"}, {olPostItem, "Public"}, {olAppointmentItem, "Calendar"}};
  for (const auto& [type, name] : folders) {
    auto f = w.host.Store()->AddFolder(name, type);
    EXPECT_EQ(f->DefaultItemType(), type);
    EXPECT_EQ(f->Name(), name);
  }
}

}  // namespace
