// lumivane-bench-preview [--pictures N] [--work DIR] [--case plain|camera|both]
//
// Times the preview window, drawn offscreen, from the click on "&Lumivane..."
// over one message of N JPEG attachments of 12 megapixels (about 4 MB each;
// made once and kept in the work folder), in two cases: pictures as a
// program writes them (plain), and as a camera does (camera: an EXIF block
// with a thumbnail of 160 x 120, every third photo turned by its
// orientation):
//  (a) the click returns: the pictures are in the temporary folder, the
//      window is shown with the first picture focused and its DETAILS texts;
//  (b) every thumbnail is decoded and the window drawn with them;
// and, for reference, what one thumbnail and one full decode cost on one core.
#include <stdlib.h>

#include <QBuffer>
#include <QColor>
#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QListView>
#include <QTransform>
#include <QtConcurrent>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/screen.h"
#include "app/session.h"
#include "bench/synthetic.h"
#include "host/office.h"
#include "host/outlook.h"
#include "platform/forms/form.h"
#include "platform/qt/pictures.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Milliseconds from `t` until no thumbnail of the preview waits any more.
double ThumbnailsIn(QWidget& window, std::chrono::steady_clock::time_point t) {
  auto* list = window.findChild<QWidget*>("wbThumbnails")->findChild<QListView*>();
  const QImage waiting = platform::qt::PicturePlaceholder(false).toImage();
  const auto waits = [&] {
    for (int row = 0; row < list->model()->rowCount(); ++row) {
      const auto icon = list->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
      if (icon.pixmap(waiting.size()).toImage() == waiting) return true;
    }
    return false;
  };
  while (waits() && std::chrono::steady_clock::now() - t < std::chrono::seconds(30))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

double Ms(Clock::time_point from) { return std::chrono::duration<double, std::milli>(Clock::now() - from).count(); }

// A photograph's worth of detail: smooth shapes under fine grain, so that
// it compresses about as a camera's picture does.
void MakePicture(const fs::path& file, int k) {
  QImage image(4000, 3000, QImage::Format_RGB32);
  std::uint32_t x = 0x9E3779B9u ^ static_cast<std::uint32_t>(k * 7919);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int c = 0; c < image.width(); ++c) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      const int grain = static_cast<int>(x & 31) - 16;
      const int r = (c * 255 / image.width() + k * 40) % 256;
      const int g = (y * 255 / image.height()) % 256;
      const int b = ((c / 50 + y / 50) % 2) * 120 + 60;
      line[c] = qRgb(std::clamp(r + grain, 0, 255), std::clamp(g + grain, 0, 255), std::clamp(b + grain, 0, 255));
    }
  }
  image.save(QString::fromStdString(file.string()), "JPG", 92);
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutEntry(std::string& out, unsigned tag, unsigned type, std::uint32_t value) {
  Put16(out, tag);
  Put16(out, type);
  Put32(out, 1);
  if (type == 3) {
    Put16(out, value);
    Put16(out, 0);
  } else {
    Put32(out, value);
  }
}

