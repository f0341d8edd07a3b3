// The program's command language and its seams, over a scratch store.
#include <gtest/gtest.h>

#include <deque>
#include <sstream>

#include "app/options.h"
#include "app/screen.h"
#include "app/session.h"
#include "app/transcript.h"
#include "app/words.h"
#include "host/mail/mail_support.h"
#include "platform/forms/form.h"
#include "platform/seam_record.h"
#include "platform/shell/browse_folder.h"

namespace {

using namespace mail_test;
using Strings = std::vector<std::string>;
namespace forms = platform::forms;

TEST(Words, SplitAsAShellDoes) {
  struct Row {
    const char* line;
    Strings want;
    bool error = false;
  };
  const Row rows[] = {
      {"", {}},
      {"   # only a comment", {}},
      {"click \"Quick-save &Only Picture Attachments\"", {"click", "Quick-save &Only Picture Attachments"}},
      {"dialog frmExport set txtPath '/tmp/a b'  # comment", {"dialog", "frmExport", "set", "txtPath", "/tmp/a b"}},
      {"select --subject caf\\ \\\"x\\\"", {"select", "--subject", "caf \"x\""}},
      {"a#b", {"a#b"}},
      {"say \"in \\\"quotes\\\" \\\\ \"", {"say", "in \"quotes\" \\ "}},
      {"\"\"", {""}},
      {"open 'unclosed", {}, true},
      {"open \"unclosed", {}, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const app::Words w = app::SplitWords(row.line);
    EXPECT_EQ(!w.error.empty(), row.error);
    if (!row.error) {
      EXPECT_EQ(w.words, row.want);
    }
  }
  for (const char* word : {"plain", "two words", "it's", "a\"b", ""}) {
    SCOPED_TRACE(word);
    EXPECT_EQ(app::SplitWords(app::QuoteWord(word)).words, Strings{word});
  }
}

TEST(Options, ParseOrRefuse) {
  const auto ok = app::ParseOptions({"--store", "/m", "--profile=/p", "--host-version", "9.0.0.2711", "--script", "-"});
  EXPECT_EQ(ok.error, "");
  EXPECT_EQ(ok.options.store, std::filesystem::path("/m"));
  EXPECT_EQ(ok.options.profile, std::filesystem::path("/p"));
  EXPECT_EQ(ok.options.hostVersion, "9.0.0.2711");
  EXPECT_EQ(ok.options.script, std::filesystem::path("-"));
  EXPECT_TRUE(app::ParseOptions({"-h"}).options.help);
  for (const Strings& bad :
       {Strings{"--store"}, Strings{"--frobnicate"}, Strings{"stray"}, Strings{"--host-version="}}) {
    SCOPED_TRACE(bad[0]);
    EXPECT_NE(app::ParseOptions(bad).error, "");
  }
}

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path inbox = scratch_.root() / "store" / "Inbox";
    MakeMaildir(inbox);
    WriteBytes(inbox / "cur" / "1.a:2,S", ReadBytes(Fixture("basic.eml")));
    WriteBytes(inbox / "cur" / "2.b:2,S", ReadBytes(Fixture("inline.eml")));
    WriteBytes(inbox / "cur" / "3.c:2,S", ReadBytes(Fixture("single.eml")));
    MakeMaildir(inbox / ".Posts");
    WriteBytes(inbox / ".Posts" / ".lumivane-folder", "type = post\n");
    fs::create_directories(Out());
  }
  void TearDown() override { session_.reset(); }

  app::Session& Open(std::string version = "11.0.0.8217", app::Console* console = nullptr,
                     app::Screen* screen = nullptr) {
    app::SessionSetup setup;
    setup.console = console;
    setup.screen = screen;
    setup.options.store = scratch_.root() / "store" / "Inbox";
    setup.options.profile = scratch_.root() / "profile";
    setup.options.hostVersion = std::move(version);
    setup.publishDesktop = false;
    session_ = std::make_unique<app::Session>(out_, std::move(setup));
    setUpOut_ = out_.str();
    out_.str("");
    return *session_;
  }
  // Runs the lines; the transcript they printed.
  std::string Run(std::initializer_list<const char*> lines, bool expectOk = true) {
    out_.str("");
    for (const char* line : lines) {
      SCOPED_TRACE(line);
      EXPECT_EQ(session_->Run(line), expectOk) << out_.str();
    }
    return out_.str();
  }
  fs::path Out() const { return scratch_.root() / "out"; }

