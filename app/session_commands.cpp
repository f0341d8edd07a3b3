// One run of the program, its commands: the client, its windows, the
// selection, composing, clicks, answers queued for boxes, dialogs and folder
// picks, time, snapshots; and the help that lists them.

#include <algorithm>
#include <functional>

#include <QMainWindow>

#include "app/registration.h"
#include "app/session.h"
#include "app/session_parts.h"
#include "host/qt/client_windows.h"
#include "host/qt/inspector_window.h"
#include "platform/forms/event_loop.h"
#include "runtime/text.h"

namespace app {

namespace fs = std::filesystem;
namespace forms = platform::forms;

namespace {

std::string WithoutAmpersand(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

}  // namespace

void Session::Start(const Args& a) {
  bool window = true;
  for (const auto& w : a) {
    if (w == "--no-window") {
      window = false;
    } else {
      Fail("start takes only --no-window");
    }
  }
  if (host_->Running()) Fail("the mail client is running already");
  if (host_->App()->Ended()) NewHost();  // a client that was stopped starts afresh
  host::StartOptions options;
  options.explorer = window;
  options.explorerOptions.folder = link_->FolderAt("Inbox");
  host_->Start(options);
  state_.transcript.Line("mail client " + host_->App()->Version() + " started" +
                         (window ? " with an Explorer on " + FolderName(host_->App()->ActiveExplorer()->CurrentFolder())
                                 : " without a window"));
  for (const auto& c : host_->AddIns()) state_.transcript.Line("add-in connected: " + c.addIn->ProgId());
  for (const auto& f : host_->LoadFailures())
    state_.transcript.Line("add-in not loaded: " + f.progId + ": " + std::to_string(f.number) + " " + f.description);
  // A person at the windows may never see standard output: a settings file
  // that was damaged or unreadable is said once more in a box.
  if (!settingsNotices_.empty()) {
    const std::string notices = runtime::Join(settingsNotices_, "\n");
    settingsNotices_.clear();
    forms::MsgBox(notices, forms::vbExclamation, "Settings File");
  }
}

void Session::Stop(const Args& a) {
  if (!a.empty()) Fail("stop takes no arguments");
  RunningApp();
  host_->Exit();
  state_.transcript.Line("mail client stopped");
}

void Session::RemoveAddIn(const Args& a) {
  if (!a.empty()) Fail("remove-addin takes no arguments");
  RunningApp();
  if (host_->AddIns().empty()) Fail("no add-in is connected");
  host_->RemoveAddIn(kAddInProgId);
  state_.transcript.Line(std::string("add-in removed: ") + kAddInProgId);
}

void Session::ExplorerCmd(const Args& a) {
  auto app = RunningApp();
  if (a.empty()) Fail("explorer new [FOLDER] | activate N | close [N] | view-switch");
  const std::string sub = runtime::LCase(a[0]);
  const auto explorerAt = [&](const std::string& word) {
    const auto list = app->OpenExplorers();
    const long n = Number(word, "the Explorer number");
    if (n < 1 || n > static_cast<long>(list.size()))
      Fail("there is no Explorer " + word + " (" + std::to_string(list.size()) + " open)");
    return list[static_cast<std::size_t>(n - 1)];
  };
  if (sub == "new" && a.size() <= 2) {
    host::ExplorerOptions options;
    options.folder = a.size() == 2 ? FolderArg(a[1]) : link_->FolderAt("Inbox");
    auto e = app->OpenExplorer(options);
    inspectorOnTop_ = false;
    state_.transcript.Line("Explorer " + std::to_string(app->OpenExplorers().size()) + " opened on " +
                           FolderName(e->CurrentFolder()));
  } else if (sub == "activate" && a.size() == 2) {
    app->ActivateExplorer(explorerAt(a[1]));
    inspectorOnTop_ = false;
  } else if (sub == "close" && a.size() <= 2) {
    auto e = a.size() == 2 ? explorerAt(a[1]) : ActiveExplorer();
    app->CloseExplorer(e);
    state_.transcript.Line("Explorer closed");
  } else if (sub == "view-switch" && a.size() == 1) {
    ActiveExplorer()->SwitchView();
  } else {
    Fail("explorer new [FOLDER] | activate N | close [N] | view-switch");
  }
}

void Session::FolderCmd(const Args& a) {
  if (a.size() != 1) Fail("folder PATH");
  auto folder = FolderArg(a[0]);
  auto e = ActiveExplorer();
  e->CurrentFolder(folder);
  // Another folder shows no selection.
  e->Select({});
  inspectorOnTop_ = false;
  state_.transcript.Line("folder " + FolderName(folder) + " (" + std::to_string(folder->ItemList().size()) + " items)");
}

void Session::List(const Args& a) {
  if (!a.empty()) Fail("list takes no arguments");
  auto e = ActiveExplorer();
  auto folder = e->CurrentFolder();
  const auto items = CurrentItems();
  const auto& selected = e->SelectedItems();
  state_.transcript.Line(FolderName(folder) + ": " + std::to_string(items.size()) + " items");
  for (std::size_t i = 0; i < items.size(); ++i) {
    const auto& item = items[i];
    std::string line =
        std::to_string(i + 1) + (std::find(selected.begin(), selected.end(), item) != selected.end() ? " * " : "   ");
    try {
      line += "\"" + item->SubjectText() + "\"";
      if (!item->SentFlag()) line += " (draft)";
      std::vector<std::string> names;
      for (const auto& att : item->AttachmentList()) names.push_back(att->Data().fileName);
      line += names.empty() ? " no attachments" : " [" + runtime::Join(names, ", ") + "]";
      line += ReadProblems(*link_, *item);
    } catch (const runtime::Error& e2) {
      line += "(cannot be read: " + e2.Description() + ")";
    }
    state_.transcript.Line(line);
  }
}

void Session::Select(const Args& a) {
  auto e = ActiveExplorer();
  const auto items = CurrentItems();
  std::vector<std::shared_ptr<host::Item>> chosen;
  if (!a.empty() && a[0] == "--subject") {
    if (a.size() != 2) Fail("select --subject TEXT");
    for (const auto& item : items)
      if (runtime::InStr(item->SubjectText(), a[1], runtime::Compare::Text) > 0) chosen.push_back(item);
    if (chosen.empty()) Fail("no message's subject holds '" + a[1] + "'");
  } else {
    for (const auto& word : a) {
      const long n = Number(word, "a message number");
      if (n < 1 || n > static_cast<long>(items.size()))
        Fail("there is no message " + word + " (" + std::to_string(items.size()) + " in the folder)");
      chosen.push_back(items[static_cast<std::size_t>(n - 1)]);
    }
  }
  e->Select(chosen);
  inspectorOnTop_ = false;
  std::vector<std::string> subjects;
  for (const auto& item : chosen) subjects.push_back("\"" + item->SubjectText() + "\"");
  state_.transcript.Line("selected " + std::to_string(chosen.size()) +
                         (chosen.empty() ? "" : ": " + runtime::Join(subjects, ", ")));
}

void Session::Open(const Args& a) {
  if (a.size() != 1) Fail("open N");
  const auto items = CurrentItems();
  const long n = Number(a[0], "a message number");
  if (n < 1 || n > static_cast<long>(items.size())) Fail("there is no message " + a[0]);
  auto inspector = RunningApp()->OpenInspector(items[static_cast<std::size_t>(n - 1)]);
  if (!inspector) {
    state_.transcript.Line("the message window did not open");
    return;
  }
  inspectorOnTop_ = true;
  state_.transcript.Line("message window opened: \"" + items[static_cast<std::size_t>(n - 1)]->SubjectText() + "\"" +
                         ReadProblems(*link_, *items[static_cast<std::size_t>(n - 1)]));
}

void Session::Compose(const Args& a) {
  bool post = false;
  host::ItemData data;
  const char* usage = "compose [--post] [--to ADDRESS] [--subject TEXT] [--body TEXT]";
  for (std::size_t i = 0; i < a.size(); ++i) {
    const bool valued = a[i] == "--to" || a[i] == "--subject" || a[i] == "--body";
    if (a[i] == "--post") {
      post = true;
    } else if (valued && i + 1 < a.size()) {
      std::string& field = a[i] == "--to" ? data.to : a[i] == "--subject" ? data.subject : data.body;
      field = a[++i];
    } else {
      Fail(usage);
    }
  }
  auto app = RunningApp();
  data.itemClass = post ? host::olPost : host::olMail;
  auto folder = app->ActiveExplorer() ? app->ActiveExplorer()->CurrentFolder() : nullptr;
  auto inspector = app->Compose(std::move(data), folder);
  if (!inspector) {
    state_.transcript.Line("the new window did not open");
    return;
  }
  inspectorOnTop_ = true;
  state_.transcript.Line(post ? "new post window opened" : "new message window opened");
}

void Session::Attach(const Args& a) {
  if (a.size() != 1) Fail("attach FILE");
  auto inspector = ActiveInspector();
  const fs::path file = fs::absolute(a[0]);
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) Fail("no such file: " + file.string());
  inspector->CurrentItem()->Attachments()->Add(file.string());
  state_.transcript.Line("attached " + file.filename().string());
}

void Session::Send(const Args& a) {
  if (!a.empty()) Fail("send takes no arguments");
  auto inspector = ActiveInspector();
  auto send = inspector->Bars()->FindControl({.Id = host::kIdSend});
  if (!send) Fail("the message window has no Send button (only new messages are sent)");
  host::As<host::CommandBarButton>(send)->UserClick();
  if (inspector->Closed()) {
    inspectorOnTop_ = false;
    state_.transcript.Line("sent");
  }
}

void Session::CloseWindow(const Args& a) {
  if (!a.empty()) Fail("close-window takes no arguments");
  auto app = RunningApp();
  if (inspectorOnTop_ && app->ActiveInspector()) {
    const bool closed = app->CloseInspector(app->ActiveInspector());
    state_.transcript.Line(closed ? "message window closed" : "the message window stays open");
    if (closed) inspectorOnTop_ = false;
    return;
  }
  app->CloseExplorer(ActiveExplorer());
  state_.transcript.Line("Explorer closed");
}

void Session::Click(const Args& a) {
  if (a.size() != 1) Fail("click CAPTION");
  const std::string wanted = runtime::LCase(WithoutAmpersand(a[0]));
  auto bars = ActiveBars();
  // The add-in's controls: its own bars, and what it put on the host's menus.
  std::shared_ptr<host::CommandBarControl> found;
  std::function<void(const std::shared_ptr<host::CommandBar>&, bool)> walk =
      [&](const std::shared_ptr<host::CommandBar>& bar, bool ours) {
        for (const auto& c : bar->ControlList()) {
          if (found) return;
          if (c->Deleted()) continue;
          const bool mine = ours || !c->BuiltIn();
          if (mine && runtime::LCase(WithoutAmpersand(c->Caption())) == wanted) {
            found = c;
            return;
          }
          if (auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(c)) walk(popup->CommandBar(), mine);
        }
      };
  for (const auto& bar : bars->Bars()) {
    if (!bar->Deleted()) walk(bar, !bar->BuiltIn());
    if (found) break;
  }
  if (!found) Fail("the active window has no control '" + a[0] + "' of the add-in");
  auto button = std::dynamic_pointer_cast<host::CommandBarButton>(found);
  if (!button) Fail("'" + a[0] + "' is a menu; click one of its entries");
  if (!button->Shown()) Fail("'" + a[0] + "' is not shown and cannot be clicked");
  button->UserClick();
}

void Session::Answer(const Args& a) {
  if (a.empty() || a.size() > 2) Fail("answer yes|no|ok|cancel [COUNT]");
  const std::string w = runtime::LCase(a[0]);
  long answer = 0;
  if (w == "yes") answer = forms::vbYes;
  if (w == "no") answer = forms::vbNo;
  if (w == "ok") answer = forms::vbOK;
  if (w == "cancel") answer = forms::vbCancel;
  if (w == "retry") answer = forms::vbRetry;
  if (w == "abort") answer = forms::vbAbort;
  if (w == "ignore") answer = forms::vbIgnore;
  if (answer == 0) Fail("answer yes|no|ok|cancel [COUNT]");
  const long count = a.size() == 2 ? Number(a[1], "the count") : 1;
  if (count < 1 || count > 1000) Fail("the count must be 1 to 1000");
  boxes_->Queue(answer, static_cast<int>(count));
}

void Session::Dialog(const Args& a) {
  if (a.size() < 2) Fail("dialog FORM click CONTROL | set CONTROL TEXT | choose OPTION | key KEY | close");
  const std::string verb = runtime::LCase(a[1]);
  const std::size_t want = verb == "set" ? 4 : verb == "close" ? 2 : 3;
  if ((verb != "click" && verb != "set" && verb != "choose" && verb != "key" && verb != "close") || a.size() != want)
    Fail("dialog FORM click CONTROL | set CONTROL TEXT | choose OPTION | key KEY | close");
  ui_->QueueAction(a[0], Args(a.begin() + 1, a.end()));
}

void Session::FormCmd(const Args& a) {
  if (a.size() < 2) Fail("form FORM click CONTROL | set CONTROL TEXT | choose OPTION | key KEY | close");
  std::shared_ptr<forms::Form> shown;
  for (const auto& f : forms::Forms())
    if (forms::FormAccess::IsVisible(*f) && runtime::TextEqual(f->Name(), a[0])) shown = f;
  if (!shown) Fail("no form " + a[0] + " is on show (a modal one takes: dialog FORM ...)");
  PerformFormAction(*shown, Args(a.begin() + 1, a.end()));
}

void Session::PickFolder(const Args& a) {
  if (a.size() != 1) Fail("pick-folder PATH|cancel");
  if (a[0] == "cancel") {
    ui_->QueueFolder(std::nullopt);
    return;
  }
  const fs::path folder = fs::absolute(a[0]).lexically_normal();
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) Fail("no such folder: " + folder.string());
  std::string path = folder.string();
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  ui_->QueueFolder(path);
  watch_.Watch(path, false);
}

