// Windows metafiles with the placeable header, which gives the picture's
// extent in logical units and how many of those units make an inch; that
// count is the picture's resolution. Metafiles without it are refused: they
// carry no size.

#include <cstdlib>

#include "platform/gdiplus/formats/formats.h"

namespace platform::gdiplus::wmf {

namespace {
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint64_t kPlaceableSize = 22;
constexpr std::uint64_t kMetaHeaderSize = 18;
}  // namespace

bool Sniff(std::span<const std::uint8_t> data) noexcept {
  const ByteView v(data);
  return v.Has(0, 4) && v.U32le(0) == kPlaceableKey;
}

PictureHeader Read(std::span<const std::uint8_t> data) {
  const ByteView v(data);
  v.Slice(0, kPlaceableSize + kMetaHeaderSize);
  std::uint16_t checksum = 0;
  for (std::uint64_t i = 0; i < 10; ++i) checksum ^= v.U16le(2 * i);
  if (checksum != v.U16le(20)) RejectPicture();

  const std::uint16_t unitsPerInch = v.U16le(14);
  if (unitsPerInch == 0) RejectPicture();

  // The standard header that follows: type 1 (memory) or 2 (disk), nine
  // words long, and a total size (in words) that the file must hold.
  const std::uint16_t type = v.U16le(22);
  const std::uint16_t headerWords = v.U16le(24);
  const std::uint64_t totalBytes = 2ull * v.U32le(28);
  if ((type != 1 && type != 2) || headerWords != 9) RejectPicture();
  if (totalBytes < kMetaHeaderSize || !v.Has(kPlaceableSize, totalBytes)) RejectPicture();

  PictureHeader h{"WMF"};
  h.width = CheckedExtent(static_cast<std::uint64_t>(std::abs(std::int32_t{v.I16le(10)} - v.I16le(6))));
  h.height = CheckedExtent(static_cast<std::uint64_t>(std::abs(std::int32_t{v.I16le(12)} - v.I16le(8))));
  h.horizontalDpi = unitsPerInch;
  h.verticalDpi = unitsPerInch;
  return h;
}

}  // namespace platform::gdiplus::wmf
