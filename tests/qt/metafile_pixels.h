#pragma once
// What tests/data/pictures/drawing.wmf and drawing.emf look like once drawn:
// a black-edged rectangle whose left edge lies at 1/24 of the width (10 of
// 240 units, 20 of 480 pixels), on white paper.
#include <QImage>
#include <fstream>
#include <iterator>
#include <string>

namespace metafile_test {

inline std::string DataFile(const std::string& name) {
  std::ifstream in(std::string(LUMIVANE_TEST_DATA) + "/pictures/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The pen is black; drawn small, it is thinner than a pixel and greys.
inline bool Ink(QColor c) { return c.lightness() < 200; }

// The corner is the paper and the left edge at mid-height is ink, wherever
// the picture was scaled to.
inline bool ShowsTheDrawing(const QImage& image) {
  if (image.isNull() || image.width() < 24) return false;
  if (image.pixelColor(1, 1) != QColor(Qt::white)) return false;
  const int edge = image.width() / 24;
  for (int x = std::max(0, edge - 2); x <= edge + 2; ++x)
    if (Ink(image.pixelColor(x, image.height() / 2))) return true;
  return false;
}

}  // namespace metafile_test
