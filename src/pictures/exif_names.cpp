#include "pictures/exif_names.h"

#include <array>
#include <string_view>

namespace lumivane::modPictureAttachments {

namespace {
constexpr std::array<std::string_view, 19> kNames = {
    "DatePictureTaken",
    "BitDepth",
    "FrameCount",
    "EquipmentMake",
    "CameraModel",
    "CreationSoftware",
    "ColorRepresentation",
    "ShutterSpeed",
    "LensAperture",
    "SubjectDistance",
    "FlashMode",
    "FocalLength",
    "FNumber",
    "ExposureTime",
    "ISOSpeed",
    "MeteringMode",
    "LightSource",
    "ExposureProgram",
    "ExposureCompensation",
};
}  // namespace

std::string GetEXIFPropertyNameByEnum(long n) {
  if (n < 1 || n > static_cast<long>(kNames.size())) return {};
  return std::string(kNames[static_cast<std::size_t>(n - 1)]);
}

}  // namespace lumivane::modPictureAttachments
