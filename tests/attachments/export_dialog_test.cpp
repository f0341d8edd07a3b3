// The export dialog driven as a person would: options chosen, OK, Cancel;
// what lands in the folder, what stays in the messages, the report and the
// options remembered for the next time.

#include <algorithm>
#include <filesystem>
#include <functional>

#include "attachments/attachments_fixture.h"
#include "attachments/file_names.h"
#include "attachments/frm_export.h"
#include "host/outlook.h"
#include "settings/reg_settings.h"

namespace attachments_test {
namespace {

using Strings = std::vector<std::string>;
using Choose = std::function<void(frmExport&)>;
namespace user = forms::user;

constexpr const char* kDialog = "frmExport";

// Every file under the folder, as paths relative to it, sorted.
Strings Tree(const std::string& folder) {
  Strings out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
    if (e.is_regular_file()) out.push_back(std::filesystem::relative(e.path(), folder).string());
  std::sort(out.begin(), out.end());
  return out;
}

Strings Names(const std::shared_ptr<host::Item>& item) {
  Strings out;
  for (const auto& a : item->AttachmentList()) out.push_back(a->FileName());
  return out;
}

std::string ContentOf(const std::shared_ptr<host::Attachment>& a) {
  const auto bytes = a->Content();
  return {bytes.begin(), bytes.end()};
}

class ExportTest : public AttachmentsTest {
 protected:
  void SetUp() override {
    AttachmentsTest::SetUp();
    g_objSettings->PictureDumpDirectory(target);
    g_objSettings->BatchSaveLastFileOption(2);  // all file types, as last chosen
    explorer = mail.App()->OpenExplorer({.folder = inbox});
  }

  // Opens the dialog as the window of `mode` does; the person chooses, runs
  // the export with OK (when `ok`) and closes the dialog with Cancel.
  void Run(const Choose& choose, lvwCallingMode mode = lvwCallingMode::Explorer,
           std::shared_ptr<host::Item> message = nullptr, bool ok = true) {
    ui->DriveOnce<frmExport>(kDialog, [&](frmExport& f) {
      seen = forms::DescribeForm(f);
      if (choose) choose(f);
      if (ok) user::Click(*f.cmdOK);
      user::Click(*f.cmdCancel);
    });
    ShowExportForm(mode, std::move(message));
  }

  static void Into(frmExport& f, const std::string& folder) { user::Paste(*f.txtSavePath, folder); }

  std::vector<std::pair<std::string, std::string>> BoxesSeen() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& b : boxes->Log()) out.emplace_back(b.title, b.prompt);
    return out;
  }

  std::shared_ptr<host::Explorer> explorer;
  std::string seen;  // the dialog as it was first shown
};

TEST_F(ExportTest, SelectedMessagesOrTheWholeFolder) {
  auto beach = Message({Att("beach.jpg")}, "Beach");
  auto notes = Message({Att("notes.txt")}, "Notes");
  auto report = inbox->AddItem({.itemClass = host::olReport, .subject = "Report", .attachments = {Att("r.txt")}});
  auto empty = Message({}, "Empty");
  explorer->Select({beach, empty});

  std::string counts;
  Run([&](frmExport& f) { counts = f.lblMessageCount->Caption() + "|" + f.optAllMessages->Caption(); });
  EXPECT_EQ(counts, "Number of chosen messages based on selection: 2|All Messages in Folder Inbox");
  EXPECT_EQ(Tree(target), (Strings{"beach.jpg"}));

  const std::string all = tmp.MakeDir("all");
  Run([&](frmExport& f) {
    user::Click(*f.optAllMessages);
    counts = f.lblMessageCount->Caption();
    Into(f, all);
  });
  EXPECT_EQ(counts, "(Number of chosen messages based on selection: 4)");
  // Mail and post items only: the report's attachment stays where it is.
  EXPECT_EQ(Tree(all), (Strings{"beach.jpg", "notes.txt"}));
  EXPECT_EQ(BoxesSeen(),
            (std::vector<std::pair<std::string, std::string>>{{"Export Complete", "1 attachment was exported."},
                                                              {"Export Complete", "2 attachments were exported."}}));
  // OK left the dialog open; Cancel closed it and the caller unloaded it.
  EXPECT_EQ(ui->NoticesOf(kDialog),
            (Strings{"Load", "ShowModal", "Hide", "Unload", "Load", "ShowModal", "Hide", "Unload"}));
  EXPECT_EQ(forms::Screen().MousePointerLog(),
            (std::vector<int>{forms::vbHourglass, forms::vbDefault, forms::vbHourglass, forms::vbDefault}));
  EXPECT_FALSE(forms::DefaultInstanceExists<frmExport>());
  EXPECT_EQ(report->SaveCount(), 0);
}

