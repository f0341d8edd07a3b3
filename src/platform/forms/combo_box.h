#pragma once
// The drop-down list combo box of the forms runtime (a ComboBox of style 2):
// a list of texts and the index of the one chosen. Its Text is the chosen
// entry ("" with none). Setting ListIndex in code raises no Click; a person
// choosing an entry (user::Choose) does, even the entry already chosen.

#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/controls.h"

namespace platform::forms {

class ComboBox;

namespace user {
// Chooses an entry of the list as a person does: opens the list, picks the
// entry, and the combo raises Click. By index, or by the entry's text (5
// when the list has no such entry).
void Choose(ComboBox& combo, int index);
void Choose(ComboBox& combo, std::string_view text);
}  // namespace user

class ComboBox : public Control {
 public:
  ComboBox();
  std::string_view TypeName() const override { return "ComboBox"; }

  // Adds an entry at the end, or before `index` (0..ListCount, else 5).
  void AddItem(std::string item, int index = -1);
  // Empties the list; nothing is chosen afterwards.
  void Clear();
  int ListCount() const { return static_cast<int>(list_.size()); }
  // The entry at `index`; "" outside the list.
  std::string List(int index) const;
  // -1 for none, else 0..ListCount-1 (else 380).
  int ListIndex() const { return listIndex_; }
  void ListIndex(int value);
  std::string Text() const { return List(listIndex_); }
  // "\"Wizard\" of \"Never\" | \"Slideshow\" | \"Wizard\"".
  std::string Describe() const override;

 protected:
  bool Focusable() const override { return true; }
  void CopyFrom(const Control& other) override;

 private:
  friend void user::Choose(ComboBox& combo, int index);

  std::vector<std::string> list_;
  int listIndex_ = -1;
};

}  // namespace platform::forms
