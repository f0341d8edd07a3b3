// Windows bitmaps: the 14-byte file header and the core (12-byte) or info
// (40 bytes and its later extensions) header that follows it.

#include "platform/gdiplus/formats/formats.h"

namespace platform::gdiplus::bmp {

namespace {
constexpr std::uint64_t kFileHeaderSize = 14;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

double DpiFromPixelsPerMetre(std::int32_t ppm) { return ppm > 0 ? ppm * 0.0254 : kDefaultDpi; }

bool KnownDepth(std::uint16_t bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32; }

bool CompressionFits(std::uint32_t compression, std::uint16_t bpp) {
  switch (compression) {
    case kRgb: return true;
    case kRle8: return bpp == 8;
    case kRle4: return bpp == 4;
    case kBitFields:
    case kAlphaBitFields: return bpp == 16 || bpp == 32;
    default: return false;  // embedded JPEG or PNG, and anything unknown
  }
}
}  // namespace

bool Sniff(std::span<const std::uint8_t> data) noexcept { return ByteView(data).StartsWith(0, "BM"); }

PictureHeader Read(std::span<const std::uint8_t> data) {
  const ByteView v(data);
  const std::uint32_t pixelOffset = v.U32le(10);
  const std::uint32_t infoSize = v.U32le(14);

  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bpp = 0;
  std::uint32_t compression = kRgb;
  PictureHeader h{"BMP"};
  if (infoSize == 12) {
    width = v.U16le(18);
    height = v.U16le(20);
    planes = v.U16le(22);
    bpp = v.U16le(24);
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) {
    v.Slice(kFileHeaderSize, infoSize);
    width = v.I32le(18);
    height = v.I32le(22);
    planes = v.U16le(26);
    bpp = v.U16le(28);
    compression = v.U32le(30);
    h.horizontalDpi = DpiFromPixelsPerMetre(v.I32le(38));
    h.verticalDpi = DpiFromPixelsPerMetre(v.I32le(42));
  } else {
    RejectPicture();
  }

  // A negative height means rows run top-down, which run-length data cannot.
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || planes != 1 || !KnownDepth(bpp) || !CompressionFits(compression, bpp)) RejectPicture();
  if (topDown && (compression == kRle8 || compression == kRle4)) RejectPicture();
  h.width = CheckedExtent(static_cast<std::uint64_t>(width));
  h.height = CheckedExtent(static_cast<std::uint64_t>(height));

  // The pixels must start after the headers and, when uncompressed, fit in
  // the file; a header that promises more rows than the file holds is a lie.
  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset >= v.size()) RejectPicture();
  if (compression == kRgb || compression == kBitFields || compression == kAlphaBitFields) {
    const std::uint64_t stride = ((static_cast<std::uint64_t>(h.width) * bpp + 31) / 32) * 4;
    std::uint64_t bytes = 0;
    if (__builtin_mul_overflow(stride, static_cast<std::uint64_t>(h.height), &bytes)) RejectPicture();
    if (!v.Has(pixelOffset, bytes)) RejectPicture();
  }
  return h;
}

}  // namespace platform::gdiplus::bmp
