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
// Message windows (Inspectors) are not drawn here.

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "runtime/event.h"

class QMainWindow;

namespace host {
class Explorer;
class Host;
class MailLink;
}  // namespace host

namespace platform::qt {
class FormViews;
}

namespace host::qt {

class ExplorerWindow;

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
  // Keeps `views.SetMainWindow` on the active main window from now on.
  void UseFormViews(platform::qt::FormViews& views);
  // Draws every window's pending command-bar changes now.
  void Sync();

 signals:
  // The active main window changed (opened, activated, closed); nullptr
  // when none is left.
  void ActiveWindowChanged(QMainWindow* window);

 private:
  void Open(const std::shared_ptr<host::Explorer>& explorer);
  void Closed(const std::shared_ptr<host::Explorer>& explorer);
  void Activated();

  host::Host& client_;
  std::shared_ptr<host::MailLink> link_;
  struct Shown {
    std::shared_ptr<host::Explorer> explorer;
    QPointer<ExplorerWindow> window;
    runtime::Subscription onClose;
    runtime::Subscription onActivate;
  };
  std::vector<std::unique_ptr<Shown>> windows_;
  runtime::Subscription onNewExplorer_;
  QPointer<platform::qt::FormViews> views_;
  QPointer<QMainWindow> active_;
};

}  // namespace host::qt
