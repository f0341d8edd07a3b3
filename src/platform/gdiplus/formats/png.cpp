// PNG: the size from IHDR, the resolution from pHYs when its unit is the
// metre. The chunks are walked up to the first image data chunk, so a file
// cut short before its pixels, or a chunk longer than the file, is refused.

#include "platform/gdiplus/formats/formats.h"

namespace platform::gdiplus::png {

namespace {
constexpr std::string_view kSignature("\x89PNG\r\n\x1A\n", 8);
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;

bool ValidDepth(std::uint8_t colourType, std::uint8_t depth) {
  switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
  }
}
}  // namespace

bool Sniff(std::span<const std::uint8_t> data) noexcept { return ByteView(data).StartsWith(0, kSignature); }

PictureHeader Read(std::span<const std::uint8_t> data) {
  const ByteView v(data);
  if (v.U32be(8) != 13 || !v.StartsWith(12, "IHDR")) RejectPicture();
  const std::uint32_t width = v.U32be(16);
  const std::uint32_t height = v.U32be(20);
  const std::uint8_t depth = v.U8(24);
  const std::uint8_t colourType = v.U8(25);
  if (!ValidDepth(colourType, depth) || v.U8(26) != 0 || v.U8(27) != 0 || v.U8(28) > 1) RejectPicture();

  PictureHeader h{"PNG"};
  h.width = CheckedExtent(width);
  h.height = CheckedExtent(height);

  bool palette = false;
  for (std::uint64_t pos = 8 + 12 + 13;;) {
    const std::uint32_t length = v.U32be(pos);
    if (length > kMaxChunkLength) RejectPicture();
    const ByteView chunk = v.Slice(pos + 4, 4u + length + 4u);  // type, data, CRC
    if (chunk.StartsWith(0, "IDAT")) {
      if (colourType == 3 && !palette) RejectPicture();
      return h;
    }
    if (chunk.StartsWith(0, "IEND")) RejectPicture();
    if (chunk.StartsWith(0, "PLTE")) palette = true;
    if (chunk.StartsWith(0, "pHYs") && length == 9 && chunk.U8(12) == 1) {
      const std::uint32_t x = chunk.U32be(4);
      const std::uint32_t y = chunk.U32be(8);
      if (x != 0 && y != 0) {
        h.horizontalDpi = x * 0.0254;
        h.verticalDpi = y * 0.0254;
      }
    }
    pos += 12u + length;
  }
}

}  // namespace platform::gdiplus::png
