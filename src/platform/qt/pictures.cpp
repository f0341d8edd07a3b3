#include "platform/qt/pictures.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>
#include <chrono>
#include <deque>
#include <future>
#include <memory>
#include <mutex>

#include "platform/qt/metafiles.h"

namespace platform::qt {

namespace {

// A picture decoded, or being decoded, ahead of its request.
struct Ahead {
  QString path;
  QSize box;
  std::shared_future<QImage> image;
};

// The one shown now and the next, with room for one more.
constexpr std::size_t kAheadKept = 3;

std::mutex& AheadLock() {
  static std::mutex lock;
  return lock;
}

std::deque<Ahead>& AheadList() {
  static std::deque<Ahead> list;
  return list;
}

std::shared_future<QImage> FindAhead(const QString& path, QSize box) {
  std::lock_guard guard(AheadLock());
  for (const Ahead& a : AheadList())
    if (a.path == path && a.box.isEmpty() == box.isEmpty()) return a.image;
  return {};
}

// The shown picture may be fitted a pixel off the box it was decoded ahead
// for, as the form rounds its twips; that is the same picture.
bool CloseTo(const QImage& image, QSize box) {
  if (image.isNull()) return false;
  if (box.isEmpty()) return true;
  return std::abs(image.width() - box.width()) <= 2 && std::abs(image.height() - box.height()) <= 2;
}

bool IsMono(QImage::Format format) { return format == QImage::Format_Mono || format == QImage::Format_MonoLSB; }

}  // namespace

QSize FitInto(QSize natural, QSize box) {
  if (!box.isValid() || box.isEmpty() || natural.isEmpty()) return natural;
  return natural.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage DecodePicture(const QString& path, QSize box) {
  if (std::optional<QImage> drawn = DecodeMetafile(path, box)) return *std::move(drawn);
  QImageReader reader(path);
  reader.setAutoTransform(true);
  const QSize natural = reader.size();
  // Qt scales a picture of one bit per pixel into noise: such a picture is
  // read whole and scaled in full colour.
  const bool mono = IsMono(reader.imageFormat());
  if (!mono && natural.isValid() && box.isValid() && !box.isEmpty()) {
    QSize target = FitInto(natural, box);
    // A picture already smaller than the box keeps its size.
    if (target.width() < natural.width()) reader.setScaledSize(target);
  }
  QImage image = reader.read();
  if (!image.isNull() && box.isValid() && !box.isEmpty() &&
      (image.width() > box.width() || image.height() > box.height())) {
    if (IsMono(image.format()))
      image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  return image;
}

void DecodeAhead(const QString& path, QSize box) {
  auto promise = std::make_shared<std::promise<QImage>>();
  {
    std::lock_guard guard(AheadLock());
    auto& list = AheadList();
    for (const Ahead& a : list)
      if (a.path == path && a.box == box) return;
    list.push_back({path, box, promise->get_future().share()});
    while (list.size() > kAheadKept) list.pop_front();
  }
  QThreadPool::globalInstance()->start([path, box, promise] { promise->set_value(DecodePicture(path, box)); });
}

bool PictureRequest::Request(const QString& path, QSize box, std::function<void(const QImage&)> deliver) {
  const unsigned long long generation = ++*generation_;
  std::shared_future<QImage> ahead = FindAhead(path, box);
  if (ahead.valid() && ahead.wait_for(std::chrono::seconds(0)) == std::future_status::ready &&
      CloseTo(ahead.get(), box)) {
    deliver(ahead.get());
    return true;
  }
  QPointer<QObject> owner(owner_);
  std::weak_ptr<unsigned long long> current = generation_;
  QThreadPool::globalInstance()->start([path, box, generation, owner, current, ahead, deliver = std::move(deliver)] {
    // A picture still being decoded ahead is waited for, not decoded twice.
    QImage image;
    if (ahead.valid() && CloseTo(ahead.get(), box)) image = ahead.get();
    if (image.isNull()) image = DecodePicture(path, box);
    if (!owner) return;
    QMetaObject::invokeMethod(
        owner.data(),
        [owner, current, generation, image = std::move(image), deliver] {
          // A newer request makes this answer stale.
          const auto latest = current.lock();
          if (owner && latest && *latest == generation) deliver(image);
        },
        Qt::QueuedConnection);
  });
  return false;
}

void PictureRequest::WaitForAll() {
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::sendPostedEvents();
}

}  // namespace platform::qt
