#include "app/screen.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QBitmap>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QPixmapCache>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "platform/forms/screen.h"
#include "platform/qt/control_views.h"
#include "platform/qt/screen_ui.h"
#include "platform/shell/shell.h"
#include "runtime/text.h"
#include "windows/frm_slideshow.h"

namespace app {

namespace fs = std::filesystem;
namespace forms = platform::forms;

namespace {

// Kilobytes; Qt's own default is 10 MB.
constexpr int kPixmapCacheKb = 2048;

int g_argc = 1;
char g_name[] = "lumivane-host";
char* g_argv[] = {g_name, nullptr};

// Qt wants a private runtime folder; a fresh machine or a test may have none.
void EnsureRuntimeDir() {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  if (dir != nullptr && *dir != '\0') return;
  const std::string path = "/tmp/lumivane-runtime-" + std::to_string(::getuid());
  ::mkdir(path.c_str(), 0700);
  ::setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
}

// Offscreen, Qt says at every window what that platform cannot do (raise,
// size hints); that is no news to a person reading the transcript.
void QuietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (text.startsWith("This plugin does not support")) return;
  std::fputs((text + "\n").toLocal8Bit().constData(), stderr);
  (void)context;
}

}  // namespace

bool DisplayNamed(const char* display, const char* waylandDisplay) {
  return (display != nullptr && *display != '\0') || (waylandDisplay != nullptr && *waylandDisplay != '\0');
}

Screen::Screen(bool onScreen) {
  EnsureRuntimeDir();
  if (onScreen) {
    // A display that cannot be reached leaves us offscreen instead of
    // aborting the program.
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool onWayland = wayland != nullptr && *wayland != '\0';
    if (chosen == nullptr || *chosen == '\0')
      ::setenv("QT_QPA_PLATFORM", onWayland ? "wayland;xcb;offscreen" : "xcb;offscreen", 1);
  } else {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  qInstallMessageHandler(QuietOffscreen);
  app_ = std::make_unique<QApplication>(g_argc, g_argv);
  QApplication::setApplicationName("lumivane-host");
  // Qt keeps the scaled and greyed pictures of icons in this cache, keyed by
  // the picture they came from. Every preview brings new thumbnails, whose
  // entries are never asked for again once it closes; the cache would fill
  // to its limit with them, so the program keeps it small.
  QPixmapCache::setCacheLimit(kPixmapCacheKb);
  onScreen_ = onScreen && QGuiApplication::platformName() != "offscreen";
  // On a display the forms measure the real screen; offscreen they keep the
  // runtime's fixed one, so scripts lay out the same everywhere.
  if (onScreen_)
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
      const QRect area = primary->geometry();
      forms::Screen().Configure(15.0f, 15.0f, area.width(), area.height());
    }
  platform::qt::RegisterControlViews();
  views_ = std::make_unique<platform::qt::FormViews>();
  // The show's next picture is decoded while the current one shows.
  platform::qt::RegisterUpcomingPicture("frmSlideshow", [](forms::Form& form) {
    auto* show = dynamic_cast<lumivane::frmSlideshow*>(&form);
    return show != nullptr ? show->UpcomingPicturePath() : std::string();
  });
  // Every window carries the add-in's picture: the preview window's face,
  // its toolbar grey made transparent.
  QImage face(QString(LUMIVANE_RESOURCES) + "/101.bmp");
  if (!face.isNull()) {
    QPixmap icon = QPixmap::fromImage(face);
    icon.setMask(QBitmap::fromImage(face.createMaskFromColor(qRgb(192, 192, 192))));
    QApplication::setWindowIcon(QIcon(icon));
  }
}

Screen::~Screen() {
  views_.reset();
  Settle();
}

std::string Screen::FontProblem() const {
  // The desktop's aliases (Sans Serif, Monospace) are listed even with no
  // font file behind them, so ask whether the font in use draws a letter.
  if (QFontMetrics(QApplication::font()).inFont(QLatin1Char('A'))) return {};
  return "no fonts are installed, so windows would show empty boxes instead of text; install a font package "
         "(for example: apt-get install fonts-dejavu-core)";
}

void Screen::ShareWorkArea() const {
  if (!onScreen_) return;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return;
  const QRect area = primary->availableGeometry();
  platform::shell::Current().workArea.Set(
      {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
}

void Screen::Settle() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

void Screen::Queue(std::string_view window, const fs::path& file) { queued_[runtime::LCase(window)].push_back(file); }

std::size_t Screen::Pending() const {
  std::size_t n = 0;
  for (const auto& [name, files] : queued_) n += files.size();
  return n;
}

std::string Screen::Take(QWidget& window, std::string_view what, const fs::path& file) {
  const std::string why = platform::qt::SaveSnapshot(window, file.string());
  if (!why.empty()) return "snapshot of " + std::string(what) + " not written: " + why;
  return "snapshot: " + std::string(what) + " -> " + file.string() + " (" + std::to_string(window.width()) + "x" +
         std::to_string(window.height()) + ")";
}

std::vector<std::string> Screen::FormShown(forms::Form& form) {
  std::vector<std::string> lines;
  auto it = queued_.find(runtime::LCase(form.Name()));
  if (it == queued_.end() || it->second.empty()) return lines;
  QWidget* window = views_->WindowOf(form);
  if (window == nullptr) return lines;
  Settle();
  while (!it->second.empty()) {
    lines.push_back(Take(*window, form.Name(), it->second.front()));
    it->second.pop_front();
  }
  return lines;
}

std::vector<std::string> Screen::VisibleFormsShown() {
  std::vector<std::string> lines;
  for (const auto& form : forms::Forms()) {
    if (!forms::FormAccess::IsVisible(*form)) continue;
    for (auto& line : FormShown(*form)) lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> Screen::BoxShown(const forms::MessageBoxRecord& record) {
  std::vector<std::string> lines;
  auto it = queued_.find("box");
  if (it == queued_.end() || it->second.empty()) return lines;
  auto box = platform::qt::MakeMessageBox(record, nullptr);
  box->setAttribute(Qt::WA_DontShowOnScreen, onScreen_);
  box->show();
  Settle();
  lines.push_back(Take(*box, "message box \"" + record.title + "\"", it->second.front()));
  it->second.pop_front();
  box->hide();
  return lines;
}

}  // namespace app
