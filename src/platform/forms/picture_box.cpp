#include "platform/forms/picture_box.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "platform/forms/form.h"
#include "platform/forms/screen.h"
#include "platform/fso/resolve.h"
#include "platform/gdiplus/file_pictures.h"
#include "platform/gdiplus/header_reader.h"
#include "runtime/error.h"

namespace platform::forms {

namespace {

constexpr long kInvalidPicture = 481;
constexpr float kFramePixels = 2;

std::string FileName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

StdPicture LoadPicture(const std::string& path) {
  const std::string resolved = fso::ResolvePath(path);
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(resolved, ec))
    runtime::Raise(runtime::err::kFileNotFound, "File not found");
  gdiplus::PictureHeader header;
  try {
    header = gdiplus::ReadPictureHeader(gdiplus::MappedPicture(resolved).bytes());
  } catch (const runtime::Error&) {
    runtime::Raise(kInvalidPicture, "Invalid picture");
  }
  // The forms runtime of old read neither PNG nor TIFF.
  if (header.format == "PNG" || header.format == "TIFF") runtime::Raise(kInvalidPicture, "Invalid picture");
  // A photo turned by its orientation takes its upright shape.
  if (header.orientation >= 5) std::swap(header.width, header.height);
  return StdPicture{resolved, header.width, header.height};
}

void PictureBox::Picture(StdPicture value) {
  picture_ = std::move(value);
  if (autoSize_) FitToPicture();
  Changed();
}

void PictureBox::AutoSize(bool value) {
  autoSize_ = value;
  if (autoSize_) FitToPicture();
  Changed();
}

void PictureBox::BorderStyle(int value) {
  if (value != vbPictureNoBorder && value != vbPictureFixedSingle)
    runtime::Raise(formerr::kInvalidPropertyValue, "Invalid property value");
  borderStyle_ = value;
  if (autoSize_) FitToPicture();
  Changed();
}

float PictureBox::ScaleWidth() const {
  const float frame = borderStyle_ == vbPictureNoBorder ? 0 : 2 * kFramePixels * Screen().TwipsPerPixelX();
  return std::max(Width() - frame, 0.0f);
}

float PictureBox::ScaleHeight() const {
  const float frame = borderStyle_ == vbPictureNoBorder ? 0 : 2 * kFramePixels * Screen().TwipsPerPixelY();
  return std::max(Height() - frame, 0.0f);
}

void PictureBox::FitToPicture() {
  const float frame = borderStyle_ == vbPictureNoBorder ? 0 : 2 * kFramePixels;
  Width((static_cast<float>(picture_.widthPixels) + frame) * Screen().TwipsPerPixelX());
  Height((static_cast<float>(picture_.heightPixels) + frame) * Screen().TwipsPerPixelY());
}

std::string PictureBox::Describe() const {
  if (picture_.path.empty()) return {};
  return FileName(picture_.path) + " " + std::to_string(picture_.widthPixels) + "x" +
         std::to_string(picture_.heightPixels);
}

void PictureBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  const auto& box = static_cast<const PictureBox&>(other);
  picture_ = box.picture_;
  autoSize_ = box.autoSize_;
  borderStyle_ = box.borderStyle_;
}

}  // namespace platform::forms
