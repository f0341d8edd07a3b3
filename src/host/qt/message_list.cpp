#include "host/qt/message_list.h"

#include <QDateTime>
#include <QFont>
#include <QStringList>

#include "host/mail_link.h"
#include "host/store.h"
#include "runtime/error.h"

namespace host::qt {

MessageListModel::MessageListModel(std::shared_ptr<host::MailLink> link, QObject* parent)
    : QAbstractTableModel(parent), link_(std::move(link)) {}

MessageListModel::~MessageListModel() = default;

QString MessageListModel::ShowFolder(const std::shared_ptr<host::Folder>& folder) {
  std::vector<std::shared_ptr<host::Item>> items;
  QString failure;
  if (folder) {
    try {
      items = folder->ItemList();
    } catch (...) {
      failure = QString::fromStdString(runtime::ToError(std::current_exception()).Description());
    }
  }
  if (folder == folder_ && items == items_) return failure;
  beginResetModel();
  folder_ = folder;
  items_ = std::move(items);
  rows_.clear();
  rows_.resize(items_.size());
  rowOf_.clear();
  endResetModel();
  return failure;
}

std::shared_ptr<host::Item> MessageListModel::ItemAt(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= items_.size()) return nullptr;
  return items_[static_cast<std::size_t>(row)];
}

int MessageListModel::RowOf(const std::shared_ptr<host::Item>& item) const {
  if (rowOf_.empty())
    for (std::size_t i = 0; i < items_.size(); ++i) rowOf_.emplace(items_[i].get(), static_cast<int>(i));
  const auto it = rowOf_.find(item.get());
  return it == rowOf_.end() ? -1 : it->second;
}

int MessageListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int MessageListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

const MessageListModel::Row& MessageListModel::RowAt(int row) const {
  auto& slot = rows_[static_cast<std::size_t>(row)];
  if (slot) return *slot;
  slot = std::make_unique<Row>();
  const auto& item = items_[static_cast<std::size_t>(row)];
  try {
    // The sender and date first: they read the header block once, subject included.
    if (auto message = link_ ? link_->MessageOf(item) : nullptr) {
      slot->texts[kFrom] = QString::fromStdString(message->Sender());
      if (const auto date = message->Date())
        slot->texts[kReceived] = QDateTime::fromSecsSinceEpoch(*date).toString("yyyy-MM-dd HH:mm");
    }
    slot->texts[kSubject] = QString::fromStdString(item->SubjectText());
    slot->draft = !item->SentFlag();
    QStringList names;
    for (const auto& attachment : item->AttachmentList()) names << QString::fromStdString(attachment->Data().fileName);
    slot->texts[kAttachments] = names.join(", ");
  } catch (...) {
    slot->failed = true;
    slot->texts[kSubject] =
        "(cannot be read: " + QString::fromStdString(runtime::ToError(std::current_exception()).Description()) + ")";
  }
  return *slot;
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumnCount) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return RowAt(index.row()).texts[index.column()];
    case Qt::FontRole: {
      const Row& row = RowAt(index.row());
      if (!row.draft && !row.failed) return {};
      QFont font;
      font.setItalic(true);
      return font;
    }
    default: return {};
  }
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kSubject: return QStringLiteral("Subject");
    case kFrom: return QStringLiteral("From");
    case kReceived: return QStringLiteral("Received");
    case kAttachments: return QStringLiteral("Attachments");
    default: return {};
  }
}

}  // namespace host::qt
