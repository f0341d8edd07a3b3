#include "platform/gdiplus/property_data.h"

#include "runtime/error.h"

namespace platform::gdiplus {

namespace {
void Put(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

PropertyData Numbers(long tag, long type, const std::vector<std::int64_t>& values) {
  PropertyData p{tag, type, static_cast<long>(values.size()), {}};
  for (std::int64_t v : values) Put(p.value, static_cast<std::uint64_t>(v), static_cast<int>(TypeSize(type)));
  return p;
}
}  // namespace

std::uint64_t TypeSize(long type) {
  switch (type) {
    case kTypeByte:
    case kTypeAscii:
    case kTypeSByte:
    case kTypeUndefined: return 1;
    case kTypeShort:
    case kTypeSShort: return 2;
    case kTypeLong:
    case kTypeSLong: return 4;
    case kTypeRational:
    case kTypeSRational: return 8;
    default: return 0;
  }
}

PropertyData PropertyData::Ascii(long tag, std::string_view text) {
  PropertyData p{tag, kTypeAscii, static_cast<long>(text.size() + 1), {text.begin(), text.end()}};
  p.value.push_back(0);
  return p;
}

PropertyData PropertyData::Shorts(long tag, const std::vector<std::int64_t>& values, bool isSigned) {
  return Numbers(tag, isSigned ? kTypeSShort : kTypeShort, values);
}

PropertyData PropertyData::Longs(long tag, const std::vector<std::int64_t>& values, bool isSigned) {
  return Numbers(tag, isSigned ? kTypeSLong : kTypeLong, values);
}

PropertyData PropertyData::Rationals(long tag, const std::vector<std::pair<std::int64_t, std::int64_t>>& values,
                                     bool isSigned) {
  PropertyData p{tag, isSigned ? kTypeSRational : kTypeRational, static_cast<long>(values.size()), {}};
  for (const auto& [numerator, denominator] : values) {
    Put(p.value, static_cast<std::uint64_t>(numerator), 4);
    Put(p.value, static_cast<std::uint64_t>(denominator), 4);
  }
  return p;
}

PropertyData PropertyData::Undefined(long tag, std::vector<std::uint8_t> bytes) {
  const long count = static_cast<long>(bytes.size());
  return PropertyData{tag, kTypeUndefined, count, std::move(bytes)};
}

PropertyData PropertyData::Raw(long tag, long type, long count, std::vector<std::uint8_t> bytes) {
  const std::uint64_t size = TypeSize(type);
  if (count < 0 || (size != 0 && bytes.size() != size * static_cast<std::uint64_t>(count))) {
    runtime::Raise(runtime::err::kInvalidProcedureCall);
  }
  return PropertyData{tag, type, count, std::move(bytes)};
}

}  // namespace platform::gdiplus
