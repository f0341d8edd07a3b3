// Whole runs of the Explorer's save and delete commands over several
// selected messages, clicked on the toolbar: what lands on disk, what the
// report counts, how the name-conflict dialog's answers last across the
// messages of one run and into the next, which folders the commands take,
// inline pictures, messages of which only the header is there, and names
// that point out of the folder.

#include <filesystem>
#include <map>
#include <optional>

#include "outlook/addin_fixture.h"

namespace outlook_test {
namespace {

using lumivane::frmSaveAttachments;
using lumivane::g_objSettings;

using Files = std::map<std::string, std::string>;
using Button = forms::FormControl<forms::CommandButton> frmSaveAttachments::*;
using Messages = std::vector<std::vector<host::AttachmentData>>;

const Box kInvalidType{"The Lumivane only supports e-mail or Post items.", forms::vbOKOnly, "Invalid Message Type"};
const Box kAskDelete{"Are you sure you want to permanently delete all of the attachments in the selected message(s)?",
                     forms::vbQuestion | forms::vbYesNo, "Delete All Attachments?"};

// Every file under `root`, by its path relative to it, with its content.
Files On(const std::string& root) {
  Files out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file()) out[std::filesystem::relative(e.path(), root).string()] = Read(e.path().string());
  return out;
}

host::AttachmentData Inline(std::string name) {
  host::AttachmentData a = Att(std::move(name));
  a.contentId = a.fileName + "@mail";
  return a;
}

class ExplorerScenarios : public CommandsTest {
 public:
  void TearDown() override {
    // Every question was answered by a person: none fell back to the modeless show.
    for (const auto& action : ui->NoticesOf("frmSaveAttachments")) EXPECT_NE(action, "ModalFailed");
    EXPECT_EQ(boxes->Pending(), 0u);
    CommandsTest::TearDown();
  }

  // One answer to the name-conflict dialog: the text typed into the name box
  // first, when there is one, then the button.
  struct Answer {
    Button button;
    std::optional<std::string> typed = {};
  };
  void Queue(const Answer& answer) {
    ui->DriveOnce<frmSaveAttachments>("frmSaveAttachments", [this, answer](frmSaveAttachments& f) {
      asked.push_back(f.FileName());
      if (answer.typed) forms::user::Paste(*f.txtRename, *answer.typed);
      forms::user::Click(*(f.*answer.button));
    });
  }

  // The selection: one message of the current folder per list.
  std::vector<std::shared_ptr<host::Item>> Select(const Messages& messages) {
    std::vector<std::shared_ptr<host::Item>> items;
    for (const auto& attachments : messages)
      items.push_back(Message("Message " + std::to_string(items.size() + 1), attachments));
    explorer->Select(items);
    return items;
  }

  // The report of a quick-save of `n` files.
  Box Complete(int n, bool picturesOnly) const {
    const std::string what = picturesOnly ? "image attachment" : "attachment";
    return {(n == 1 ? "One " + what + " has" : std::to_string(n) + " " + what + "s have") + " been saved to the '" +
                pictures + "' folder.",
            forms::vbInformation, "SAVE COMPLETE"};
  }

  // Clicks `control`, answering Yes to the question before a quick-save when
  // it is among the boxes expected, and checks the boxes and the files saved.
  void ClickAndCheck(const std::string& control, const std::vector<Box>& want, const Files& files) {
    if (!want.empty() && want.front().title == "Save Pictures?") boxes->Queue(forms::vbYes);
    Click(control);
    EXPECT_EQ(Boxes(), want);
    EXPECT_EQ(On(pictures), files);
  }

  void ResetPictures(const std::vector<std::string>& existing = {}) {
    std::filesystem::remove_all(pictures);
    std::filesystem::create_directory(pictures);
    for (const auto& name : existing) tmp.Write("home/Pictures/" + name, "old");
    boxes->ClearLog();
    asked.clear();
  }

