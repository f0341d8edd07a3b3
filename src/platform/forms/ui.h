#pragma once
// The user-interface seam: who answers a modal form and the folder picker,
// and what a person does to a form.
//
// A modal Show asks the current UserInterface for a driver of the form. The
// driver acts as the person in front of the form (clicks, types, closes it)
// and returns once the form is hidden or unloaded. In tests a
// ScriptedUserInterface hands out drivers registered per form class name; in
// the program a console driver prints the form (DescribeForm) and lets a
// person act. The seam also records what the forms were asked to do (load,
// show, hide, unload) and every folder pick.
//
//   auto ui = std::make_shared<ScriptedUserInterface>();
//   SetUserInterface(ui);
//   ui->Drive<frmSaveAttachments>("frmSaveAttachments", [](frmSaveAttachments& f) { user::Click(*f.cmdNo); });
//
// The functions of namespace `user` are what a person can do: they refuse
// (error 5) a form that is not visible, a control that is hidden or disabled,
// and any form but the topmost modal one while a modal form is shown.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/controls.h"
#include "platform/seam_record.h"
#include "runtime/error.h"

namespace platform::forms {

class Form;

// What the runtime tells the seam: "Load", "Show", "ShowModal",
// "ModalFailed", "Hide", "Unload".
struct FormNotice {
  std::string form;
  std::string action;
  bool operator==(const FormNotice&) const = default;
};

// The shell's folder dialog as the person sees it.
struct FolderRequest {
  long owner = 0;                    // the owner window's handle
  std::string root;                  // empty: the desktop
  std::string start;                 // the folder it opens at: the root's, or the desktop's; empty: none on disk
  std::optional<std::string> title;  // none: a dialog without a title
  long flags = 0;
};

struct FolderAnswer {
  enum class Kind { Cancel, Folder, VirtualItem };
  Kind kind = Kind::Cancel;
  std::string path;         // the folder picked
  std::string displayName;  // the name the dialog shows (a virtual item has only this)
  long errorNumber = 0;     // not 0: the pick fails with this error
  std::string errorDescription;
};

class UserInterface {
 public:
  using Driver = std::function<void(Form&)>;
  virtual ~UserInterface() = default;

  // Someone to act on this form while it is shown modally; empty when nobody
  // can, and then the modal show fails.
  virtual Driver ModalDriver(const Form& form) = 0;
  virtual FolderAnswer PickFolder(const FolderRequest& request) = 0;
  virtual void Notice(const FormNotice& notice) {}
  // The same notice with the form itself, for a drawing of it: "Show" and
  // "ShowModal" come before the form is visible, "Unload" while its
  // controls still exist.
  virtual void Noticed(Form& form, std::string_view action) {}
  // A property of the form (control nullptr) or of one of its controls that
  // shows on screen changed; a drawing of the form follows it.
  virtual void Changed(Form& form, Control* control) {}
  // Called as a form member starts ("Load", "Show", "ShowModal", "Hide",
  // "Unload"); raising here makes that member fail.
  virtual void Enter(const Form& form, std::string_view member) {}
  // The text a text box copies and cuts to and pastes from; without a
  // desktop, one kept here.
  virtual std::string ClipboardText() { return clipboard_; }
  virtual void ClipboardText(std::string text) { clipboard_ = std::move(text); }

 private:
  std::string clipboard_;
};

class ScriptedUserInterface : public UserInterface {
 public:
  // The driver for every modal show of the form class.
  void Drive(std::string formName, Driver driver);
  // A driver for the next modal show only; these are used first, in order.
  void DriveOnce(std::string formName, Driver driver);
  template <class F>
  void Drive(std::string formName, std::function<void(F&)> driver) {
    Drive(std::move(formName), Typed(std::move(driver)));
  }
  template <class F>
  void DriveOnce(std::string formName, std::function<void(F&)> driver) {
    DriveOnce(std::move(formName), Typed(std::move(driver)));
  }
  void StopDriving(const std::string& formName);

  // Answers for the folder picker, used in order. With none queued a pick
  // raises (51), so a test never passes on an unexpected question.
  void AnswerFolder(std::string path);
  void CancelFolder();
  void AnswerVirtualItem(std::string displayName);
  // The next pick raises this error (the dialog could not be shown).
  void FailFolder(long number, std::string description = {});

  // The next `times` calls (-1: all) of `member` on forms of this class raise
  // this error; an empty description takes the runtime's text.
  void Fail(std::string formName, std::string member, long number, std::string description = {}, int times = -1);
  void Heal(const std::string& formName, const std::string& member);

  Driver ModalDriver(const Form& form) override;
  FolderAnswer PickFolder(const FolderRequest& request) override;
  void Notice(const FormNotice& notice) override { notices_.Add(notice); }
  void Enter(const Form& form, std::string_view member) override;

