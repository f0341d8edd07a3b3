// lumivane-bench-slideshow [--pictures N] [--steps S] [--work DIR]
//
// Times the slideshow on a 1920 x 1080 screen (drawn offscreen) over N
// 12-megapixel JPEGs (made in the work folder and kept for the next run):
// from a person's key press (Right, the next picture) to the new picture
// drawn in the window,
//  (a) when the next picture was decoded ahead while the current one showed,
//  (b) when it was not (nothing decodes ahead),
// and prints the median and the slowest of S steps of each, with the time of
// one decode alone for comparison.
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "attachments/attachments.h"
#include "navigator/navigator.h"
#include "outlook/out_addin.h"
#include "platform/com/com.h"
#include "platform/forms/event_loop.h"
#include "platform/forms/msgbox.h"
#include "platform/forms/screen.h"
#include "platform/forms/ui.h"
#include "platform/fso/fso.h"
#include "platform/qt/control_views.h"
#include "platform/qt/pictures.h"
#include "platform/qt/screen_ui.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "settings/reg_settings.h"
#include "windows/frm_slideshow.h"

namespace fs = std::filesystem;
namespace forms = platform::forms;
namespace pq = platform::qt;
using Clock = std::chrono::steady_clock;
using namespace lumivane;

namespace {

constexpr int kScreenW = 1920, kScreenH = 1080;

// A photograph's worth of detail, so the JPEG decodes as a real one does.
void MakePicture(const fs::path& file, int seed) {
  QImage picture(4000, 3000, QImage::Format_RGB32);
  std::mt19937 noise(static_cast<unsigned>(seed));
  for (int y = 0; y < picture.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      const int n = static_cast<int>(noise() & 31);
      line[x] = qRgb((x / 16 + seed * 40 + n) & 255, (y / 12 + n) & 255, ((x + y) / 20 + n) & 255);
    }
  }
  picture.save(QString::fromStdString(file.string()), "JPEG", 90);
}

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// The picture shown now, as its widget holds it.
qint64 ShownKey(pq::FormWindow& window) {
  auto* image = window.findChild<QWidget*>("Picture1")->findChild<QLabel*>("Image1");
  return image->pixmap().isNull() ? 0 : image->pixmap().cacheKey();
}

// Key press to the new picture painted; between steps the show rests until
// whatever decodes in the background is done, as a person looks at a picture.
std::vector<double> Steps(frmSlideshow& show, pq::FormWindow& window, int pictures, int steps) {
  std::vector<double> times;
  while (static_cast<int>(times.size()) < steps) {
    pq::PictureRequest::WaitForAll();
    if (show.lblInfo(2).Caption().find("(" + std::to_string(pictures) + "/") != std::string::npos) {
      QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
      QApplication::sendEvent(&window, &home);
      continue;
    }
    const qint64 before = ShownKey(window);
    const auto start = Clock::now();
    QKeyEvent next(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(&window, &next);
    while (ShownKey(window) == 0 || ShownKey(window) == before)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    window.repaint();
    times.push_back(Ms(start));
  }
  return times;
}

void Report(const char* what, std::vector<double> times, double goal) {
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf("%-32s median %6.1f ms, slowest %6.1f ms over %zu steps (goal under %.0f ms)\n", what, median,
              times.back(), times.size(), goal);
}

}  // namespace