  std::vector<std::string> asked;
};

TEST_F(ExplorerScenarios, ThreeMessagesWithTwoNoAndThreePictures) {
  Select({{Att("a.jpg", "a"), Att("notes.txt", "n"), Att("b.png", "b")},
          {Att("table.pdf", "t")},
          {Att("c.gif", "c"), Att("d.JPEG", "d"), Att("e.bmp", "e")}});
  const Files five = {{"a.jpg", "a"}, {"b.png", "b"}, {"c.gif", "c"}, {"d.JPEG", "d"}, {"e.bmp", "e"}};
  Files seven = five;
  seven.insert({{"notes.txt", "n"}, {"table.pdf", "t"}});
  struct Row {
    const std::string& control;
    bool picturesOnly;
    Files files;
  };
  for (const Row& row : {Row{kQuickPictures, true, five}, Row{kQuickAll, false, seven}}) {
    SCOPED_TRACE(row.control);
    ResetPictures();
    ClickAndCheck(row.control,
                  {Confirm(row.picturesOnly, pictures), Complete(static_cast<int>(row.files.size()), row.picturesOnly)},
                  row.files);
  }
}

// Runs of quick-save (without the question before it) that meet files of
// their names in the folder; each click lists the dialog's answers, the
// files it asks about and what the folder holds afterwards.
TEST_F(ExplorerScenarios, NameConflictsAcrossMessagesAndRuns) {
  g_objSettings->DoNotPromptBeforeQuickSave(1);
  const Answer overwrite{&frmSaveAttachments::cmdYes}, overwriteAll{&frmSaveAttachments::cmdYesToAll},
      skip{&frmSaveAttachments::cmdNo}, cancel{&frmSaveAttachments::cmdCancel},
      renameEmpty{&frmSaveAttachments::cmdUseRename, ""};
  struct Run {
    std::vector<Answer> answers;
    std::vector<std::string> asked;
    Files files;
    int saved;  // 0: no report
  };
  struct Row {
    const char* name;
    std::vector<std::string> existing;
    Messages messages;
    std::vector<Run> runs;
  };
  const Row rows[] = {
      {"cancel on the second conflict, then a run that asks from the start",
       {"a.jpg", "c.jpg"},
       {{Att("a.jpg", "new"), Att("b.jpg", "new")}, {Att("c.jpg", "new"), Att("d.jpg", "new")}, {Att("e.jpg", "new")}},
       {{{overwrite, cancel}, {"a.jpg", "c.jpg"}, {{"a.jpg", "new"}, {"b.jpg", "new"}, {"c.jpg", "old"}}, 2},
        {{skip, skip, overwrite},
         {"a.jpg", "b.jpg", "c.jpg"},
         {{"a.jpg", "new"}, {"b.jpg", "new"}, {"c.jpg", "new"}, {"d.jpg", "new"}, {"e.jpg", "new"}},
         3}}},
      // Overwrite All holds for the rest of its message; the next message and
      // the next run ask again.
      {"overwrite all, then a fresh run",
       {"a.jpg", "b.jpg", "c.jpg"},
       {{Att("a.jpg", "new"), Att("b.jpg", "new")}, {Att("c.jpg", "new")}},
       {{{overwriteAll, skip}, {"a.jpg", "c.jpg"}, {{"a.jpg", "new"}, {"b.jpg", "new"}, {"c.jpg", "old"}}, 2},
        {{cancel}, {"a.jpg"}, {{"a.jpg", "new"}, {"b.jpg", "new"}, {"c.jpg", "old"}}, 0}}},
      {"rename with an empty box",
       {"a.jpg"},
       {{Att("a.jpg", "new"), Att("b.jpg", "new")}},
       {{{renameEmpty}, {"a.jpg"}, {{"a.jpg", "old"}, {"b.jpg", "new"}}, 1}}},
      {"rename with an empty box, the only file",
       {"a.jpg"},
       {{Att("a.jpg", "new")}},
       {{{renameEmpty}, {"a.jpg"}, {{"a.jpg", "old"}}, 0}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetPictures(row.existing);
    Select(row.messages);
    for (std::size_t i = 0; i < row.runs.size(); ++i) {
      SCOPED_TRACE("run " + std::to_string(i + 1));
      const Run& run = row.runs[i];
      boxes->ClearLog();
      asked.clear();
      for (const Answer& answer : run.answers) Queue(answer);
      ClickAndCheck(kQuickPictures, run.saved ? std::vector<Box>{Complete(run.saved, true)} : std::vector<Box>{},
                    run.files);
      EXPECT_EQ(asked, run.asked);
    }
  }
}

TEST_F(ExplorerScenarios, APostFolderIsTakenBySaveAndDelete) {
  auto posts = host->Store()->AddFolder("Posts", host::olPostItem);
  explorer->CurrentFolder(posts);
  auto post = Message("Post", {Att("a.jpg", "a"), Att("b.txt", "b")}, host::olPost, posts);
  explorer->Select({post});
  const std::string chosen = tmp.MakeDir("chosen");

  boxes->Queue(forms::vbYes);
  Click(kQuickPictures);
  ui->AnswerFolder(chosen);
  Click(kSaveAllTo);
  boxes->Queue(forms::vbYes);
  Click(kDelete);

  EXPECT_EQ(Boxes(), (std::vector<Box>{
                         Confirm(true, pictures),
                         Complete(1, true),
                         {"2 attachments have been saved to '" + chosen + "'.", forms::vbInformation, "SAVE COMPLETE"},
                         kAskDelete}));
  EXPECT_EQ(On(pictures), (Files{{"a.jpg", "a"}}));
  EXPECT_EQ(On(chosen), (Files{{"a.jpg", "a"}, {"b.txt", "b"}}));
  EXPECT_EQ(post->Attachments()->Count(), 0);
  EXPECT_EQ(post->SaveCount(), 1);
}

TEST_F(ExplorerScenarios, OtherFoldersAreRefusedByEverySaveAndDelete) {
  auto contacts = host->Store()->AddFolder("Contacts", host::olContactItem);
  explorer->CurrentFolder(contacts);
  auto card = Message("Card", {Att("face.jpg")}, host::olContact, contacts);
  explorer->Select({card});
  for (const std::string& control : {kQuickPictures, kQuickAll, kSavePicturesTo, kSaveAllTo, kDelete}) {
    SCOPED_TRACE(control);
    boxes->ClearLog();
    Click(control);
    EXPECT_EQ(Boxes(), std::vector<Box>{kInvalidType});
  }
  EXPECT_TRUE(On(pictures).empty());
  EXPECT_TRUE(ui->FolderRequests().empty());
  EXPECT_EQ(card->Attachments()->Count(), 1);
  EXPECT_EQ(card->SaveCount(), 0);
}

// Only a single selected message is tested for its download state, and only
// when pictures are asked for; elsewhere the host's refusal to hand out the
// bytes shows in the error box, and the run goes on.
TEST_F(ExplorerScenarios, HeaderOnlyMessages) {
  const Box notDownloaded{
      "Only the header has been downloaded for this message.  Until the entire item is available, any present "
      "attachments cannot be retrieved.",
      forms::vbExclamation, "Message Not Downloaded"};
  const Box cannotSave{
      "Error -2147467259 (Cannot save the attachment. Only the header of this item has been downloaded.) in procedure "
      "SaveAttachments of Module modPictureAttachments (Line Number 50; Destination path: '" +
          pictures + "')",
      forms::vbExclamation, "Lumivane 1.1 Error"};
  struct Row {
    const char* name;
    Messages messages;
    std::vector<bool> headerOnly;
    const std::string& control;
    std::vector<Box> boxes;
    Files files;
  };
  const Row rows[] = {
      {"the one message, save-to pictures", {{Att("a.jpg")}}, {true}, kSavePicturesTo, {notDownloaded}, {}},
      {"the one message, quick-save all",
       {{Att("a.jpg")}},
       {true},
       kQuickAll,
       {Confirm(false, pictures), cannotSave},
       {}},
      {"one of two messages",
       {{Att("a.jpg", "a")}, {Att("b.jpg"), Att("c.gif")}},
       {false, true},
       kQuickPictures,
       {Confirm(true, pictures), cannotSave, cannotSave, Complete(1, true)},
       {{"a.jpg", "a"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetPictures();
    auto items = Select(row.messages);
    for (std::size_t i = 0; i < items.size(); ++i)
      items[i]->DownloadState(row.headerOnly[i] ? host::olHeaderOnly : host::olFullItem);
    ClickAndCheck(row.control, row.boxes, row.files);
  }
  EXPECT_TRUE(ui->FolderRequests().empty());
}

// Inline pictures (their content id known to the session object) count as
// pictures of a message only with CaptureInlineHTMLImages on. Once a message
// passes, saving takes every picture, inline or not.
TEST_F(ExplorerScenarios, InlinePicturesFollowTheSetting) {
  const Box noPicturesOn{"The current message does not have any attachments that are image files.",
                         forms::vbExclamation, "No Picture Attachments"};
  const Box noPicturesOff{kNoPictures, forms::vbExclamation, "No Picture Attachments"};
  struct Row {
    const char* name;
    long capture;
    std::vector<host::AttachmentData> attachments;
    const std::string& control;
    std::vector<Box> boxes;
    Files files;
  };
  const Row rows[] = {
      {"inline only, off", 0, {Inline("logo.png")}, kQuickPictures, {noPicturesOff}, {}},
      {"inline only, off, save-to", 0, {Inline("logo.png")}, kSavePicturesTo, {noPicturesOff}, {}},
      {"inline only, on",
       1,
       {Inline("logo.png")},
       kQuickPictures,
       {Confirm(true, pictures), Complete(1, true)},
       {{"logo.png", "data"}}},
      {"inline and attached, off",
       0,
       {Inline("logo.png"), Att("beach.jpg", "beach")},
       kQuickPictures,
       {Confirm(true, pictures), Complete(2, true)},
       {{"beach.jpg", "beach"}, {"logo.png", "data"}}},
      {"no picture at all, on", 1, {Att("notes.txt")}, kQuickPictures, {noPicturesOn}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResetPictures();
    g_objSettings->CaptureInlineHTMLImages(row.capture);
    Select({row.attachments});
    ClickAndCheck(row.control, row.boxes, row.files);
  }
  EXPECT_TRUE(ui->FolderRequests().empty());
}

// Names as a stranger's message may carry them reach the add-in as plain
// names: everything lands in the folder and nothing outside it changes.
TEST_F(ExplorerScenarios, HostileNamesStayInTheFolder) {
  g_objSettings->DoNotPromptBeforeQuickSave(1);
  tmp.Write("home/outside.jpg", "keep");
  tmp.Write("outside.png", "keep");
  const Files before = On(tmp.path());
  Select({{Att("../outside.jpg", "1"), Att("..\\..\\outside.png", "2"), Att("a/b/../c.gif", "3"), Att("..", "4"),
           Att(std::string("x\0y.jpg", 7), "5"), Att("fine.jpg", "6")}});
  Click(kQuickAll);
  EXPECT_EQ(Boxes(), std::vector<Box>{Complete(6, false)});
  EXPECT_EQ(On(pictures), (Files{{"attachment", "4"},
                                 {"c.gif", "3"},
                                 {"fine.jpg", "6"},
                                 {"outside.jpg", "1"},
                                 {"outside.png", "2"},
                                 {"xy.jpg", "5"}}));
  Files after = On(tmp.path());
  std::erase_if(after, [](const auto& entry) { return entry.first.starts_with("home/Pictures/"); });
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace outlook_test
