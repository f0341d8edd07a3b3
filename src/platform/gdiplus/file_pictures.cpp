#include "platform/gdiplus/file_pictures.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/fso/resolve.h"
#include "platform/gdiplus/exif_reader.h"
#include "platform/gdiplus/header_reader.h"

namespace platform::gdiplus {

std::vector<std::uint8_t> ReadPictureFile(const std::string& given) {
  const std::string path = platform::fso::ResolvePath(given);  // names are found without regard to case
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) RaiseStatus(kErrCannotLoad, Status::FileNotFound);
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) RaiseStatus(kErrCannotLoad, Status::FileNotFound);
  const std::streamoff size = in.tellg();
  if (size < 0) RaiseStatus(kErrCannotLoad, Status::FileNotFound);
  if (static_cast<std::uint64_t>(size) > kMaxPictureBytes) RaiseStatus(kErrCannotLoad, Status::OutOfMemory);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) RaiseStatus(kErrCannotLoad, Status::FileNotFound);
  return bytes;
}

PictureData DecodePicture(std::span<const std::uint8_t> bytes) {
  const PictureHeader header = ReadPictureHeader(bytes);
  PictureData picture;
  picture.format = std::string(header.format);
  picture.width = header.width;
  picture.height = header.height;
  picture.horizontalResolution = static_cast<float>(header.horizontalDpi);
  picture.verticalResolution = static_cast<float>(header.verticalDpi);
  picture.properties = ReadExifProperties(bytes);
  return picture;
}

PictureData FilePictures::Load(const std::string& path) { return DecodePicture(ReadPictureFile(path)); }

}  // namespace platform::gdiplus
