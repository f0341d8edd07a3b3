#pragma once
// The image combo: a drop-down list whose entries carry an icon (from an
// image list) beside their text. Text is the chosen entry's text, "" with
// none. Choosing an entry in code (SelectText, ListIndex) raises no Click;
// a person choosing one (user::ChooseImageComboEntry) does, even the entry
// already chosen. Redraw off holds back drawing while the list is filled.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/controls.h"

namespace platform::controls {

class ImageCombo;
class ImageList;

}  // namespace platform::controls

namespace platform::forms::user {
// A person opens the list and picks the entry of that text (exactly; 5 when
// there is none), or at that index; the combo raises Click.
void ChooseImageComboEntry(controls::ImageCombo& combo, std::string_view text);
void ChooseImageComboEntry(controls::ImageCombo& combo, int index);
}  // namespace platform::forms::user

namespace platform::controls {

class ImageCombo : public forms::Control {
 public:
  std::string_view TypeName() const override { return "ImageCombo"; }

  // Appends an entry; icon into the image list, -1 for none.
  void AddItem(std::string text, long icon = -1);
  void Clear();
  int ListCount() const { return static_cast<int>(entries_.size()); }
  // "" outside the list.
  std::string List(int index) const;
  long IconOf(int index) const;
  // -1 for none, else 0..ListCount-1 (else 380).
  int ListIndex() const { return listIndex_; }
  void ListIndex(int value);
  // The entry whose text equals `text` (case counts) becomes the choice;
  // false, and nothing changes, when there is none.
  bool SelectText(std::string_view text);
  std::string Text() const { return List(listIndex_); }

  bool Redraw() const { return redraw_; }
  void Redraw(bool value);
  ImageList* Images() const { return images_; }
  void Images(ImageList* list);

  // "\"Eye of Pictures\" of \"Eye of Pictures\" | \"Windows Picture and Fax Viewer\"".
  std::string Describe() const override;

 protected:
  bool Focusable() const override { return true; }
  void CopyFrom(const Control& other) override;

 private:
  friend void forms::user::ChooseImageComboEntry(ImageCombo& combo, int index);
  void Show();

  struct Entry {
    std::string text;
    long icon = -1;
  };
  std::vector<Entry> entries_;
  int listIndex_ = -1;
  bool redraw_ = true;
  bool dirty_ = false;
  ImageList* images_ = nullptr;
};

}  // namespace platform::controls
