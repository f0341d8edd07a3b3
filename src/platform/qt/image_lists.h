#pragma once
// The pictures of an image list as icons on screen: the bitmap's toolbar
// grey (192, 192, 192) shows through. A picture that is missing or cannot be
// read still takes its place, as a dashed square, so a pane never loses its
// alignment over one bad file.

#include <QPixmap>

namespace platform::controls {
class ImageList;
}

namespace platform::qt {

// The picture at `index` at `edge` pixels square; null for no list or an
// index below 0 (no icon asked for).
QPixmap ImageListPicture(const controls::ImageList* list, long index, int edge);

}  // namespace platform::qt
