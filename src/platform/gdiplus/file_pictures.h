#pragma once
// The pictures of the file system: the file is mapped, not read, so its
// headers give size and resolution and its EXIF block the properties
// whatever its size; only the pages read are loaded.

#include <cstdint>
#include <span>
#include <string>

#include "platform/gdiplus/gdiplus.h"

namespace platform::gdiplus {

class FilePictures : public PictureSource {
 public:
  PictureData Load(const std::string& path) override;
};

// Header and EXIF properties of a picture held in memory; 1051 when the
// header is refused. A damaged EXIF block only costs the properties.
PictureData DecodePicture(std::span<const std::uint8_t> bytes);

// A picture file's bytes, mapped read-only; its name is found without regard
// to case. 1051 "GDI+ Error 10" when it cannot be opened or mapped.
class MappedPicture {
 public:
  explicit MappedPicture(const std::string& path);
  ~MappedPicture();
  MappedPicture(const MappedPicture&) = delete;
  MappedPicture& operator=(const MappedPicture&) = delete;
  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace platform::gdiplus
