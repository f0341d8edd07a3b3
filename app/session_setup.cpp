// One run of the program, its set-up: the profile, the seams of the
// stand-ins, the add-in's registration, the store and the client, the
// command table; and putting the process-wide state back at the end.

#include <iostream>

#include "app/registration.h"
#include "app/session.h"
#include "app/session_parts.h"
#include "host/desktop_entries.h"
#include "host/qt/client_windows.h"
#include "host/rdo.h"
#include "platform/com/com.h"
#include "platform/forms/event_loop.h"
#include "platform/qt/form_views.h"
#include "platform/qt/screen_ui.h"
#include "platform/registry/registry.h"
#include "platform/seam_record.h"
#include "platform/shell/shell.h"

namespace app {

namespace fs = std::filesystem;
namespace forms = platform::forms;
namespace reg = platform::registry;

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

}  // namespace app
