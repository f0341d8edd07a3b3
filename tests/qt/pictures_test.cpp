// Pictures as they are drawn: upright by their EXIF orientation with their
// turned shape, from an embedded thumbnail where it is large enough, and
// the thumbnails' placeholder where a picture cannot be decoded.
#include "platform/qt/pictures.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "platform/forms/picture_box.h"
#include "platform/gdiplus/test_files.h"

namespace {

namespace pq = platform::qt;
using gdiplus_test::PicturePath;

QString Sample(const std::string& name) { return QString::fromStdString(PicturePath(name)); }

// Near enough after JPEG compression.
void ExpectColour(const QImage& image, QPoint at, QColor want) {
  SCOPED_TRACE(::testing::Message() << "at " << at.x() << "," << at.y());
  const QColor got = image.pixelColor(at);
  EXPECT_NEAR(got.red(), want.red(), 40);
  EXPECT_NEAR(got.green(), want.green(), 40);
  EXPECT_NEAR(got.blue(), want.blue(), 40);
}

// The four quarters of an upright picture, by the centre of each.
void ExpectQuarters(const QImage& image, QColor topLeft, QColor topRight, QColor bottomLeft, QColor bottomRight) {
  const int w = image.width(), h = image.height();
  ExpectColour(image, {w / 4, h / 4}, topLeft);
  ExpectColour(image, {3 * w / 4, h / 4}, topRight);
  ExpectColour(image, {w / 4, 3 * h / 4}, bottomLeft);
  ExpectColour(image, {3 * w / 4, 3 * h / 4}, bottomRight);
}

// Each file stores the same 32 x 16 picture turned or mirrored the other way
// from what its orientation asks: drawn, all eight look the same, at their
// natural size and fitted into a box (where the fit goes by the turned shape).
TEST(PicturesDrawn, EveryOrientationComesOutUprightInItsTrueShape) {
  for (int n = 1; n <= 8; ++n) {
    const std::string name = "oriented-" + std::to_string(n) + ".jpg";
    SCOPED_TRACE(name);
    const QImage natural = pq::DecodePicture(Sample(name), QSize());
    ASSERT_EQ(natural.size(), QSize(32, 16));
    ExpectQuarters(natural, Qt::red, Qt::green, Qt::blue, Qt::yellow);

    const QImage fitted = pq::DecodePicture(Sample(name), QSize(16, 16));
    ASSERT_EQ(fitted.size(), QSize(16, 8));
    ExpectQuarters(fitted, Qt::red, Qt::green, Qt::blue, Qt::yellow);

    // The slideshow measures the picture it fits by its loaded size.
    const platform::forms::StdPicture loaded = platform::forms::LoadPicture(PicturePath(name));
    EXPECT_EQ(loaded.widthPixels, 32);
    EXPECT_EQ(loaded.heightPixels, 16);
  }
}

// The photo is red | blue, its thumbnail green | yellow, both stored a
// quarter turn back (orientation 6); upright the photo is 320 x 240 and the
// thumbnail 160 x 120.
TEST(PicturesDrawn, AnEmbeddedThumbnailServesWhereItIsLargeEnough) {
  const QImage thumb = pq::DecodePicture(Sample("thumbnail.jpg"), QSize(pq::kThumbnailEdge, pq::kThumbnailEdge));
  ASSERT_EQ(thumb.size(), QSize(96, 72));
  ExpectQuarters(thumb, Qt::green, Qt::yellow, Qt::green, Qt::yellow);

  const QImage asLarge = pq::DecodePicture(Sample("thumbnail.jpg"), QSize(160, 160));
  ASSERT_EQ(asLarge.size(), QSize(160, 120));
  ExpectQuarters(asLarge, Qt::green, Qt::yellow, Qt::green, Qt::yellow);

  const QImage larger = pq::DecodePicture(Sample("thumbnail.jpg"), QSize(200, 200));
  ASSERT_EQ(larger.size(), QSize(200, 150));
  ExpectQuarters(larger, Qt::red, Qt::blue, Qt::red, Qt::blue);

  const QImage whole = pq::DecodePicture(Sample("thumbnail.jpg"), QSize());
  ASSERT_EQ(whole.size(), QSize(320, 240));
  ExpectQuarters(whole, Qt::red, Qt::blue, Qt::red, Qt::blue);
}

}  // namespace
