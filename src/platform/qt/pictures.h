#pragma once
// Pictures for the screen: decoded at the size they are shown (a JPEG
// scales while it decodes), by the picture loader's workers
// (picture_loader.h), never on the UI thread.
//
// A photo is drawn upright by its EXIF orientation, with the shape it has
// so turned; where it embeds a thumbnail at least the size asked, that is
// used instead of decoding the photo.

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QString>

#include "platform/qt/picture_loader.h"

namespace platform::qt {

// Decodes `path` to fit in `box` (keeping its upright proportions; an empty
// box: the natural size). A damaged or missing file, or one too large to
// decode, gives a null image.
QImage DecodePicture(const QString& path, QSize box);
// `image` turned as EXIF orientation `orientation` (1 to 8) asks.
QImage Upright(const QImage& image, int orientation);

// The edge of a thumbnail, and what stands in for a picture that is still
// being read (`failed` false) or cannot be shown (true); every view that
// shows pictures uses the latter for one it cannot decode.
inline constexpr int kThumbnailEdge = 96;
QPixmap PicturePlaceholder(bool failed);
// The size a picture of `natural` size takes to fit in `box`.
QSize FitInto(QSize natural, QSize box);

}  // namespace platform::qt
