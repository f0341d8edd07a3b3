#include "platform/gdiplus/header_reader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/gdiplus/file_pictures.h"
#include "platform/gdiplus/status.h"
#include "platform/gdiplus/test_files.h"
#include "support/raised.h"

namespace {

using namespace platform::gdiplus;
using gdiplus_test::Find;
using gdiplus_test::Picture;
using gdiplus_test::PutBe;
using gdiplus_test::PutLe;
using Bytes = std::vector<std::uint8_t>;
using testsupport::Outcome;
using testsupport::Raised;

// The refusal of a picture: number and text both.
void ExpectRefused(const Bytes& bytes) {
  EXPECT_EQ(Raised([&] { ReadPictureHeader(bytes); }), (Outcome{1051, "GDI+ Error 13"}));
}

// The size and resolution a header reports.
void ExpectGeometry(const PictureHeader& h, std::int32_t width, std::int32_t height, double dpiX, double dpiY) {
  EXPECT_EQ(h.width, width);
  EXPECT_EQ(h.height, height);
  EXPECT_NEAR(h.horizontalDpi, dpiX, 1e-9);
  EXPECT_NEAR(h.verticalDpi, dpiY, 1e-9);
}

struct SampleRow {
  const char* file;
  std::string_view format;
  std::int32_t width, height;
  double dpiX, dpiY;
  std::size_t shortestAccepted;  // every shorter prefix is refused
};

// Resolution: EXIF only (camera), JFIF (plain, uncalibrated), pHYs and
// BMP's 2834 dots per metre (71.98), GIF none, metafiles from their headers.
const SampleRow kSamples[] = {
    {"camera.jpg", "JPEG", 160, 120, 180, 180, 635},
    {"plain.jpg", "JPEG", 100, 75, 72, 72, 177},
    {"uncalibrated.jpg", "JPEG", 120, 90, 300, 300, 419},
    {"picture.png", "PNG", 64, 48, 2834 * 0.0254, 2834 * 0.0254, 2427},
    {"picture.gif", "GIF", 40, 30, 96, 96, 81},
    {"picture.bmp", "BMP", 48, 32, 2834 * 0.0254, 2834 * 0.0254, 4662},
    {"picture.tif", "TIFF", 64, 48, 150, 150, 9429},
    {"drawing.emf", "EMF", 480, 360, 120, 120, 212},
    {"drawing.wmf", "WMF", 240, 180, 120, 120, 80},
};

TEST(PictureHeader, ReadsEverySampleFormat) {
  for (const SampleRow& row : kSamples) {
    SCOPED_TRACE(row.file);
    const PictureHeader h = ReadPictureHeader(Picture(row.file));
    EXPECT_EQ(h.format, row.format);
    ExpectGeometry(h, row.width, row.height, row.dpiX, row.dpiY);
  }
}

// A file cut anywhere inside its headers (or, for formats whose header
// declares the data's extent, anywhere before its end) is refused; a longer
// cut reads the same header as the whole file.
TEST(PictureHeader, EveryTruncationIsRefusedOrReadsTheWholeHeader) {
  for (const SampleRow& row : kSamples) {
    SCOPED_TRACE(row.file);
    const Bytes whole = Picture(row.file);
    ASSERT_LE(row.shortestAccepted, whole.size());
    for (std::size_t n = 0; n < row.shortestAccepted; ++n) {
      SCOPED_TRACE(n);
      ExpectRefused(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)));
      if (HasFailure()) return;
    }
    const PictureHeader h = ReadPictureHeader(std::span(whole.data(), row.shortestAccepted));
    EXPECT_EQ(h.width, row.width);
    EXPECT_EQ(h.height, row.height);
  }
}

struct PatchRow {
  const char* name;
  const char* file;
  std::function<void(Bytes&)> patch;
};

void RecomputeWmfChecksum(Bytes& b) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < 20; i += 2) sum ^= static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
  PutLe(b, 20, sum, 2);
}

std::size_t SofAt(const Bytes& b) { return Find(b, "\xFF\xC0"); }

