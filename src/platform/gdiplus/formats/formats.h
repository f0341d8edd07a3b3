#pragma once
// The per-format readers behind HeaderFormats(); each lives in its own file.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/gdiplus/formats/byte_view.h"
#include "platform/gdiplus/header_reader.h"

namespace platform::gdiplus {

namespace bmp {
bool Sniff(std::span<const std::uint8_t> data) noexcept;
PictureHeader Read(std::span<const std::uint8_t> data);
}  // namespace bmp
namespace gif {
bool Sniff(std::span<const std::uint8_t> data) noexcept;
PictureHeader Read(std::span<const std::uint8_t> data);
}  // namespace gif
namespace jpeg {
bool Sniff(std::span<const std::uint8_t> data) noexcept;
PictureHeader Read(std::span<const std::uint8_t> data);
}  // namespace jpeg
namespace png {
bool Sniff(std::span<const std::uint8_t> data) noexcept;
PictureHeader Read(std::span<const std::uint8_t> data);
}  // namespace png
namespace tiff {
bool Sniff(std::span<const std::uint8_t> data) noexcept;
PictureHeader Read(std::span<const std::uint8_t> data);
}  // namespace tiff
namespace emf {
bool Sniff(std::span<const std::uint8_t> data) noexcept;
PictureHeader Read(std::span<const std::uint8_t> data);
}  // namespace emf
namespace wmf {
bool Sniff(std::span<const std::uint8_t> data) noexcept;
PictureHeader Read(std::span<const std::uint8_t> data);
}  // namespace wmf

namespace tiff {
struct Resolution {
  double horizontalDpi;
  double verticalDpi;
};
// XResolution, YResolution and ResolutionUnit of the first directory of a
// TIFF structure (a TIFF file, or the EXIF block of a JPEG); nothing when the
// directory has no usable resolution. Raises like any reader on bad offsets.
std::optional<Resolution> ReadResolution(ByteView tiffData);
// The first directory's Orientation (1 to 8); 1 when it names none or another
// value.
int ReadOrientation(ByteView tiffData);
// The JPEG thumbnail named by the second directory, counted from the start of
// the TIFF structure; nothing when there is none or it lies outside.
struct Thumbnail {
  std::uint64_t offset;
  std::uint64_t length;
};
std::optional<Thumbnail> ReadThumbnail(ByteView tiffData);
}  // namespace tiff

// Converts a pixel count that a header declared into the 32-bit size the
// picture reports, refusing zero and anything beyond the 32-bit range.
std::int32_t CheckedExtent(std::uint64_t pixels);

}  // namespace platform::gdiplus
