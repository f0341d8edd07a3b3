#include "platform/gdiplus/exif_reader.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <set>

#include "platform/gdiplus/formats/formats.h"

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

// The add-in reads only the last value of a list of numbers or of undefined
// bytes; floats and doubles are not kept at all. A text shows whole, and the
// other lists show their length.
bool OnlyLastCounts(long type) {
  switch (type) {
    case kTypeShort:
    case kTypeLong:
    case kTypeRational:
    case kTypeSRational:
    case kTypeUndefined:
    case 11:  // float
    case 12:  // double
      return true;
    default: return false;
  }
}
bool OnlyLastCountsIn(std::uint16_t type) { return OnlyLastCounts(type); }

void PutLe(std::vector<std::uint8_t>& out, std::uint64_t v, std::uint64_t bytes) {
  for (std::uint64_t i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The last of the datum's values alone, without converting the others.
PropertyData LastValue(const Exiv2::Exifdatum& datum, long tag, long type, std::uint64_t unit) {
  PropertyData p{tag, type, 1, {}};
  const long last = datum.count() - 1;
  if (type == kTypeRational || type == kTypeSRational) {
    const Exiv2::Rational r = datum.toRational(last);
    PutLe(p.value, static_cast<std::uint32_t>(r.first), 4);
    PutLe(p.value, static_cast<std::uint32_t>(r.second), 4);
  } else {
    PutLe(p.value, static_cast<std::uint64_t>(datum.toLong(last)), unit);
  }
  return p;
}

void Collect(const Exiv2::ExifData& exif, std::uint64_t valueBound, std::vector<PropertyData>& out) {
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
    if (static_cast<std::uint64_t>(size) > valueBound && OnlyLastCounts(type) && datum.count() > 0) {
      out.push_back(LastValue(datum, tag, type, unit));
      continue;
    }
    PropertyData p{tag, type, 0, std::vector<std::uint8_t>(static_cast<std::size_t>(size))};
    if (size > 0) datum.copy(p.value.data(), Exiv2::littleEndian);
    // The count follows from the bytes, so that every index below it is there.
    p.count = static_cast<long>(p.value.size() / unit);
    p.value.resize(static_cast<std::size_t>(p.count) * unit);
    out.push_back(std::move(p));
  }
}
}  // namespace

std::optional<std::vector<std::uint8_t>> KeepLastValues(std::span<const std::uint8_t> bytes, std::uint64_t valueBound) {
  std::uint64_t tiffAt = 0;
  std::uint64_t tiffLength = bytes.size();
  if (const std::optional<jpeg::Block> block = jpeg::ExifBlock(bytes)) {
    tiffAt = block->offset;
    tiffLength = block->length;
  } else if (!tiff::Sniff(bytes)) {
    return std::nullopt;
  }
  const std::vector<tiff::EntryPatch> patches =
      tiff::KeepLastValues(ByteView(bytes.subspan(tiffAt, tiffLength)), valueBound, &OnlyLastCountsIn);
  if (patches.empty()) return std::nullopt;
  std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
  for (const tiff::EntryPatch& patch : patches) {
    std::copy(patch.bytes.begin(), patch.bytes.end(), copy.begin() + static_cast<std::ptrdiff_t>(tiffAt + patch.at));
  }
  return copy;
}

std::vector<PropertyData> ReadExifProperties(std::span<const std::uint8_t> bytes, std::uint64_t valueBound) noexcept {
  std::vector<PropertyData> properties;
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(std::numeric_limits<long>::max())) return properties;
  try {
    SilenceExiv2();
    const std::optional<std::vector<std::uint8_t>> trimmed = KeepLastValues(bytes, valueBound);
    const std::span<const std::uint8_t> read = trimmed ? std::span<const std::uint8_t>(*trimmed) : bytes;
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(read.data(), static_cast<long>(read.size()));
    if (image.get() == nullptr) return properties;
    image->readMetadata();
    Collect(image->exifData(), valueBound, properties);
  } catch (...) {
    properties.clear();  // Exiv2::AnyError, and whatever else it lets through
  }
  return properties;
}

}  // namespace platform::gdiplus

#pragma GCC diagnostic pop