const PatchRow kLies[] = {
    {"bmp more rows than the file holds", "picture.bmp", [](Bytes& b) { PutLe(b, 22, 33, 4); }},
    {"bmp width 0", "picture.bmp", [](Bytes& b) { PutLe(b, 18, 0, 4); }},
    {"bmp height 0", "picture.bmp", [](Bytes& b) { PutLe(b, 22, 0, 4); }},
    {"bmp height -2^31", "picture.bmp", [](Bytes& b) { PutLe(b, 22, 0x80000000u, 4); }},
    {"bmp huge width", "picture.bmp", [](Bytes& b) { PutLe(b, 18, 0x7FFFFFFF, 4); }},
    {"bmp depth 7", "picture.bmp", [](Bytes& b) { PutLe(b, 28, 7, 2); }},
    {"bmp two planes", "picture.bmp", [](Bytes& b) { PutLe(b, 26, 2, 2); }},
    {"bmp pixels inside the headers", "picture.bmp", [](Bytes& b) { PutLe(b, 10, 20, 4); }},
    {"bmp pixels past the end", "picture.bmp", [](Bytes& b) { PutLe(b, 10, 0xFFFFFFF0u, 4); }},
    {"bmp unknown info header size", "picture.bmp", [](Bytes& b) { PutLe(b, 14, 41, 4); }},
    {"bmp embedded JPEG", "picture.bmp", [](Bytes& b) { PutLe(b, 30, 4, 4); }},
    {"png width 0", "picture.png", [](Bytes& b) { PutBe(b, 16, 0, 4); }},
    {"png width beyond 31 bits", "picture.png", [](Bytes& b) { PutBe(b, 16, 0x80000000u, 4); }},
    {"png IHDR of 14 bytes", "picture.png", [](Bytes& b) { PutBe(b, 8, 14, 4); }},
    {"png depth 3", "picture.png", [](Bytes& b) { b[24] = 3; }},
    {"png chunk longer than the file", "picture.png", [](Bytes& b) { PutBe(b, 33, 0x7FFFFFF0, 4); }},
    {"png chunk length beyond 31 bits", "picture.png", [](Bytes& b) { PutBe(b, 33, 0xFFFFFFF0u, 4); }},
    {"png palette picture without PLTE", "picture.png", [](Bytes& b) { b[Find(b, "PLTE")] = 'x'; }},
    {"png IEND before IDAT", "picture.png", [](Bytes& b) { std::copy_n("IEND", 4, b.begin() + Find(b, "IDAT")); }},
    {"gif colour table beyond the file", "picture.gif", [](Bytes& b) { b[10] |= 0x07; }},
    {"gif trailer before any picture", "picture.gif", [](Bytes& b) { b[61] = 0x3B; }},
    {"gif unknown block", "picture.gif", [](Bytes& b) { b[61] = 0x00; }},
    {"jpeg segment length 1", "plain.jpg", [](Bytes& b) { PutBe(b, 4, 1, 2); }},
    {"jpeg segment longer than the file", "plain.jpg", [](Bytes& b) { PutBe(b, 4, 0xFFFF, 2); }},
    {"jpeg width 0", "plain.jpg", [](Bytes& b) { PutBe(b, SofAt(b) + 7, 0, 2); }},
    {"jpeg height 0 (DNL)", "plain.jpg", [](Bytes& b) { PutBe(b, SofAt(b) + 5, 0, 2); }},
    {"jpeg precision 7", "plain.jpg", [](Bytes& b) { b[SofAt(b) + 4] = 7; }},
    {"jpeg no components", "plain.jpg", [](Bytes& b) { b[SofAt(b) + 9] = 0; }},
    {"jpeg more components than the segment", "plain.jpg", [](Bytes& b) { b[SofAt(b) + 9] = 40; }},
    {"jpeg scan before any frame", "plain.jpg", [](Bytes& b) { b[SofAt(b) + 1] = 0xC8; }},
    {"jpeg garbage between segments", "plain.jpg", [](Bytes& b) { b[20] = 0x00; }},
    {"tiff directory beyond the file", "picture.tif", [](Bytes& b) { PutLe(b, 4, 0xFFFFFF00u, 4); }},
    {"tiff version 43", "picture.tif", [](Bytes& b) { PutLe(b, 2, 43, 2); }},
    {"tiff width 0", "picture.tif", [](Bytes& b) { PutLe(b, 18, 0, 2); }},
    {"emf announces more bytes than the file", "drawing.emf", [](Bytes& b) { PutLe(b, 48, b.size() + 4, 4); }},
    {"emf header record too short", "drawing.emf", [](Bytes& b) { PutLe(b, 4, 84, 4); }},
    {"emf header record beyond the file", "drawing.emf", [](Bytes& b) { PutLe(b, 4, 0x10000, 4); }},
    {"emf empty frame", "drawing.emf", [](Bytes& b) { PutLe(b, 32, 0, 4); }},
    {"emf frame beyond 32 bits of pixels", "drawing.emf",
     [](Bytes& b) { PutLe(b, 24, 0x80000000u, 4), PutLe(b, 32, 0x7FFFFFFF, 4), PutLe(b, 80, 1, 4); }},
    {"wmf checksum", "drawing.wmf", [](Bytes& b) { b[20] ^= 1; }},
    {"wmf zero units per inch", "drawing.wmf", [](Bytes& b) { PutLe(b, 14, 0, 2), RecomputeWmfChecksum(b); }},
    {"wmf empty box", "drawing.wmf", [](Bytes& b) { PutLe(b, 10, 0, 2), RecomputeWmfChecksum(b); }},
    {"wmf body beyond the file", "drawing.wmf", [](Bytes& b) { PutLe(b, 28, 1000, 4); }},
    {"wmf header of 8 words", "drawing.wmf", [](Bytes& b) { PutLe(b, 24, 8, 2); }},
    {"wmf type 3", "drawing.wmf", [](Bytes& b) { PutLe(b, 22, 3, 2); }},
};

