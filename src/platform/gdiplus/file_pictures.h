#pragma once
// The pictures of the file system: the file is read whole (up to a limit),
// its headers give size and resolution, and its EXIF block the properties.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/gdiplus/gdiplus.h"

namespace platform::gdiplus {

// Larger files are refused with 1051 "GDI+ Error 3" instead of being read.
inline constexpr std::uint64_t kMaxPictureBytes = 256ull << 20;

class FilePictures : public PictureSource {
 public:
  PictureData Load(const std::string& path) override;
};

// Header and EXIF properties of a picture held in memory; 1051 when the
// header is refused. A damaged EXIF block only costs the properties.
PictureData DecodePicture(std::span<const std::uint8_t> bytes);

// The file's bytes, its name found without regard to case; 1051 "GDI+ Error
// 10" when it cannot be opened or read.
std::vector<std::uint8_t> ReadPictureFile(const std::string& path);

}  // namespace platform::gdiplus
