// Metafiles are told by their content and drawn through SVG at the size
// asked; a damaged one gives no picture, so its view keeps the placeholder.
#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "platform/qt/metafiles.h"
#include "platform/qt/pictures.h"
#include "qt/metafile_pixels.h"
#include "support/temp_dir.h"

namespace {

namespace pq = platform::qt;
using metafile_test::DataFile;
using metafile_test::ShowsTheDrawing;

void PutLe32(std::string& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

TEST(Metafiles, DrawnByTheirContentOrRefusedWhenDamaged) {
  const struct {
    const char* name;
    const char* source;
    std::function<void(std::string&)> change;
    bool drawn;
  } rows[] = {
      {"drawing.wmf", "drawing.wmf", nullptr, true},
      {"drawing.emf", "drawing.emf", nullptr, true},
      // Told by their magic, not by the name they came with.
      {"chart.png", "drawing.emf", nullptr, true},
      {"plan", "drawing.wmf", nullptr, true},
      {"truncated.wmf", "drawing.wmf", [](std::string& b) { b.resize(b.size() - 10); }, false},
      {"truncated.emf", "drawing.emf", [](std::string& b) { b.resize(b.size() - 20); }, false},
      // The records after the header are garbage.
      {"garbage.wmf", "drawing.wmf", [](std::string& b) { std::fill(b.begin() + 40, b.end(), '\xEE'); }, false},
      {"garbage.emf", "drawing.emf", [](std::string& b) { std::fill(b.begin() + 156, b.end(), '\xEE'); }, false},
      // A record that claims more bytes than the file holds.
      {"long record.emf", "drawing.emf", [](std::string& b) { PutLe32(b, 160, 0x7FFFFFF0); }, false},
  };
  testsupport::TempDir tmp;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string bytes = DataFile(row.source);
    ASSERT_FALSE(bytes.empty());
    if (row.change) row.change(bytes);
    const QString path = QString::fromStdString(tmp.Write(row.name, bytes));
    const QImage fitted = pq::DecodePicture(path, QSize(120, 120));
    const QImage natural = pq::DecodePicture(path, QSize());
    EXPECT_EQ(ShowsTheDrawing(fitted), row.drawn);
    EXPECT_EQ(ShowsTheDrawing(natural), row.drawn);
    if (!row.drawn) {
      EXPECT_TRUE(fitted.isNull());
      EXPECT_FALSE(pq::MetafileToSvg(QByteArray::fromStdString(bytes)).error.isEmpty());
      continue;
    }
    // Fitted keeping the proportions of the size the header gives.
    EXPECT_EQ(fitted.size(), QSize(120, 90));
    EXPECT_EQ(natural.size(), QString(row.source).endsWith("wmf") ? QSize(240, 180) : QSize(480, 360));
  }
}

TEST(Metafiles, DrawingIsBoundedWhateverSizeTheHeaderClaims) {
  const pq::MetafileSvg svg = pq::MetafileToSvg(QByteArray::fromStdString(DataFile("drawing.wmf")));
  ASSERT_TRUE(svg.error.isEmpty()) << svg.error.toStdString();
  const QImage huge = pq::RenderSvg(svg.svg, QSize(2000000, 1500000), QSize());
  ASSERT_FALSE(huge.isNull());
  EXPECT_LE(double(huge.width()) * huge.height(), 16.0 * 1024 * 1024);
  EXPECT_NEAR(double(huge.width()) / huge.height(), 4.0 / 3.0, 0.01);
  EXPECT_TRUE(pq::RenderSvg("<svg", QSize(10, 10), QSize()).isNull());
}

}  // namespace
