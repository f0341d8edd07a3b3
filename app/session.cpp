#include "app/session.h"

#include <algorithm>
#include <iostream>
#include <sstream>

#include <QMainWindow>
#include "app/registration.h"
#include "app/words.h"
#include "host/desktop_entries.h"

#include "host/qt/client_windows.h"
#include "host/qt/inspector_window.h"
#include "host/rdo.h"
#include "platform/com/com.h"
#include "platform/forms/event_loop.h"
#include "platform/fso/resolve.h"
#include "platform/qt/screen_ui.h"
#include "platform/registry/registry.h"
#include "platform/seam_record.h"
#include "platform/shell/shell.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace app {

namespace fs = std::filesystem;
namespace forms = platform::forms;
namespace reg = platform::registry;

namespace {

constexpr std::string_view kSettingsKey = "Software\\Quenstor\\Lumivane\\Settings";
constexpr std::string_view kTempFolder = "Quenstor/Lumivane/Temporary Picture Files";

// A command used wrongly, or asked of something that is not there.
[[noreturn]] void Fail(const std::string& why) { runtime::Raise(runtime::err::kInvalidProcedureCall, why); }

// How the transcript reports a failed command or action: a command used
// wrongly (error 5) needs no number.
std::string ErrorLine(const runtime::Error& e) {
  return "error: " + e.Description() +
         (e.Number() == runtime::err::kInvalidProcedureCall ? "" : " (" + std::to_string(e.Number()) + ")");
}

long Number(const std::string& word, const std::string& what) {
  long n = 0;
  std::size_t used = 0;
  try {
    n = std::stol(word, &used);
  } catch (...) {
    used = 0;
  }
  if (used != word.size() || word.empty()) Fail(what + " must be a number, not '" + word + "'");
  return n;
}

std::string WithoutAmpersand(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

std::string RegistryData(const reg::ValueEntry& v) {
  if (v.type == reg::REG_SZ || v.type == reg::REG_EXPAND_SZ) {
    std::string s(v.data.begin(), v.data.end());
    return "\"" + OneLine(s.substr(0, s.find('\0'))) + "\"";
  }
  if (v.type == reg::REG_DWORD && v.data.size() == 4) {
    const std::uint32_t d =
        v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (static_cast<std::uint32_t>(v.data[3]) << 24);
    // Hex takes a signed 32-bit value: a check box's True (ffffffff) is -1 there.
    return "dword:" + runtime::Hex(static_cast<std::int32_t>(d), 8) + " (" + std::to_string(d) + ")";
  }
  std::string out = "hex(" + std::to_string(v.type) + "):";
  for (std::size_t i = 0; i < v.data.size(); ++i) out += (i ? "," : "") + runtime::Hex(v.data[i], 2);
  return out;
}

// What the reader had to guess or skip in the item's message file, for the
// person: a message cut or nested too deeply may hold more attachments than
// it shows. "" for a sound message and for an item without a file.
std::string ReadProblems(const host::MailLink& link, host::Item& item) {
  std::shared_ptr<host::mail::Message> message;
  try {
    message = link.Mail()->FindMessage(item.EntryID());
    if (!message || message->Problems().empty()) return {};
    return " (could not be read whole: " + runtime::Join(message->Problems(), "; ") + ")";
  } catch (const runtime::Error& e) {
    return " (could not be read whole: " + e.Description() + ")";
  }
}

}  // namespace

// ---- set-up ---------------------------------------------------------------------

Session::Session(std::ostream& out, SessionSetup setup) : state_(out), setup_(std::move(setup)) {
  state_.console = setup_.console;
  // The stand-ins' records of calls are for tests; kept, they would grow
  // with every use of the program.
  platform::KeepSeamRecords(false);
  platform::shell::SetEnvironment(setup_.environment);
  profile_ = SetUpProfile(setup_.options, setup_.environment, setup_.sampleMail, setup_.installPrefix);

  // A script runs on simulated time that starts now; a person on real time.
  if (setup_.scripted) {
    forms::SetEventLoop(
        std::make_shared<forms::EventLoop>(std::make_shared<forms::VirtualClock>(forms::RealClock().Now())));
  } else {
    forms::SetEventLoop(std::make_shared<forms::EventLoop>(std::make_shared<forms::RealClock>()));
  }
  boxes_ = std::make_shared<ProgramMessageBoxes>(state_);
  ui_ = std::make_shared<ProgramUserInterface>(state_);
  launcher_ = std::make_shared<TranscriptLauncher>(state_, !setup_.scripted);
  forms::SetMessageBoxResponder(boxes_);
  if (Screen* screen = setup_.screen) {
    forms::SetUserInterface(std::make_shared<platform::qt::DrawnUserInterface>(ui_, screen->Views()));
    if (setup_.person) {
      state_.screenBoxes = std::make_shared<platform::qt::ScreenMessageBoxes>();
      state_.screenPerson = std::make_shared<platform::qt::PersonUserInterface>(screen->Views());
    }
    state_.onBox = [this, screen](const forms::MessageBoxRecord& box) { Lines(screen->BoxShown(box)); };
    state_.onModal = [this, screen](forms::Form& form) { Lines(screen->FormShown(form)); };
    // A person's action that fails in a window is reported as a failed
    // command of a script is, and on standard error, where a person who
    // started the program from a terminal looks.
    platform::qt::SetActionFailureReporter([this](const runtime::Error& e) {
      std::cerr << "lumivane-host: " << OneLine(ErrorLine(e)) << '\n';
      state_.transcript.Line(ErrorLine(e));
    });
  } else {
    forms::SetUserInterface(ui_);
  }
  platform::shell::InstallLauncher(launcher_);
  auto classes = std::make_shared<platform::com::ClassRegistry>();
  platform::com::SetClassRegistry(classes);
  host::RegisterRDOSession(*classes);

  state_.transcript.Line("profile: registry " + profile_.registry.string());
  // What the settings files said while they were read, and from now on:
  // on standard error as ever, and in the transcript.
  if (auto r = reg::Current()) {
    for (const auto& message : r->Reports()) state_.transcript.Line(message);
    if (setup_.screen) settingsNotices_ = r->Reports();
    auto previous = r->diagnostics;
    r->diagnostics = [this, previous](const std::string& message) {
      if (previous) previous(message);
      state_.transcript.Line(message);
    };
  }
  if (setup_.publishDesktop) {
    const auto lookup = [this](std::string_view name) { return setup_.environment.Get(name); };
    const auto published = host::desktop::PublishToRegistry(
        host::desktop::ReadDesktopEntries(host::desktop::DataDirectories(lookup)), host::desktop::SearchPath(lookup));
    state_.transcript.Line("desktop: " + std::to_string(published.viewers.size()) + " picture viewer(s), " +
                           std::to_string(published.browsers.size()) + " web browser(s) registered");
  }
  std::string why;
  addInRegistered_ = RegisterAddIn(why);
  state_.transcript.Line(addInRegistered_ ? std::string("add-in registered: ") + kAddInProgId
                                          : "add-in not registered: " + why);
  OpenStore();
  NewHost();
  for (const auto& w : profile_.watched) watch_.Watch(w.path, w.recursive);

  commands_ = {
      {"start", [this](const Args& a) { Start(a); }},
      {"stop", [this](const Args& a) { Stop(a); }},
      {"remove-addin", [this](const Args& a) { RemoveAddIn(a); }},
      {"explorer", [this](const Args& a) { ExplorerCmd(a); }},
      {"folder", [this](const Args& a) { FolderCmd(a); }},
      {"list", [this](const Args& a) { List(a); }},
      {"select", [this](const Args& a) { Select(a); }},
      {"open", [this](const Args& a) { Open(a); }},
      {"compose", [this](const Args& a) { Compose(a); }},
      {"attach", [this](const Args& a) { Attach(a); }},
      {"send", [this](const Args& a) { Send(a); }},
      {"close-window", [this](const Args& a) { CloseWindow(a); }},
      {"click", [this](const Args& a) { Click(a); }},
      {"answer", [this](const Args& a) { Answer(a); }},
      {"dialog", [this](const Args& a) { Dialog(a); }},
      {"form", [this](const Args& a) { FormCmd(a); }},
      {"pick-folder", [this](const Args& a) { PickFolder(a); }},
      {"wait", [this](const Args& a) { Wait(a); }},
      {"show", [this](const Args& a) { Show(a); }},
      {"snapshot", [this](const Args& a) { Snapshot(a); }},
      {"help", [this](const Args&) { state_.transcript.Block(Help()); }},
      {"quit", [this](const Args&) { quit_ = true; }},
  };
}

Session::~Session() {
  try {
    if (host_ && host_->Running()) host_->Exit();
    AfterCommand();
  } catch (...) {
  }
  platform::qt::SetActionFailureReporter(nullptr);
  windows_.reset();
  host_.reset();
  link_.reset();
  forms::DiscardAllForms();
  forms::SetMessageBoxResponder(nullptr);
  forms::SetUserInterface(nullptr);
  forms::SetEventLoop(nullptr);
  platform::shell::InstallLauncher(nullptr);
  platform::com::SetClassRegistry(nullptr);
  if (auto r = reg::Current()) {
    r->Flush();
    r->diagnostics = nullptr;  // the transcript goes with the session
  }
  reg::SetCurrent(nullptr);
  platform::shell::Reset();
}

void Session::OpenStore() {
  mail_ = host::mail::Store::Open(profile_.store);
  state_.transcript.Line("store: " + profile_.store.string() +
                         (profile_.sampleMail ? " (copy of the sample mail)" : ""));
}

void Session::NewHost() {
  windows_.reset();
  link_.reset();
  host_ = std::make_unique<host::Host>(setup_.options.hostVersion);
  link_ = host::MailLink::Attach(*host_->Store(), mail_);
  if (setup_.screen) {
    // The mail client's own windows, drawn from the start of the host.
    windows_ = std::make_unique<host::qt::ClientWindows>(*host_, link_);
    windows_->UseFormViews(setup_.screen->Views());
  }
  link_->OnWrite([this](const fs::path& file, const std::string& failure) {
    if (failure.empty()) {
      written_.push_back(file.string());
    } else {
      state_.transcript.Line("message file not written: " + file.string() + ": " + failure);
      // The client tells the person in its window too: the command that
      // saved may pass the failure over without a word.
      forms::MsgBox(failure, forms::vbExclamation, "Message Not Saved");
    }
  });
  escapedSeen_ = 0;
  inspectorOnTop_ = false;
}

// ---- running a line ---------------------------------------------------------------

bool Session::Run(std::string_view line) {
  const Words w = SplitWords(line);
  if (!w.error.empty()) {
    state_.transcript.Line("error: " + w.error);
    return false;
  }
  if (w.words.empty()) return true;
  // At a terminal the person sees what they typed already.
  if (state_.console == nullptr) state_.transcript.Line("> " + std::string(runtime::Trim(line)));
  bool ok = true;
  try {
    Dispatch(w.words);
  } catch (const runtime::Error& e) {
    state_.transcript.Line(ErrorLine(e));
    ok = false;
  } catch (const std::exception& e) {
    state_.transcript.Line(std::string("error: ") + e.what());
    ok = false;
  }
  try {
    AfterCommand();
  } catch (const runtime::Error& e) {
    state_.transcript.Line("error: " + e.Description());
    ok = false;
  }
  if (state_.stop) {
    state_.transcript.Line("error: " + *state_.stop);
    state_.stop.reset();
    ok = false;
  }
  return ok;
}

void Session::Idle() {
  try {
    AfterCommand();
  } catch (const runtime::Error& e) {
    state_.transcript.Line("error: " + e.Description());
  }
}

bool Session::Finish() {
  std::vector<std::string> left;
  if (boxes_->Pending() > 0) left.push_back(std::to_string(boxes_->Pending()) + " answer(s)");
  if (ui_->PendingActions() > 0) left.push_back(std::to_string(ui_->PendingActions()) + " dialog action(s)");
  if (ui_->PendingFolders() > 0) left.push_back(std::to_string(ui_->PendingFolders()) + " folder pick(s)");
  if (setup_.screen && setup_.screen->Pending() > 0)
    left.push_back(std::to_string(setup_.screen->Pending()) + " snapshot(s)");
  if (left.empty()) return true;
  state_.transcript.Line("error: the script queued " + runtime::Join(left, ", ") + " that nothing asked for");
  return false;
}

void Session::Dispatch(const Args& words) {
  auto it = commands_.find(runtime::LCase(words[0]));
  if (it == commands_.end()) Fail("unknown command '" + words[0] + "' (type help)");
  it->second(Args(words.begin() + 1, words.end()));
}

void Session::Lines(const std::vector<std::string>& lines) {
  for (const auto& line : lines) state_.transcript.Line(line);
}

void Session::AfterCommand() {
  ui_->ReportShownForms();
  if (setup_.screen) {
    setup_.screen->Settle();
    Lines(setup_.screen->VisibleFormsShown());
  }
  // Files: what the watched folders got, the targets of SaveAsFile anywhere,
  // and the message files that saves wrote.
  std::map<std::string, std::uintmax_t> files;
  if (host_) {
    for (const auto& call : host_->Context()->Calls()) {
      if (call.member != "SaveAsFile") continue;
      // Named as on disk: the add-in's TRIP/photo.jpg may have gone into Trip/.
      const std::string path = platform::fso::ResolvePath(call.detail);
      std::error_code ec;
      files[path] = fs::file_size(path, ec);
    }
    host_->Context()->ClearCalls();
  }
  if (auto r = reg::Current()) {
    if (auto dump = r->Peek(reg::HKEY_CURRENT_USER, kSettingsKey, "PictureDumpDirectory")) {
      std::string dir(dump->data.begin(), dump->data.end());
      dir = dir.substr(0, dir.find('\0'));
      std::error_code ec;
      if (!dir.empty() && fs::is_directory(dir, ec)) watch_.Watch(dir, false);
    }
  }
  for (const auto& [path, size] : watch_.Changes()) files[path.string()] = size;
  for (const auto& file : written_) files.erase(file);
  // A file may be gone by now: a window that closed emptied its folder.
  constexpr auto kGone = static_cast<std::uintmax_t>(-1);
  for (const auto& [path, size] : files)
    state_.transcript.Line("file written: " + path +
                           (size == kGone ? " (removed again)" : " (" + std::to_string(size) + " bytes)"));
  for (const auto& file : written_) state_.transcript.Line("message file written: " + file);
  written_.clear();
  if (host_) {
    const auto& escaped = host_->EscapedErrors();
    for (; escapedSeen_ < escaped.size(); ++escapedSeen_) {
      const auto& e = escaped[escapedSeen_];
      state_.transcript.Line("error escaped from the add-in in " + e.event + ": " + std::to_string(e.number) + " " +
                             e.description);
    }
  }
}

// ---- helpers ------------------------------------------------------------------------

std::shared_ptr<host::Application> Session::RunningApp() {
  if (!host_ || !host_->Running()) Fail("the mail client is not running (start it first)");
  return host_->App();
}

std::shared_ptr<host::Explorer> Session::ActiveExplorer() {
  auto e = RunningApp()->ActiveExplorer();
  if (!e) Fail("no Explorer window is open");
  return e;
}

std::shared_ptr<host::Inspector> Session::ActiveInspector() {
  auto i = RunningApp()->ActiveInspector();
  if (!i) Fail("no message window is open");
  return i;
}

std::shared_ptr<host::CommandBars> Session::ActiveBars() {
  auto app = RunningApp();
  if (inspectorOnTop_ && app->ActiveInspector()) return app->ActiveInspector()->Bars();
  if (auto e = app->ActiveExplorer()) return e->Bars();
  if (auto i = app->ActiveInspector()) return i->Bars();
  Fail("no window is open");
}

std::shared_ptr<host::Folder> Session::FolderArg(const std::string& path) {
  auto folder = link_->FolderAt(path);
  if (!folder) {
    std::vector<std::string> known;
    for (const auto& [name, f] : link_->Folders()) known.push_back(name);
    Fail("the store has no folder '" + path + "' (its folders: " + runtime::Join(known, ", ") + ")");
  }
  return folder;
}

std::string Session::FolderName(const std::shared_ptr<host::Folder>& folder) {
  const std::string path = link_->PathOf(folder);
  return path.empty() ? folder->Name() : path;
}

std::vector<std::shared_ptr<host::Item>> Session::CurrentItems() {
  auto folder = ActiveExplorer()->CurrentFolder();
  if (!folder) Fail("the Explorer shows no folder");
  return folder->ItemList();
}

std::string Session::TempFolder() const {
  std::string local;
  if (platform::shell::Current().folders.KindOf(platform::shell::CSIDL_LOCAL_APPDATA) ==
      platform::shell::SpecialFolders::Kind::Path) {
    long pidl = 0;
    if (platform::shell::SHGetSpecialFolderLocation(0, platform::shell::CSIDL_LOCAL_APPDATA, pidl) ==
        platform::shell::S_OK) {
      std::string buffer(platform::shell::kMaxPath, '\0');
      if (platform::shell::SHGetPathFromIDList(pidl, buffer)) local = buffer.substr(0, buffer.find('\0'));
      platform::shell::CoTaskMemFree(pidl);
    }
  }
  return local.empty() ? std::string() : (fs::path(local) / kTempFolder).string();
}

// ---- commands -------------------------------------------------------------------------

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

void Session::Show(const Args& a) {
  if (a.size() != 1) Fail("show toolbar|windows|settings|registry|temp|boxes");
  const std::string what = runtime::LCase(a[0]);
  if (what == "toolbar") {
    ShowToolbar();
  } else if (what == "windows") {
    ShowWindows();
  } else if (what == "settings") {
    ShowRegistryKey(reg::HKEY_CURRENT_USER, "HKEY_CURRENT_USER", std::string(kSettingsKey), 0);
  } else if (what == "registry") {
    ShowRegistryKey(reg::HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "", 0);
    ShowRegistryKey(reg::HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "", 0);
    ShowRegistryKey(reg::HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "", 0);
  } else if (what == "temp") {
    const std::string temp = TempFolder();
    std::error_code ec;
    if (temp.empty() || !fs::is_directory(temp, ec)) {
      state_.transcript.Line("temporary picture folder: not made yet");
      return;
    }
    const auto names = platform::fso::ListFolder(temp, platform::fso::EntryKind::Files);
    state_.transcript.Line("temporary picture folder " + temp + ": " + std::to_string(names.size()) + " files");
    for (const auto& name : names)
      state_.transcript.Line("  " + name + " (" + std::to_string(fs::file_size(fs::path(temp) / name, ec)) + " bytes)");
  } else if (what == "boxes") {
    state_.transcript.Line(std::to_string(boxes_->Log().size()) + " message boxes so far");
    for (const auto& box : boxes_->Log())
      state_.transcript.Line("  " + DescribeBox(box) + " -> " + std::string(forms::ResultName(box.answer)));
  } else {
    Fail("show toolbar|windows|settings|registry|temp|boxes");
  }
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

void Session::ShowToolbar() {
  auto bars = ActiveBars();
  bool any = false;
  // The add-in's own bars in full; of the host's bars and menus only what
  // the add-in put there, with the way to it ("Menu Bar > &Tools > ...").
  std::function<void(const std::shared_ptr<host::CommandBar>&, const std::string&, const std::string&, bool)> walk =
      [&](const std::shared_ptr<host::CommandBar>& bar, const std::string& indent, const std::string& way, bool ours) {
        for (const auto& c : bar->ControlList()) {
          if (c->Deleted()) continue;
          auto popup = std::dynamic_pointer_cast<host::CommandBarPopup>(c);
          const bool mine = ours || !c->BuiltIn();
          if (mine) {
            std::string line = indent + way + (popup ? "popup" : "button") + " \"" + c->Caption() + "\"";
            if (!c->Shown()) line += " (not shown)";
            state_.transcript.Line(line);
            any = true;
          }
          if (popup)
            walk(popup->CommandBar(), mine ? indent + "  " : indent, mine ? "" : way + c->Caption() + " > ", mine);
        }
      };
  for (const auto& bar : bars->Bars()) {
    if (bar->Deleted()) continue;
    if (bar->BuiltIn()) {
      walk(bar, "", bar->Name() + " > ", false);
      continue;
    }
    state_.transcript.Line("toolbar \"" + bar->Name() + "\"" + (bar->Shown() ? "" : " (hidden)") + ", position " +
                           std::to_string(bar->Position()) + ", row " + std::to_string(bar->RowIndex()));
    any = true;
    walk(bar, "  ", "", true);
  }
  if (!any) state_.transcript.Line("the active window holds nothing of the add-in");
}

void Session::ShowWindows() {
  auto app = RunningApp();
  const auto explorers = app->OpenExplorers();
  auto active = app->ActiveExplorer();
  for (std::size_t i = 0; i < explorers.size(); ++i) {
    const auto& e = explorers[i];
    state_.transcript.Line("Explorer " + std::to_string(i + 1) + (e == active && !inspectorOnTop_ ? " (active)" : "") +
                           ": " + FolderName(e->CurrentFolder()) + ", " + std::to_string(e->SelectedItems().size()) +
                           " selected");
  }
  auto activeInspector = app->ActiveInspector();
  for (const auto& i : app->OpenInspectors()) {
    auto item = i->CurrentItem();
    state_.transcript.Line(
        std::string("message window") + (i == activeInspector && inspectorOnTop_ ? " (active)" : "") + ": \"" +
        (item ? item->SubjectText() : std::string()) + "\"" + (item ? ReadProblems(*link_, *item) : std::string()));
  }
  for (const auto& f : forms::Forms()) {
    if (!forms::FormAccess::IsVisible(*f)) continue;
    state_.transcript.Line("form:");
    state_.transcript.Block(forms::DescribeForm(*f));
  }
}

void Session::ShowRegistryKey(long root, const std::string& rootName, const std::string& path, int depth) {
  auto r = reg::Current();
  if (!r->HasKey(root, path) && !path.empty()) {
    state_.transcript.Line("[" + rootName + "\\" + path + "] does not exist");
    return;
  }
  const auto values = r->ValueNames(root, path);
  const auto subkeys = r->SubkeyNames(root, path);
  if (!values.empty() || subkeys.empty())
    state_.transcript.Line("[" + rootName + (path.empty() ? "" : "\\" + path) + "]");
  for (const auto& name : values) {
    auto v = r->Peek(root, path, name);
    if (v)
      state_.transcript.Line("  " + (name.empty() ? std::string("@") : "\"" + name + "\"") + " = " + RegistryData(*v));
  }
  if (depth > 16) return;
  for (const auto& sub : subkeys) ShowRegistryKey(root, rootName, path.empty() ? sub : path + "\\" + sub, depth + 1);
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
