#include "host/qt/inspector_window.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "host/mail_link.h"
#include "host/outlook.h"
#include "host/qt/command_bar_views.h"
#include "platform/forms/form.h"
#include "platform/forms/msgbox.h"
#include "platform/qt/form_views.h"
#include "platform/qt/window_frame.h"
#include "runtime/error.h"

namespace host::qt {

namespace {

namespace forms = platform::forms;
using platform::qt::Act;
using platform::qt::InsideOf;
using platform::qt::LearnFrame;
using platform::qt::OuterFrame;
using platform::qt::PlaceFrame;

QRect FrameRect(const host::Inspector::Placement& placed) {
  return {static_cast<int>(placed.left), static_cast<int>(placed.top), static_cast<int>(placed.width),
          static_cast<int>(placed.height)};
}

InspectorWindow::FileChooser& Chooser() {
  static InspectorWindow::FileChooser chooser;
  return chooser;
}

QLabel* Header(const QString& text) {
  auto* label = new QLabel(text);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  return label;
}

QString Described(const std::exception_ptr& error) {
  return "(cannot be read: " + QString::fromStdString(runtime::ToError(error).Description()) + ")";
}

}  // namespace

void InspectorWindow::ChooseFilesWith(FileChooser chooser) { Chooser() = std::move(chooser); }

InspectorWindow::InspectorWindow(std::shared_ptr<host::Application> app, std::shared_ptr<host::Inspector> inspector,
                                 std::shared_ptr<host::MailLink> link)
    : app_(app), inspector_(std::move(inspector)) {
  Act([&] { item_ = inspector_->CurrentItem(); });
  composing_ = inspector_->Bars()->FindControl({.Id = host::kIdSend}) != nullptr;
  const host::Inspector::Placement placed = inspector_->Placed();
  resize(InsideOf(FrameRect(placed), forms::Screen().FrameOf(forms::vbSizable)).size());

  auto* central = new QWidget;
  auto* column = new QVBoxLayout(central);
  auto* form = new QFormLayout;
  form->setLabelAlignment(Qt::AlignRight);
  column->addLayout(form);

  attachments_ = new QListWidget;
  attachments_->setObjectName("attachments");
  attachments_->setFlow(QListView::LeftToRight);
  attachments_->setWrapping(true);
  attachments_->setSpacing(4);  // names with blanks stay apart
  attachments_->setFixedHeight(attachments_->fontMetrics().height() * 2 + 12);
  attachments_->setSelectionMode(QAbstractItemView::NoSelection);
  attachments_->setFocusPolicy(Qt::NoFocus);

  body_ = new QPlainTextEdit;
  body_->setObjectName("body");

  if (composing_) {
    to_ = new QLineEdit(QString::fromStdString(item_ ? item_->ToText() : std::string()));
    to_->setObjectName("to");
    to_->setPlaceholderText("name@example.org");
    subject_ = new QLineEdit(QString::fromStdString(item_ ? item_->SubjectText() : std::string()));
    subject_->setObjectName("subject");
    form->addRow("To:", to_);
    form->addRow("Subject:", subject_);
    attach_ = new QPushButton("Attach File...");
    attach_->setObjectName("attach");
    auto* row = new QHBoxLayout;
    row->addWidget(attachments_, 1);
    row->addWidget(attach_, 0, Qt::AlignTop);
    form->addRow("Attachments:", row);
    body_->setPlainText(QString::fromStdString(item_ ? item_->BodyText() : std::string()));

    // What the person types is the item's at once: the add-in's handlers
    // and Send see it as it stands.
    connect(to_, &QLineEdit::textChanged, this, [this](const QString& text) {
      if (item_) item_->SetTo(text.toStdString());
    });
    connect(subject_, &QLineEdit::textChanged, this, [this](const QString& text) {
      auto item = item_;
      if (item) Act([&] { item->Subject(text.toStdString()); });
      Title();
    });
    connect(body_, &QPlainTextEdit::textChanged, this, [this] {
      if (item_) item_->SetBody(body_->toPlainText().toStdString());
    });
    connect(attach_, &QPushButton::clicked, this, &InspectorWindow::AttachFiles);
  } else {
    body_->setReadOnly(true);
    ShowHeaders(*form, item_, link);
    form->addRow("Attachments:", attachments_);
    // Without it a message cut short or nested too deeply would look as if
    // it had no attachments, or only those listed.
    if (!problems_.isEmpty()) {
      auto* note = Header("Could not be read whole: " + problems_ + ". It may hold more attachments than are shown.");
      note->setObjectName("problems");
      form->addRow("Note:", note);
    }
  }
  column->addWidget(body_, 1);
  setCentralWidget(central);

  bars_ = new CommandBarsView(*this, inspector_->Bars());
  onActivate_ = inspector_->Activate.Subscribe([this] {
    if (!isVisible()) {
      // Where the add-in may have placed it while it opened.
      FollowPlacement();
      placing_ = true;
      show();
      placing_ = false;
    }
    FollowItem();
    if (!isActiveWindow()) {
      // The activation that follows is the host's own, not a person's.
      activating_ = true;
      raise();
      activateWindow();
    }
  });
  // An open window moves when the add-in tiles it (a picture attached while
  // composing); one not shown yet takes its place when it shows.
  onPlacement_ = inspector_->PlacementChanged.Subscribe([this] {
    if (isVisible()) FollowPlacement();
  });
  if (item_) onAttachmentAdd_ = item_->AttachmentAdd.Subscribe([this](const auto&) { FollowItem(); });
  if (app && app->Store())
    onItemChange_ = app->Store()->ItemChange.Subscribe([this](const std::shared_ptr<host::Item>& item) {
      if (item == item_) FollowItem();
    });
  FollowItem();
  Title();
}

InspectorWindow::~InspectorWindow() = default;

void InspectorWindow::ShowHeaders(QFormLayout& form, const std::shared_ptr<host::Item>& item,
                                  const std::shared_ptr<host::MailLink>& link) {
  QString from, to, date, subject, body;
  try {
    subject = item ? QString::fromStdString(item->SubjectText()) : QString();
    if (auto message = link && item ? link->MessageOf(item) : nullptr) {
      from = QString::fromStdString(message->From());
      to = QString::fromStdString(message->To());
      if (const auto when = message->Date())
        date = QDateTime::fromSecsSinceEpoch(*when).toString("dddd, d MMMM yyyy HH:mm");
      body = QString::fromStdString(message->BodyText());
      for (const auto& problem : message->Problems())
        problems_ += (problems_.isEmpty() ? "" : "; ") + QString::fromStdString(problem);
    } else if (item) {
      to = QString::fromStdString(item->ToText());
      body = QString::fromStdString(item->BodyText());
    }
  } catch (...) {
    body = Described(std::current_exception());
  }
  from_ = Header(from);
  from_->setObjectName("from");
  date_ = Header(date);
  date_->setObjectName("date");
  auto* toLabel = Header(to);
  toLabel->setObjectName("to");
  auto* subjectLabel = Header(subject);
  subjectLabel->setObjectName("subject");
  QFont bold = subjectLabel->font();
  bold.setBold(true);
  subjectLabel->setFont(bold);
  form.addRow("From:", from_);
  form.addRow("To:", toLabel);
  form.addRow("Date:", date_);
  form.addRow("Subject:", subjectLabel);
  body_->setPlainText(body);
}

void InspectorWindow::Title() {
  QString subject = subject_ ? subject_->text() : QString();
  if (!subject_ && item_) {
    try {
      subject = QString::fromStdString(item_->SubjectText());
    } catch (...) {
    }
  }
  if (subject.isEmpty()) subject = "(no subject)";
  setWindowTitle(subject + (composing_ ? " - New Message" : " - Message"));
}

void InspectorWindow::FollowPlacement() {
  if (!inspector_ || inspector_->Closed()) return;
  using State = host::OlWindowState;
  const host::Inspector::Placement placed = inspector_->Placed();
  placing_ = true;
  switch (placed.state) {
    case State::olMaximized:
      // A desktop without a window manager ignores the state: the geometry too.
      if (const QScreen* on = screen()) setGeometry(on->availableGeometry());
      setWindowState(Qt::WindowMaximized);
      break;
    case State::olMinimized: setWindowState(Qt::WindowMinimized); break;
    case State::olNormalWindow:
      setWindowState(Qt::WindowNoState);
      // The host's place and size are the outer frame's.
      PlaceFrame(*this, FrameRect(placed), forms::vbSizable);
      break;
  }
  placing_ = false;
}

void InspectorWindow::ReportPlacement() {
  if (placing_ || !isVisible() || !inspector_ || inspector_->Closed()) return;
  using State = host::OlWindowState;
  const QRect frame = OuterFrame(*this, forms::vbSizable);
  inspector_->Place({isMinimized()   ? State::olMinimized
                     : isMaximized() ? State::olMaximized
                                     : State::olNormalWindow,
                     frame.x(), frame.y(), frame.width(), frame.height()});
}

void InspectorWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  LearnFrame(*this);
  ReportPlacement();
}

