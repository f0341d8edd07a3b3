#pragma once
// The mail client's own windows on screen: every open Explorer of the host
// gets a main window (ExplorerWindow), opened when the host opens the
// Explorer (and at once for those open already), closed on the Explorer's
// Close, brought to the front on its Activate. A person activating a window
// makes its Explorer the host's active one; a person closing one (title
// bar) has the host close the Explorer, with everything that follows from
// that (the add-in's handlers, the host's exit after the last window).
//
//   host::Host client;
//   auto link = host::MailLink::Attach(*client.Store(), mail);
//   host::qt::ClientWindows windows(client, link);
//   windows.UseFormViews(views);   // modeless forms stay above the main window
//   client.Start(options);
//
// Message windows follow the host's Inspectors the same way
// (InspectorWindow): made on NewInspector, shown on the Inspector's first
// Activate (a handler of Open may still cancel the opening), closed on its
// Close. A person closing one asks the host, which may refuse.

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "runtime/event.h"

class QMainWindow;

namespace host {
class Explorer;
class Host;
class Inspector;
class MailLink;
}  // namespace host

namespace platform::qt {
class FormViews;
}

namespace host::qt {

class ExplorerWindow;
class InspectorWindow;

class ClientWindows : public QObject {
  Q_OBJECT
 public:
  // `link` names the store's folders and gives senders and dates; nullptr
  // for a store made in memory (its folders then stand side by side).
  ClientWindows(host::Host& client, std::shared_ptr<host::MailLink> link, QObject* parent = nullptr);
  ~ClientWindows() override;

  // The window of an open Explorer; nullptr when it has none. Drawing that
  // is still pending (a command bar changed a moment ago) is done first, so
  // a picture taken of the window shows it.
  QMainWindow* WindowOf(const std::shared_ptr<host::Explorer>& explorer);
  // The window of the host's active Explorer; nullptr when none is open.
  QMainWindow* ActiveWindow();
  ExplorerWindow* ExplorerWindowOf(const std::shared_ptr<host::Explorer>& explorer) const;
  // The window of an open Inspector; nullptr when it has none.
  InspectorWindow* InspectorWindowOf(const std::shared_ptr<host::Inspector>& inspector) const;
  // The window of the host's active Inspector, drawn up to date; nullptr when none is open.
  InspectorWindow* ActiveInspectorWindow();
  // Keeps `views.SetMainWindow` on the active main window from now on.
  void UseFormViews(platform::qt::FormViews& views);
  // Draws every window's pending command-bar changes now.
  void Sync();

 signals:
  // The window that modeless forms stay above changed: the active main
  // window, or a message window while it is the active one; nullptr when
  // none is left.
  void ActiveWindowChanged(QMainWindow* window);

 private:
  void Open(const std::shared_ptr<host::Explorer>& explorer);
  void Closed(const std::shared_ptr<host::Explorer>& explorer);
  void Activated(QMainWindow* top = nullptr);
  void OpenMessage(const std::shared_ptr<host::Inspector>& inspector);
  void MessageClosed(const std::shared_ptr<host::Inspector>& inspector);
  // Lets go of the windows of Inspectors that closed without a Close (an
  // opening that a handler cancelled).
  void Reap();

  host::Host& client_;
  std::shared_ptr<host::MailLink> link_;
  // A host window on screen, and what ties the two.
  template <class Model, class Window>
  struct Shown {
    std::shared_ptr<Model> model;
    QPointer<Window> window;
    runtime::Subscription onClose;
    runtime::Subscription onActivate;
    // The host's window went: the screen's goes once Qt is done with it
    // (it may be inside its own close event).
    void LetGo() {
      onClose.reset();
      onActivate.reset();
      if (!window) return;
      window->Detach();
      window->hide();
      window->deleteLater();
    }
  };
  std::vector<std::unique_ptr<Shown<host::Explorer, ExplorerWindow>>> windows_;
  std::vector<std::unique_ptr<Shown<host::Inspector, InspectorWindow>>> messages_;
  runtime::Subscription onNewExplorer_, onNewInspector_;
  QPointer<platform::qt::FormViews> views_;
  QPointer<QMainWindow> active_;
};

}  // namespace host::qt
