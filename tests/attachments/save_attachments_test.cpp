// Saving attachments with the name-conflict dialog, driven as a person
// would answer it.

#include <filesystem>
#include <functional>

#include "attachments/attachments_fixture.h"
#include "attachments/file_names.h"

namespace attachments_test {
namespace {

using Dialog = frmSaveAttachments;
using Strings = std::vector<std::string>;

constexpr const char* kDialog = "frmSaveAttachments";

std::function<void(Dialog&)> Press(forms::FormControl<forms::CommandButton> Dialog::*button) {
  return [button](Dialog& d) { forms::user::Click(*(d.*button)); };
}
std::function<void(Dialog&)> TypeAndPress(std::string text, forms::FormControl<forms::CommandButton> Dialog::*button) {
  return [text, button](Dialog& d) {
    forms::user::Paste(*d.txtRename, text);
    forms::user::Click(*(d.*button));
  };
}

class SaveTest : public AttachmentsTest {
 protected:
  struct Result {
    bool cancelled = false;
    std::int16_t count = -1;
  };

  // As the commands call it: the message's attachments keyed FileName_Index.
  Result Save(const std::shared_ptr<host::Item>& item, bool picturesOnly = false, std::string path = {}) {
    if (path.empty() && !useSetting) path = target;
    AttachmentCollection collection;
    for (const auto& a : item->Attachments()) collection.Add(a, a->Data().fileName + "_" + std::to_string(a->Index()));
    Result r;
    SaveAttachments(collection, picturesOnly, path, r.cancelled, r.count);
    lastPath = path;
    return r;
  }
  void Once(std::function<void(Dialog&)> driver) { ui->DriveOnce<Dialog>(kDialog, std::move(driver)); }
  std::string Put(const std::string& name, const std::string& content = "old") {
    return tmp.Write("target/" + name, content);
  }
  std::string File(const std::string& name) const { return Read(target + "/" + name); }
  long Asked() const {
    long n = 0;
    for (const auto& action : ui->NoticesOf(kDialog)) n += action == "ShowModal";
    return n;
  }

