#include "platform/qt/image_lists.h"

#include <QBitmap>
#include <QHash>
#include <QImage>
#include <QPainter>

#include "platform/controls/image_list.h"

namespace platform::qt {

namespace {

QPixmap Missing(int edge) {
  QPixmap picture(edge, edge);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
  p.drawRect(1, 1, edge - 3, edge - 3);
  return picture;
}

QPixmap Load(const QString& path, int edge) {
  static QHash<QString, QPixmap> cache;
  const QString key = path + '@' + QString::number(edge);
  if (auto it = cache.constFind(key); it != cache.constEnd()) return *it;
  const QImage image(path);
  QPixmap picture;
  if (image.isNull()) {
    picture = Missing(edge);
  } else {
    picture = QPixmap::fromImage(image);
    picture.setMask(QBitmap::fromImage(image.createMaskFromColor(qRgb(192, 192, 192))));
    if (picture.width() != edge || picture.height() != edge)
      picture = picture.scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  cache.insert(key, picture);
  return picture;
}

}  // namespace

QPixmap ImageListPicture(const controls::ImageList* list, long index, int edge) {
  if (list == nullptr || index < 0) return {};
  if (index >= list->Count()) return Missing(edge);
  return Load(QString::fromStdString(list->Picture(index)), edge);
}

}  // namespace platform::qt
