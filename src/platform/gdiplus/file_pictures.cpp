#include "platform/gdiplus/file_pictures.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/fso/resolve.h"
#include "platform/gdiplus/exif_reader.h"
#include "platform/gdiplus/header_reader.h"
#include "platform/unique_fd.h"

namespace platform::gdiplus {

MappedPicture::MappedPicture(const std::string& given) {
  const std::string path = platform::fso::ResolvePath(given);  // names are found without regard to case
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) RaiseStatus(kErrCannotLoad, Status::FileNotFound);
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) RaiseStatus(kErrCannotLoad, Status::FileNotFound);
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) RaiseStatus(kErrCannotLoad, Status::FileNotFound);
  size_ = static_cast<std::size_t>(info.st_size);
  void* at = size_ == 0 ? nullptr : ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd.Get(), 0);
  fd.Reset();  // the mapping keeps the file
  if (at == MAP_FAILED) RaiseStatus(kErrCannotLoad, Status::FileNotFound);
  data_ = static_cast<const std::uint8_t*>(at);
}

MappedPicture::~MappedPicture() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
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

PictureData FilePictures::Load(const std::string& path) { return DecodePicture(MappedPicture(path).bytes()); }

}  // namespace platform::gdiplus
