#pragma once
// The EXIF properties of a picture in memory, read by exiv2: the first
// directory and the EXIF directory, with the types, counts and values as the
// file stores them. This is the one place that calls exiv2; every failure of
// it ends here and means "no properties". exiv2's own log stays silent.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/gdiplus/property_data.h"

namespace platform::gdiplus {

std::vector<PropertyData> ReadExifProperties(std::span<const std::uint8_t> bytes) noexcept;

}  // namespace platform::gdiplus
