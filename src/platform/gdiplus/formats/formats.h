#pragma once
// The per-format readers behind HeaderFormats(); each lives in its own file.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

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
// Eight bytes to write at `at`, counted from the start of the TIFF
// structure: an entry's count and value field, in the structure's order.
struct EntryPatch {
  std::uint64_t at;
  std::array<std::uint8_t, 8> bytes;
};
// The entries of the first directory and the EXIF directory whose values
// take more than `bound` bytes and are of a type `trimmed` names, each
// rewritten to hold only its last value (count 1; inline when it fits in
// four bytes, else the offset of that value). Directories that cannot be
// read give none; the pointers to other directories are never rewritten.
std::vector<EntryPatch> KeepLastValues(ByteView tiffData, std::uint64_t bound, bool (*trimmed)(std::uint16_t type));
}  // namespace tiff

namespace jpeg {
// Where the TIFF structure of the first APP1 "Exif" block lies, counted from
// the start of the file; nothing when there is none before the scan data.
struct Block {
  std::uint64_t offset;
  std::uint64_t length;
};
std::optional<Block> ExifBlock(std::span<const std::uint8_t> data) noexcept;
}  // namespace jpeg

// Converts a pixel count that a header declared into the 32-bit size the
// picture reports, refusing zero and anything beyond the 32-bit range.
std::int32_t CheckedExtent(std::uint64_t pixels);

}  // namespace platform::gdiplus
