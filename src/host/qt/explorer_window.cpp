#include "host/qt/explorer_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <map>

#include "host/mail_link.h"
#include "host/outlook.h"
#include "host/qt/command_bar_views.h"
#include "host/qt/message_list.h"
#include "platform/qt/form_views.h"
#include "platform/qt/window_frame.h"

namespace host::qt {

namespace {

using platform::qt::Act;

constexpr int kFolderRole = Qt::UserRole + 1;

// Sets a flag for as long as the window brings itself in line with the
// model, so the signals that follow do not come back as a person's action.
class Applying {
 public:
  explicit Applying(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~Applying() { flag_ = was_; }

 private:
  bool& flag_;
  bool was_;
};

}  // namespace

ExplorerWindow::ExplorerWindow(std::shared_ptr<host::Application> app, std::shared_ptr<host::Explorer> explorer,
                               std::shared_ptr<host::MailLink> link)
    : app_(app), explorer_(std::move(explorer)) {
  resize(static_cast<int>(explorer_->Bars()->WindowWidth()), 640);

  tree_ = new QTreeWidget;
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  store_ = app ? app->Store() : nullptr;
  link_ = link;
  BuildFolderTree(store_, link);

  messages_ = new MessageListModel(link, this);
  list_ = new QTableView;
  list_->setModel(messages_);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setShowGrid(false);
  list_->setWordWrap(false);
  list_->setAlternatingRowColors(true);
  list_->setTabKeyNavigation(false);
  // Fixed row heights and widths that never depend on the rows' contents:
  // only the rows in view are ever read.
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
  QHeaderView* header = list_->horizontalHeader();
  header->setHighlightSections(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The subject is what a wider window is for; the other columns keep
  // their widths, and a person may still change them.
  header->setStretchLastSection(false);
  header->resizeSection(MessageListModel::kFrom, 150);
  header->resizeSection(MessageListModel::kReceived, 120);
  header->resizeSection(MessageListModel::kAttachments, 220);
  header->setSectionResizeMode(MessageListModel::kSubject, QHeaderView::Stretch);

  auto* split = new QSplitter(Qt::Horizontal);
  split->addWidget(tree_);
  split->addWidget(list_);
  split->setStretchFactor(1, 1);
  split->setSizes({180, width() - 180});
  setCentralWidget(split);

  bars_ = new CommandBarsView(*this, explorer_->Bars());

  connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!applying_) PersonChoseFolder(item);
  });
  connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!applying_) PersonSelected();
  });
  connect(list_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { PersonOpened(index.row()); });
  list_->installEventFilter(this);
  onSelectionChange_ = explorer_->SelectionChange.Subscribe([this] { FollowExplorer(); });
  onViewSwitch_ = explorer_->ViewSwitch.Subscribe([this] { FollowExplorer(); });
  if (store_)
    onItemChange_ = store_->ItemChange.Subscribe([this](const std::shared_ptr<host::Item>& item) {
      messages_->Refresh(item);
      FollowExplorer();  // a save may also have filed the item elsewhere
    });
  onActivate_ = explorer_->Activate.Subscribe([this] {
    if (!isActiveWindow()) {
      raise();
      activateWindow();
    }
  });
  FollowExplorer();
}

ExplorerWindow::~ExplorerWindow() = default;

void ExplorerWindow::BuildFolderTree(const std::shared_ptr<host::Store>& store,
                                     const std::shared_ptr<host::MailLink>& link) {
  tree_->clear();
  folders_.clear();
  if (!store) return;
  // A subfolder hangs below the folder of its path's parent; folders that
  // the link does not know (a store made in memory) stand at the top.
  std::map<std::string, QTreeWidgetItem*> byPath;
  for (const auto& folder : store->Folders()) {
    const std::string path = link ? link->PathOf(folder) : std::string();
    const std::size_t slash = path.rfind('/');
    QTreeWidgetItem* parent = nullptr;
    if (slash != std::string::npos) {
      const auto it = byPath.find(path.substr(0, slash));
      if (it != byPath.end()) parent = it->second;
    }
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    item->setText(0, QString::fromStdString(folder->Name()));
    item->setData(0, kFolderRole, static_cast<int>(folders_.size()));
    folders_.push_back(folder);
    if (!path.empty()) byPath[path] = item;
  }
  tree_->expandAll();
  // Room for the branch marks only when some folder has subfolders.
  bool nested = false;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) nested = nested || tree_->topLevelItem(i)->childCount() > 0;
  tree_->setRootIsDecorated(nested);
}

