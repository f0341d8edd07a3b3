#pragma once
// One message window of the mail client (an Inspector) on screen: its
// command bars, and the item it shows.
//
// A received item shows its headers (From, To, Date, Subject), its
// attachments and its text body, read-only. A new item (the window has the
// host's Send button) has fields for To, Subject and the body, which a
// person's typing writes into the item at once, its attachments and an
// "Attach File..." button: the files chosen are added through the item's
// Attachments.Add, as the `attach` command does, so the add-in sees
// AttachmentAdd. Sending is the host's Send button on the drawn toolbar.
//
// The Inspector stays the truth: a person closing the window asks the host
// to close the Inspector (a handler may refuse, and the window stays); a
// person activating it raises the Inspector's Activate. Where the add-in
// places the window (state, place, size) shows at once, also while it is
// open, and where a person moves or sizes it is written back.

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>

#include "runtime/event.h"

class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace host {
class Application;
class Inspector;
class Item;
class MailLink;
}  // namespace host

namespace host::qt {

class CommandBarsView;

class InspectorWindow : public QMainWindow {
  Q_OBJECT
 public:
  InspectorWindow(std::shared_ptr<host::Application> app, std::shared_ptr<host::Inspector> inspector,
                  std::shared_ptr<host::MailLink> link);
  ~InspectorWindow() override;

  // How "Attach File..." asks for files; the file dialog unless a test
  // answers instead. An empty answer attaches nothing.
  using FileChooser = std::function<QStringList(QWidget* parent)>;
  static void ChooseFilesWith(FileChooser chooser);

  const std::shared_ptr<host::Inspector>& inspector() const { return inspector_; }
  CommandBarsView& bars() const { return *bars_; }
  bool composing() const { return composing_; }
  // Received items: the header texts shown; new ones: the fields typed into.
  QLabel* fromLabel() const { return from_; }
  QLabel* dateLabel() const { return date_; }
  QLineEdit* toField() const { return to_; }
  QLineEdit* subjectField() const { return subject_; }
  QPlainTextEdit* bodyField() const { return body_; }
  QListWidget* attachmentList() const { return attachments_; }
  QPushButton* attachButton() const { return attach_; }

  // Shows the item's attachments as they are now (the add-in may have
  // added or deleted some); done at once when the item is saved.
  void FollowItem();
  // The Inspector closed: the window lets go of it and of its bars.
  void Detach();
  // The person's "Attach File..." click.
  void AttachFiles();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowHeaders(QFormLayout& form, const std::shared_ptr<host::Item>& item,
                   const std::shared_ptr<host::MailLink>& link);
  void Title();
  void FollowPlacement();
  void ReportPlacement();

  std::weak_ptr<host::Application> app_;
  std::shared_ptr<host::Inspector> inspector_;
  std::shared_ptr<host::Item> item_;
  bool composing_ = false;
  CommandBarsView* bars_ = nullptr;
  QLabel* from_ = nullptr;
  QLabel* date_ = nullptr;
  QLineEdit* to_ = nullptr;
  QLineEdit* subject_ = nullptr;
  QPlainTextEdit* body_ = nullptr;
  QListWidget* attachments_ = nullptr;
  QPushButton* attach_ = nullptr;
  QString problems_;  // what the reader of the message file had to skip or guess
  runtime::Subscription onActivate_, onAttachmentAdd_, onPlacement_, onItemChange_;
  bool activating_ = false;
  bool placing_ = false;  // the window follows the Inspector; nothing to report back
};

}  // namespace host::qt
