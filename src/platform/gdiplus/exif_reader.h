#pragma once
// The EXIF properties of a picture in memory, read by exiv2: the first
// directory and the EXIF directory, with the types, counts and values as the
// file stores them. This is the one place that calls exiv2; every failure of
// it ends here and means "no properties". exiv2's own log stays silent.
//
// A picture may claim millions of values for one tag, and exiv2 would hold
// each of them, more than once. Where only the last value of a list counts
// (numbers and undefined bytes; a text, and a list shown by its length,
// keep all of theirs), a value of more than `valueBound` bytes is cut to its
// last value with the count 1: in a TIFF structure (the file, or a JPEG's
// EXIF block) before exiv2 sees it, in a copy of the picture; in any other
// format when exiv2's value is converted.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdiplus/property_data.h"

namespace platform::gdiplus {

constexpr std::uint64_t kExifValueBound = 64 * 1024;

std::vector<PropertyData> ReadExifProperties(std::span<const std::uint8_t> bytes,
                                             std::uint64_t valueBound = kExifValueBound) noexcept;

// The copy of a TIFF or JPEG picture that exiv2 is handed instead of the
// picture; nothing when no value needs cutting, so that the picture itself
// is read and never copied.
std::optional<std::vector<std::uint8_t>> KeepLastValues(std::span<const std::uint8_t> bytes, std::uint64_t valueBound);

}  // namespace platform::gdiplus
