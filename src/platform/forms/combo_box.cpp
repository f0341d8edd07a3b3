#include "platform/forms/combo_box.h"

#include "platform/forms/form.h"
#include "platform/forms/ui.h"
#include "runtime/error.h"

namespace platform::forms {

ComboBox::ComboBox() {
  ForeColor(vbWindowText);
  BackColor(vbWindowBackground);
}

void ComboBox::AddItem(std::string item, int index) {
  if (index < -1 || index > ListCount()) runtime::Raise(runtime::err::kInvalidProcedureCall);
  if (index == -1) {
    list_.push_back(std::move(item));
  } else {
    list_.insert(list_.begin() + index, std::move(item));
    // The chosen entry stays chosen when one is put before it.
    if (listIndex_ >= index) ++listIndex_;
  }
  Changed();
}

void ComboBox::Clear() {
  list_.clear();
  listIndex_ = -1;
  Changed();
}

std::string ComboBox::List(int index) const {
  return index >= 0 && index < ListCount() ? list_[static_cast<std::size_t>(index)] : std::string();
}

void ComboBox::ListIndex(int value) {
  if (value < -1 || value >= ListCount()) runtime::Raise(formerr::kInvalidPropertyValue, "Invalid property value");
  listIndex_ = value;
  Changed();
}

std::string ComboBox::Describe() const {
  std::string out = "\"" + Text() + "\" of";
  for (std::size_t i = 0; i < list_.size(); ++i) out += (i == 0 ? " \"" : " | \"") + list_[i] + "\"";
  return out;
}

void ComboBox::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  const auto& combo = static_cast<const ComboBox&>(other);
  list_ = combo.list_;
  listIndex_ = combo.listIndex_;
}

namespace user {

void Choose(ComboBox& combo, int index) {
  RequireReachable(combo);
  if (index < 0 || index >= combo.ListCount())
    runtime::Raise(runtime::err::kInvalidProcedureCall,
                   "the list of '" + combo.Name() + "' has no entry " + std::to_string(index));
  combo.Parent().Dispatch([&] {
    FormAccess::Focus(combo.Parent(), &combo);
    combo.ListIndex(index);
    combo.RaiseClick();
  });
}

void Choose(ComboBox& combo, std::string_view text) {
  for (int i = 0; i < combo.ListCount(); ++i) {
    if (combo.List(i) == text) {
      Choose(combo, i);
      return;
    }
  }
  RequireReachable(combo);
  runtime::Raise(runtime::err::kInvalidProcedureCall,
                 "the list of '" + combo.Name() + "' has no entry \"" + std::string(text) + "\"");
}

}  // namespace user

}  // namespace platform::forms
