// The Explorer's commands run from its toolbar: quick-save and save-to with
// the name-conflict dialog driven as a person would, delete, export, and the
// commands that work on the one current message.

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "attachments/frm_export.h"
#include "outlook/addin_fixture.h"
#include "windows/frm_slideshow.h"

namespace outlook_test {
namespace {

using lumivane::frmSaveAttachments;
using lumivane::g_objOutAddIn;
using lumivane::g_objSettings;

TEST_F(CommandsTest, QuickSavePicturesSettlesNameConflictsAndReports) {
  tmp.Write("home/Pictures/beach.jpg", "old beach");
  tmp.Write("home/Pictures/Sunset.PNG", "old sunset");
  auto holiday = Message("Holiday", {Att("beach.jpg", "new beach"), Att("notes.txt")});
  auto evening = Message("Evening", {Att("sunset.png", "new sunset"), Att("tree.gif", "tree")});
  auto plain = Message("Plain", {});
  explorer->Select({holiday, evening, plain});

  boxes->Queue(forms::vbYes);
  std::vector<std::string> asked;
  ui->DriveOnce<frmSaveAttachments>("frmSaveAttachments", [&](frmSaveAttachments& f) {
    asked.push_back(f.FileName());
    forms::user::Click(*f.cmdYes);  // overwrite
  });
  ui->DriveOnce<frmSaveAttachments>("frmSaveAttachments", [&](frmSaveAttachments& f) {
    asked.push_back(f.FileName());
    forms::user::Click(*f.cmdNo);  // skip
  });
  Click(kQuickPictures);

  EXPECT_EQ(asked, (std::vector<std::string>{"beach.jpg", "sunset.png"}));
  EXPECT_EQ(Boxes(), (std::vector<Box>{Confirm(true, pictures),
                                       {"2 image attachments have been saved to the '" + pictures + "' folder.",
                                        forms::vbInformation, "SAVE COMPLETE"}}));
  EXPECT_EQ(Read(pictures + "/beach.jpg"), "new beach");
  EXPECT_EQ(Read(pictures + "/Sunset.PNG"), "old sunset");
  EXPECT_EQ(Read(pictures + "/tree.gif"), "tree");
  EXPECT_FALSE(std::filesystem::exists(pictures + "/notes.txt"));
  // The run's dialog is gone, its answers with it.
  EXPECT_EQ(g_objOutAddIn->SaveAttachmentsForm(), nullptr);
  EXPECT_FALSE(forms::DefaultInstanceExists<frmSaveAttachments>());
  EXPECT_TRUE(forms::Forms().empty());
}

// The file system refuses more bytes half-way through a picture (a file size
// limit stands in for a full disk): the picture's name never holds half a
// file, nothing temporary stays behind, and the run goes on with the next.
TEST_F(CommandsTest, AWriteThatFailsHalfWayLeavesNoHalfFile) {
  explorer->Select({Message(
      "A", {Att("small.jpg", "small"), Att("big.jpg", std::string(256 << 10, 'x')), Att("after.jpg", "after")})});
  g_objSettings->DoNotPromptBeforeQuickSave(1);
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit limit = before;
  limit.rlim_cur = 64 << 10;
  const auto signal_before = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  Click(kQuickPictures);
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, signal_before);

  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(pictures)) files.push_back(entry.path().filename());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"after.jpg", "small.jpg"}));
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].prompt.find("File too large"), std::string::npos) << boxes[0].prompt;
  EXPECT_EQ(boxes[1].title, "SAVE COMPLETE");
}

TEST_F(CommandsTest, ACancelledRunReportsWhatWasSavedBefore) {
  tmp.Write("home/Pictures/b.jpg", "old");
  auto first = Message("First", {Att("a.jpg"), Att("b.jpg")});
  auto second = Message("Second", {Att("c.jpg")});
  explorer->Select({first, second});
  g_objSettings->DoNotPromptBeforeQuickSave(1);
  ui->DriveOnce<frmSaveAttachments>("frmSaveAttachments",
                                    [](frmSaveAttachments& f) { forms::user::Click(*f.cmdCancel); });
  Click(kQuickAll);
  EXPECT_EQ(Boxes(), (std::vector<Box>{{"One attachment has been saved to the '" + pictures + "' folder.",
                                        forms::vbInformation, "SAVE COMPLETE"}}));
  EXPECT_TRUE(std::filesystem::exists(pictures + "/a.jpg"));
  EXPECT_FALSE(std::filesystem::exists(pictures + "/c.jpg"));
}