TEST_F(ExportTest, TypeFilters) {
  auto item = Message({Att("a.jpg"), Att("b.PNG"), Att("c.JPG"), Att("README"), Att("d.pdf"), Att("e.txt")});
  explorer->Select({item});
  struct Row {
    const char* name;
    forms::FormControl<forms::msforms::OptionButton> frmExport::*option;
    std::string extensions;
    Strings want;
  };
  const std::vector<Row> rows = {
      {"all", &frmExport::optAll, "", {"README", "a.jpg", "b.PNG", "c.JPG", "d.pdf", "e.txt"}},
      {"pictures, PNG among them", &frmExport::optImagesOnly, "", {"a.jpg", "b.PNG", "c.JPG"}},
      {"no pictures", &frmExport::optExcludeImages, "", {"README", "d.pdf", "e.txt"}},
      // Items trimmed, compared exactly as typed.
      {"listed", &frmExport::optSpecifiedFileTypes, ".jpg, .png ,.txt", {"a.jpg", "e.txt"}},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string out = tmp.MakeDir("filter" + std::to_string(++n));
    Run([&](frmExport& f) {
      Into(f, out);
      user::Click(*(f.*row.option));
      EXPECT_EQ(f.txtSpecifiedFileTypes->Enabled(), row.option == &frmExport::optSpecifiedFileTypes);
      if (!row.extensions.empty()) user::Paste(*f.txtSpecifiedFileTypes, row.extensions);
    });
    EXPECT_EQ(Tree(out), row.want);
  }

  // An item without a period, the empty one here, refuses the list.
  boxes->ClearLog();
  const std::string out = tmp.MakeDir("refused");
  Run([&](frmExport& f) {
    Into(f, out);
    user::Paste(*f.txtSpecifiedFileTypes, ".jpg,,.png");
  });
  EXPECT_EQ(Tree(out), Strings{});
  EXPECT_EQ(BoxesSeen(), (std::vector<std::pair<std::string, std::string>>{
                             {"Invalid File Extension(s)",
                              "Error parsing the list of file extensions.  Please verify that all file extensions "
                              "contain a leading period and are followed by a comma."}}));

  // Pictures only passes over a message without any.
  auto text = Message({Att("only.txt")}, "Text");
  explorer->Select({text});
  boxes->ClearLog();
  Run([&](frmExport& f) { user::Click(*f.optImagesOnly); });
  EXPECT_EQ(BoxesSeen(), (std::vector<std::pair<std::string, std::string>>{
                             {"Nothing Exported", "No attachments met the specified conditions."}}));
}

TEST_F(ExportTest, SubjectCleaning) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"Re: photos?", "Re photos"},
      {"Holiday...", "Holiday"},
      {" a<b>|c*d\"e/f\\g ", "abcdefg"},
      {"..", ""},
      {"x. ", "x."},
      {"", ""},
  };
  for (const auto& [subject, want] : rows) {
    SCOPED_TRACE(subject);
    EXPECT_EQ(names::CleanFileName(subject), want);
  }
  EXPECT_EQ(names::RemoveText("Fwd: FWD: fwd", "fwd"), ": : ");
}