TEST(PictureHeader, LyingHeadersAreRefused) {
  for (const PatchRow& row : kLies) {
    SCOPED_TRACE(row.name);
    Bytes b = Picture(row.file);
    ASSERT_NO_THROW(ReadPictureHeader(b));
    row.patch(b);
    ExpectRefused(b);
  }
}

TEST(PictureHeader, NotAPictureIsRefused) {
  ExpectRefused({});
  ExpectRefused(Bytes{'h', 'e', 'l', 'l', 'o'});
  ExpectRefused(gdiplus_test::ReadBytes(gdiplus_test::PicturePath("make.sh")));
  Bytes wmf = Picture("drawing.wmf");
  ExpectRefused(Bytes(wmf.begin() + 22, wmf.end()));  // a metafile without the placeable header has no size
}

struct VariantRow {
  const char* name;
  const char* file;
  std::function<void(Bytes&)> patch;
  std::int32_t width, height;
  double dpiX, dpiY;
};

// JFIF at offset 2: units at 13, densities at 14 and 16.
const VariantRow kVariants[] = {
    {"jfif in dots per centimetre", "plain.jpg", [](Bytes& b) { b[13] = 2, PutBe(b, 14, 100, 2), PutBe(b, 16, 50, 2); },
     100, 75, 254, 127},
    {"jfif aspect ratio only", "plain.jpg", [](Bytes& b) { b[13] = 0; }, 100, 75, 96, 96},
    {"jfif density 0", "plain.jpg", [](Bytes& b) { PutBe(b, 14, 0, 2); }, 100, 75, 96, 96},
    {"jfif before exif", "uncalibrated.jpg", [](Bytes& b) { PutBe(b, 14, 200, 2), PutBe(b, 16, 200, 2); }, 120, 90, 200,
     200},
    {"exif when jfif has no unit", "uncalibrated.jpg", [](Bytes& b) { b[13] = 0; }, 120, 90, 300, 300},
    {"bmp without resolution", "picture.bmp", [](Bytes& b) { PutLe(b, 38, 0, 4), PutLe(b, 42, 0, 4); }, 48, 32, 96, 96},
    {"bmp rows top-down", "picture.bmp", [](Bytes& b) { PutLe(b, 22, static_cast<std::uint32_t>(-32), 4); }, 48, 32,
     2834 * 0.0254, 2834 * 0.0254},
    {"gif screen 0 x 0 takes the frame", "picture.gif", [](Bytes& b) { PutLe(b, 6, 0, 4); }, 40, 30, 96, 96},
    {"png pHYs without unit", "picture.png", [](Bytes& b) { b[Find(b, "pHYs") + 12] = 0; }, 64, 48, 96, 96},
    {"emf device without millimetres", "drawing.emf", [](Bytes& b) { PutLe(b, 80, 0, 4), PutLe(b, 84, 0, 4); }, 384,
     288, 96, 96},
    {"wmf box given right to left", "drawing.wmf",
     [](Bytes& b) { PutLe(b, 6, 240, 2), PutLe(b, 10, 0, 2), RecomputeWmfChecksum(b); }, 240, 180, 120, 120},
};