  bool useSetting = false;
  std::string lastPath;
};

TEST_F(SaveTest, WithoutConflictsEverythingIsSavedUnasked) {
  auto item = Message({Att("a.jpg", "A"), Att("b.pdf", "B"), Att("c.png", "C")});
  Result r = Save(item);
  EXPECT_EQ(r.count, 3);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(Listing(target), (Strings{"a.jpg", "b.pdf", "c.png"}));
  EXPECT_EQ(File("b.pdf"), "B");
  EXPECT_EQ(Asked(), 0);

  // Pictures only, into the folder of the setting when none is given.
  std::filesystem::remove_all(target);
  std::filesystem::create_directory(target);
  g_objSettings->PictureDumpDirectory(target);
  useSetting = true;
  r = Save(item, true);
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(lastPath, target);
  EXPECT_EQ(Listing(target), (Strings{"a.jpg", "c.png"}));
}

TEST_F(SaveTest, TheDialogAsShown) {
  Put("photo.jpg");
  Put("photo_1.jpg");
  Strings captions;
  std::string focused, font;
  Once([&](Dialog& d) {
    captions = {d.Caption(),
                d.lblMessage->Caption(),
                d.Label1->Caption(),
                d.Label2->Caption(),
                d.optIncNum->Caption(),
                d.optAppendDate->Caption(),
                d.txtRename->Text(),
                d.cmdYes->Caption(),
                d.cmdYesToAll->Caption(),
                d.cmdNo->Caption(),
                d.cmdUseRename->Caption(),
                d.cmdRenameAll->Caption(),
                d.cmdCancel->Caption(),
                d.Image1->ToolTipText()};
    EXPECT_TRUE(d.optIncNum->Value());
    focused = d.ActiveControl() ? d.ActiveControl()->Name() : "";
    font = d.txtRename->FontName();
    forms::user::MouseMove(*d.imgHelp);
    EXPECT_EQ(shell::Current().cursors.CurrentCursor(), shell::Current().cursors.HandleOf(shell::IDC_HAND));
    forms::user::Click(*d.imgHelp);
    forms::user::Click(*d.cmdNo);
  });
  Save(Message({Att("photo.jpg")}));
  EXPECT_EQ(
      captions,
      (Strings{"Overwrite File?",
               "The file 'photo.jpg' already exists in the '" + target +
                   "' directory.  Do you wish to overwrite it?  Click 'Rename' to use the suggested file name.",
               "Renaming Options:", "Suggested file name:", "Append incremental numbers (file_1.jpg, file_2.jpg, etc.)",
               "Append current date (file1 - MM-DD-YYYY.jpg); use incremental numbering if necessary for files "
               "with existing date stamp",
               "photo_2.jpg", "&Overwrite", "Overwrite &All", "&No", "&Rename", "Rename A&ll", "Cancel", "Warning!"}));
  EXPECT_EQ(focused, "cmdNo");
  EXPECT_EQ(font, "Arial");
  EXPECT_EQ(shell::Current().seam.log.CallsOf("Shell"),
            Strings{"Shell(\"explorer.exe http://www.quenstor.com/lumivane/help/saveattachments.htm\", 1)"});
}

TEST_F(SaveTest, EachAnswerOfOneConflict) {
  struct Row {
    const char* name;
    std::function<void(Dialog&)> answer;
    std::int16_t count;
    Strings files;
    std::string photo;  // what photo.jpg holds afterwards
  };
  const Row rows[] = {
      {"overwrite", Press(&Dialog::cmdYes), 1, {"photo.jpg"}, "new"},
      {"skip", Press(&Dialog::cmdNo), 0, {"photo.jpg"}, "old"},
      {"rename as proposed", Press(&Dialog::cmdUseRename), 1, {"photo.jpg", "photo_1.jpg"}, "old"},
      {"rename as typed", TypeAndPress("mine.jpg", &Dialog::cmdUseRename), 1, {"mine.jpg", "photo.jpg"}, "old"},
      {"rename with an empty box", TypeAndPress("", &Dialog::cmdUseRename), 0, {"photo.jpg"}, "old"},
      {"the title-bar close", [](Dialog& d) { forms::user::Close(d); }, 1, {"photo.jpg", "photo_1.jpg"}, "old"},
      {"cancel", Press(&Dialog::cmdCancel), 0, {"photo.jpg"}, "old"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(target);
    Put("photo.jpg");
    Once(row.answer);
    Result r = Save(Message({Att("photo.jpg", "new")}));
    EXPECT_EQ(r.count, row.count);
    EXPECT_EQ(r.cancelled, std::string(row.name) == "cancel");
    EXPECT_EQ(Listing(target), row.files);
    EXPECT_EQ(File("photo.jpg"), row.photo);
  }
}

TEST_F(SaveTest, OverwriteAllHoldsForTheRunOnlyAndCancelStopsTheRun) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) Put(name);
  Once(Press(&Dialog::cmdYesToAll));
  Result r = Save(Message({Att("a.jpg", "new"), Att("b.jpg", "new"), Att("c.jpg", "new"), Att("d.jpg", "new")}));
  EXPECT_EQ(r.count, 4);
  EXPECT_EQ(Asked(), 1);
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) EXPECT_EQ(File(name), "new") << name;

  // The next run asks again; cancel on its second conflict stops it there.
  ui->ClearLog();
  Once(Press(&Dialog::cmdYes));
  Once(Press(&Dialog::cmdCancel));
  r = Save(Message({Att("a.jpg", "2nd"), Att("e.jpg", "2nd"), Att("b.jpg", "2nd"), Att("f.jpg", "2nd")}));
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.count, 2);  // a.jpg overwritten, e.jpg new
  EXPECT_EQ(Asked(), 2);
  EXPECT_EQ(File("a.jpg"), "2nd");
  EXPECT_EQ(File("b.jpg"), "new");
  EXPECT_EQ(Listing(target), (Strings{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}));

  // And the run after that starts with every answer cleared.
  ui->ClearLog();
  Once(Press(&Dialog::cmdNo));
  r = Save(Message({Att("c.jpg", "3rd")}));
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(Asked(), 1);
  EXPECT_EQ(File("c.jpg"), "new");
}

