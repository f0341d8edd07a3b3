#include "platform/controls/image_combo.h"

#include "platform/forms/form.h"
#include "platform/forms/ui.h"
#include "runtime/error.h"

namespace platform::controls {

void ImageCombo::Show() {
  if (redraw_) {
    Changed();
  } else {
    dirty_ = true;
  }
}

void ImageCombo::AddItem(std::string text, long icon) {
  entries_.push_back({std::move(text), icon});
  Show();
}

void ImageCombo::Clear() {
  entries_.clear();
  listIndex_ = -1;
  Show();
}

std::string ImageCombo::List(int index) const {
  if (index < 0 || index >= ListCount()) return {};
  return entries_[static_cast<std::size_t>(index)].text;
}

long ImageCombo::IconOf(int index) const {
  if (index < 0 || index >= ListCount()) return -1;
  return entries_[static_cast<std::size_t>(index)].icon;
}

void ImageCombo::ListIndex(int value) {
  if (value < -1 || value >= ListCount())
    runtime::Raise(forms::formerr::kInvalidPropertyValue, "Invalid property value");
  listIndex_ = value;
  Show();
}

bool ImageCombo::SelectText(std::string_view text) {
  for (int i = 0; i < ListCount(); ++i) {
    if (entries_[static_cast<std::size_t>(i)].text != text) continue;
    ListIndex(i);
    return true;
  }
  return false;
}

void ImageCombo::Redraw(bool value) {
  redraw_ = value;
  if (value && dirty_) {
    dirty_ = false;
    Changed();
  }
}

void ImageCombo::Images(ImageList* list) {
  images_ = list;
  Show();
}

std::string ImageCombo::Describe() const {
  std::string out = "\"" + Text() + "\" of";
  for (int i = 0; i < ListCount(); ++i) out += (i == 0 ? " \"" : " | \"") + List(i) + "\"";
  if (ListCount() == 0) out += " nothing";
  return out;
}

void ImageCombo::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  const auto& from = static_cast<const ImageCombo&>(other);
  entries_ = from.entries_;
  listIndex_ = from.listIndex_;
  images_ = from.images_;
}

}  // namespace platform::controls

namespace platform::forms::user {

void ChooseImageComboEntry(controls::ImageCombo& combo, std::string_view text) {
  for (int i = 0; i < combo.ListCount(); ++i) {
    if (combo.List(i) != text) continue;
    ChooseImageComboEntry(combo, i);
    return;
  }
  runtime::Raise(runtime::err::kInvalidProcedureCall, "No entry '" + std::string(text) + "' in the list");
}

void ChooseImageComboEntry(controls::ImageCombo& combo, int index) {
  RequireReachable(combo);
  if (index < 0 || index >= combo.ListCount()) runtime::Raise(runtime::err::kInvalidProcedureCall);
  FormAccess::Focus(combo.Parent(), &combo);
  combo.Parent().Dispatch([&] {
    combo.ListIndex(index);
    auto handler = combo.Click;
    if (handler) handler();
  });
}

}  // namespace platform::forms::user
