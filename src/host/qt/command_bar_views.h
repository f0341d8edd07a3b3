#pragma once
// The command bars of one host window drawn on its QMainWindow: the menu bar
// from the bar of menu-bar type, every visible toolbar docked on the side its
// Position names, in rows by RowIndex and left to right by Left, with its
// buttons (caption, face and mask, style, tooltip, visibility, separators)
// and its popups as drop-down menus.
//
// The bars raise OnUpdate after every change that shows; the drawing is
// made again then, before the window paints next, so what an add-in changes
// (a caption, a button hidden, a toolbar deleted) shows at once. A person's
// click runs the control's UserClick, as a script's `click` does; nothing it
// raises reaches Qt.

#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "runtime/event.h"

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;

namespace host {
class CommandBar;
class CommandBarButton;
class CommandBarControl;
class CommandBars;
class Picture;
}  // namespace host

namespace host::qt {

// A button face as the host draws it: the mask's black pixels show the
// picture, its white ones are transparent. A null image when the picture
// cannot be read.
QImage FaceImage(const host::Picture& picture, const host::Picture* mask);

class CommandBarsView : public QObject {
  Q_OBJECT
 public:
  CommandBarsView(QMainWindow& window, std::shared_ptr<host::CommandBars> bars);
  ~CommandBarsView() override;

  // Draws the bars as they are now (also what a pending update would do).
  void Sync();
  // Draws now what a pending update would draw; nothing when none is pending.
  void Flush() {
    if (pending_) Sync();
  }
  // The window closed: its bars are gone and nothing is drawn any more.
  void Detach();
  // The toolbar drawn for a bar; nullptr when it is not shown.
  QToolBar* ToolBarOf(const std::shared_ptr<host::CommandBar>& bar) const;
  // The toolbar button, or the menu entry, drawn for a control; nullptr when
  // it is not drawn.
  QWidget* ButtonOf(const std::shared_ptr<host::CommandBarControl>& control) const;
  QAction* ActionOf(const std::shared_ptr<host::CommandBarControl>& control) const;

 private:
  void Schedule();
  void Clear();
  void Reap();
  void Click(const std::weak_ptr<host::CommandBarButton>& button);
  void FillMenu(QMenu& menu, const std::shared_ptr<host::CommandBar>& bar, QObject& owner);
  void FillToolBar(QToolBar& toolbar, const std::shared_ptr<host::CommandBar>& bar, QObject& owner);
  QIcon IconOf(const std::shared_ptr<host::CommandBarControl>& control);

  QMainWindow& window_;
  std::shared_ptr<host::CommandBars> bars_;
  runtime::Subscription onUpdate_;
  bool pending_ = false;
  int clicking_ = 0;
  // What one drawing made (holding its menus and actions); the next drawing
  // retires it, and it goes once no click is running on it.
  QPointer<QWidget> made_;
  std::vector<QPointer<QObject>> retired_;
  std::vector<std::pair<std::shared_ptr<host::CommandBar>, QPointer<QToolBar>>> toolbars_;
  std::map<std::shared_ptr<host::CommandBarControl>, QPointer<QWidget>> buttons_;
  std::map<std::shared_ptr<host::CommandBarControl>, QPointer<QAction>> entries_;
  std::map<std::pair<std::shared_ptr<const host::Picture>, std::shared_ptr<const host::Picture>>, QIcon> faces_;
};

}  // namespace host::qt
