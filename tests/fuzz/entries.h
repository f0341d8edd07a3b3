#pragma once
// What the fuzz targets run on each input, shared with the regression test
// that replays their corpora. Each returns an empty text when the input was
// handled soundly, else what went wrong.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/gdiplus/exif_reader.h"
#include "platform/gdiplus/file_pictures.h"
#include "platform/gdiplus/header_reader.h"
#include "platform/gdiplus/scripted_pictures.h"
#include "runtime/error.h"

namespace fuzz {

// Header reader: a header with a positive size and resolution, or 1051.
inline std::string PictureHeader(std::span<const std::uint8_t> data) {
  try {
    const platform::gdiplus::PictureHeader h = platform::gdiplus::ReadPictureHeader(data);
    if (h.width <= 0 || h.height <= 0) return "size not positive";
    if (!(h.horizontalDpi > 0) || !(h.verticalDpi > 0)) return "resolution not positive";
    return {};
  } catch (const runtime::Error& e) {
    return e.Number() == platform::gdiplus::kErrCannotLoad ? std::string() : "error " + std::to_string(e.Number());
  }
}

// Every value of every item, by each accessor that its type allows.
inline std::string ReadEveryValue(const platform::gdiplus::PropertyData& p) {
  using namespace platform::gdiplus;
  static const auto library = std::make_shared<Library>(std::make_shared<ScriptedPictures>());
  library->ClearCalls();
  const GdiPlusPropertyItem item(library, p);
  if (item.Type() < 1 || item.Type() > 10) return "type outside 1 to 10";
  if (static_cast<std::uint64_t>(item.Length()) != TypeSize(item.Type()) * static_cast<std::uint64_t>(item.Count())) {
    return "length does not match the count";
  }
  if (item.Bytes().size() > static_cast<std::size_t>(item.Count())) return "more bytes than the count";
  if (item.Type() == kTypeAscii) item.Text();
  for (long i = 1; i <= item.Count(); ++i) {
    switch (item.Type()) {
      case kTypeShort:
      case kTypeSShort: item.Short(i); break;
      case kTypeLong:
      case kTypeSLong: item.Long(i); break;
      case kTypeRational:
      case kTypeSRational: item.Rational(i); break;
      default: break;
    }
  }
  return {};
}

// The EXIF path: exiv2 on any bytes, then the whole loader on them.
inline std::string PictureExif(std::span<const std::uint8_t> data) {
  for (const auto& p : platform::gdiplus::ReadExifProperties(data)) {
    if (std::string problem = ReadEveryValue(p); !problem.empty()) return problem;
  }
  try {
    const platform::gdiplus::PictureData picture = platform::gdiplus::DecodePicture(data);
    for (const auto& p : picture.properties) {
      if (std::string problem = ReadEveryValue(p); !problem.empty()) return problem;
    }
  } catch (const runtime::Error& e) {
    if (e.Number() != platform::gdiplus::kErrCannotLoad) return "error " + std::to_string(e.Number());
  }
  return {};
}

}  // namespace fuzz