int main(int argc, char** argv) {
  int pictures = 6, steps = 15;
  fs::path work = fs::temp_directory_path() / "lumivane-bench-slideshow";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--pictures") pictures = std::max(2, std::atoi(argv[i + 1]));
    if (flag == "--steps") steps = std::max(1, std::atoi(argv[i + 1]));
    if (flag == "--work") work = argv[i + 1];
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string runtime = "/tmp/lumivane-bench-runtime-" + std::to_string(::getuid());
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 0);
  // Offscreen, Qt says at every window what that platform cannot do.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg && !text.startsWith("This plugin does not support"))
      std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  });
  int qtArgc = 1;
  QApplication app(qtArgc, argv);

  // The add-in's world in the work folder; the show's own timers wait on a
  // clock that never moves.
  fs::create_directories(work / "appdata");
  platform::registry::SetCurrent(std::make_shared<platform::registry::Registry>());
  platform::shell::Current().folders.Define(platform::shell::CSIDL_LOCAL_APPDATA, (work / "appdata").string());
  pq::RegisterControlViews();
  pq::FormViews views;
  forms::SetUserInterface(
      std::make_shared<pq::DrawnUserInterface>(std::make_shared<forms::ScriptedUserInterface>(), views));
  forms::SetEventLoop(std::make_shared<forms::EventLoop>(std::make_shared<forms::VirtualClock>()));
  forms::Screen().Configure(15, 15, kScreenW, kScreenH);
  forms::SetMessageBoxResponder(std::make_shared<forms::ScriptedMessageBoxes>());
  auto fso = std::make_shared<platform::fso::FileSystemObject>();
  platform::fso::SetFileSystemObjectProvider([fso] { return fso; });
  platform::com::SetClassRegistry(std::make_shared<platform::com::ClassRegistry>());
  stepwick::DllRegisterServer();
  g_objOutAddIn = std::make_shared<OutAddIn>();
  g_objSettings = std::make_shared<RegSettings>();
  modPictureAttachments::GetTempFolder();

  const fs::path kept = work / "pictures";
  fs::create_directories(kept);
  for (int i = 0; i < pictures; ++i) {
    const fs::path file = kept / ("photo" + std::to_string(10 + i) + ".jpg");
    if (!fs::exists(file)) {
      std::cout << "making " << file.string() << "\n" << std::flush;
      MakePicture(file, i);
    }
  }

  // For comparison: one decode alone, fitted to the screen and in full.
  for (const QSize box : {QSize(kScreenW, kScreenH), QSize()}) {
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
      const auto start = Clock::now();
      pq::DecodePicture(QString::fromStdString((kept / "photo10.jpg").string()), box);
      times.push_back(Ms(start));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-32s median %6.1f ms\n",
                box.isEmpty() ? "decode alone, full size:" : "decode alone, fitted:", times[1]);
  }

  std::string upcoming = "on";
  pq::RegisterUpcomingPicture("frmSlideshow", [&upcoming](forms::Form& f) {
    return upcoming == "on" ? static_cast<frmSlideshow&>(f).UpcomingPicturePath() : std::string();
  });
  for (const char* mode : {"off", "on"}) {
    upcoming = mode;
    // The show empties the temporary folder when it closes: fill it afresh.
    const fs::path temp = g_objOutAddIn->TempFolderPath();
    for (int i = 0; i < pictures; ++i) {
      const std::string name = "photo" + std::to_string(10 + i) + ".jpg";
      fs::copy_file(kept / name, temp / name, fs::copy_options::overwrite_existing);
    }
    bool standAlone = true, delayed = false;
    modPictureAttachments::ShowSlideShow(standAlone, delayed);
    auto show = forms::Default<frmSlideshow>();
    pq::FormWindow* window = views.WindowOf(*show);
    if (window == nullptr) {
      std::cerr << "the slideshow did not open\n";
      return 1;
    }
    const auto times = Steps(*show, *window, pictures, steps);
    Report(upcoming == "on" ? "key to picture, decoded ahead:" : "key to picture, not ahead:", times,
           upcoming == "on" ? 30 : 120);
    forms::Unload(*show);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  forms::DiscardAllForms();
  g_objOutAddIn.reset();
  g_objSettings.reset();
  g_objTempFolder.reset();
  g_objFSO.reset();
  platform::fso::SetFileSystemObjectProvider(nullptr);
  platform::com::SetClassRegistry(nullptr);
  forms::SetUserInterface(nullptr);
  return 0;
}