void Session::Wait(const Args& a) {
  if (a.size() != 1) Fail("wait MS");
  const long ms = Number(a[0], "the time");
  if (ms < 0) Fail("the time must not be negative");
  forms::Loop().Wait(ms);
}

QWidget* Session::ExplorerWindow() { return windows_ ? windows_->ActiveWindow() : nullptr; }

void Session::Snapshot(const Args& a) {
  if (a.size() != 2) Fail("snapshot explorer|message|box|FORM FILE.png");
  Screen* screen = setup_.screen;
  if (screen == nullptr) Fail("this run draws no windows, so it takes no snapshots");
  const fs::path file = fs::absolute(a[1]).lexically_normal();
  const std::string window = runtime::LCase(a[0]);
  if (window == "explorer") {
    QWidget* main = ExplorerWindow();
    if (main == nullptr) Fail("no Explorer window is open");
    state_.transcript.Line(Screen::Take(*main, "explorer", file));
    return;
  }
  if (window == "message") {
    QWidget* shown = windows_ ? windows_->ActiveInspectorWindow() : nullptr;
    if (shown == nullptr) Fail("no message window is open");
    state_.transcript.Line(Screen::Take(*shown, "message window", file));
    return;
  }
  if (window != "box")
    if (QWidget* shown = screen->Views().WindowNamed(a[0])) {
      state_.transcript.Line(Screen::Take(*shown, a[0], file));
      return;
    }
  // Not on show now: taken when it next shows (a message box, a modal form).
  screen->Queue(a[0], file);
}

