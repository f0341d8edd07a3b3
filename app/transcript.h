#pragma once
// What the program shows of a run, and the seams of the stand-ins that
// produce it. Every message box, form shown, folder pick, program start and
// file written becomes one transcript entry:
//
//   message box "Save Pictures?" [question, Yes/No]: Are you sure ... -> Yes
//   form shown modally: frmSaveAttachments        (then the form, indented)
//   form shown: frmMain                           (a modeless form, at the end of the command)
//   folder pick "Save attachments to..." -> /home/u/Out
//   program start: xdg-open /tmp/x.jpg (not started: scripted run)
//   file written: /home/u/Pictures/beach.jpg (12345 bytes)
//
// In a script the answers come from the script (answer, dialog,
// pick-folder); an OK-only box is acknowledged by itself; a question, a
// modal form or a folder pick with nothing queued stops the script. At a
// terminal the person answers (Console).

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/form.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/ui.h"
#include "platform/shell/launcher.h"

namespace app {

// Where a person answers when the program runs at a terminal.
class Console {
 public:
  virtual ~Console() = default;
  // The next line typed after `prompt`; nullopt at the end of the input.
  virtual std::optional<std::string> Ask(std::string_view prompt) = 0;
};

class Transcript {
 public:
  explicit Transcript(std::ostream& out) : out_(out) {}
  void Line(std::string_view text);
  // Several lines, each indented by two blanks.
  void Block(std::string_view text);

 private:
  std::ostream& out_;
};

// What every seam of one run shares.
struct RunState {
  explicit RunState(std::ostream& out) : transcript(out) {}
  Transcript transcript;
  Console* console = nullptr;       // nullptr: a script runs
  std::optional<std::string> stop;  // why the script has to stop (the first reason)
  // On screen, a person answers the boxes, modal forms and folder picks
  // that nothing queued.
  std::shared_ptr<platform::forms::MessageBoxResponder> screenBoxes;
  std::shared_ptr<platform::forms::UserInterface> screenPerson;
  // Told of every box before it is answered and of every modal form as it
  // shows, so pictures of them can be taken.
  std::function<void(const platform::forms::MessageBoxRecord&)> onBox;
  std::function<void(platform::forms::Form&)> onModal;
  void Stop(std::string reason) {
    if (!stop) stop = std::move(reason);
  }
};

// A text on one line and safe for a terminal: CR, LF and tab written as
// \r, \n and \t, other control characters as \x1b or \u009b, bytes that
// are no UTF-8 as \xff. Backslashes stay, so escaping twice changes nothing.
std::string OneLine(std::string_view text);
std::string DescribeBox(const platform::forms::MessageBoxRecord& box);

class ProgramMessageBoxes : public platform::forms::MessageBoxResponder {
 public:
  explicit ProgramMessageBoxes(RunState& state) : state_(state) {}
  long Answer(const platform::forms::MessageBoxRecord& box) override;

  void Queue(long answer, int count);
  std::size_t Pending() const { return answers_.size(); }
  const std::vector<platform::forms::MessageBoxRecord>& Log() const { return log_; }

 private:
  long AskConsole(const platform::forms::MessageBoxRecord& box);
  RunState& state_;
  std::deque<long> answers_;
  std::vector<platform::forms::MessageBoxRecord> log_;
};

// The control of a form that a person means by `what`: its name ("cmdOK",
// "optMode(2)"), or its caption with or without "&", letter case aside.
// Raises 5 when there is none.
platform::forms::Control& FindFormControl(platform::forms::Form& form, std::string_view what);
// One thing a person does to a form: click CONTROL | set CONTROL TEXT |
// choose OPTION | key enter|esc|tab | close. Raises runtime::Error.
void PerformFormAction(platform::forms::Form& form, const std::vector<std::string>& words);

class ProgramUserInterface : public platform::forms::UserInterface {
 public:
  explicit ProgramUserInterface(RunState& state) : state_(state) {}

  // For the next modal shows of the form class: each show takes actions
  // from the front until the form is hidden or unloaded.
  void QueueAction(const std::string& formName, std::vector<std::string> words);
  // The next folder picks: a folder, or nullopt for a cancel.
  void QueueFolder(std::optional<std::string> folder);
  std::size_t PendingActions() const;
  std::size_t PendingFolders() const { return folders_.size(); }

  Driver ModalDriver(const platform::forms::Form& form) override;
  platform::forms::FolderAnswer PickFolder(const platform::forms::FolderRequest& request) override;
  void Notice(const platform::forms::FormNotice& notice) override;

  // Prints the modeless forms shown since the last call.
  void ReportShownForms();

 private:
  void Drive(platform::forms::Form& form);
  RunState& state_;
  std::map<std::string, std::deque<std::vector<std::string>>> actions_;  // by lower-case form name
  std::deque<std::optional<std::string>> folders_;
  std::vector<std::string> shown_;
};

// Prints every start; starts the program only when told to.
class TranscriptLauncher : public platform::shell::Launcher {
 public:
  TranscriptLauncher(RunState& state, bool startForReal) : state_(state), real_(startForReal) {}
  long Start(const platform::shell::ProgramStart& start) override;

 private:
  RunState& state_;
  bool real_;
  platform::shell::ProcessLauncher process_;
  long next_ = 1000;
};

// New and changed files in the watched folders between two looks.
class FileWatch {
 public:
  void Watch(const std::filesystem::path& folder, bool recursive);
  // Remembers what the folders hold now.
  void Look();
  // Files that are new or changed since the last look (and looks again).
  std::vector<std::pair<std::filesystem::path, std::uintmax_t>> Changes();

 private:
  struct Stamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type time;
    bool operator==(const Stamp&) const = default;
  };
  std::map<std::filesystem::path, Stamp> Scan() const;
  std::vector<std::pair<std::filesystem::path, bool>> folders_;
  std::map<std::filesystem::path, Stamp> seen_;
};

}  // namespace app