// The picture with the EXIF block a camera writes in front of it: the
// orientation, and a thumbnail stored the way the picture itself is.
void MakeCameraPicture(const fs::path& file, int k) {
  MakePicture(file, k);
  QImage picture(QString::fromStdString(file.string()));
  const int orientation = k % 3 == 0 ? 6 : 1;
  if (orientation == 6) {
    // Stored a quarter turn back, so that turning it shows it upright.
    picture = picture.transformed(QTransform().rotate(270));
    picture.save(QString::fromStdString(file.string()), "JPG", 92);
  }
  QByteArray thumbnail;
  {
    QBuffer buffer(&thumbnail);
    buffer.open(QIODevice::WriteOnly);
    picture
        .scaled(picture.size().scaled(160, 160, Qt::KeepAspectRatio), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .save(&buffer, "JPG", 85);
  }
  std::string tiff = "II*";
  tiff += '\0';
  Put32(tiff, 8);
  Put16(tiff, 1);  // the first directory: Orientation
  PutEntry(tiff, 274, 3, static_cast<std::uint32_t>(orientation));
  Put32(tiff, 26);
  Put16(tiff, 3);  // the second: the thumbnail
  PutEntry(tiff, 259, 3, 6);
  PutEntry(tiff, 513, 4, 68);
  PutEntry(tiff, 514, 4, static_cast<std::uint32_t>(thumbnail.size()));
  Put32(tiff, 0);
  tiff.append(thumbnail.constData(), static_cast<std::size_t>(thumbnail.size()));
  const std::string segment = std::string("Exif\0\0", 6) + tiff;
  std::string bytes = ReadFile(file);
  std::string app1 = "\xFF\xE1";
  app1 += static_cast<char>(((segment.size() + 2) >> 8) & 0xFF);
  app1 += static_cast<char>((segment.size() + 2) & 0xFF);
  bytes.insert(2, app1 + segment);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// One case: its pictures made once, a fresh profile, the click timed.
int RunCase(app::Screen& screen, const fs::path& work, int pictures, bool camera) {
  const std::string kind = camera ? "camera" : "plain";
  const fs::path originals = work / (camera ? "pictures-12mp-camera" : "pictures-12mp");
  fs::create_directories(originals);
  std::vector<int> missing;
  for (int k = 1; k <= pictures; ++k)
    if (!fs::exists(originals / ("p" + std::to_string(k) + ".jpg"))) missing.push_back(k);
  if (!missing.empty()) {
    std::cout << "making " << missing.size() << " pictures in " << originals.string() << " ...\n";
    QtConcurrent::blockingMap(missing, [&](int k) {
      const fs::path file = originals / ("p" + std::to_string(k) + ".jpg");
      if (camera) {
        MakeCameraPicture(file, k);
      } else {
        MakePicture(file, k);
      }
    });
  }
  std::uintmax_t bytes = 0;
  for (int k = 1; k <= pictures; ++k) bytes += fs::file_size(originals / ("p" + std::to_string(k) + ".jpg"));

  bench::Shape shape;
  shape.messages = 1;
  shape.pictures = pictures;
  shape.picture = [&](int, int k) { return ReadFile(originals / ("p" + std::to_string(k) + ".jpg")); };
  const fs::path store = work / ("maildir-" + kind + "-" + std::to_string(pictures));
  if (!fs::exists(store / "cur")) bench::WriteMaildir(store, shape);
  const fs::path profile = work / ("profile-" + kind);
  fs::remove_all(profile);
  std::printf("%s: 1 message x %d JPEG attachments of 4000 x 3000%s, %.1f MB on average\n", kind.c_str(), pictures,
              camera ? " with EXIF thumbnails" : "", static_cast<double>(bytes) / pictures / (1024.0 * 1024.0));

  std::ostringstream transcript;
  app::SessionSetup setup;
  setup.options.store = store;
  setup.options.profile = profile;
  setup.publishDesktop = false;
  setup.screen = &screen;
  app::Session session(transcript, std::move(setup));
  session.Run("start");
  auto explorer = session.Client().App()->ActiveExplorer();
  explorer->Select(explorer->CurrentFolder()->ItemList());
  std::shared_ptr<host::CommandBarButton> button;
  for (const auto& bar : explorer->Bars()->Bars())
    if (!bar->BuiltIn())
      for (const auto& control : bar->ControlList())
        if (control->Caption() == "&Lumivane...") button = std::dynamic_pointer_cast<host::CommandBarButton>(control);
  if (!button) {
    std::cerr << "lumivane-bench-preview: the toolbar has no \"&Lumivane...\" button\n";
    return 1;
  }

  const auto t = Clock::now();
  button->UserClick();
  const double shown = Ms(t);
  QWidget* window = screen.Views().WindowNamed("frmMain");
  if (window == nullptr) {
    std::cerr << "lumivane-bench-preview: the preview window did not open\n" << transcript.str();
    return 1;
  }
  // Thumbnails alone: every row of the folder view holds its picture (or the
  // placeholder of a picture that failed), whatever the large picture does.
  const double thumbnails = ThumbnailsIn(*window, t);
  platform::qt::PictureRequest::WaitForAll();
  window->grab();
  const double drawn = Ms(t);

  // For reference: one picture on one core.
  const QString one = QString::fromStdString((originals / "p1.jpg").string());
  auto r = Clock::now();
  platform::qt::DecodePicture(one, QSize(96, 96));
  const double thumbnail = Ms(r);
  r = Clock::now();
  platform::qt::DecodePicture(one, QSize());
  const double full = Ms(r);

  std::printf("%s (a) click to the window shown, first picture focused, DETAILS filled: %.0f ms\n", kind.c_str(),
              shown);
  std::printf(
      "%s (b) click to every thumbnail in its row: %.0f ms; the window drawn with them and its large "
      "picture: %.0f ms (%d threads)\n",
      kind.c_str(), thumbnails, drawn, platform::qt::PictureLoader::Instance().Threads());
  std::printf("%s one core: a thumbnail at 96 x 96 %.0f ms, a full decode %.0f ms\n", kind.c_str(), thumbnail, full);
  session.Run("stop");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int pictures = 30;
  fs::path work;
  std::string which = "both";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--pictures" && i + 1 < argc) {
      pictures = std::atoi(argv[++i]);
    } else if (a == "--work" && i + 1 < argc) {
      work = argv[++i];
    } else if (a == "--case" && i + 1 < argc &&
               (std::string(argv[i + 1]) == "plain" || std::string(argv[i + 1]) == "camera" ||
                std::string(argv[i + 1]) == "both")) {
      which = argv[++i];
    } else {
      std::cerr << "usage: lumivane-bench-preview [--pictures N] [--work DIR] [--case plain|camera|both]\n";
      return 2;
    }
  }
  if (pictures < 1) pictures = 1;
  if (work.empty()) work = fs::temp_directory_path() / "lumivane-bench-preview";
  work = fs::absolute(work);
  app::Screen screen(false);
  for (const bool camera : {false, true}) {
    if (which != "both" && (which == "camera") != camera) continue;
    if (const int status = RunCase(screen, work, pictures, camera); status != 0) return status;
  }
  return 0;
}
