#pragma once
// The discovered picture viewers and web browsers, in the order they were
// found (nothing sorts them), keyed by display name, with the rules of the
// default viewer and of the chosen handler of each picture format.
//
// GetImageHandler lets an error reach the caller; every other member passes
// over errors and goes on.

#include <memory>
#include <string>

#include "pictures/image_viewer.h"
#include "runtime/collection.h"
#include "runtime/variant.h"

namespace lumivane {

class ImageViewers {
 public:
  using Entries = runtime::Collection<std::shared_ptr<ImageViewer>>;

  // A new viewer named sViewerName (as mapped by ViewerName), added under
  // sKey or, when that is empty, under its name. A key already present is
  // not added again; the new viewer is returned all the same.
  std::shared_ptr<ImageViewer> Add(const std::string& sViewerName, const std::string& sKey = {});
  // By index from 1 or by key (a Long or a text); what is not found falls
  // back to the entry "Custom", else nullptr. The caller's key is left as it is.
  std::shared_ptr<ImageViewer> Item(const runtime::Variant& vntIndexKey) const;
  // An index beyond the 32-bit range is not found (it never wraps onto another entry).
  std::shared_ptr<ImageViewer> Item(long index) const { return Item(runtime::Variant(static_cast<double>(index))); }
  long Count() const { return entries_.Count(); }
  void Remove(const runtime::Variant& vntIndexKey);

  // NewEnum: the entries in order.
  Entries::const_iterator begin() const { return entries_.begin(); }
  Entries::const_iterator end() const { return entries_.end(); }

  // ImageType is an lvwImageType: 0 BMP, 1 GIF, 2 JPEG, 3 TIFF, 4 PNG, 5 EMF, 6 WMF.
  // The first entry that handles the format; nullptr for none or another number.
  std::shared_ptr<ImageViewer> GetImageHandler(long ImageType) const;
  // The first entry whose PreferredHandler reads true; nullptr when none does.
  std::shared_ptr<ImageViewer> GetDefaultViewer() const;
  // Exactly the entries named ViewerName (case counts) become preferred.
  void SetDefaultViewer(const std::string& ViewerName);
  // Exactly the entries named ViewerName handle the format; another number changes nothing.
  void SetImageHandler(const std::string& ViewerName, long ImageType);

 private:
  Entries entries_;
};

// Made empty and filled by discovery at start-up, released at shutdown.
extern std::shared_ptr<ImageViewers> g_objImageViewers;
// The same entries split by IsBrowser at start-up, without keys.
extern std::shared_ptr<ImageViewers::Entries> g_colViewers;
extern std::shared_ptr<ImageViewers::Entries> g_colBrowsers;

}  // namespace lumivane
