#include "pictures/image_file.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/fso/fso.h"
#include "platform/gdiplus/gdiplus.h"
#include "runtime/convert.h"
#include "runtime/handlers.h"
#include "runtime/text.h"
#include "settings/addin_state.h"
#include "settings/app.h"
#include "settings/reg_settings.h"

namespace lumivane {

namespace {

using platform::gdiplus::GdiPlusPropertyItem;

bool DebugModeIsOn() { return g_objSettings && g_objSettings->DebugMode(); }

// The tags read after the colour space, in the order of the property names.
struct TagLet {
  long tag;
  void (*let)(ImageFile&, const runtime::Variant&);
};
const std::array<TagLet, 17> kExifTags = {{
    {258, [](ImageFile& f, const runtime::Variant& v) { f.BitDepth(runtime::CInt(v)); }},
    {272, [](ImageFile& f, const runtime::Variant& v) { f.CameraModel(runtime::CStr(v)); }},
    {305, [](ImageFile& f, const runtime::Variant& v) { f.CreationSoftware(runtime::CStr(v)); }},
    {36867, [](ImageFile& f, const runtime::Variant& v) { f.DatePictureTaken(runtime::CStr(v)); }},
    {271, [](ImageFile& f, const runtime::Variant& v) { f.EquipmentMake(runtime::CStr(v)); }},
    {37380, [](ImageFile& f, const runtime::Variant& v) { f.ExposureCompensation(runtime::CStr(v)); }},
    {34850, [](ImageFile& f, const runtime::Variant& v) { f.ExposureProgram(runtime::CStr(v)); }},
    {33434, [](ImageFile& f, const runtime::Variant& v) { f.ExposureTime(runtime::CStr(v)); }},
    {37385, [](ImageFile& f, const runtime::Variant& v) { f.FlashMode(runtime::CStr(v)); }},
    {33437, [](ImageFile& f, const runtime::Variant& v) { f.FNumber(runtime::CStr(v)); }},
    {37386, [](ImageFile& f, const runtime::Variant& v) { f.FocalLength(runtime::CStr(v)); }},
    {34855, [](ImageFile& f, const runtime::Variant& v) { f.ISOSpeed(runtime::CStr(v)); }},
    {37378, [](ImageFile& f, const runtime::Variant& v) { f.LensAperture(runtime::CStr(v)); }},
    {37384, [](ImageFile& f, const runtime::Variant& v) { f.LightSource(runtime::CStr(v)); }},
    {37383, [](ImageFile& f, const runtime::Variant& v) { f.MeteringMode(runtime::CStr(v)); }},
    {37377, [](ImageFile& f, const runtime::Variant& v) { f.ShutterSpeed(runtime::CStr(v)); }},
    {37382, [](ImageFile& f, const runtime::Variant& v) { f.SubjectDistance(runtime::CStr(v)); }},
}};

constexpr long kColorSpaceTag = 40961;

// An unsigned LONG beyond the 32-bit signed range still shows as its number.
runtime::Variant WholeNumber(std::int64_t v) {
  if (v >= INT32_MIN && v <= INT32_MAX) return runtime::Variant(static_cast<std::int32_t>(v));
  return runtime::Variant(static_cast<double>(v));
}

}  // namespace

ImageFile::~ImageFile() { ReleaseImage(); }

void ImageFile::ReleaseImage() noexcept {
  if (!image_) return;
  runtime::ResumeNext rn;
  rn([&] { image_->Dispose(); });
  image_.reset();
}

void ImageFile::LoadEXIFData() {
  runtime::OnError eh([](const runtime::Error& e) {
    if (e.Number() == platform::gdiplus::kErrCannotLoad && DebugModeIsOn()) {
      ShowErrorBox(e, {"LoadEXIFData", runtime::ModuleKind::ClassModule, "ImageFile"}, " [Unable to load file]");
    }
  });
  // The original dropped an earlier image without Dispose and kept this one
  // until the ImageFile ended, holding the file all that time.
  ReleaseImage();
  struct Release {
    ImageFile* self;
    ~Release() { self->ReleaseImage(); }
  } release{this};

  eh([&] { image_ = platform::gdiplus::CreateImage(); });
  if (!image_) return;
  eh([&] { image_->LoadFile(path_); });
  eh([&] { HorizontalResolution(runtime::CInt(image_->HorizontalResolution())); });
  eh([&] { VerticalResolution(runtime::CInt(image_->VerticalResolution())); });
  eh([&] { PictureHeight(image_->Height()); });
  eh([&] { PictureWidth(image_->Width()); });

  std::shared_ptr<GdiPlusPropertyItem> item;
  eh([&] { item = image_->GetPropertyItem(kColorSpaceTag); });
  if (item) eh([&] { ColorRepresentation(runtime::CStr(GetPropertyItemValue(*item))); });
  if (colorRepresentation_ != "sRGB") return;

  for (const TagLet& t : kExifTags) {
    item.reset();
    eh([&] { item = image_->GetPropertyItem(t.tag); });
    if (item) eh([&] { t.let(*this, GetPropertyItemValue(*item)); });
  }
}

runtime::Variant ImageFile::GetPropertyItemValue(const GdiPlusPropertyItem& item) {
  runtime::ResumeNext rn;
  runtime::Variant value;
  long type = 0;
  long count = 0;
  if (!rn([&] { type = item.Type(); })) return value;
  rn([&] { count = item.Count(); });
  // Of a list of values only the last one counts, so only it is read: a
  // picture may claim millions of values, and each read is a call into the
  // library. No values leave the value empty.
  switch (type) {
    case platform::gdiplus::kTypeAscii: rn([&] { value = item.Text(); }); break;
    case platform::gdiplus::kTypeShort:
      if (count > 0) rn([&] { value = item.Short(count); });
      break;
    case platform::gdiplus::kTypeLong:
      if (count > 0) rn([&] { value = WholeNumber(item.Long(count)); });
      break;
    case platform::gdiplus::kTypeRational:
    case platform::gdiplus::kTypeSRational:
      if (count > 0) {
        rn([&] {
          const auto [numerator, denominator] = item.Rational(count);
          value = std::to_string(numerator) + "/" + std::to_string(denominator);
        });
      }
      break;
    case platform::gdiplus::kTypeUndefined: {
      std::vector<std::uint8_t> bytes;
      rn([&] { bytes = item.Bytes(); });
      const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(std::max(count, 0L)));
      if (n > 0) rn([&] { value = runtime::Hex(bytes[n - 1], 2); });
      break;
    }
    default: {
      long length = 0;
      rn([&] { length = item.Length(); });
      value = runtime::CStr(static_cast<std::int32_t>(type)) + " " + runtime::CStr(static_cast<std::int32_t>(length));
    }
  }
  return value;
}

