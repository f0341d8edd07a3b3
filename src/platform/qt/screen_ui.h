#pragma once
// The seams of the forms runtime answered on screen: who answers a modal form
// and the folder picker, the message boxes, the event loop's timers on Qt's
// clock, and pictures of windows (snapshots).
//
//   FormViews views;
//   auto person = std::make_shared<PersonUserInterface>(views);
//   forms::SetUserInterface(std::make_shared<DrawnUserInterface>(person, views));
//   forms::SetMessageBoxResponder(std::make_shared<ScreenMessageBoxes>());
//   TimerPump pump(forms::CurrentLoop());

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>

#include "platform/forms/event_loop.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/ui.h"
#include "platform/qt/form_views.h"

namespace platform::qt {

// Draws every form while another user interface answers it (a person, or a
// script that also wants pictures of the windows).
class DrawnUserInterface : public forms::UserInterface {
 public:
  DrawnUserInterface(std::shared_ptr<forms::UserInterface> answerer, FormViews& views)
      : answerer_(std::move(answerer)), views_(views) {}

  Driver ModalDriver(const forms::Form& form) override { return answerer_->ModalDriver(form); }
  forms::FolderAnswer PickFolder(const forms::FolderRequest& request) override {
    return answerer_->PickFolder(request);
  }
  void Notice(const forms::FormNotice& notice) override { answerer_->Notice(notice); }
  void Enter(const forms::Form& form, std::string_view member) override { answerer_->Enter(form, member); }
  void Noticed(forms::Form& form, std::string_view action) override {
    views_.Noticed(form, action);
    answerer_->Noticed(form, action);
  }
  void Changed(forms::Form& form, forms::Control* control) override {
    views_.Changed(form, control);
    answerer_->Changed(form, control);
  }
  // The desktop's clipboard, shared with every other program.
  std::string ClipboardText() override;
  void ClipboardText(std::string text) override;

 private:
  std::shared_ptr<forms::UserInterface> answerer_;
  FormViews& views_;
};

// A person answers: a modal form runs a nested event loop until it is hidden
// or unloaded; the folder picker is the desktop's folder dialog.
class PersonUserInterface : public forms::UserInterface {
 public:
  explicit PersonUserInterface(FormViews& views) : views_(views) {}
  Driver ModalDriver(const forms::Form& form) override;
  forms::FolderAnswer PickFolder(const forms::FolderRequest& request) override;

 private:
  FormViews& views_;
};

// The message box as the person sees it: title, text with its line breaks,
// icon, buttons and default button of the style.
std::unique_ptr<QMessageBox> MakeMessageBox(const forms::MessageBoxRecord& box, QWidget* parent);
// The answer a pressed button of such a box means.
long AnswerOf(QMessageBox::StandardButton button);

class ScreenMessageBoxes : public forms::MessageBoxResponder {
 public:
  long Answer(const forms::MessageBoxRecord& box) override;
};

// Fires the forms' event loop's timers from Qt's loop, on the real clock:
// sleeps until the next one is due and wakes earlier when one starts.
class TimerPump : public QObject {
  Q_OBJECT
 public:
  explicit TimerPump(std::shared_ptr<forms::EventLoop> loop);
  ~TimerPump() override;
  void Arm();

 private:
  std::shared_ptr<forms::EventLoop> loop_;
  QTimer timer_;
};

// Renders a window (a form's, the main window, a box) to a PNG file; no
// display is needed. Empty on success, else why not.
std::string SaveSnapshot(QWidget& window, const std::string& file);

}  // namespace platform::qt
