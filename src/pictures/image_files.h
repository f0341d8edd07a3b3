#pragma once
// The pictures of the message on show, in order, with optional text keys.
//
// Each collection starts the one picture-loader session when it is created
// (GDIOKay says whether that worked) and shuts it down when it ends. The
// session counts its users, so a collection that ends does not stop the
// loads of another one still alive; a collection whose start-up failed does
// not shut down at all, so it cannot end someone else's session either.
//
// Pictures are held open only while an ImageFile reads them (see
// image_file.h); ending the collection lets go of its members before it
// shuts the session down.

#include <memory>
#include <string>
#include <string_view>

#include "pictures/image_file.h"
#include "runtime/collection.h"

namespace platform::gdiplus {
class GdiPlusSession;
}

namespace lumivane::modPictureAttachments {
// The add-in's one session of the picture loader: created by the first
// collection that is created or ended, and never released.
extern std::shared_ptr<platform::gdiplus::GdiPlusSession> g_objGdiPlusSession;
}  // namespace lumivane::modPictureAttachments

namespace lumivane {

class ImageFiles {
 public:
  ImageFiles();
  ~ImageFiles();
  ImageFiles(const ImageFiles&) = delete;
  ImageFiles& operator=(const ImageFiles&) = delete;

  // A new ImageFile for the path, described when GDIOKay, added under the key
  // unless the key is empty. A key already in use is passed over: the file is
  // returned but not added.
  std::shared_ptr<ImageFile> Add(const std::string& Path, const std::string& sKey = {});
  // The member at the index (from 1) or under the key; nullptr when none.
  std::shared_ptr<ImageFile> Item(long index) const;
  std::shared_ptr<ImageFile> Item(std::string_view key) const;
  // The first member whose FileName is exactly the text (case counts).
  std::shared_ptr<ImageFile> ItemByFileName(std::string_view FileName) const;
  long Count() const { return mCol_.Count(); }
  // Members whose HasEXIFData is True.
  long EXIFCount() const;
  // An unknown index or key is passed over.
  void Remove(long index);
  void Remove(std::string_view key);
  bool GDIOKay() const { return gdiOkay_; }

  // NewEnum: the members in order.
  auto begin() const { return mCol_.begin(); }
  auto end() const { return mCol_.end(); }

 private:
  runtime::Collection<std::shared_ptr<ImageFile>> mCol_;
  bool gdiOkay_ = false;
};

}  // namespace lumivane
