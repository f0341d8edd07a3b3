#pragma once
// One EXIF property as a picture stores it: tag, EXIF type number, number of
// values and the value bytes (little-endian, whatever the file's order).

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::gdiplus {

// The EXIF type numbers.
enum PropertyType : long {
  kTypeByte = 1,
  kTypeAscii = 2,
  kTypeShort = 3,
  kTypeLong = 4,
  kTypeRational = 5,
  kTypeSByte = 6,
  kTypeUndefined = 7,
  kTypeSShort = 8,
  kTypeSLong = 9,
  kTypeSRational = 10,
};

// Bytes per value of a type; 0 for a number outside 1 to 10.
std::uint64_t TypeSize(long type);

struct PropertyData {
  long tag = 0;
  long type = 0;
  long count = 0;
  std::vector<std::uint8_t> value;  // TypeSize(type) * count bytes

  // Builders for tests and scripted pictures. ASCII counts its closing NUL.
  static PropertyData Ascii(long tag, std::string_view text);
  static PropertyData Shorts(long tag, const std::vector<std::int64_t>& values, bool isSigned = false);
  static PropertyData Longs(long tag, const std::vector<std::int64_t>& values, bool isSigned = false);
  static PropertyData Rationals(long tag, const std::vector<std::pair<std::int64_t, std::int64_t>>& values,
                                bool isSigned = false);
  static PropertyData Undefined(long tag, std::vector<std::uint8_t> bytes);
  // Any type and count with the bytes as given (which must fit the two).
  static PropertyData Raw(long tag, long type, long count, std::vector<std::uint8_t> bytes);
};

}  // namespace platform::gdiplus