// ---- help ---------------------------------------------------------------------------

std::string Session::Help() {
  return R"(Commands (one per line; words split as by a shell; # starts a comment):
  start [--no-window]        start the mail client; it loads the registered add-in
  stop                       end the mail client
  remove-addin               remove the add-in in the client's add-in list
  explorer new [FOLDER]      open another Explorer window
  explorer activate N        activate Explorer N
  explorer close [N]         close Explorer N (default: the active one)
  explorer view-switch       switch the view of the active Explorer
  folder PATH                show another folder ("Inbox", "Inbox/Projects")
  list                       the messages of the folder (* marks the selected)
  select N...                select messages by number (none: clear)
  select --subject TEXT      select the messages whose subject holds TEXT
  open N                     open message N in a message window
  compose [--post] [--to ADDRESS] [--subject TEXT] [--body TEXT]
                             a new message (or post) in a window
  attach FILE                attach a file to the message being composed
  send                       send the message being composed; it is filed
                             in the store's Sent folder
  close-window               close the active window
  click CAPTION              click a control of the add-in in the active window
                             (its toolbar, a popup entry, the Tools-menu entry);
                             the caption with or without "&"
  answer yes|no|ok|cancel [COUNT]
                             answers for the next message boxes that ask
  dialog FORM click CONTROL | set CONTROL TEXT | choose OPTION | key KEY | close
                             actions for the next modal show of FORM
  form FORM click CONTROL | set CONTROL TEXT | choose OPTION | key KEY | close
                             an action on FORM, on show now (modeless)
  pick-folder PATH|cancel    the answer for the next folder pick
  wait MS                    let time pass; timers fire
  show toolbar|windows|settings|registry|temp|boxes
  snapshot explorer|message|box|FORM FILE.png
                             a picture of the Explorer window, of the active
                             message window, of the next message box, or of
                             the form FORM (now when it is on show, else when
                             it next shows)
  help, quit
)";
}

}  // namespace app