  Scratch scratch_;
  std::ostringstream out_;
  std::string setUpOut_;  // what the session printed while it was made
  std::unique_ptr<app::Session> session_;
};

// The stand-ins' records of calls are for tests: the program keeps none,
// or it would grow with every use.
TEST_F(SessionTest, Regressions_The_program_keeps_no_records_of_calls) {
  platform::KeepSeamRecords(true);
  Open();
  EXPECT_FALSE(platform::KeepingSeamRecords());
}

TEST_F(SessionTest, DrivesTheClientAndPrintsWhatHappens) {
  Open();
  const std::string started = Run({"start", "list"});
  EXPECT_NE(started.find("mail client 11.0.0.8217 started with an Explorer on Inbox"), std::string::npos) << started;
  EXPECT_NE(started.find("1   \"Holiday photos \xE2\x80\x93 beach\" [beach.jpg, booking.pdf, Your reservation.eml]"),
            std::string::npos)
      << started;
  EXPECT_NE(started.find("3   \"Plain note\" no attachments"), std::string::npos) << started;

  const std::string selected = Run({"select --subject NEWSLETTER", "list"});
  EXPECT_NE(selected.find("selected 1: \"Newsletter with an inline logo\""), std::string::npos) << selected;
  EXPECT_NE(selected.find("2 * \"Newsletter"), std::string::npos) << selected;

  const std::string windows =
      Run({"explorer new Posts", "explorer activate 1", "open 1", "show windows", "close-window", "folder Posts"});
  EXPECT_NE(windows.find("Explorer 2 opened on Posts"), std::string::npos) << windows;
  EXPECT_NE(windows.find("Explorer 2: Posts, 0 selected"), std::string::npos) << windows;
  EXPECT_NE(windows.find("message window (active): \"Holiday"), std::string::npos) << windows;
  EXPECT_NE(windows.find("folder Posts (0 items)"), std::string::npos) << windows;

  // A stopped client starts afresh.
  EXPECT_NE(Run({"stop", "start --no-window"}).find("started without a window"), std::string::npos);
}

