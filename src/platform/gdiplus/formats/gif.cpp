// GIF: the logical screen gives the size. The blocks up to the first image
// are walked (without decoding it) so that a file cut short before any
// picture, or one whose block lengths run off the end, is refused. GIF has
// no resolution.

#include "platform/gdiplus/formats/formats.h"

namespace platform::gdiplus::gif {

namespace {
constexpr std::uint8_t kExtension = 0x21;
constexpr std::uint8_t kImage = 0x2C;

std::uint64_t ColourTableSize(std::uint8_t packed) {
  return (packed & 0x80) ? 3ull * (1ull << ((packed & 0x07) + 1)) : 0;
}
}  // namespace

bool Sniff(std::span<const std::uint8_t> data) noexcept {
  const ByteView v(data);
  return v.StartsWith(0, "GIF87a") || v.StartsWith(0, "GIF89a");
}

PictureHeader Read(std::span<const std::uint8_t> data) {
  const ByteView v(data);
  std::uint64_t width = v.U16le(6);
  std::uint64_t height = v.U16le(8);
  std::uint64_t pos = 13 + ColourTableSize(v.U8(10));

  for (;;) {
    const std::uint8_t block = v.U8(pos);
    if (block == kExtension) {
      pos += 2;  // introducer and label
      for (std::uint8_t length = v.U8(pos); length != 0; length = v.U8(pos)) pos += 1 + length;
      pos += 1;
    } else if (block == kImage) {
      const std::uint64_t right = v.U16le(pos + 1) + std::uint64_t{v.U16le(pos + 5)};
      const std::uint64_t bottom = v.U16le(pos + 3) + std::uint64_t{v.U16le(pos + 7)};
      pos += 10 + ColourTableSize(v.U8(pos + 9));
      const std::uint8_t codeSize = v.U8(pos);
      if (codeSize < 1 || codeSize > 11) RejectPicture();
      v.U8(pos + 1);  // the first data block's length must be there
      // Some writers leave the logical screen at 0 x 0; the frame says it then.
      if (width == 0) width = right;
      if (height == 0) height = bottom;
      break;
    } else {
      RejectPicture();  // the trailer before any picture, or garbage
    }
  }
  PictureHeader h{"GIF"};
  h.width = CheckedExtent(width);
  h.height = CheckedExtent(height);
  return h;
}

}  // namespace platform::gdiplus::gif
