#pragma once
// An image list: pictures by index (from 0) and by key, handed to other
// controls, which draw their items' icons from it. It shows nothing itself
// and has no place on the form.

#include <string>
#include <vector>

#include "platform/forms/controls.h"

namespace platform::controls {

class ImageList : public forms::Control {
 public:
  std::string_view TypeName() const override { return "ImageList"; }

  // A picture file (a path) with an optional key; its index is the count before.
  void Add(std::string picture, std::string key = {});
  long Count() const { return static_cast<long>(images_.size()); }
  // The picture at the index; 35600 "Index out of bounds" outside 0 to Count - 1.
  const std::string& Picture(long index) const;
  const std::string& KeyOf(long index) const;
  // The index of the key; -1 when none.
  long IndexOf(const std::string& key) const;
  // Edge of the square icons, in pixels.
  long IconSize() const { return iconSize_; }
  void IconSize(long pixels) { iconSize_ = pixels; }

  std::string Describe() const override;

 protected:
  bool HasGeometry() const override { return false; }
  bool HasTabIndex() const override { return false; }

 private:
  struct Entry {
    std::string picture;
    std::string key;
  };
  const Entry& At(long index) const;
  std::vector<Entry> images_;
  long iconSize_ = 16;
};

}  // namespace platform::controls
