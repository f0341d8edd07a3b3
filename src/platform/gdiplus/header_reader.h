#pragma once
// Pixel size and resolution from a picture's headers, without decoding a
// single pixel. One reader per format, each with a sniffer that only looks
// and a reader that refuses a truncated or lying header with error 1051.

#include <cstdint>
#include <span>
#include <string_view>

namespace platform::gdiplus {

// What a picture reports when its file says nothing about resolution.
inline constexpr double kDefaultDpi = 96.0;

struct PictureHeader {
  std::string_view format;  // "BMP", "GIF", "JPEG", "PNG", "TIFF", "EMF", "WMF"
  std::int32_t width = 0;
  std::int32_t height = 0;
  double horizontalDpi = kDefaultDpi;
  double verticalDpi = kDefaultDpi;
  // How the picture is to be turned to stand upright (EXIF orientation 1 to
  // 8; 1: as stored). Width and height stay those of the stored pixels.
  int orientation = 1;
  // A JPEG's embedded EXIF thumbnail, counted from the start of the file;
  // length 0: none.
  std::uint64_t thumbnailOffset = 0;
  std::uint64_t thumbnailLength = 0;
};

struct HeaderFormat {
  std::string_view name;
  bool (*Sniff)(std::span<const std::uint8_t> data) noexcept;
  PictureHeader (*Read)(std::span<const std::uint8_t> data);
};

// The formats in the order they are tried.
std::span<const HeaderFormat> HeaderFormats();

// The header of the first format whose sniffer accepts the data; error 1051
// ("GDI+ Error 13") when none does or the chosen reader refuses the data.
PictureHeader ReadPictureHeader(std::span<const std::uint8_t> data);

}  // namespace platform::gdiplus
