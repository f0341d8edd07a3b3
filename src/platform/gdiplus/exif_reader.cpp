#include "platform/gdiplus/exif_reader.h"

#include <limits>
#include <mutex>
#include <set>

// exiv2 0.27 hands images out in std::auto_ptr.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <exiv2/exiv2.hpp>

namespace platform::gdiplus {

namespace {
void SilenceExiv2() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::LogMsg::setHandler(nullptr);
  });
}

// The first directory ("Image") and the EXIF directory ("Photo"); makers'
// notes, GPS and the thumbnail directory number their tags on their own.
bool WantedGroup(const std::string& group) { return group == "Image" || group == "Photo"; }

void Collect(const Exiv2::ExifData& exif, std::vector<PropertyData>& out) {
  std::set<long> seen;
  for (const Exiv2::Exifdatum& datum : exif) {
    if (!WantedGroup(datum.groupName())) continue;
    const long type = static_cast<long>(datum.typeId());
    const std::uint64_t unit = TypeSize(type);
    if (unit == 0) continue;  // floats, doubles and sub-directories have no EXIF type number here
    const long tag = static_cast<long>(datum.tag());
    if (!seen.insert(tag).second) continue;
    const long size = datum.size();
    if (size < 0) continue;
    PropertyData p{tag, type, 0, std::vector<std::uint8_t>(static_cast<std::size_t>(size))};
    if (size > 0) datum.copy(p.value.data(), Exiv2::littleEndian);
    // The count follows from the bytes, so that every index below it is there.
    p.count = static_cast<long>(p.value.size() / unit);
    p.value.resize(static_cast<std::size_t>(p.count) * unit);
    out.push_back(std::move(p));
  }
}
}  // namespace

std::vector<PropertyData> ReadExifProperties(std::span<const std::uint8_t> bytes) noexcept {
  std::vector<PropertyData> properties;
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<long>::max())) return properties;
  try {
    SilenceExiv2();
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(bytes.data(), static_cast<long>(bytes.size()));
    if (image.get() == nullptr) return properties;
    image->readMetadata();
    Collect(image->exifData(), properties);
  } catch (...) {
    properties.clear();  // Exiv2::AnyError, and whatever else it lets through
  }
  return properties;
}

}  // namespace platform::gdiplus

#pragma GCC diagnostic pop