void ImageFile::PictureHeight(std::int32_t v) {
  pictureHeight_ = v;
  if (pictureHeight_ != 0) dimensions_ = runtime::CStr(pictureWidth_) + " x " + runtime::CStr(pictureHeight_);
}

void ImageFile::PictureWidth(std::int32_t v) {
  pictureWidth_ = v;
  if (pictureHeight_ != 0) dimensions_ = runtime::CStr(pictureWidth_) + " x " + runtime::CStr(pictureHeight_);
}

void ImageFile::Path(const std::string& v) {
  runtime::ResumeNext rn;
  path_ = v;
  double bytes = 0;
  rn([&] {
    const std::shared_ptr<platform::fso::File> file = FSO()->GetFile(path_);
    if (!file) runtime::Raise(runtime::err::kObjectVariableNotSet);
    bytes = static_cast<double>(file->Size());
  });
  // Kilobytes first, halves to even; megabytes from those rounded kilobytes.
  double kb = 0;
  rn([&] { kb = runtime::Round(bytes / 1024); });
  if (kb >= 1000) {
    rn([&] { fileSize_ = runtime::CStr(runtime::Round(kb / 1024, 2)) + " MB"; });
  } else {
    rn([&] { fileSize_ = runtime::CStr(kb) + " KB"; });
  }
}

}  // namespace lumivane
