#include "platform/qt/pictures.h"

#include <QImageReader>
#include <QPainter>
#include <QTransform>
#include <memory>

#include "platform/gdiplus/file_pictures.h"
#include "platform/gdiplus/header_reader.h"
#include "platform/qt/metafiles.h"
#include "runtime/error.h"

namespace platform::qt {

namespace {

bool IsMono(QImage::Format format) { return format == QImage::Format_Mono || format == QImage::Format_MonoLSB; }

// The thumbnail a camera embedded in the photo's EXIF block, turned upright
// and scaled to fit `box`; null when there is none, when it is smaller than
// the picture fitted to `box`, or when its shape is not the photo's (some
// cameras pad it with bars).
QImage EmbeddedThumbnail(const QString& path, QSize box) {
  gdiplus::PictureHeader header;
  QImage thumbnail;
  try {
    const gdiplus::MappedPicture file(path.toStdString());
    header = gdiplus::ReadPictureHeader(file.bytes());
    if (header.thumbnailLength == 0) return {};
    const auto bytes = file.bytes().subspan(header.thumbnailOffset, header.thumbnailLength);
    thumbnail = QImage::fromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), "JPEG");
  } catch (const runtime::Error&) {
    return {};
  }
  if (thumbnail.isNull()) return {};
  thumbnail = Upright(thumbnail, header.orientation);
  QSize natural(header.width, header.height);
  if (header.orientation >= 5) natural.transpose();
  const QSize target = FitInto(natural, box);
  if (thumbnail.width() < target.width() || thumbnail.height() < target.height()) return {};
  // Within a pixel of the photo's proportions at the thumbnail's size.
  const QSize same = natural.scaled(thumbnail.size(), Qt::KeepAspectRatio);
  if (std::abs(same.width() - thumbnail.width()) > 1 || std::abs(same.height() - thumbnail.height()) > 1) return {};
  if (thumbnail.size() == target) return thumbnail;
  return thumbnail.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

QSize FitInto(QSize natural, QSize box) {
  if (!box.isValid() || box.isEmpty() || natural.isEmpty()) return natural;
  return natural.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage Upright(const QImage& image, int orientation) {
  // 2 and 4 mirror, 3 turns half round; 5 to 8 swap the sides: 6 a quarter
  // clockwise, 8 a quarter back, 5 and 7 that with a mirror.
  switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.mirrored(true, true);
    case 4: return image.mirrored(false, true);
    case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return image.transformed(QTransform().rotate(90));
    case 7: return image.transformed(QTransform().rotate(90)).mirrored(false, true);
    case 8: return image.transformed(QTransform().rotate(270));
    default: return image;
  }
}

QImage DecodePicture(const QString& path, QSize box) {
  if (std::optional<QImage> drawn = DecodeMetafile(path, box)) return *std::move(drawn);
  if (box.isValid() && !box.isEmpty()) {
    if (QImage small = EmbeddedThumbnail(path, box); !small.isNull()) return small;
  }
  QImageReader reader(path);
  reader.setAutoTransform(true);
  // The reader scales the stored pixels and turns them afterwards: the fit
  // is worked out on the upright shape and asked for in the stored one.
  const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
  const QSize natural = turned ? reader.size().transposed() : reader.size();
  // Qt scales a picture of one bit per pixel into noise: such a picture is
  // read whole and scaled in full colour.
  const bool mono = IsMono(reader.imageFormat());
  if (!mono && natural.isValid() && box.isValid() && !box.isEmpty()) {
    QSize target = FitInto(natural, box);
    // A picture already smaller than the box keeps its size.
    if (target.width() < natural.width()) reader.setScaledSize(turned ? target.transposed() : target);
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

QPixmap PicturePlaceholder(bool failed) {
  QPixmap picture(kThumbnailEdge, kThumbnailEdge);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const QRect frame(10, 18, kThumbnailEdge - 20, kThumbnailEdge - 36);
  p.setPen(QPen(QColor(160, 160, 160), 2));
  p.setBrush(failed ? QColor(245, 245, 245) : QColor(250, 250, 250));
  p.drawRect(frame);
  if (failed) {
    p.setPen(QPen(QColor(200, 40, 40), 4));
    const QRect cross = frame.adjusted(22, 12, -22, -12);
    p.drawLine(cross.topLeft(), cross.bottomRight());
    p.drawLine(cross.topRight(), cross.bottomLeft());
  }
  return picture;
}

}  // namespace platform::qt