TEST_F(SessionTest, MistakesStopWithAClearError) {
  Open();
  struct Row {
    const char* line;
    const char* says;
  };
  const Row rows[] = {
      {"list", "not running"},
      {"frobnicate", "unknown command 'frobnicate'"},
      {"start extra", "start takes only --no-window"},
      {"open \"x", "not closed"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const std::string out = Run({row.line}, false);
    EXPECT_NE(out.find(row.says), std::string::npos) << out;
  }
  Run({"start"});
  const Row running[] = {
      {"select 9", "there is no message 9"},
      {"select x", "must be a number"},
      {"folder Nowhere", "no folder 'Nowhere'"},
      {"click \"&Frobnicate\"", "no control '&Frobnicate' of the add-in"},
      {"click \"Attachments &Manager\"", "is a menu"},
      {"answer maybe", "answer yes|no"},
      {"dialog frmExport wiggle", "dialog FORM"},
      {"pick-folder /no/such/folder", "no such folder"},
      {"send", "no message window"},
      {"start", "running already"},
  };
  for (const auto& row : running) {
    SCOPED_TRACE(row.line);
    const std::string out = Run({row.line}, false);
    EXPECT_NE(out.find(row.says), std::string::npos) << out;
  }
}

TEST_F(SessionTest, TheAddInLoadsFromItsRegistrationAndItsCommandsRun) {
  Open();
  const std::string out =
      Run({"start", "select 1 2", "answer yes",
           "click \"Quick-save &Only Picture Attachments in Selected Messages to Default Directory\"", "select 1",
           "answer no", "click \"&Delete Attachments in Selected Messages\"", "stop"});
  const fs::path pictures = scratch_.root() / "profile" / "Pictures";
  EXPECT_NE(out.find("add-in connected: Lumivane.Connect"), std::string::npos) << out;
  EXPECT_NE(out.find("message box \"Save Pictures?\" [question, Yes/No]: Are you sure"), std::string::npos) << out;
  EXPECT_NE(out.find("file written: " + (pictures / "beach.jpg").string()), std::string::npos) << out;
  EXPECT_NE(out.find("-> No"), std::string::npos) << out;
  EXPECT_EQ(out.find("message file written"), std::string::npos) << out;  // nothing deleted
  EXPECT_TRUE(fs::exists(pictures / "beach.jpg"));
  EXPECT_TRUE(session_->Finish());
}

TEST_F(SessionTest, AMessageWindowCarriesTheToolbarAndANewMessageIsSent) {
  Open();
  WriteBytes(Out() / "photo.jpg", "photo");
  const std::string out =
      Run({"start", "open 1", "show toolbar", "answer yes",
           "click \"Quick-save Only &Picture Attachments to Default Directory\"", "close-window",
           "compose --to mum@example.org --subject \"For mum\"", "show toolbar",
           ("attach " + (Out() / "photo.jpg").string()).c_str(), "send", "folder Sent", "list", "stop"});
  const fs::path pictures = scratch_.root() / "profile" / "Pictures";
  EXPECT_NE(out.find("toolbar \"Lumivane\", position 1"), std::string::npos) << out;
  EXPECT_NE(out.find("  popup \"Attachments &Manager\""), std::string::npos) << out;
  EXPECT_NE(out.find("in the current message to the '"), std::string::npos) << out;
  EXPECT_NE(out.find("file written: " + (pictures / "beach.jpg").string()), std::string::npos) << out;
  EXPECT_NE(out.find("attached photo.jpg"), std::string::npos) << out;
  EXPECT_NE(out.find("\nsent\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("error"), std::string::npos) << out;
  EXPECT_TRUE(session_->Finish());
  // Filed in the store's Sent folder (made for it), with its attachment.
  const fs::path sent = scratch_.root() / "store" / "Inbox" / ".Sent" / "cur";
  const std::vector<fs::path> files{fs::directory_iterator(sent), fs::directory_iterator()};
  ASSERT_EQ(files.size(), 1u);
  EXPECT_NE(out.find("message file written: " + files[0].string()), std::string::npos) << out;
  EXPECT_NE(out.find("1   \"For mum\" [photo.jpg]"), std::string::npos) << out;
  const std::string file = ReadBytes(files[0]);
  EXPECT_NE(file.find("To: mum@example.org"), std::string::npos) << file;
  EXPECT_NE(file.find("filename=photo.jpg"), std::string::npos) << file;
}

TEST_F(SessionTest, SavedMessagesAndWrittenFilesAreReported) {
  Open();
  Run({"start", "select 1"});
  // What a command of the add-in does: save a picture, delete an attachment.
  auto item = session_->Client().App()->ActiveExplorer()->SelectedItems().at(0);
  item->Attachments()->Item(1)->SaveAsFile((Out() / "beach.jpg").string());
  const fs::path pictures = scratch_.root() / "profile" / "Pictures";
  WriteBytes(pictures / "report.txt", "report");
  item->Attachments()->Remove(2);
  item->Save();
  const std::string out = Run({"list"});
  EXPECT_NE(out.find("file written: " + (Out() / "beach.jpg").string() + " ("), std::string::npos) << out;
  EXPECT_NE(out.find("file written: " + (pictures / "report.txt").string() + " (6 bytes)"), std::string::npos) << out;
  EXPECT_NE(out.find("message file written: "), std::string::npos) << out;
  EXPECT_NE(out.find("[beach.jpg, Your reservation.eml]"), std::string::npos) << out;
  // Reported once.
  EXPECT_EQ(Run({"list"}).find("file written"), std::string::npos);
}

TEST_F(SessionTest, AScriptThatQueuedAnswersNobodyAskedForFails) {
  Open();
  EXPECT_TRUE(session_->Finish());
  Run({"answer yes 2", "dialog frmAsk click cmdOK", "pick-folder cancel"});
  out_.str("");
  EXPECT_FALSE(session_->Finish());
  EXPECT_NE(out_.str().find("queued 2 answer(s), 1 dialog action(s), 1 folder pick(s) that nothing asked for"),
            std::string::npos)
      << out_.str();
}

// A small dialog for the modal driver.
class frmAsk : public forms::Form {
 public:
  frmAsk() : Form("frmAsk") {}
  forms::FormControl<forms::TextBox> txtName{this, "txtName"};
  forms::FormControl<forms::CheckBox> chkAll{this, "chkAll"};
  forms::FormControl<forms::CommandButton> cmdOK{this, "cmdOK"};
  std::string answer;

 protected:
  void Design() override {
    Caption("Ask");
    cmdOK->Caption("&OK");
    chkAll->Caption("For &all");
    cmdOK->Click = [this] {
      answer = txtName->Text() + (chkAll->Value() ? "+all" : "");
      Hide();
    };
  }
};

TEST_F(SessionTest, SeamsAnswerFromTheScriptAndStopWhenNothingIsQueued) {
  Open();
  Run({"answer no", "answer yes", "dialog frmAsk set txtName 'a b'", "dialog frmAsk set chkAll 1",
       "dialog frmAsk click OK", "pick-folder cancel"});
  EXPECT_TRUE(session_->Run("pick-folder " + Out().string()));
  out_.str("");
  EXPECT_EQ(forms::MsgBox("Saved.", forms::vbInformation, "SAVE COMPLETE"), forms::vbOK);  // acknowledged by itself
  EXPECT_EQ(forms::MsgBox("Sure?", forms::vbQuestion | forms::vbYesNo, "Save Pictures?"), forms::vbNo);
  EXPECT_EQ(forms::MsgBox("Sure?\r\nReally?", forms::vbYesNo, "Again"), forms::vbYes);
  auto ask = std::make_shared<frmAsk>();
  ask->Show(forms::vbModal);
  EXPECT_EQ(ask->answer, "a b+all");
  auto* ui = forms::CurrentUserInterface();
  forms::FolderRequest request;
  request.title = "Save attachments to...";
  EXPECT_EQ(ui->PickFolder(request).kind, forms::FolderAnswer::Kind::Cancel);
  EXPECT_EQ(ui->PickFolder(request).path, Out().string());
  const std::string out = out_.str();
  EXPECT_NE(out.find("folder pick \"Save attachments to...\" -> cancel"), std::string::npos) << out;
  EXPECT_NE(out.find("message box \"SAVE COMPLETE\" [information, OK]: Saved. -> OK"), std::string::npos) << out;
  EXPECT_NE(out.find("message box \"Save Pictures?\" [question, Yes/No]: Sure? -> No"), std::string::npos) << out;
  EXPECT_NE(out.find("message box \"Again\" [Yes/No]: Sure?\\r\\nReally? -> Yes"), std::string::npos) << out;
  EXPECT_NE(out.find("form shown modally: frmAsk\n  Ask  [frmAsk, modal]"), std::string::npos) << out;
  EXPECT_NE(out.find("  > click OK"), std::string::npos) << out;

  // Nothing queued: the question gets the answer that does least, the form
  // is closed, and the next command reports why the script stops.
  EXPECT_EQ(forms::MsgBox("Delete?", forms::vbYesNo, "Delete All Attachments?"), forms::vbNo);
  auto again = std::make_shared<frmAsk>();
  again->Show(forms::vbModal);
  EXPECT_FALSE(again->IsLoaded());
  // A modeless form is printed at the end of the command that showed it.
  auto modeless = std::make_shared<frmAsk>();
  modeless->Show();
  const std::string stopped = Run({"list"}, false);
  EXPECT_NE(stopped.find("form shown: frmAsk\n  Ask  [frmAsk]\n"), std::string::npos) << stopped;
  EXPECT_NE(stopped.find("error: the box \"Delete All Attachments?\" asks Yes/No and no answer is queued"),
            std::string::npos)
      << stopped;
  forms::DiscardAllForms();
}

}  // namespace

namespace {

// A person at the terminal, typing the lines given.
struct TypedConsole : app::Console {
  std::deque<std::string> lines;
  std::vector<std::string> prompts;
  std::optional<std::string> Ask(std::string_view prompt) override {
    prompts.emplace_back(prompt);
    if (lines.empty()) return std::nullopt;
    std::string line = lines.front();
    lines.pop_front();
    return line;
  }
};

TEST_F(SessionTest, AtTheTerminalThePersonAnswers) {
  TypedConsole console;
  console.lines = {"maybe", "n", "set txtName typed", "click nothing", "click &OK"};
  Open("11.0.0.8217", &console);
  EXPECT_EQ(forms::MsgBox("Sure?", forms::vbYesNo | forms::vbQuestion, "Save Pictures?"), forms::vbNo);
  auto ask = std::make_shared<frmAsk>();
  ask->Show(forms::vbModal);
  EXPECT_EQ(ask->answer, "typed");
  EXPECT_EQ(console.prompts, (Strings{"answer [Yes/No]> ", "answer [Yes/No]> ", "frmAsk> ", "frmAsk> ", "frmAsk> "}));
  const std::string out = out_.str();
  EXPECT_NE(out.find("(answer one of Yes/No)"), std::string::npos) << out;
  EXPECT_NE(out.find("The form frmAsk has no control 'nothing'"), std::string::npos) << out;
  // The input ends: a question gets the answer that does least, a form its close button.
  EXPECT_EQ(forms::MsgBox("Delete?", forms::vbYesNoCancel, "Delete"), forms::vbCancel);
  auto again = std::make_shared<frmAsk>();
  again->Show(forms::vbModal);
  EXPECT_FALSE(again->IsLoaded());
  EXPECT_TRUE(session_->Run("show boxes"));
  forms::DiscardAllForms();
}

using SessionRegressions = SessionTest;

// The folder pick at the terminal starts at the desktop, the profile's
// Desktop folder, as the shell's dialog does: a name typed alone is taken
// from there, a full path as it stands.
TEST_F(SessionRegressions, AFolderPickAtTheTerminalStartsAtTheDesktop) {
  TypedConsole console;
  const fs::path desktop = scratch_.root() / "profile" / "Desktop";
  console.lines = {"Holiday/", Out().string()};
  Open("11.0.0.8217", &console);
  fs::create_directories(desktop / "Holiday");
  auto pick = [] {
    std::string path;
    platform::shell::SHGetPathFromIDList(platform::shell::SHBrowseForFolder({}), path);
    return path;
  };
  EXPECT_EQ(pick(), (desktop / "Holiday").string());
  EXPECT_EQ(pick(), Out().string());
  EXPECT_NE(out_.str().find("folder pick (no title) in " + desktop.string()), std::string::npos) << out_.str();
}

// The client held a state that was not on disk: a delete whose save failed
// showed no attachments, while the file kept them, and nobody was told.
TEST_F(SessionTest, AFailedDeleteSaysSoAndTheItemShowsWhatIsOnDisk) {
  const fs::path inbox = scratch_.root() / "store" / "Inbox";
  fs::remove_all(inbox / "tmp");
  WriteBytes(inbox / "tmp", "a file where the folder should be");
  const std::string before = ReadBytes(inbox / "cur" / "1.a:2,S");
  Open();
  const std::string out =
      Run({"start", "select 1", "answer yes", "click \"&Delete Attachments in Selected Messages\"", "list"});
  EXPECT_NE(out.find("message box \"Message Not Saved\" [exclamation, OK]: The message "), std::string::npos) << out;
  EXPECT_NE(out.find("Not a directory. The file on disk is unchanged. Its attachments were not deleted."),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("1 * \"Holiday photos \xE2\x80\x93 beach\" [beach.jpg, booking.pdf, Your reservation.eml]"),
            std::string::npos)
      << out;
  EXPECT_EQ(ReadBytes(inbox / "cur" / "1.a:2,S"), before);
}

// Parts nested beyond the reader's limit were listed as "no attachments",
// without a word.
TEST_F(SessionTest, AMessageThatCouldNotBeReadWholeSaysSo) {
  WriteBytes(scratch_.root() / "store" / "Inbox" / "cur" / "4.d:2,S", ReadBytes(Fixture("malformed/nested-40.eml")));
  Open();
  const std::string out = Run({"start", "list", "open 4", "show windows"});
  const std::string note = "(could not be read whole: parts are nested more than 32 levels deep";
  EXPECT_NE(out.find("no attachments " + note), std::string::npos) << out;
  EXPECT_NE(out.find("message window opened: \""), std::string::npos) << out;
  std::size_t notes = 0;
  for (std::size_t at = out.find(note); at != std::string::npos; at = out.find(note, at + 1)) ++notes;
  EXPECT_EQ(notes, 3u) << out;  // the list, the window opened, the window shown
}

// Messages about the settings files went to standard error only; with
// windows, a box tells the person once the main window is up.
TEST_F(SessionTest, WhatTheSettingsFilesSayReachesTheTranscriptAndTheWindows) {
  fs::create_directories(scratch_.root() / "profile" / "registry" / "HKEY_CURRENT_USER.reg");
  const std::string said = "HKEY_CURRENT_USER.reg is a directory; HKEY_CURRENT_USER starts empty";
  for (bool windows : {false, true}) {
    SCOPED_TRACE(windows);
    std::unique_ptr<app::Screen> screen = windows ? std::make_unique<app::Screen>(false) : nullptr;
    Open("11.0.0.8217", nullptr, screen.get());
    EXPECT_NE(setUpOut_.find(said), std::string::npos) << setUpOut_;
    const std::string out = Run({"start", "stop", "start"});
    const std::string box = "message box \"Settings File\" [exclamation, OK]: ";
    const std::size_t at = out.find(box);
    EXPECT_EQ(at != std::string::npos, windows) << out;
    EXPECT_EQ(out.find(said, at) != std::string::npos, windows) << out;
    EXPECT_EQ(windows ? out.find(box, at + 1) : std::string::npos, std::string::npos) << out;  // once
    session_.reset();
  }
}

// Subjects and names from mail reached the terminal raw: an ESC sequence in
// a subject cleared the screen.
TEST(Transcript, TextsReachTheTerminalEscaped) {
  const std::pair<std::string, std::string> rows[] = {
      {"plain caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x93\xB7", "plain caf\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x93\xB7"},
      {"two\r\nlines\tand a tab", "two\\r\\nlines\\tand a tab"},
      {"\x1B[2Jcleared\x07\x7F", "\\x1b[2Jcleared\\x07\\x7f"},
      {"C1 \xC2\x9B"
       "31m and NEL \xC2\x85, not \xC2\xA0",
       "C1 \\u009b31m and NEL \\u0085, not \xC2\xA0"},
      {"stray \x9B"
       "31m, cut \xE2\x80",
       "stray \\x9b31m, cut \\xe2\\x80"},
      {"C:\\path\\x1b stays", "C:\\path\\x1b stays"},
  };
  for (const auto& [text, want] : rows) {
    SCOPED_TRACE(want);
    EXPECT_EQ(app::OneLine(text), want);
    EXPECT_EQ(app::OneLine(want), want);  // escaping twice changes nothing
  }
}

TEST_F(SessionTest, ControlCharactersOfSubjectsAndNamesAreEscaped) {
  WriteBytes(scratch_.root() / "store" / "Inbox" / "cur" / "4.d:2,S",
             "From: =?UTF-8?Q?Eve=1B]0;owned=07?= <eve@example.org>\nSubject: =?UTF-8?Q?=1B[2Jgone_=C2=9B31mred?=\n\n"
             "body\n");
  Open();
  const std::string out = Run({"start", "list", "select 4", "open 4", "show windows"});
  EXPECT_EQ(out.find('\x1B'), std::string::npos) << out;
  EXPECT_EQ(out.find("\xC2\x9B"), std::string::npos) << out;
  EXPECT_NE(out.find("4   \"\\x1b[2Jgone \\u009b31mred\""), std::string::npos) << out;
  EXPECT_NE(out.find("selected 1: \"\\x1b[2Jgone"), std::string::npos) << out;
}

// A check box's True (dword ffffffff) stopped "show settings" with Overflow (6).
TEST_F(SessionTest, ShowSettingsAndRegistryShowEveryDword) {
  WriteBytes(scratch_.root() / "profile" / "registry" / "HKEY_CURRENT_USER.reg",
             "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quenstor\\Lumivane\\Settings]\n"
             "\"ShowTaskPaneInFullWizard\"=dword:ffffffff\n\"SlideShowInterval\"=dword:80000000\n\n");
  Open();
  for (const char* line : {"show settings", "show registry"}) {
    SCOPED_TRACE(line);
    const std::string out = Run({line});
    EXPECT_NE(out.find("\"ShowTaskPaneInFullWizard\" = dword:FFFFFFFF (4294967295)"), std::string::npos) << out;
    EXPECT_NE(out.find("\"SlideShowInterval\" = dword:80000000 (2147483648)"), std::string::npos) << out;
  }
}

// A file the add-in saved as TRIP/photo_1.jpg into an existing Trip/ was
// reported as "TRIP/photo_1.jpg (removed again)".
TEST_F(SessionTest, WrittenFilesAreNamedAsOnDisk) {
  Open();
  Run({"start", "select 1"});
  fs::create_directories(Out() / "Trip");
  auto item = session_->Client().App()->ActiveExplorer()->SelectedItems().at(0);
  item->Attachments()->Item(1)->SaveAsFile((Out() / "TRIP" / "PHOTO_1.jpg").string());
  const std::string out = Run({"list"});
  EXPECT_NE(out.find("file written: " + (Out() / "Trip" / "PHOTO_1.jpg").string() + " ("), std::string::npos) << out;
  EXPECT_EQ(out.find("removed again"), std::string::npos) << out;
}

}  // namespace