TEST_F(ExportTest, FileNameRules) {
  auto item = Message({Att("a.jpg"), Att("README")}, "Re: photos?");
  explorer->Select({item});
  struct Row {
    const char* name;
    forms::FormControl<forms::msforms::OptionButton> frmExport::*option;
    std::string separator;
    std::string substitution;  // empty: the subject
    Strings want;
  };
  const std::vector<Row> rows = {
      {"original names", &frmExport::optOutputFolder, "", "", {"README", "a.jpg"}},
      {"a folder per subject", &frmExport::optEmailFolders, "", "", {"Re photos/README", "Re photos/a.jpg"}},
      {"subject first", &frmExport::optAppendSubject, " - ", "", {"Re photos - README", "Re photos - a.jpg"}},
      {"custom text first", &frmExport::optAppendSubject, "_", "Trip", {"Trip_README", "Trip_a.jpg"}},
      // A name without an extension is all base.
      {"subject after", &frmExport::optAppendSubjectToEnd, "", "", {"README (Re photos)", "a (Re photos).jpg"}},
      {"custom text after", &frmExport::optAppendSubjectToEnd, "", " 2024", {"README 2024", "a 2024.jpg"}},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string out = tmp.MakeDir("names" + std::to_string(++n));
    bool dependents = false;
    Run([&](frmExport& f) {
      Into(f, out);
      user::Click(*(f.*row.option));
      dependents = f.txtSep->Enabled() && f.lblAppendSep->Enabled() && f.chkUseAppendSubstitution->Enabled() &&
                   f.txtSubstitutionAppend->Enabled();
      if (!dependents) return;
      user::Paste(*f.txtSep, row.separator);
      if (f.chkUseAppendSubstitution->Value() != !row.substitution.empty()) user::Click(*f.chkUseAppendSubstitution);
      user::Paste(*f.txtSubstitutionAppend, row.substitution);
    });
    EXPECT_EQ(dependents,
              row.option == &frmExport::optAppendSubject || row.option == &frmExport::optAppendSubjectToEnd);
    EXPECT_EQ(Tree(out), row.want);
  }
}

TEST_F(ExportTest, SameSubjectsAndSameNamesInOneRunAreNumberedNotOverwritten) {
  auto first = Message({Att("photo.jpg", "first"), Att("Photo.JPG", "second")}, "Trip");
  auto second = Message({Att("photo.jpg", "third")}, "Trip");
  explorer->Select({first, second});
  boxes->Queue(forms::vbYes);
  Run([&](frmExport& f) {
    user::Click(*f.optEmailFolders);
    user::Click(*f.chkDelete);
  });
  // Attachments go from the last to the first of each message.
  EXPECT_EQ(Read(target + "/Trip/Photo.JPG"), "second");
  EXPECT_EQ(Read(target + "/Trip/photo_1.jpg"), "first");
  EXPECT_EQ(Read(target + "/Trip/photo_2.jpg"), "third");
  // Every copy is intact, so every original goes.
  EXPECT_EQ(Names(first), Strings{});
  EXPECT_EQ(Names(second), Strings{});
  EXPECT_EQ(boxes->Log().back().prompt, "3 attachments were exported.");
}

TEST_F(ExportTest, PicturesOnlyWithDeletionKeepsTheRest) {
  auto item = Message({Att("a.jpg"), Att("doc.pdf"), Att("b.gif")}, "Mixed");
  explorer->Select({item});

  // No to the question: nothing happens and the dialog stays.
  boxes->Queue(forms::vbNo);
  Run([&](frmExport& f) {
    user::Click(*f.optImagesOnly);
    user::Click(*f.chkDelete);
  });
  EXPECT_EQ(Tree(target), Strings{});
  EXPECT_EQ(item->SaveCount(), 0);

  boxes->ClearLog();
  boxes->Queue(forms::vbYes);
  Run([&](frmExport& f) {
    user::Click(*f.optImagesOnly);
    user::Click(*f.chkDelete);
  });
  EXPECT_EQ(Tree(target), (Strings{"a.jpg", "b.gif"}));
  EXPECT_EQ(Names(item), Strings{"doc.pdf"});
  EXPECT_EQ(item->SaveCount(), 1);
  EXPECT_EQ(boxes->Log().front().title, "Delete Attachments?");
  EXPECT_EQ(boxes->Log().front().prompt,
            "Are you sure you want to permanently delete the attachments from these messages?");
  EXPECT_EQ(boxes->Log().front().style, forms::vbQuestion | forms::vbYesNo);
}

