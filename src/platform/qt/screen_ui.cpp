#include "platform/qt/screen_ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLayout>
#include <QPixmap>
#include <QSaveFile>

#include "platform/qt/pictures.h"

namespace platform::qt {

namespace forms = platform::forms;

// ---- modal forms and the folder picker ----

forms::UserInterface::Driver PersonUserInterface::ModalDriver(const forms::Form&) {
  return [this](forms::Form& form) {
    if (!form.IsLoaded() || !forms::FormAccess::IsVisible(form)) return;
    QEventLoop loop;
    const auto connection = QObject::connect(&views_, &FormViews::FormClosed, &loop, [&](forms::Form* closed) {
      if (closed == &form) loop.quit();
    });
    loop.exec();
    QObject::disconnect(connection);
  };
}

forms::FolderAnswer PersonUserInterface::PickFolder(const forms::FolderRequest& request) {
  const QString title = request.title ? QString::fromStdString(*request.title) : QString();
  // The dialog opens where the shell would (the desktop, unless a root is
  // given); a folder that is not there gives the home folder.
  const QString start = QString::fromStdString(request.start);
  const QString root = !start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath();
  const QString picked = QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, root);
  forms::FolderAnswer answer;
  if (picked.isEmpty()) return answer;  // a cancel
  answer.kind = forms::FolderAnswer::Kind::Folder;
  answer.path = QDir::cleanPath(picked).toStdString();
  answer.displayName = QFileInfo(picked).fileName().toStdString();
  return answer;
}

// ---- message boxes ----

std::unique_ptr<QMessageBox> MakeMessageBox(const forms::MessageBoxRecord& record, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromStdString(record.title));
  QString text = QString::fromStdString(record.prompt);
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  box->setText(text);
  box->setTextFormat(Qt::PlainText);
  switch (record.style & 0x70) {
    case forms::vbCritical: box->setIcon(QMessageBox::Critical); break;
    case forms::vbQuestion: box->setIcon(QMessageBox::Question); break;
    case forms::vbExclamation: box->setIcon(QMessageBox::Warning); break;
    case forms::vbInformation: box->setIcon(QMessageBox::Information); break;
    default: box->setIcon(QMessageBox::NoIcon); break;
  }
  using B = QMessageBox::StandardButton;
  std::vector<B> buttons;
  B escape = QMessageBox::NoButton;
  switch (record.style & 0x7) {
    case forms::vbOKCancel: buttons = {B::Ok, B::Cancel}, escape = B::Cancel; break;
    case forms::vbAbortRetryIgnore: buttons = {B::Abort, B::Retry, B::Ignore}; break;
    case forms::vbYesNoCancel: buttons = {B::Yes, B::No, B::Cancel}, escape = B::Cancel; break;
    case forms::vbYesNo: buttons = {B::Yes, B::No}; break;
    case forms::vbRetryCancel: buttons = {B::Retry, B::Cancel}, escape = B::Cancel; break;
    default: buttons = {B::Ok}, escape = B::Ok; break;
  }
  for (B b : buttons) box->addButton(b);
  const std::size_t defaultIndex = static_cast<std::size_t>((record.style >> 8) & 0x3);
  box->setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
  // A box without Cancel answers only with its buttons; closing it from the
  // title bar is taken as the most cautious of them.
  box->setEscapeButton(escape != QMessageBox::NoButton ? escape : buttons.back());
  return box;
}

long AnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return forms::vbOK;
    case QMessageBox::Cancel: return forms::vbCancel;
    case QMessageBox::Abort: return forms::vbAbort;
    case QMessageBox::Retry: return forms::vbRetry;
    case QMessageBox::Ignore: return forms::vbIgnore;
    case QMessageBox::Yes: return forms::vbYes;
    case QMessageBox::No: return forms::vbNo;
    default: return forms::vbCancel;
  }
}

long ScreenMessageBoxes::Answer(const forms::MessageBoxRecord& record) {
  auto box = MakeMessageBox(record, QApplication::activeWindow());
  box->exec();
  QAbstractButton* clicked = box->clickedButton();
  if (clicked == nullptr) clicked = box->escapeButton();
  return AnswerOf(box->standardButton(clicked));
}

// ---- timers ----

TimerPump::TimerPump(std::shared_ptr<forms::EventLoop> loop) : loop_(std::move(loop)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    loop_->DoEvents();
    Arm();
  });
  loop_->OnTimersChanged([this] { Arm(); });
  Arm();
}

TimerPump::~TimerPump() { loop_->OnTimersChanged(nullptr); }

void TimerPump::Arm() {
  const auto due = loop_->NextDue();
  if (!due) {
    timer_.stop();
    return;
  }
  const std::int64_t wait = std::max<std::int64_t>(0, *due - loop_->Milliseconds());
  const int ms = static_cast<int>(std::min<std::int64_t>(wait, 24LL * 3600 * 1000));
  if (timer_.isActive() && timer_.remainingTime() <= ms) return;
  timer_.start(ms);
}

// ---- snapshots ----

std::string DrawnUserInterface::ClipboardText() { return QApplication::clipboard()->text().toStdString(); }

void DrawnUserInterface::ClipboardText(std::string text) {
  QApplication::clipboard()->setText(QString::fromStdString(text));
}

std::string SaveSnapshot(QWidget& window, const std::string& file) {
  PictureRequest::WaitForAll();
  window.ensurePolished();
  if (window.layout() != nullptr) window.layout()->activate();
  if (!window.isVisible()) window.adjustSize();
  const QPixmap picture = window.grab();
  if (picture.isNull()) return "the window has no picture";
  const QFileInfo info(QString::fromStdString(file));
  if (!QDir().mkpath(info.absolutePath())) return "cannot make the folder " + info.absolutePath().toStdString();
  // Whole or not at all: a failed write leaves no half picture behind.
  QSaveFile out(info.absoluteFilePath());
  if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "PNG") || !out.commit()) return "cannot write " + file;
  return {};
}

}  // namespace platform::qt
