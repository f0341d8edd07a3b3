// JPEG: the segments are walked up to the first frame header, which gives
// the size. Resolution comes from the JFIF density when it names a unit,
// else from the EXIF block's first directory, else the default. The EXIF
// block also tells the orientation and where an embedded thumbnail lies.

#include <optional>

#include "platform/gdiplus/formats/formats.h"
#include "runtime/error.h"

namespace platform::gdiplus::jpeg {

namespace {
constexpr std::uint8_t kSoi = 0xD8;
constexpr std::uint8_t kEoi = 0xD9;
constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kApp0 = 0xE0;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kTem = 0x01;

// Frame headers: C0 to CF except DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(std::uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }
bool IsStandalone(std::uint8_t m) { return m == kTem || (m >= 0xD0 && m <= 0xD7); }

std::optional<tiff::Resolution> JfifDensity(ByteView segment) {
  if (!segment.StartsWith(0, std::string_view("JFIF\0", 5)) || !segment.Has(0, 12)) return std::nullopt;
  const std::uint8_t units = segment.U8(7);
  const double x = segment.U16be(8);
  const double y = segment.U16be(10);
  if (x == 0 || y == 0) return std::nullopt;
  if (units == 1) return tiff::Resolution{x, y};
  if (units == 2) return tiff::Resolution{x * 2.54, y * 2.54};
  return std::nullopt;  // 0: an aspect ratio only
}

struct Exif {
  std::optional<tiff::Resolution> resolution;
  int orientation = 1;
  std::optional<tiff::Thumbnail> thumbnail;  // counted from the TIFF structure
};

struct Segment {
  std::uint8_t marker = 0;
  std::uint64_t at = 0;  // where the body starts
  ByteView body;         // empty for a marker without a length
  bool HasLength() const {
    return !IsStandalone(marker) && marker != 0 && marker != kSoi && marker != kEoi && marker != kSos;
  }
};

// The segment at `pos` (fill bytes skipped), moving `pos` past it. Markers
// that stand alone or end the walk (SOI, EOI, SOS) come without a body.
Segment NextSegment(const ByteView& v, std::uint64_t& pos) {
  if (v.U8(pos) != 0xFF) RejectPicture();
  while (v.U8(pos) == 0xFF) ++pos;  // fill bytes
  Segment s;
  s.marker = v.U8(pos++);
  if (!s.HasLength()) return s;
  const std::uint16_t length = v.U16be(pos);
  if (length < 2) RejectPicture();
  s.at = pos + 2;
  s.body = v.Slice(s.at, length - 2u);
  pos += length;
  return s;
}

// A damaged EXIF block costs what it holds, not the picture; each value is
// read on its own, so a bad thumbnail directory keeps the orientation.
Exif ExifValues(ByteView segment) {
  Exif exif;
  if (!segment.StartsWith(0, std::string_view("Exif\0\0", 6))) return exif;
  const ByteView tiffData = segment.Slice(6, segment.size() - 6);
  try {
    exif.resolution = tiff::ReadResolution(tiffData);
  } catch (const runtime::Error&) {
  }
  try {
    exif.orientation = tiff::ReadOrientation(tiffData);
  } catch (const runtime::Error&) {
  }
  try {
    exif.thumbnail = tiff::ReadThumbnail(tiffData);
  } catch (const runtime::Error&) {
  }
  return exif;
}
}  // namespace

std::optional<Block> ExifBlock(std::span<const std::uint8_t> data) noexcept {
  try {
    if (!Sniff(data)) return std::nullopt;
    const ByteView v(data);
    std::uint64_t pos = 2;
    for (;;) {
      const Segment s = NextSegment(v, pos);
      if (IsStandalone(s.marker)) continue;
      if (!s.HasLength()) return std::nullopt;
      if (s.marker == kApp1 && s.body.StartsWith(0, std::string_view("Exif\0\0", 6))) {
        return Block{s.at + 6, s.body.size() - 6};
      }
    }
  } catch (const runtime::Error&) {
    return std::nullopt;
  }
}

bool Sniff(std::span<const std::uint8_t> data) noexcept { return ByteView(data).StartsWith(0, "\xFF\xD8\xFF"); }

PictureHeader Read(std::span<const std::uint8_t> data) {
  const ByteView v(data);
  std::optional<tiff::Resolution> jfif;
  std::optional<Exif> exif;
  std::uint64_t exifAt = 0;  // where the EXIF block's TIFF structure starts
  std::uint64_t pos = 2;
  for (;;) {
    const Segment s = NextSegment(v, pos);
    if (IsStandalone(s.marker)) continue;
    if (!s.HasLength()) RejectPicture();  // no frame header first
    const std::uint8_t marker = s.marker;
    const ByteView& segment = s.body;

    if (marker == kApp0 && !jfif) {
      jfif = JfifDensity(segment);
    } else if (marker == kApp1 && !exif && segment.StartsWith(0, std::string_view("Exif\0\0", 6))) {
      exif = ExifValues(segment);
      exifAt = s.at + 6;
    } else if (IsFrameHeader(marker)) {
      const std::uint8_t precision = segment.U8(0);
      const std::uint16_t height = segment.U16be(1);
      const std::uint16_t width = segment.U16be(3);
      const std::uint8_t components = segment.U8(5);
      if (precision != 8 && precision != 12 && precision != 16) RejectPicture();
      if (components == 0) RejectPicture();
      segment.Slice(6, std::uint64_t{3} * components);
      PictureHeader h{"JPEG"};
      h.width = CheckedExtent(width);
      h.height = CheckedExtent(height);  // 0 (size given later by a DNL marker) is refused
      const std::optional<tiff::Resolution> dpi = jfif ? jfif : exif ? exif->resolution : std::nullopt;
      if (dpi) {
        h.horizontalDpi = dpi->horizontalDpi;
        h.verticalDpi = dpi->verticalDpi;
      }
      if (exif) {
        h.orientation = exif->orientation;
        if (exif->thumbnail) {
          h.thumbnailOffset = exifAt + exif->thumbnail->offset;
          h.thumbnailLength = exif->thumbnail->length;
        }
      }
      return h;
    }
  }
}

}  // namespace platform::gdiplus::jpeg