TEST(PictureHeader, ResolutionAndSizeVariants) {
  for (const VariantRow& row : kVariants) {
    SCOPED_TRACE(row.name);
    Bytes b = Picture(row.file);
    row.patch(b);
    ExpectGeometry(ReadPictureHeader(b), row.width, row.height, row.dpiX, row.dpiY);
  }
}

// The sniffers only look: each accepts its own format and no other sample.
TEST(PictureHeader, EachSnifferKnowsOnlyItsFormat) {
  for (const SampleRow& row : kSamples) {
    SCOPED_TRACE(row.file);
    const Bytes b = Picture(row.file);
    int accepted = 0;
    for (const HeaderFormat& format : HeaderFormats()) {
      if (format.Sniff(b)) {
        ++accepted;
        EXPECT_EQ(format.name, row.format);
      }
    }
    EXPECT_EQ(accepted, 1);
  }
}

// The orientation is told, the size stays that of the stored pixels; an
// embedded thumbnail is found where the file has one and lies inside it.
TEST(PictureHeader, OrientationAndEmbeddedThumbnail) {
  for (int n = 1; n <= 8; ++n) {
    const std::string name = "oriented-" + std::to_string(n) + ".jpg";
    SCOPED_TRACE(name);
    const PictureHeader h = ReadPictureHeader(Picture(name));
    EXPECT_EQ(h.orientation, n);
    EXPECT_EQ(h.width, n >= 5 ? 16 : 32);
    EXPECT_EQ(h.thumbnailLength, 0u);
  }
  EXPECT_EQ(ReadPictureHeader(Picture("plain.jpg")).orientation, 1);

  Bytes b = Picture("thumbnail.jpg");
  const PictureHeader h = ReadPictureHeader(b);
  EXPECT_EQ(h.orientation, 6);
  ASSERT_GT(h.thumbnailLength, 0u);
  ASSERT_LE(h.thumbnailOffset + h.thumbnailLength, b.size());
  EXPECT_EQ(b[h.thumbnailOffset], 0xFF);
  EXPECT_EQ(b[h.thumbnailOffset + 1], 0xD8);
  // A thumbnail said to run past its block is no thumbnail; the picture stays.
  const std::size_t tiff = Find(b, std::string("Exif\0\0", 6)) + 6;
  const std::size_t lengthEntry = Find(b, std::string("\x02\x02\x00\x04", 4));  // big-endian tag 514, LONG
  ASSERT_NE(lengthEntry, std::string::npos);
  PutBe(b, lengthEntry + 8, b.size() - tiff, 4);
  const PictureHeader lying = ReadPictureHeader(b);
  EXPECT_EQ(lying.thumbnailLength, 0u);
  EXPECT_EQ(lying.orientation, 6);
  EXPECT_EQ(lying.width, 240);
}

// A photo of 300 MB (here the sample with a sparse tail) keeps its size and
// resolution: the header is read where it lies, not after the whole file.
TEST(PictureHeader, Regression_APictureTooLargeToReadWholeTellsItsSizeAndResolution) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("lumivane-large-" + std::to_string(::getpid()) + ".jpg");
  {
    const Bytes b = Picture("plain.jpg");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
  }
  std::filesystem::resize_file(file, 300ull << 20);
  PictureData picture;
  EXPECT_NO_THROW(picture = FilePictures().Load(file.string()));
  std::filesystem::remove(file);
  EXPECT_EQ(picture.width, 100);
  EXPECT_EQ(picture.height, 75);
  EXPECT_FLOAT_EQ(picture.horizontalResolution, 72);
  EXPECT_FLOAT_EQ(picture.verticalResolution, 72);
}

}  // namespace
