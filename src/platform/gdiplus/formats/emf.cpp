// Enhanced metafiles: the header record. The picture frame, kept in
// hundredths of a millimetre, is turned into pixels at the resolution of the
// device the metafile was made for.

#include <cmath>

#include "platform/gdiplus/formats/formats.h"

namespace platform::gdiplus::emf {

namespace {
constexpr std::uint32_t kHeaderRecord = 1;
constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kMinHeaderSize = 88;

double DeviceDpi(std::int32_t pixels, std::int32_t millimetres) {
  if (pixels <= 0 || millimetres <= 0) return kDefaultDpi;
  return pixels * 25.4 / millimetres;
}

std::int32_t FrameToPixels(std::int64_t hundredthsOfMm, double dpi) {
  if (hundredthsOfMm <= 0) RejectPicture();
  const double pixels = std::round(static_cast<double>(hundredthsOfMm) * dpi / 2540.0);
  if (!(pixels < 2147483648.0)) RejectPicture();
  return CheckedExtent(pixels < 1 ? 1 : static_cast<std::uint64_t>(pixels));
}
}  // namespace

bool Sniff(std::span<const std::uint8_t> data) noexcept {
  const ByteView v(data);
  return v.Has(0, 44) && v.U32le(0) == kHeaderRecord && v.U32le(40) == kSignature;
}

PictureHeader Read(std::span<const std::uint8_t> data) {
  const ByteView v(data);
  const std::uint32_t recordSize = v.U32le(4);
  const std::uint32_t fileSize = v.U32le(48);
  // The header record and the whole file it announces must be there.
  if (recordSize < kMinHeaderSize || recordSize % 4 != 0 || !v.Has(0, recordSize)) RejectPicture();
  if (fileSize < recordSize || fileSize > v.size()) RejectPicture();

  const std::int64_t frameWidth = std::int64_t{v.I32le(32)} - v.I32le(24);
  const std::int64_t frameHeight = std::int64_t{v.I32le(36)} - v.I32le(28);
  PictureHeader h{"EMF"};
  h.horizontalDpi = DeviceDpi(v.I32le(72), v.I32le(80));
  h.verticalDpi = DeviceDpi(v.I32le(76), v.I32le(84));
  h.width = FrameToPixels(frameWidth, h.horizontalDpi);
  h.height = FrameToPixels(frameHeight, h.verticalDpi);
  return h;
}

}  // namespace platform::gdiplus::emf
