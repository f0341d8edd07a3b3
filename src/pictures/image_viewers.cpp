#include "pictures/image_viewers.h"

#include "runtime/convert.h"
#include "runtime/handlers.h"

namespace lumivane {

std::shared_ptr<ImageViewers> g_objImageViewers;
std::shared_ptr<ImageViewers::Entries> g_colViewers;
std::shared_ptr<ImageViewers::Entries> g_colBrowsers;

namespace {

// The handler flag of a format, by lvwImageType; false outside 0 to 6.
bool Handles(const ImageViewer& v, long type) {
  switch (type) {
    case 0: return v.BMPHandler();
    case 1: return v.GIFHandler();
    case 2: return v.JPGHandler();
    case 3: return v.TIFHandler();
    case 4: return v.PNGHandler();
    case 5: return v.EMFHandler();
    case 6: return v.WMFHandler();
    default: return false;
  }
}

void SetHandles(ImageViewer& v, long type, bool on) {
  switch (type) {
    case 0: v.BMPHandler(on); break;
    case 1: v.GIFHandler(on); break;
    case 2: v.JPGHandler(on); break;
    case 3: v.TIFHandler(on); break;
    case 4: v.PNGHandler(on); break;
    case 5: v.EMFHandler(on); break;
    case 6: v.WMFHandler(on); break;
    default: break;
  }
}

std::shared_ptr<ImageViewer> Lookup(const ImageViewers::Entries& entries, const runtime::Variant& indexKey) {
  if (indexKey.kind() == runtime::Variant::Kind::String) return entries.Item(indexKey.AsString());
  return entries.Item(static_cast<long>(runtime::CLng(indexKey)));
}

}  // namespace

std::shared_ptr<ImageViewer> ImageViewers::Add(const std::string& sViewerName, const std::string& sKey) {
  runtime::ResumeNext rn;
  auto viewer = std::make_shared<ImageViewer>();
  rn([&] { viewer->ViewerName(sViewerName); });
  // A second entry of a name is refused; the caller still gets its object.
  rn([&] { entries_.Add(viewer, sKey.empty() ? viewer->ViewerName() : sKey); });
  return viewer;
}

std::shared_ptr<ImageViewer> ImageViewers::Item(const runtime::Variant& vntIndexKey) const {
  runtime::ResumeNext rn;
  std::shared_ptr<ImageViewer> found;
  if (rn([&] { found = Lookup(entries_, vntIndexKey); })) return found;
  rn([&] { found = entries_.Item("Custom"); });
  return found;
}

void ImageViewers::Remove(const runtime::Variant& vntIndexKey) {
  runtime::ResumeNext rn;
  rn([&] {
    if (vntIndexKey.kind() == runtime::Variant::Kind::String) {
      entries_.Remove(vntIndexKey.AsString());
    } else {
      entries_.Remove(static_cast<long>(runtime::CLng(vntIndexKey)));
    }
  });
}

std::shared_ptr<ImageViewer> ImageViewers::GetImageHandler(long ImageType) const {
  for (const auto& viewer : entries_) {
    if (Handles(*viewer, ImageType)) return viewer;
  }
  return nullptr;
}

std::shared_ptr<ImageViewer> ImageViewers::GetDefaultViewer() const {
  runtime::ResumeNext rn;
  for (const auto& viewer : entries_) {
    bool preferred = false;
    rn([&] { preferred = viewer->PreferredHandler(); });
    if (preferred) return viewer;
  }
  return nullptr;
}

void ImageViewers::SetDefaultViewer(const std::string& ViewerName) {
  runtime::ResumeNext rn;
  for (const auto& viewer : entries_) rn([&] { viewer->PreferredHandler(viewer->ViewerName() == ViewerName); });
}

void ImageViewers::SetImageHandler(const std::string& ViewerName, long ImageType) {
  if (ImageType < 0 || ImageType > 6) return;
  runtime::ResumeNext rn;
  for (const auto& viewer : entries_) rn([&] { SetHandles(*viewer, ImageType, viewer->ViewerName() == ViewerName); });
}

}  // namespace lumivane