void ExplorerWindow::Detach() {
  onActivate_.reset();
  onSelectionChange_.reset();
  onViewSwitch_.reset();
  onItemChange_.reset();
  bars_->Detach();
  explorer_.reset();
}

std::vector<int> ExplorerWindow::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void ExplorerWindow::FollowExplorer() {
  if (!explorer_ || explorer_->Closed()) return;
  Applying guard(applying_);
  // A folder made since (the Sent folder, by the first message sent).
  if (store_ && store_->Folders().size() != folders_.size()) BuildFolderTree(store_, link_);
  std::shared_ptr<host::Folder> folder;
  Act([&] { folder = explorer_->CurrentFolder(); });
  const QString failure = messages_->ShowFolder(folder);

  QTreeWidgetItem* current = nullptr;
  for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it)
    if (folders_[static_cast<std::size_t>((*it)->data(0, kFolderRole).toInt())] == folder) current = *it;
  tree_->setCurrentItem(current);
  const QString name = folder ? QString::fromStdString(folder->Name()) : QStringLiteral("(no folder)");
  setWindowTitle(name + " - Mail");
  statusBar()->showMessage(failure.isEmpty() ? QString::number(messages_->rowCount()) +
                                                   (messages_->rowCount() == 1 ? " item" : " items")
                                             : "The folder cannot be listed: " + failure);

  std::vector<int> rows;
  for (const auto& item : explorer_->SelectedItems())
    if (const int row = messages_->RowOf(item); row >= 0) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  if (rows == SelectedRows()) return;
  QItemSelection selection;
  const int last = MessageListModel::kColumnCount - 1;
  for (std::size_t i = 0; i < rows.size();) {
    std::size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
    selection.select(messages_->index(rows[i], 0), messages_->index(rows[j], last));
    i = j + 1;
  }
  list_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  if (!rows.empty()) list_->scrollTo(messages_->index(rows.front(), 0));
}

void ExplorerWindow::PersonChoseFolder(QTreeWidgetItem* item) {
  if (!explorer_ || item == nullptr) return;
  auto folder = folders_[static_cast<std::size_t>(item->data(0, kFolderRole).toInt())];
  auto keep = explorer_;
  // Another folder shows no selection.
  Act([&] {
    keep->CurrentFolder(folder);
    keep->Select({});
  });
  FollowExplorer();
}

void ExplorerWindow::PersonOpened(int row) {
  auto app = app_.lock();
  auto item = messages_->ItemAt(row);
  if (!app || !item || !explorer_) return;
  Act([&] { app->OpenInspector(item); });
}

void ExplorerWindow::PersonSelected() {
  if (!explorer_) return;
  std::vector<std::shared_ptr<host::Item>> items;
  for (int row : SelectedRows()) items.push_back(messages_->ItemAt(row));
  auto keep = explorer_;
  Act([&] { keep->Select(std::move(items)); });
}

bool ExplorerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != list_ || event->type() != QEvent::KeyPress || !explorer_)
    return QMainWindow::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  // The menu's own command, so the add-in sees its Click and a greyed
  // Open opens nothing.
  auto open = host::As<host::CommandBarButton>(explorer_->Bars()->FindControl({.Id = host::kIdOpen}));
  if (QAction* action = open ? bars_->ActionOf(open) : nullptr) action->trigger();
  return true;
}

void ExplorerWindow::closeEvent(QCloseEvent* event) {
  auto app = app_.lock();
  if (!explorer_ || explorer_->Closed() || !app) {
    event->accept();
    return;
  }
  // The host closes the Explorer; its Close takes the window away.
  event->ignore();
  auto keep = explorer_;
  Act([&] { app->CloseExplorer(keep); });
}

void ExplorerWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  // Usually the first window on screen: the frame it gets is what the
  // windows placed later are given.
  platform::qt::LearnFrame(*this);
}

void ExplorerWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow() || !explorer_ || explorer_->Closed()) return;
  auto app = app_.lock();
  if (!app) return;
  auto keep = explorer_;
  Act([&] {
    if (app->ActiveExplorer() != keep) app->ActivateExplorer(keep);
  });
}

}  // namespace host::qt