TEST_F(ExportTest, AFailedSaveIsNeitherCountedNorDeletedAndTheReportSaysSo) {
  auto item = Message({Att("a.jpg", "A"), Att("b.jpg", "B")}, "Trip");
  item->AttachmentList()[0]->Faults().FailNext("SaveAsFile", 70, "Permission denied");
  auto other = Message({Att("c.txt", "C")}, "Other");
  explorer->Select({item, other});
  boxes->Queue(forms::vbYes);
  Run([&](frmExport& f) {
    user::Click(*f.chkIncludeReport);
    user::Click(*f.chkDelete);
  });

  EXPECT_EQ(Tree(target), (Strings{"b.jpg", "c.txt"}));
  const std::string report = "Attachment Export Report (December 8, 2026).txt";
  EXPECT_EQ(Names(item), (Strings{"a.jpg", report}));
  EXPECT_EQ(Names(other), (Strings{report}));
  EXPECT_EQ(item->SaveCount(), 1);
  const std::string header = "Attachment Export Report for message 'Trip' (exported on December 8, 2026)";
  EXPECT_EQ(ContentOf(item->AttachmentList()[1]),
            header + "\r\n" + std::string(header.size(), '-') + "\r\n\r\n" +  //
                "\"b.jpg\" was saved to \"" + target + "/b.jpg\" and deleted from this message.\r\n\r\n" +
                "\"a.jpg\" could not be saved to \"" + target + "/a.jpg\" (Permission denied).\r\n\r\n");
  // The report files are not left behind in the add-in's data folder.
  EXPECT_EQ(Tree(appData + "/Quenstor/Lumivane"), Strings{});

  ASSERT_EQ(boxes->Log().size(), 3u);
  EXPECT_EQ(boxes->Log()[1].prompt,
            "Error 70 (Permission denied) in procedure BatchSaveAttachments of Form frmExport.");
  EXPECT_EQ(boxes->Log()[1].title, "Lumivane 1.1 Error");
  EXPECT_EQ(boxes->Log()[2].prompt, "2 attachments were exported.");
}

TEST_F(ExportTest, FromAMessageWindowOrThePreviewOnlyTheMessageOnShow) {
  auto open = Message({Att("open.jpg")}, "Open");
  auto previewed = Message({Att("previewed.jpg")}, "Previewed");
  auto selected = Message({Att("selected.jpg")}, "Selected");
  explorer->Select({selected});
  struct Row {
    lvwCallingMode mode;
    std::shared_ptr<host::Item> message;
    std::string caption;
  };
  const std::vector<Row> rows = {
      {lvwCallingMode::Inspector, open,
       "Export Attachments from 'Open'|From Current Message (Default)|Use the options below to specify how to export "
       "attachments from the currently open message."},
      {lvwCallingMode::Wizard, previewed,
       "Export Attachments from 'Previewed'|From Current Message (Default)|Use the options below to specify how to "
       "export attachments from the currently selected message."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.caption);
    bool allOffered = true;
    std::string caption;
    boxes->Queue(forms::vbYes);
    Run(
        [&](frmExport& f) {
          allOffered = f.optAllMessages->Enabled();
          caption = f.Caption() + "|" + f.optSelectedMessages->Caption() + "|" + f.lblCaption->Caption();
          if (!f.chkDelete->Value()) user::Click(*f.chkDelete);
        },
        row.mode, row.message);
    EXPECT_FALSE(allOffered);
    EXPECT_EQ(caption, row.caption);
    EXPECT_EQ(Names(row.message), Strings{});
  }
  EXPECT_EQ(Tree(target), (Strings{"open.jpg", "previewed.jpg"}));
  // The selection of the main window was never touched.
  EXPECT_EQ(Names(selected), Strings{"selected.jpg"});
  EXPECT_EQ(selected->SaveCount(), 0);
}