  const std::vector<FormNotice>& Notices() const { return notices_.Entries(); }
  // The actions recorded for one form class, in order.
  std::vector<std::string> NoticesOf(std::string_view formName) const;
  const std::vector<FolderRequest>& FolderRequests() const { return folderRequests_.Entries(); }
  void ClearLog() {
    notices_.Clear();
    folderRequests_.Clear();
  }
  std::size_t PendingFolderAnswers() const { return folderAnswers_.size(); }

 private:
  template <class F>
  static Driver Typed(std::function<void(F&)> driver) {
    return [driver = std::move(driver)](Form& form) {
      F* typed = dynamic_cast<F*>(&form);
      if (typed == nullptr) throw std::bad_cast();
      driver(*typed);
    };
  }

  struct Fault {
    long number = 0;
    std::string description;
    int times = -1;
  };
  std::map<std::pair<std::string, std::string>, Fault> faults_;
  std::map<std::string, Driver> drivers_;
  std::map<std::string, std::deque<Driver>> once_;
  std::deque<FolderAnswer> folderAnswers_;
  platform::SeamRecord<FormNotice> notices_;
  platform::SeamRecord<FolderRequest> folderRequests_;
};

// The current seam. Until one is set, a ScriptedUserInterface with no
// drivers: modal shows fail, folder picks raise.
void SetUserInterface(std::shared_ptr<UserInterface> ui);
UserInterface* CurrentUserInterface();

// The form as the console shows it: the caption and one line per control
// with its kind, caption or text, value and state.
std::string DescribeForm(Form& form);

// Key codes the forms use.
enum KeyCodeConstants : int {
  vbKeyBack = 8,
  vbKeyTab = 9,
  vbKeyReturn = 13,
  vbKeyEscape = 27,
  vbKeySpace = 32,
  vbKeyEnd = 35,
  vbKeyHome = 36,
  vbKeyLeft = 37,
  vbKeyUp = 38,
  vbKeyRight = 39,
  vbKeyDown = 40,
  vbKeyDelete = 46,
  vbKeyA = 65,
  vbKeyC = 67,
  vbKeyV = 86,
  vbKeyX = 88,
  vbKeyZ = 90,
};

// The Shift argument of key and mouse events.
enum ShiftConstants : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

enum MouseButtonConstants : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };

// Raises 5 unless a person can reach the control now: its form shown and not
// behind a modal form, the control and its containers visible and enabled.
// Every action of `user` checks this first, those of outside controls too.
void RequireReachable(const Control& control);

// Error 5 of a person who cannot reach what they act on: a refusal that
// changes nothing, told apart from a failure of what the action ran.
class Refusal : public runtime::Error {
 public:
  using runtime::Error::Error;
};
// Raises a Refusal: "a person cannot reach " + what.
[[noreturn]] void RefuseReach(const std::string& what);

namespace user {

// Clicks a control: a button is pressed, an option chosen, a check box
// toggled, a label or image clicked.
void Click(Control& control);
// Clicks the form itself (outside its controls).
void Click(Form& form);
// Types into a text box, character by character: each one goes through
// KeyPress (the form's first when it previews keys) and, unless discarded,
// into the text at the caret over the selection, raising Change. A backspace
// (character 8) deletes the selection or the character before the caret;
// the control codes of Ctrl+A, C, V, X and Z do what those keys do.
void Type(TextBox& box, std::string_view text);
// Replaces the whole text at once, as a paste over a selection does: no
// KeyPress, one Change.
void Paste(TextBox& box, std::string_view text);
// Presses and releases a key on the form: Enter clicks the default button,
// Esc the cancel button; otherwise the form sees KeyPress and KeyUp (when it
// previews keys or no control has the focus), and a focused text box the
// typed character. Ctrl with a letter types its control code (Ctrl+A 1 ..
// Ctrl+Z 26), Alt with one types nothing; a focused text box moves its caret
// with the arrows, Home and End (Shift selects) and deletes with Delete.
void PressKey(Form& form, int keyCode, int shift = 0);
// Moves the mouse over a control or the form (twips): the cursor goes back
// to the window's own before MouseMove is raised.
void MouseMove(Control& control, float x = 0, float y = 0, int button = 0, int shift = 0);
void MouseMove(Form& form, float x = 0, float y = 0, int button = 0, int shift = 0);
void MouseDown(Control& control, float x = 0, float y = 0, int button = vbLeftButton, int shift = 0);
void MouseDown(Form& form, float x = 0, float y = 0, int button = vbLeftButton, int shift = 0);
void MouseUp(Control& control, float x = 0, float y = 0, int button = vbLeftButton, int shift = 0);
// The title bar's close button: QueryUnload (vbFormControlMenu), then the
// form unloads unless that cancelled. True when it unloaded.
bool Close(Form& form);
}  // namespace user

}  // namespace platform::forms