TEST_F(CommandsTest, SaveAndDeleteRefuseWhatTheyCannotWorkOn) {
  auto calendar = host->Store()->AddFolder("Calendar", host::olAppointmentItem);
  auto posts = host->Store()->AddFolder("Posts", host::olPostItem);
  const Box invalidType{"The Lumivane only supports e-mail or Post items.", forms::vbOKOnly, "Invalid Message Type"};
  auto noneIn = [](const char* title, bool one) {
    return Box{one ? "The currently selected message does not have any attachments."
                   : "The currently selected messages do not have any attachments.",
               forms::vbExclamation, title};
  };
  struct Row {
    const char* name;
    std::function<void(CommandsTest&)> arrange;
    std::string control;
    std::vector<Box> want;
  };
  const std::vector<Row> rows = {
      {"nothing selected", [](CommandsTest&) {}, kQuickPictures, {}},
      {"calendar folder",
       [&](CommandsTest& t) {
         t.explorer->CurrentFolder(calendar);
         t.explorer->Select({t.Message("Meeting", {Att("a.jpg")}, host::olAppointment, calendar)});
       },
       kDelete,
       {invalidType}},
      {"a post folder passes",
       [&](CommandsTest& t) {
         t.explorer->CurrentFolder(posts);
         t.explorer->Select({t.Message("Post", {}, host::olPost, posts)});
       },
       kSaveAllTo,
       {noneIn("No Attachments To Save", true)}},
      {"one without attachments",
       [](CommandsTest& t) { t.explorer->Select({t.Message("A", {})}); },
       kDelete,
       {noneIn("No Attachments To Delete", true)}},
      {"two without attachments",
       [](CommandsTest& t) {
         t.explorer->Select({t.Message("A", {}), t.Message("B", {})});
       },
       kQuickAll,
       {noneIn("No Attachments To Save", false)}},
      {"no picture in the one message",
       [](CommandsTest& t) { t.explorer->Select({t.Message("A", {Att("a.txt")})}); },
       kSavePicturesTo,
       {{kNoPictures, forms::vbExclamation, "No Picture Attachments"}}},
      {"no picture in two messages: nothing saved, no report",
       [](CommandsTest& t) {
         t.explorer->Select({t.Message("A", {Att("a.txt")}), t.Message("B", {Att("b.doc")})});
         t.boxes->Queue(forms::vbYes);
       },
       kQuickPictures,
       {Confirm(true, pictures)}},
      {"header only",
       [](CommandsTest& t) {
         auto item = t.Message("A", {Att("a.jpg")});
         item->DownloadState(host::olHeaderOnly);
         t.explorer->Select({item});
       },
       kQuickPictures,
       {{"Only the header has been downloaded for this message.  Until the entire item is available, any present "
         "attachments cannot be retrieved.",
         forms::vbExclamation, "Message Not Downloaded"}}},
      {"the person says no",
       [](CommandsTest& t) {
         t.explorer->Select({t.Message("A", {Att("a.txt")})});
         t.boxes->Queue(forms::vbNo);
       },
       kQuickAll,
       {Confirm(false, pictures)}},
      {"the quick-save folder is gone",
       [&](CommandsTest& t) {
         t.explorer->Select({t.Message("A", {Att("a.jpg")})});
         g_objSettings->DoNotPromptBeforeQuickSave(1);
         g_objSettings->PictureDumpDirectory(t.tmp / "gone");
       },
       kQuickAll,
       {{"The '" + (tmp / "gone") +
             "' directory is invalid or does not exist.  Please change the location of your "
             "default Quick-save folder in the Settings screen.",
         forms::vbExclamation, "Invalid Folder"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    explorer->CurrentFolder(inbox);
    g_objSettings->DoNotPromptBeforeQuickSave(0);
    g_objSettings->PictureDumpDirectory(pictures);
    boxes->ClearLog();
    row.arrange(*this);
    Click(row.control);
    EXPECT_EQ(Boxes(), row.want);
    EXPECT_EQ(boxes->Pending(), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(pictures));
  }
  EXPECT_TRUE(ui->FolderRequests().empty());
}

TEST_F(CommandsTest, SaveToAsksForTheFolderEachTime) {
  const std::string chosen = tmp.MakeDir("chosen");
  explorer->Select({Message("A", {Att("a.jpg"), Att("b.txt")})});
  ui->CancelFolder();
  Click(kSaveAllTo);
  EXPECT_TRUE(Boxes().empty());

  ui->AnswerFolder(chosen);
  Click(kSaveAllTo);
  ui->AnswerFolder(chosen);
  ui->DriveOnce<frmSaveAttachments>("frmSaveAttachments", [](frmSaveAttachments& f) { forms::user::Click(*f.cmdYes); });
  Click(kSavePicturesTo);
  EXPECT_EQ(Boxes(),
            (std::vector<Box>{
                {"2 attachments have been saved to '" + chosen + "'.", forms::vbInformation, "SAVE COMPLETE"},
                {"One image attachment has been saved to '" + chosen + "'.", forms::vbInformation, "SAVE COMPLETE"}}));
  ASSERT_EQ(ui->FolderRequests().size(), 3u);
  for (const auto& request : ui->FolderRequests()) {
    EXPECT_EQ(request.owner, 0);
    EXPECT_EQ(request.title, "Save attachments to...");
  }
}

TEST_F(CommandsTest, DeleteRemovesEveryAttachmentOfTheSelectedMessagesAfterAYes) {
  auto three = Message("Three", {Att("a.jpg"), Att("b.txt"), Att("c.png")});
  auto request = Message("Request", {Att("invite.ics")}, host::olMeetingRequest);
  auto none = Message("None", {});
  explorer->Select({three, request, none});
  boxes->Queue(forms::vbNo);
  Click(kDelete);
  EXPECT_EQ(three->Attachments()->Count(), 3);

  boxes->Queue(forms::vbYes);
  Click(kDelete);
  const Box ask{"Are you sure you want to permanently delete all of the attachments in the selected message(s)?",
                forms::vbQuestion | forms::vbYesNo, "Delete All Attachments?"};
  EXPECT_EQ(Boxes(), (std::vector<Box>{ask, ask}));
  EXPECT_EQ(three->Attachments()->Count(), 0);
  EXPECT_EQ(three->SaveCount(), 1);
  EXPECT_EQ(none->SaveCount(), 1);  // saved although it had nothing to lose
  EXPECT_EQ(request->Attachments()->Count(), 1);
  EXPECT_EQ(request->SaveCount(), 0);
}

TEST_F(CommandsTest, ExportTakesMailFoldersWithMessagesOnly) {
  auto posts = host->Store()->AddFolder("Posts", host::olPostItem);
  explorer->CurrentFolder(posts);
  Click(kExport);
  explorer->CurrentFolder(inbox);
  Click(kExport);
  Message("A", {});
  lumivane::lvwCallingMode mode = lumivane::lvwCallingMode::Wizard;
  ui->DriveOnce<lumivane::frmExport>("frmExport", [&](lumivane::frmExport& f) {
    mode = f.CallingMode();
    forms::user::Click(*f.cmdCancel);
  });
  Click(kExport);
  EXPECT_EQ(Boxes(), (std::vector<Box>{
                         {"The Lumivane only supports e-mail or Post items.", forms::vbOKOnly, "Invalid Message Type"},
                         {"The current folder does not contain any messages!", forms::vbExclamation, "Empty Folder"}}));
  // Only then the dialog opens, for the main window, and is unloaded when it closes.
  EXPECT_EQ(mode, lumivane::lvwCallingMode::Explorer);
  EXPECT_EQ(ui->NoticesOf("frmExport"), (std::vector<std::string>{"Load", "ShowModal", "Hide", "Unload"}));
}

TEST_F(CommandsTest, PreviewAndSlideshowWorkOnTheOneCurrentMessage) {
  auto report = Message("Report", {Att("a.jpg")}, host::olReport);
  auto header = Message("Header", {Att("a.jpg")});
  header->DownloadState(host::olHeaderOnly);
  auto text = Message("Text", {Att("a.txt")});
  auto photo = Message("Photo", {Att("beach.jpg", "beach"), Att("notes.txt")});
  struct Row {
    std::vector<std::shared_ptr<host::Item>> selection;
    Box box;
  };
  const std::vector<Row> rows = {
      {{}, {"You must first select a message containing a picture attachment.", forms::vbOKOnly, "No Current Message"}},
      {{text, photo}, {"Please select only one e-message.", forms::vbOKOnly, "Invalid Selection"}},
      {{report}, {"The Lumivane only supports e-mail or Post items.", forms::vbOKOnly, "Invalid Message Type"}},
      {{header},
       {"Only the header has been downloaded for this message.  Until the entire item is available, any existing "
        "attachments cannot be retrieved.",
        forms::vbExclamation, "Message Not Downloaded"}},
      {{text}, {kNoPictures, forms::vbExclamation, "No Picture Attachments"}},
  };
  for (const std::string button : {"&Lumivane...", "Start S&lide Show"}) {
    for (const auto& row : rows) {
      SCOPED_TRACE(button + ": " + row.box.title);
      boxes->ClearLog();
      explorer->Select(row.selection);
      ClickToolbar(button);
      EXPECT_EQ(Boxes(), std::vector<Box>{row.box});
    }
    boxes->ClearLog();
    g_objOutAddIn->CachedFiles(nullptr);
    explorer->Select({photo});
    ClickToolbar(button);
    EXPECT_TRUE(Boxes().empty());
    ASSERT_NE(g_objOutAddIn->CachedFiles(), nullptr);
    EXPECT_EQ(g_objOutAddIn->CachedFiles()->Count(), 1);
    EXPECT_EQ(Read(g_objOutAddIn->TempFolderPath() + "/beach.jpg"), "beach");
  }
  // The slideshow button opened the show modeless on the saved pictures.
  auto show = forms::Default<lumivane::frmSlideshow>();
  EXPECT_TRUE(forms::FormAccess::IsVisible(*show));
  EXPECT_TRUE(show->StandAlone());
  EXPECT_EQ(show->lblInfo(2).Caption().rfind("beach.jpg (1/", 0), 0u);

  // Another message's show while this one runs: the old show goes, and the
  // new one starts on the new message's pictures.
  auto two = Message("Two", {Att("a.jpg", "a"), Att("b.jpg", "b")});
  explorer->Select({two});
  ClickToolbar("Start S&lide Show");
  auto next = forms::Default<lumivane::frmSlideshow>();
  EXPECT_FALSE(show->IsLoaded());
  EXPECT_EQ(next->lblInfo(2).Caption().rfind("a.jpg (1/", 0), 0u);
}

}  // namespace
}  // namespace outlook_test