bool InspectorWindow::event(QEvent* event) {
  if (event->type() != platform::qt::FrameLearned()) return QMainWindow::event(event);
  // Placed with the frame assumed: the inside follows the frame now known.
  if (isVisible()) FollowPlacement();
  return true;
}

void InspectorWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  ReportPlacement();
}

void InspectorWindow::FollowItem() {
  if (!item_) return;
  QStringList names;
  try {
    for (const auto& attachment : item_->AttachmentList()) names << QString::fromStdString(attachment->Data().fileName);
  } catch (...) {
    names = QStringList{Described(std::current_exception())};
  }
  // A received message without attachments says so; the list starts empty.
  const bool none = names.isEmpty() && !composing_;
  if (none) names << "(none)";
  QStringList shown;
  for (int i = 0; i < attachments_->count(); ++i) shown << attachments_->item(i)->text();
  if (shown == names) return;
  attachments_->clear();
  for (const QString& name : names) {
    auto* entry = new QListWidgetItem(name, attachments_);
    if (!none) entry->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
  }
}

void InspectorWindow::AttachFiles() {
  if (!item_ || !inspector_ || inspector_->Closed()) return;
  const QStringList files = Chooser() ? Chooser()(this) : QFileDialog::getOpenFileNames(this, "Attach File");
  auto item = item_;
  for (const QString& file : files) {
    try {
      item->Attachments()->Add(file.toStdString());
    } catch (...) {
      const std::string why = runtime::ToError(std::current_exception()).Description();
      Act([&] {
        platform::forms::MsgBox("Cannot attach " + file.toStdString() + ": " + why, platform::forms::vbExclamation,
                                "Attach File");
      });
    }
  }
  FollowItem();
}

void InspectorWindow::Detach() {
  onActivate_.reset();
  onPlacement_.reset();
  onAttachmentAdd_.reset();
  onItemChange_.reset();
  bars_->Detach();
  inspector_.reset();
  item_.reset();
}

void InspectorWindow::closeEvent(QCloseEvent* event) {
  auto app = app_.lock();
  if (!inspector_ || inspector_->Closed() || !app) {
    event->accept();
    return;
  }
  // The host closes the Inspector (a handler may refuse); its Close takes the window away.
  event->ignore();
  auto keep = inspector_;
  Act([&] { app->CloseInspector(keep); });
}

void InspectorWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) ReportPlacement();
  if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
  if (std::exchange(activating_, false) || !inspector_ || inspector_->Closed()) return;
  FollowItem();
  auto app = app_.lock();
  if (!app) return;
  auto keep = inspector_;
  Act([&] { app->ActivateInspector(keep); });
}

}  // namespace host::qt
