#include "platform/gdiplus/header_reader.h"

#include <array>
#include <limits>

#include "platform/gdiplus/formats/formats.h"
#include "platform/gdiplus/status.h"

namespace platform::gdiplus {

namespace {
// The sniffers exclude one another; the order is only that of how common
// the formats are among attachments.
constexpr std::array kFormats{
    HeaderFormat{"JPEG", &jpeg::Sniff, &jpeg::Read}, HeaderFormat{"PNG", &png::Sniff, &png::Read},
    HeaderFormat{"GIF", &gif::Sniff, &gif::Read},    HeaderFormat{"TIFF", &tiff::Sniff, &tiff::Read},
    HeaderFormat{"EMF", &emf::Sniff, &emf::Read},    HeaderFormat{"WMF", &wmf::Sniff, &wmf::Read},
    HeaderFormat{"BMP", &bmp::Sniff, &bmp::Read},
};
}  // namespace

void RejectPicture() { RaiseStatus(kErrCannotLoad, Status::UnknownImageFormat); }

std::int32_t CheckedExtent(std::uint64_t pixels) {
  if (pixels == 0 || pixels > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) RejectPicture();
  return static_cast<std::int32_t>(pixels);
}

std::span<const HeaderFormat> HeaderFormats() { return kFormats; }

PictureHeader ReadPictureHeader(std::span<const std::uint8_t> data) {
  for (const HeaderFormat& format : kFormats) {
    if (format.Sniff(data)) return format.Read(data);
  }
  RejectPicture();
}

}  // namespace platform::gdiplus
