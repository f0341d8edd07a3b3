#include "pictures/image_files.h"

#include "platform/gdiplus/gdiplus.h"
#include "runtime/handlers.h"

namespace lumivane {

namespace modPictureAttachments {
std::shared_ptr<platform::gdiplus::GdiPlusSession> g_objGdiPlusSession;
}  // namespace modPictureAttachments

namespace {
using modPictureAttachments::g_objGdiPlusSession;

void EnsureSession(runtime::ResumeNext& rn) {
  if (!g_objGdiPlusSession) rn([] { g_objGdiPlusSession = platform::gdiplus::CreateSession(); });
}
}  // namespace

ImageFiles::ImageFiles() {
  runtime::ResumeNext rn;
  EnsureSession(rn);
  if (g_objGdiPlusSession) rn([&] { gdiOkay_ = g_objGdiPlusSession->Startup(); });
}

ImageFiles::~ImageFiles() {
  runtime::ResumeNext rn;
  mCol_.Clear();
  if (!gdiOkay_) return;  // only a started collection has a session share to give back
  EnsureSession(rn);
  if (g_objGdiPlusSession) rn([] { g_objGdiPlusSession->Shutdown(); });
}

std::shared_ptr<ImageFile> ImageFiles::Add(const std::string& Path, const std::string& sKey) {
  runtime::ResumeNext rn;
  auto file = std::make_shared<ImageFile>();
  file->Path(Path);
  if (gdiOkay_) file->LoadEXIFData();
  if (!sKey.empty()) {
    rn([&] { mCol_.Add(file, sKey); });
  } else {
    mCol_.Add(file);
  }
  return file;
}

std::shared_ptr<ImageFile> ImageFiles::Item(long index) const {
  return runtime::ValueOr([&] { return mCol_.Item(index); }, std::shared_ptr<ImageFile>());
}

std::shared_ptr<ImageFile> ImageFiles::Item(std::string_view key) const {
  return runtime::ValueOr([&] { return mCol_.Item(key); }, std::shared_ptr<ImageFile>());
}

std::shared_ptr<ImageFile> ImageFiles::ItemByFileName(std::string_view FileName) const {
  for (const std::shared_ptr<ImageFile>& file : mCol_) {
    if (file->FileName() == FileName) return file;
  }
  return nullptr;
}

long ImageFiles::EXIFCount() const {
  long n = 0;
  for (const std::shared_ptr<ImageFile>& file : mCol_) {
    if (file->HasEXIFData()) ++n;
  }
  return n;
}

void ImageFiles::Remove(long index) {
  runtime::ResumeNext rn;
  rn([&] { mCol_.Remove(index); });
}

void ImageFiles::Remove(std::string_view key) {
  runtime::ResumeNext rn;
  rn([&] { mCol_.Remove(key); });
}

}  // namespace lumivane