TEST_F(SaveTest, RenameAllNamesLaterConflictsByTheRuleChosen) {
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "c - 12-08-2026.jpg"}) Put(name);
  Once([](Dialog& d) {
    forms::user::Click(*d.optAppendDate);
    EXPECT_EQ(d.txtRename->Text(), "a - 12-08-2026.jpg");
    forms::user::Paste(*d.txtRename, "first.jpg");
    forms::user::Click(*d.cmdRenameAll);
  });
  Result r = Save(Message({Att("a.jpg", "A"), Att("b.jpg", "B"), Att("c.jpg", "C")}));
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(Asked(), 1);
  EXPECT_EQ(File("first.jpg"), "A");
  EXPECT_EQ(File("b - 12-08-2026.jpg"), "B");
  EXPECT_EQ(File("c - 12-08-2026_1.jpg"), "C");
}

TEST_F(SaveTest, TheRenamingRules) {
  struct Row {
    const char* name;
    Strings taken;
    bool byDate;
    const char* want;
  };
  const Row rows[] = {
      {"photo.jpg", {}, false, "photo_1.jpg"},
      {"photo.jpg", {"PHOTO_1.JPG"}, false, "photo_2.jpg"},
      {"IMG_0007.jpg", {}, false, "IMG_8.jpg"},
      {"my_photo.jpg", {}, false, "my_photo_1.jpg"},
      {"x_.gif", {}, false, "x__1.gif"},
      {"a__3.png", {}, false, "a__3_1.png"},
      {"scan", {}, false, "scan_1"},
      {"IMG_-4.jpg", {}, false, "IMG_-3.jpg"},
      {"IMG_20190101.jpg", {}, false, "IMG_20190102.jpg"},
      {"IMG_32767.jpg", {}, false, "IMG_32768.jpg"},
      {"a_9223372036854775807.jpg", {}, false, "a_9223372036854775807_1.jpg"},
      {"a_1e400.jpg", {}, false, "a_1e400_1.jpg"},
      {"report.pdf", {}, true, "report - 12-08-2026.pdf"},
      {"report.pdf", {"report - 12-08-2026.pdf", "report - 12-08-2026_1.pdf"}, true, "report - 12-08-2026_2.pdf"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(target);
    std::filesystem::create_directory(target);
    for (const auto& name : row.taken) Put(name);
    auto dialog = forms::Default<Dialog>();
    dialog->FilePath(target);
    dialog->FileName(row.name);
    dialog->optAppendDate->Value(row.byDate);
    if (!row.byDate) dialog->optIncNum->Value(true);
    dialog->GenerateFilename();
    EXPECT_EQ(dialog->NewFilename(), row.want);
    EXPECT_EQ(dialog->txtRename->Text(), row.want);
  }
  // The date is today's, whenever today is.
  clock->SetNow(runtime::DateTime{2027, 1, 31, 23, 59, 0});
  auto dialog = forms::Default<Dialog>();
  dialog->optAppendDate->Value(true);
  dialog->GenerateFilename("other.tar.gz");
  EXPECT_EQ(dialog->NewFilename(), "other.tar - 01-31-2027.gz");
}

TEST_F(SaveTest, TypedNamesAreCheckedAndATakenOneIsAskedAboutAgain) {
  Put("photo.jpg");
  Put("taken.jpg", "keep");
  std::string secondQuestion;
  Once([](Dialog& d) {
    forms::user::Paste(*d.txtRename, "a:b.jpg");
    forms::user::Click(*d.cmdUseRename);
    EXPECT_TRUE(d.Visible());  // still open, nothing set
    EXPECT_TRUE(d.NewFilename() == "photo_1.jpg");
    forms::user::Paste(*d.txtRename, "Taken.JPG");
    forms::user::Click(*d.cmdUseRename);
  });
  Once([&](Dialog& d) {
    secondQuestion = d.lblMessage->Caption();
    EXPECT_EQ(d.txtRename->Text(), "Taken_1.JPG");
    forms::user::Click(*d.cmdUseRename);
  });
  Result r = Save(Message({Att("photo.jpg", "new")}));
  ASSERT_EQ(boxes->Log().size(), 1u);
  EXPECT_EQ(boxes->Log()[0].title, "Invalid File Name");
  EXPECT_EQ(boxes->Log()[0].prompt,
            "A file name cannot contain any of the following characters:\r\n\t\\ / : * ? \" < > |");
  EXPECT_EQ(secondQuestion, "The file 'Taken.JPG' already exists in the '" + target +
                                "' directory.  Do you wish to overwrite it?  Click 'Rename' to use the suggested file "
                                "name.");
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(File("taken.jpg"), "keep");
  EXPECT_EQ(File("Taken_1.JPG"), "new");
}

TEST_F(SaveTest, ADialogThatCannotBeShownModallyGoesOnWithTheProposal) {
  Put("a.jpg");
  Put("b.jpg");
  Result r = Save(Message({Att("a.jpg", "A"), Att("b.jpg", "B")}));  // nobody drives the dialog
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(File("a_1.jpg"), "A");
  EXPECT_EQ(File("b_1.jpg"), "B");
  EXPECT_EQ(ui->NoticesOf(kDialog), (Strings{"Load", "ModalFailed", "Show", "ModalFailed", "Show"}));
}

TEST_F(SaveTest, APermissionFailureEndsTheRunWithItsOutputsSetAndNoAnswerLeft) {
  Put("a.jpg");
  auto item = Message({Att("a.jpg", "A"), Att("b.jpg", "B"), Att("c.jpg", "C")});
  item->Attachments()->Item(2)->Faults().FailNext("SaveAsFile", host::err::kAccessDenied,
                                                  "Cannot save the attachment. You Don't Have Appropriate Permission.");
  Once(Press(&Dialog::cmdYesToAll));
  Result r = Save(item);
  EXPECT_EQ(Titles(), Strings{"Save Error"});
  EXPECT_EQ(boxes->Log()[0].prompt, "An unexpected error occurred saving the attachments to the '" + target +
                                        "' directory.  Please try again.");
  EXPECT_EQ(r.count, 1);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(Listing(target), Strings{"a.jpg"});
  auto dialog = forms::Default<Dialog>();
  EXPECT_FALSE(dialog->ApplyToAll());
  EXPECT_FALSE(dialog->Overwrite());
}

TEST_F(SaveTest, OtherFailuresAreReportedWithTheStepAndTheRunGoesOn) {
  auto item = Message({Att("a.jpg", "A"), Att("b.jpg", "B"), Att("c.jpg", "C")});
  item->Attachments()->Item(2)->Faults().FailNext("SaveAsFile", host::err::kFail, "Cannot save the attachment.");
  item->Attachments()->Item(3)->Faults().FailNext("FileName", 13);
  Result r = Save(item);
  EXPECT_EQ(r.count, 1);  // counted once written
  EXPECT_EQ(Listing(target), Strings{"a.jpg"});
  ASSERT_EQ(boxes->Log().size(), 2u);
  EXPECT_EQ(boxes->Log()[0].title, "Lumivane 1.1 Error");
  EXPECT_EQ(boxes->Log()[0].prompt,
            "Error -2147467259 (Cannot save the attachment.) in procedure SaveAttachments of "
            "Module modPictureAttachments (Line Number 50; Destination path: '" +
                target + "')");
  EXPECT_EQ(boxes->Log()[1].prompt,
            "Error 13 (Type mismatch) in procedure SaveAttachments of Module modPictureAttachments (Line Number 30; "
            "Destination path: '" +
                target + "')");
}

TEST_F(SaveTest, AFolderThatIsNotThereIsRefused) {
  auto item = Message({Att("a.jpg")});
  struct Row {
    const char* name;
    std::string folder;
    std::string text;
  };
  const Row rows[] = {
      {"missing", target + "/gone",
       "The '" + target + "/gone' directory is invalid or does not exist.  No attachments were saved."},
      {"no folder at all", "",
       "No folder to save the attachments to is set.  Please choose one in the Settings screen."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    boxes->ClearLog();
    g_objSettings->PictureDumpDirectory(row.folder);
    useSetting = true;
    Result r = Save(item);
    EXPECT_EQ(Titles(), Strings{"Invalid Folder"});
    EXPECT_EQ(boxes->Log()[0].prompt, row.text);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.count, 0);
  }
  EXPECT_TRUE(Listing(target).empty());
  EXPECT_FALSE(std::filesystem::exists(tmp.path() + "/a.jpg"));
}

using Regressions = SaveTest;

// Conflicts that a sound name ran into: a 255-byte name whose "_1" made it
// too long for the file system, the dialog refusing its own proposal for a
// name with "?", and a name of blanks saved as a file called " ".
TEST_F(Regressions, ConflictsOfLongOddAndBlankNames) {
  const std::string longest = std::string(251, 'a') + ".jpg";
  struct Row {
    const char* name;
    std::string attachment;
    std::function<void(Dialog&)> answer;
    Strings files;
    Strings titles;
  } rows[] = {
      {"255 bytes", longest, Press(&Dialog::cmdUseRename), {std::string(249, 'a') + "_1.jpg", longest}, {}},
      {"a question mark", "q?x.jpg", Press(&Dialog::cmdUseRename), {"q?x.jpg", "q?x_1.jpg"}, {}},
      {"one blank", "photo.jpg", TypeAndPress(" ", &Dialog::cmdUseRename), {"photo.jpg"}, {"Invalid File Name"}},
      {"a typed asterisk is still refused",
       "q?x.jpg",
       [](Dialog& d) {
         TypeAndPress("q*x.jpg", &Dialog::cmdUseRename)(d);
         forms::user::Click(*d.cmdNo);
       },
       {"q?x.jpg"},
       {"Invalid File Name"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove_all(target);
    Put(row.attachment);
    boxes->ClearLog();
    Once(row.answer);
    Result r = Save(Message({Att(row.attachment, "new")}));
    EXPECT_EQ(r.count, row.titles.empty() ? 1 : 0);
    EXPECT_EQ(Listing(target), row.files);
    Strings titles;
    for (const auto& box : boxes->Log()) titles.push_back(box.title);
    EXPECT_EQ(titles, row.titles);
  }
  EXPECT_EQ(lumivane::names::NumberedFileName(std::string(247, 'a') + "_1.jpg"), std::string(247, 'a') + "_2.jpg");
  EXPECT_EQ(lumivane::names::NumberedFileName("x_" + std::string(249, 'b') + ".jpg"),
            "x_" + std::string(247, 'b') + "_1.jpg");
  EXPECT_EQ(lumivane::names::NumberedFileName("x_" + std::string(247, 'b') + "_1.jpg"),
            "x_" + std::string(247, 'b') + "_2.jpg");
}

// Names made only of dots and blanks name no file of their own ("..." is
// hidden, " . " is the folder itself on some systems): refused like "." and "..".
TEST_F(Regressions, TypedNamesOfOnlyDotsAndBlanksAreRefused) {
  for (const char* typed : {".", "..", "...", " . ", ". .", "  ...  "}) {
    SCOPED_TRACE(std::string("'") + typed + "'");
    std::filesystem::remove_all(target);
    Put("photo.jpg");
    boxes->ClearLog();
    Once(TypeAndPress(typed, &Dialog::cmdUseRename));
    Result r = Save(Message({Att("photo.jpg", "new")}));
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(Listing(target), Strings{"photo.jpg"});
    EXPECT_EQ(Titles(), Strings{"Invalid File Name"});
  }
}

}  // namespace
}  // namespace attachments_test
