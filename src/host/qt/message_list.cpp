#include "host/qt/message_list.h"

#include <QDateTime>
#include <QFont>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

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
  if (folder == folder_ && items == listed_) return failure;
  beginResetModel();
  folder_ = folder;
  items_ = ByDate(items);
  listed_ = std::move(items);
  rows_.clear();
  rows_.resize(items_.size());
  rowOf_.clear();
  endResetModel();
  return failure;
}

std::vector<std::shared_ptr<host::Item>> MessageListModel::ByDate(
    const std::vector<std::shared_ptr<host::Item>>& items) const {
  std::vector<std::pair<std::int64_t, std::shared_ptr<host::Item>>> dated;
  dated.reserve(items.size());
  for (const auto& item : items) {
    std::int64_t when = std::numeric_limits<std::int64_t>::min();
    try {
      if (auto message = link_ ? link_->MessageOf(item) : nullptr)
        if (const auto date = message->Date()) when = *date;
    } catch (...) {
      // A message that cannot be read shows so in its row; it sorts as undated.
    }
    dated.emplace_back(when, item);
  }
  std::stable_sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::shared_ptr<host::Item>> sorted;
  sorted.reserve(dated.size());
  for (auto& [when, item] : dated) sorted.push_back(std::move(item));
  return sorted;
}

void MessageListModel::Refresh(const std::shared_ptr<host::Item>& item) {
  const int row = RowOf(item);
  if (row < 0) return;
  rows_[static_cast<std::size_t>(row)].reset();
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
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
