#pragma once
// The message list of a main window: the items of one folder as table rows
// (subject, sender, date, attachment names), oldest first, as a mail client
// lists what it received. Only the date is read of every message, for the
// order; the rest of a row is read when the view first asks for it and kept,
// so only the rows scrolled into view parse their files.

#include <QAbstractTableModel>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace host {
class Folder;
class Item;
class MailLink;
}  // namespace host

namespace host::qt {

class MessageListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kSubject, kFrom, kReceived, kAttachments, kColumnCount };

  // `link` gives senders and dates of messages on disk; nullptr: a store
  // built in memory, whose items have neither.
  MessageListModel(std::shared_ptr<host::MailLink> link, QObject* parent);
  ~MessageListModel() override;

  // Shows the folder's items as they are now; the rows are read again when
  // the folder is another or its number of items changed. Empty on
  // nullptr. Answers why the folder could not be listed ("" when it could).
  QString ShowFolder(const std::shared_ptr<host::Folder>& folder);
  const std::shared_ptr<host::Folder>& folder() const { return folder_; }
  std::shared_ptr<host::Item> ItemAt(int row) const;
  // -1 when the item is not in the list.
  int RowOf(const std::shared_ptr<host::Item>& item) const;
  // The item changed (saved): its row is read again when next drawn.
  void Refresh(const std::shared_ptr<host::Item>& item);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  struct Row {
    QString texts[kColumnCount];
    bool draft = false;
    bool failed = false;
  };
  const Row& RowAt(int row) const;
  // The items by date, oldest first; undated ones first, in folder order.
  std::vector<std::shared_ptr<host::Item>> ByDate(const std::vector<std::shared_ptr<host::Item>>& items) const;

  std::shared_ptr<host::MailLink> link_;
  std::shared_ptr<host::Folder> folder_;
  std::vector<std::shared_ptr<host::Item>> listed_;  // as the folder listed them
  std::vector<std::shared_ptr<host::Item>> items_;   // as the rows show them
  mutable std::vector<std::unique_ptr<Row>> rows_;
  mutable std::unordered_map<const host::Item*, int> rowOf_;
};

}  // namespace host::qt
