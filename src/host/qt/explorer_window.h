#pragma once
// One main window of the mail client (an Explorer) on screen: the store's
// folder tree, the message list of the Explorer's folder, its command bars
// and its selection.
//
// The Explorer stays the truth. A person choosing a folder switches the
// Explorer's folder (with no selection, as the `folder` command does); a
// person selecting messages goes through the Explorer's Select, so the
// add-in sees SelectionChange. The window follows the Explorer's
// SelectionChange and ViewSwitch, so what a script or the add-in does
// shows too; its own updates never echo back as a person's action. An item
// the add-in saves shows as it now is at once (the store's ItemChange). A
// double-click on a message opens it (the host's OpenInspector); Enter in the
// list is File > Open.

#include <QMainWindow>
#include <memory>
#include <vector>

#include "runtime/event.h"

class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace host {
class Application;
class Explorer;
class Folder;
class MailLink;
class Store;
}  // namespace host

namespace host::qt {

class CommandBarsView;
class MessageListModel;

class ExplorerWindow : public QMainWindow {
  Q_OBJECT
 public:
  ExplorerWindow(std::shared_ptr<host::Application> app, std::shared_ptr<host::Explorer> explorer,
                 std::shared_ptr<host::MailLink> link);
  ~ExplorerWindow() override;

  const std::shared_ptr<host::Explorer>& explorer() const { return explorer_; }
  CommandBarsView& bars() const { return *bars_; }
  QTreeWidget* folderTree() const { return tree_; }
  QTableView* messageList() const { return list_; }
  MessageListModel& messages() const { return *messages_; }
  // The Explorer closed: the window lets go of it and of its bars.
  void Detach();
  // Shows the Explorer's folder and selection as they are now.
  void FollowExplorer();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void BuildFolderTree(const std::shared_ptr<host::Store>& store, const std::shared_ptr<host::MailLink>& link);
  void PersonChoseFolder(QTreeWidgetItem* item);
  void PersonSelected();
  // A double-click on a message opens it in its message window.
  void PersonOpened(int row);
  std::vector<int> SelectedRows() const;

  std::weak_ptr<host::Application> app_;
  std::shared_ptr<host::Explorer> explorer_;
  std::shared_ptr<host::Store> store_;
  std::shared_ptr<host::MailLink> link_;
  std::vector<std::shared_ptr<host::Folder>> folders_;  // by the tree item's data
  QTreeWidget* tree_ = nullptr;
  QTableView* list_ = nullptr;
  MessageListModel* messages_ = nullptr;
  CommandBarsView* bars_ = nullptr;
  runtime::Subscription onActivate_, onSelectionChange_, onViewSwitch_, onItemChange_;
  bool applying_ = false;
};

}  // namespace host::qt
