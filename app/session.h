#pragma once
// One run of the program: the profile, the mail store, the client with the
// add-in loaded from its registration, the seams of the stand-ins, and the
// command language that drives them (Help() lists the commands).
//
// A Session installs process-wide state (registry, shell folders, forms
// seams, event loop, launcher, class table) and puts it back when it ends,
// so one Session at a time.

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/options.h"
#include "app/profile.h"
#include "app/screen.h"
#include "app/transcript.h"
#include "host/addin.h"
#include "host/mail_link.h"
#include "platform/shell/environment.h"

class QWidget;

namespace host::qt {
class ClientWindows;
}

namespace app {

struct SessionSetup {
  Options options;
  std::filesystem::path sampleMail;
  std::string installPrefix = "/usr/local";
  platform::shell::Environment environment;
  bool scripted = true;        // simulated time; programs are printed, not started
  Console* console = nullptr;  // a person answers at a terminal
  bool publishDesktop = true;  // the machine's desktop entries go into the registry
  Screen* screen = nullptr;    // the forms are drawn (and pictures of them can be taken)
  bool person = false;         // with a screen: a person answers on it
};

class Session {
 public:
  // Raises runtime::Error when the profile or the store cannot be used.
  Session(std::ostream& out, SessionSetup setup);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Runs one line of the command language. False when it failed or the
  // script has to stop; the reason is printed.
  bool Run(std::string_view line);
  bool Quit() const { return quit_; }
  // Between a person's actions in the windows: prints what they caused
  // (files written, boxes, errors that escaped), as after a command.
  void Idle();
  // The end of a script: false (with the reason printed) when answers,
  // dialog actions or folder picks it queued were never asked for.
  bool Finish();

  static std::string Help();

  // For tests.
  const Profile& ProfileInUse() const { return profile_; }
  host::Host& Client() { return *host_; }

 private:
  using Args = std::vector<std::string>;
  using Handler = std::function<void(const Args&)>;

  void Dispatch(const Args& words);
  void AfterCommand();
  void OpenStore();
  void NewHost();

  // The commands.
  void Start(const Args& a);
  void Stop(const Args& a);
  void RemoveAddIn(const Args& a);
  void ExplorerCmd(const Args& a);
  void FolderCmd(const Args& a);
  void List(const Args& a);
  void Select(const Args& a);
  void Open(const Args& a);
  void Compose(const Args& a);
  void Attach(const Args& a);
  void Send(const Args& a);
  void CloseWindow(const Args& a);
  void Click(const Args& a);
  void Answer(const Args& a);
  void Dialog(const Args& a);
  void FormCmd(const Args& a);
  void PickFolder(const Args& a);
  void Wait(const Args& a);
  void Show(const Args& a);
  void Snapshot(const Args& a);

  // Helpers.
  std::shared_ptr<host::Application> RunningApp();
  std::shared_ptr<host::Explorer> ActiveExplorer();
  std::shared_ptr<host::Inspector> ActiveInspector();
  std::shared_ptr<host::CommandBars> ActiveBars();
  std::shared_ptr<host::Folder> FolderArg(const std::string& path);
  std::vector<std::shared_ptr<host::Item>> CurrentItems();
  std::string FolderName(const std::shared_ptr<host::Folder>& folder);
  void ShowToolbar();
  void ShowWindows();
  void ShowRegistryKey(long root, const std::string& rootName, const std::string& path, int depth);
  void Lines(const std::vector<std::string>& lines);
  // The active Explorer's window on screen; nullptr when none is drawn.
  QWidget* ExplorerWindow();
  std::string TempFolder() const;

  RunState state_;
  SessionSetup setup_;
  Profile profile_;
  std::shared_ptr<ProgramMessageBoxes> boxes_;
  std::shared_ptr<ProgramUserInterface> ui_;
  std::shared_ptr<TranscriptLauncher> launcher_;
  FileWatch watch_;
  std::vector<std::string> written_;          // message files written by saves during the command
  std::vector<std::string> settingsNotices_;  // what the settings files said at start-up, for the windows
  std::shared_ptr<host::mail::Store> mail_;
  std::unique_ptr<host::Host> host_;
  std::unique_ptr<host::qt::ClientWindows> windows_;  // with a screen only
  std::shared_ptr<host::MailLink> link_;
  bool addInRegistered_ = false;
  bool inspectorOnTop_ = false;
  std::size_t escapedSeen_ = 0;
  bool quit_ = false;
  std::map<std::string, Handler> commands_;
};

}  // namespace app
