#include "platform/qt/pictures.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>
#include <memory>

namespace platform::qt {

QSize FitInto(QSize natural, QSize box) {
  if (!box.isValid() || box.isEmpty() || natural.isEmpty()) return natural;
  return natural.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage DecodePicture(const QString& path, QSize box) {
  QImageReader reader(path);
  reader.setAutoTransform(true);
  const QSize natural = reader.size();
  if (natural.isValid() && box.isValid() && !box.isEmpty()) {
    QSize target = FitInto(natural, box);
    // A picture already smaller than the box keeps its size.
    if (target.width() < natural.width()) reader.setScaledSize(target);
  }
  QImage image = reader.read();
  if (!image.isNull() && box.isValid() && !box.isEmpty() &&
      (image.width() > box.width() || image.height() > box.height()))
    image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return image;
}

void PictureRequest::Request(const QString& path, QSize box, std::function<void(const QImage&)> deliver) {
  const unsigned long long generation = ++generation_;
  QPointer<QObject> owner(owner_);
  auto* self = this;
  QThreadPool::globalInstance()->start([path, box, generation, owner, self, deliver = std::move(deliver)] {
    QImage image = DecodePicture(path, box);
    if (!owner) return;
    QMetaObject::invokeMethod(
        owner.data(),
        [owner, self, generation, image = std::move(image), deliver] {
          // The owner holds the request; a newer one makes this answer stale.
          if (owner && self->generation_ == generation) deliver(image);
        },
        Qt::QueuedConnection);
  });
}

void PictureRequest::WaitForAll() {
  QThreadPool::globalInstance()->waitForDone();
  QCoreApplication::sendPostedEvents();
}

}  // namespace platform::qt
