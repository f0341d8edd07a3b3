#include "platform/controls/image_list.h"

#include "runtime/error.h"

namespace platform::controls {

void ImageList::Add(std::string picture, std::string key) {
  images_.push_back(Entry{std::move(picture), std::move(key)});
  Changed();
}

const ImageList::Entry& ImageList::At(long index) const {
  if (index < 0 || index >= Count()) runtime::Raise(35600, "Index out of bounds");
  return images_[static_cast<std::size_t>(index)];
}

const std::string& ImageList::Picture(long index) const { return At(index).picture; }

const std::string& ImageList::KeyOf(long index) const { return At(index).key; }

long ImageList::IndexOf(const std::string& key) const {
  for (std::size_t i = 0; i < images_.size(); ++i)
    if (!key.empty() && images_[i].key == key) return static_cast<long>(i);
  return -1;
}

std::string ImageList::Describe() const {
  return std::to_string(images_.size()) + (images_.size() == 1 ? " image" : " images");
}

}  // namespace platform::controls
