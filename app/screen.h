#pragma once
// The program's windows: the Qt application, the drawing of every form, and
// pictures of windows (snapshots). On a display the windows are real and a
// person answers them; in scripts and at the terminal they are drawn
// offscreen, so a snapshot needs no display.

#include <QPointer>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/forms/msgbox.h"
#include "platform/qt/form_views.h"

class QApplication;
class QWidget;

namespace app {

// Whether the environment names a display server to show windows on.
bool DisplayNamed(const char* display, const char* waylandDisplay);

class Screen {
 public:
  // Makes the one Qt application of the process: on the display when
  // `onScreen` (falling back to offscreen when it cannot be reached), else
  // offscreen.
  explicit Screen(bool onScreen);
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // True when windows show on a display.
  bool OnScreen() const { return onScreen_; }
  // Empty when the machine has a font to draw text with; else what to do.
  std::string FontProblem() const;
  platform::qt::FormViews& Views() { return *views_; }

  // On a display: the primary screen's work area (less its panels) becomes
  // the one the add-in places its windows on. Call it after the shell was
  // set up for the session.
  void ShareWorkArea() const;

  // Lets Qt finish what it queued: windows deleted, pictures delivered.
  void Settle();

  // A picture of `window` ("box", or a form's name) when it next shows.
  void Queue(std::string_view window, const std::filesystem::path& file);
  std::size_t Pending() const;
  // Takes the pictures queued for this form (it shows now). Returns one
  // transcript line per picture.
  std::vector<std::string> FormShown(platform::forms::Form& form);
  // Takes the pictures queued for the visible forms.
  std::vector<std::string> VisibleFormsShown();
  std::vector<std::string> BoxShown(const platform::forms::MessageBoxRecord& box);
  // A picture of a window now; the transcript line.
  static std::string Take(QWidget& window, std::string_view what, const std::filesystem::path& file);

 private:
  std::unique_ptr<QApplication> app_;
  std::unique_ptr<platform::qt::FormViews> views_;
  bool onScreen_ = false;
  std::map<std::string, std::deque<std::filesystem::path>> queued_;  // by lower-case window name
};

}  // namespace app