TEST_F(ExportTest, RefusalsKeepTheDialogOpen) {
  auto bare = Message({}, "Bare");
  struct Row {
    const char* name;
    lvwCallingMode mode;
    std::shared_ptr<host::Item> message;
    std::string folder;
    std::pair<std::string, std::string> box;
  };
  const std::vector<Row> rows = {
      {"no selection",
       lvwCallingMode::Explorer,
       nullptr,
       target,
       {"Invalid Selection", "No messages are currently selected."}},
      {"no attachments",
       lvwCallingMode::Inspector,
       bare,
       target,
       {"Invalid Message", "The selected message does not contain any attachments."}},
      {"no message",
       lvwCallingMode::Wizard,
       nullptr,
       target,
       {"Invalid Message", "There is no message on show to export the attachments from."}},
      {"no folder",
       lvwCallingMode::Explorer,
       nullptr,
       target + "/missing",
       {"Invalid Folder",
        "The '" + target + "/missing' directory is invalid or does not exists.  Please choose a valid folder."}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    explorer->Select(row.folder == target ? std::vector<std::shared_ptr<host::Item>>{}
                                          : std::vector<std::shared_ptr<host::Item>>{Message({Att("x.jpg")})});
    boxes->ClearLog();
    Run([&](frmExport& f) { Into(f, row.folder); }, row.mode, row.message);
    EXPECT_EQ(BoxesSeen(), (std::vector<std::pair<std::string, std::string>>{row.box}));
  }
  EXPECT_EQ(Tree(target), Strings{});
}

TEST_F(ExportTest, TypedSeparatorsRefuseCharactersOfNoFileNameAndTheFolderCanBePicked) {
  explorer->Select({Message({Att("a.jpg")})});
  std::string typed, path;
  ui->AnswerFolder(target + "/picked");
  ui->CancelFolder();
  Run(
      [&](frmExport& f) {
        user::Click(*f.optAppendSubject);
        user::Paste(*f.txtSep, "");
        user::Type(*f.txtSep, "a/b:c d");
        typed = f.txtSep->Text();
        user::Click(*f.lblBrowse);
        user::Click(*f.lblBrowse);  // cancelled: the folder stays
        path = f.txtSavePath->Text();
      },
      lvwCallingMode::Explorer, nullptr, false);
  EXPECT_EQ(typed, "abc d");
  EXPECT_EQ(path, target + "/picked");
  EXPECT_EQ(Titles(), (Strings{"Invalid File Name", "Invalid File Name"}));
  ASSERT_EQ(ui->FolderRequests().size(), 2u);
  EXPECT_EQ(ui->FolderRequests()[0].title, "Select a folder to export the attachments to...");
}

TEST_F(ExportTest, OptionsAreRememberedAndAStrayStoredValueFallsBackToTheDefault) {
  explorer->Select({Message({Att("a.txt")})});
  Run([&](frmExport& f) {
    user::Click(*f.optAppendSubjectToEnd);
    user::Click(*f.optSpecifiedFileTypes);
    user::Paste(*f.txtSpecifiedFileTypes, ".txt");
    user::Paste(*f.txtSep, "~");
    user::Paste(*f.txtSubstitutionAppend, " copy");
    user::Click(*f.chkUseAppendSubstitution);
    user::Click(*f.chkIncludeReport);
  });
  RegSettings stored;  // read back from the registry
  EXPECT_EQ(stored.BatchSaveLastExportOption(), 3);
  EXPECT_EQ(stored.BatchSaveLastFileOption(), 3);
  EXPECT_EQ(stored.BatchSaveFileExtensions(), ".txt");
  EXPECT_EQ(stored.AppendSubjectToAttachmentFileNameAndUseThisAsTheFollowingCharacter(), "~");
  EXPECT_EQ(stored.AttachmentExportAppendSubstitutionText(), " copy");
  EXPECT_EQ(stored.AttachmentExportUseAppendSubstitutionText(), -1);
  EXPECT_EQ(stored.AttachmentExportIncludeExportReport(), -1);
  EXPECT_EQ(stored.AttachmentExportDeleteAfterSave(), 0);
  EXPECT_EQ(stored.PictureDumpDirectory(), target);

  Run(nullptr, lvwCallingMode::Explorer, nullptr, false);
  EXPECT_NE(seen.find("optAppendSubjectToEnd  MSForms.OptionButton  (o)"), std::string::npos) << seen;
  EXPECT_NE(seen.find("txtSep  TextBox  text \"~\"\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("txtSpecifiedFileTypes  TextBox  text \".txt\"\n"), std::string::npos) << seen;
  EXPECT_NE(seen.find("chkIncludeReport  MSForms.CheckBox  [x]"), std::string::npos) << seen;

  g_objSettings->BatchSaveLastExportOption(7);
  g_objSettings->BatchSaveLastFileOption(-1);
  Run(nullptr, lvwCallingMode::Explorer, nullptr, false);
  EXPECT_NE(seen.find("optOutputFolder  MSForms.OptionButton  (o)"), std::string::npos) << seen;
  EXPECT_NE(seen.find("optAll  MSForms.OptionButton  (o)"), std::string::npos) << seen;
  EXPECT_NE(seen.find("txtSep  TextBox  text \"~\"  (disabled)"), std::string::npos) << seen;
}

// A big folder goes out whole: no limit of a 16-bit count, no silent stop.
TEST_F(ExportTest, TenThousandMessagesAreExportedWhole) {
  // Four attachments each: the count goes past what 16 bits hold.
  constexpr int kMessages = 10000;
  for (int i = 0; i < kMessages; ++i) {
    const std::string n = std::to_string(i);
    Message({Att("a" + n + ".txt", "x"), Att("b" + n + ".txt", "x"), Att("c" + n + ".txt", "x"),
             Att("d" + n + ".txt", "x")},
            "M");
  }
  const std::string all = tmp.MakeDir("all");
  Run([&](frmExport& f) {
    user::Click(*f.optAllMessages);
    Into(f, all);
  });
  EXPECT_EQ(Tree(all).size(), static_cast<std::size_t>(4 * kMessages));
  ASSERT_FALSE(boxes->Log().empty());
  EXPECT_EQ(boxes->Log().back().prompt, "40000 attachments were exported.");
}

using ExportRegressions = ExportTest;

// Two runs with deletion into one folder: the second message's photo.jpg
// must not replace the only copy of the first one's. A file already there
// with the same bytes is that copy and stays as it is.
TEST_F(ExportRegressions, AnExportNeverWritesOverAFileOfOtherBytes) {
  tmp.Write("target/Trip/same.jpg", "same");
  tmp.Write("target/Trip/photo_1.jpg", "from elsewhere");
  auto a = Message({Att("photo.jpg", "A")}, "Trip");
  auto b = Message({Att("photo.jpg", "B"), Att("same.jpg", "same")}, "Trip");
  for (const auto& item : {a, b}) {
    explorer->Select({item});
    boxes->Queue(forms::vbYes);
    Run([&](frmExport& f) {
      user::Click(*f.optEmailFolders);
      if (!f.chkDelete->Value()) user::Click(*f.chkDelete);
    });
  }
  EXPECT_EQ(Read(target + "/Trip/photo.jpg"), "A");
  EXPECT_EQ(Read(target + "/Trip/photo_1.jpg"), "from elsewhere");
  EXPECT_EQ(Read(target + "/Trip/photo_2.jpg"), "B");
  EXPECT_EQ(Read(target + "/Trip/same.jpg"), "same");
  EXPECT_EQ(Tree(target), (Strings{"Trip/photo.jpg", "Trip/photo_1.jpg", "Trip/photo_2.jpg", "Trip/same.jpg"}));
  // Each original has its own intact copy, so each goes.
  EXPECT_EQ(Names(a), Strings{});
  EXPECT_EQ(Names(b), Strings{});
  EXPECT_EQ(boxes->Log().back().prompt, "2 attachments were exported.");
}

// Sub-folders named after subjects: invisible, bidi and control characters
// leave the name, a subject longer than a name can be is shortened (the
// extension kept in append mode), and every message is exported.
TEST_F(ExportRegressions, SubjectFolderNamesAreCleanedAndShortened) {
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";  // 300 "é", 600 bytes
  struct Row {
    const char* name;
    std::string subject;
    forms::FormControl<forms::msforms::OptionButton> frmExport::*option;
    Strings want;
  };
  const std::vector<Row> rows = {
      {"zero-width dots", "\u200b..\u200b", &frmExport::optEmailFolders, {"a.jpg"}},
      {"bidi override", "\u202egpj.exe\u202c \u2066x\u2069", &frmExport::optEmailFolders, {"gpj.exe x/a.jpg"}},
      {"escape sequence", "a\x1b[31mb\x7f", &frmExport::optEmailFolders, {"a[31mb/a.jpg"}},
      {"long subject folder", accents, &frmExport::optEmailFolders, {accents.substr(0, 254) + "/a.jpg"}},
      {"long subject first", accents, &frmExport::optAppendSubject, {accents.substr(0, 250) + "a.jpg"}},
      {"long subject after", accents, &frmExport::optAppendSubjectToEnd, {"a (" + accents.substr(0, 246) + ").jpg"}},
  };
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string out = tmp.MakeDir("subjects" + std::to_string(++n));
    explorer->Select({Message({Att("a.jpg")}, row.subject)});
    boxes->ClearLog();
    Run([&](frmExport& f) {
      Into(f, out);
      user::Click(*(f.*row.option));
      if (row.option == &frmExport::optAppendSubject) user::Paste(*f.txtSep, "");
    });
    EXPECT_EQ(Tree(out), row.want);
    EXPECT_EQ(Titles(), Strings{"Export Complete"});
  }
}

