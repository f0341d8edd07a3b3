#pragma once
// Pictures for the screen: decoded on a worker thread at the size they are
// shown (a JPEG scales while it decodes), delivered to the UI thread. A
// result for a request that was replaced meanwhile is dropped.
//
// A picture that will be shown next can be decoded ahead (DecodeAhead); a
// request that finds it decoded, at about the size asked, gets it at once.
//
// A photo is drawn upright by its EXIF orientation, with the shape it has
// so turned; where it embeds a thumbnail at least the size asked, that is
// used instead of decoding the photo.

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>

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

// Starts decoding `path` to fit in `box` on a worker thread, for a request
// that will come soon. The last few pictures decoded this way are kept.
void DecodeAhead(const QString& path, QSize box);

// One picture shown by a widget: Request replaces what was asked before, and
// `deliver` gets only the newest answer, on the UI thread, while `owner`
// lives. A picture decoded ahead is delivered before Request returns; Request
// tells whether it was.
class PictureRequest {
 public:
  explicit PictureRequest(QObject* owner) : owner_(owner), generation_(std::make_shared<unsigned long long>(0)) {}
  bool Request(const QString& path, QSize box, std::function<void(const QImage&)> deliver);
  // Waits for the pictures in flight (tests, snapshots).
  static void WaitForAll();

 private:
  QObject* owner_;
  // Shared with the answers in flight: one that finds the request gone (its
  // view went before the widget it draws on) is dropped.
  std::shared_ptr<unsigned long long> generation_;
};

}  // namespace platform::qt