// A link inside the chosen folder, where a sub-folder or a file would go,
// is never followed: that attachment is refused with the reason, nothing
// lands outside, and the attachment stays in its message.
TEST_F(ExportRegressions, LinksInsideTheTargetAreNeverFollowed) {
  const std::string outside = tmp.MakeDir("outside");
  const std::string victim = tmp.Write("outside/photo.jpg", "keep me");
  std::filesystem::create_directory_symlink(outside, target + "/Trip");
  std::filesystem::create_symlink(victim, target + "/photo.jpg");
  auto trip = Message({Att("a.jpg", "A")}, "Trip");
  auto flat = Message({Att("photo.jpg", "B")}, "Flat");
  struct Row {
    const char* name;
    std::shared_ptr<host::Item> item;
    forms::FormControl<forms::msforms::OptionButton> frmExport::*option;
    std::string link;
  } rows[] = {
      {"a sub-folder", trip, &frmExport::optEmailFolders, target + "/Trip"},
      {"a file", flat, &frmExport::optOutputFolder, target + "/photo.jpg"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    explorer->Select({row.item});
    boxes->ClearLog();
    boxes->Queue(forms::vbYes);
    Run([&](frmExport& f) {
      user::Click(*(f.*row.option));
      if (!f.chkDelete->Value()) user::Click(*f.chkDelete);
    });
    ASSERT_EQ(boxes->Log().size(), 3u);
    EXPECT_EQ(boxes->Log()[1].prompt, "Error 75 (Path/File access error: '" + row.link +
                                          "' is a symbolic link; nothing is written through it) in procedure "
                                          "BatchSaveAttachments of Form frmExport.");
    EXPECT_EQ(boxes->Log()[2].prompt, "No attachments met the specified conditions.");
    EXPECT_EQ(Names(row.item).size(), 1u);
  }
  EXPECT_EQ(Tree(outside), Strings{"photo.jpg"});
  EXPECT_EQ(Read(victim), "keep me");
}

}  // namespace
}  // namespace attachments_test
