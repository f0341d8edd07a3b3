#pragma once
// The command bar control: buttons kept once per control array and shown
// by toolbars. A toolbar lists buttons by key; one element shows one
// toolbar along its form's edge, in one of four styles. A button may carry
// a drop-down bar: opening it asks the form for another element of the
// array (NewBarInstance), which then shows that bar as a menu.
//
//   auto& bar = cmdBar(0);
//   bar.Buttons().Add("VIEWOPTION", -1, "&Views", cbbNormal, "Change the view.", 0, 2);
//   auto tb = bar.Bars().Add("TASKBAR", "Format");
//   tb->Buttons().Add(bar.Buttons().Item("VIEWOPTION"));
//   bar.Toolbar(tb);
//
// Keys are found without regard to case, as in every keyed collection of
// the runtime; a key that is not there raises 35601 "Element not found", a
// key already used 35602 "Key is not unique in collection".
//
// A panel button hosts a control of the same form (a label, a combo): that
// control's container becomes the element whose toolbar holds the button,
// and a drawing puts it into the panel at the panel's width.
//
// What a drawing shows: the style, the displayed toolbar's buttons in order
// with their images (from ImageList), captions where shown on the bar,
// tooltips, separators, panels, drop-down arrows; the drop-down bar's
// entries with their check marks.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/controls.h"

namespace platform::controls {

class CommandBar;
class ImageList;

// What a button is.
enum CommandBarButtonStyle : long {
  cbbNormal = 0,
  cbbSeparator = 1,
  cbbPanel = 3,
  cbbTaskPane = 4,  // a button that stands for a pane shown or hidden
  cbbCheck = 5,     // an entry with a check mark
};

// How the bar looks.
enum CommandBarStyle : long { cbsOfficeXP = 0, cbsOffice2003 = 1, cbsMoney = 2, cbsSystem = 3 };
// "Office XP", "Office 2003", "Money", "System"; "" for another number.
std::string_view CommandBarStyleName(long style);

namespace command_bar_detail {
struct Shared;
}

class CommandBarToolbar;

class CommandBarButton {
 public:
  CommandBarButton(std::weak_ptr<command_bar_detail::Shared> shared, std::string key, long icon, std::string caption,
                   long style, std::string toolTip, long shortcutKey, long shortcutShift);

  const std::string& Key() const { return key_; }
  long Style() const { return style_; }
  const std::string& Caption() const { return caption_; }
  void Caption(std::string value);
  // Into the image list; -1 for none.
  long IconIndex() const { return icon_; }
  void IconIndex(long value);
  const std::string& ToolTipText() const { return toolTip_; }
  void ToolTipText(std::string value);
  bool Checked() const { return checked_; }
  void Checked(bool value);
  bool ShowCaptionInToolbar() const { return showCaption_; }
  void ShowCaptionInToolbar(bool value);
  bool ShowDropDownInToolbar() const { return showDropDown_; }
  void ShowDropDownInToolbar(bool value);
  // The control a panel hosts (of the bar's form), or nullptr.
  forms::Control* PanelControl() const { return panelControl_; }
  void PanelControl(forms::Control* control);
  // Pixels.
  long PanelWidth() const { return panelWidth_; }
  void PanelWidth(long value);
  // The bar shown when the button drops down, or nullptr.
  std::shared_ptr<CommandBarToolbar> Bar() const { return bar_.lock(); }
  void Bar(const std::shared_ptr<CommandBarToolbar>& bar);
  long ShortcutKey() const { return shortcutKey_; }
  long ShortcutShift() const { return shortcutShift_; }

 private:
  void Touch() const;
  std::weak_ptr<command_bar_detail::Shared> shared_;
  std::string key_;
  long icon_;
  std::string caption_;
  long style_;
  std::string toolTip_;
  long shortcutKey_;
  long shortcutShift_;
  bool checked_ = false;
  bool showCaption_ = false;
  bool showDropDown_ = false;
  forms::Control* panelControl_ = nullptr;
  long panelWidth_ = 0;
  std::weak_ptr<CommandBarToolbar> bar_;
};

// The buttons of the whole array, or of one toolbar.
class CommandBarButtons {
 public:
  explicit CommandBarButtons(std::weak_ptr<command_bar_detail::Shared> shared, bool owner)
      : shared_(std::move(shared)), owner_(owner) {}
  // A new button (the array's list only).
  std::shared_ptr<CommandBarButton> Add(std::string key, long icon, std::string caption, long style,
                                        std::string toolTip, long shortcutKey = 0, long shortcutShift = 0);
  // An existing button put at the end (a toolbar's list only).
  void Add(const std::shared_ptr<CommandBarButton>& button);
  std::shared_ptr<CommandBarButton> Item(std::string_view key) const;
  // From 1.
  std::shared_ptr<CommandBarButton> Item(long index) const;
  long Count() const { return static_cast<long>(items_.size()); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::shared_ptr<CommandBarButton> Find(std::string_view key) const;
  std::weak_ptr<command_bar_detail::Shared> shared_;
  bool owner_;
  std::vector<std::shared_ptr<CommandBarButton>> items_;
};

class CommandBarToolbar {
 public:
  CommandBarToolbar(std::weak_ptr<command_bar_detail::Shared> shared, std::string key, std::string title)
      : key_(std::move(key)), title_(std::move(title)), buttons_(std::move(shared), false) {}
  const std::string& Key() const { return key_; }
  const std::string& Title() const { return title_; }
  CommandBarButtons& Buttons() { return buttons_; }
  const CommandBarButtons& Buttons() const { return buttons_; }

 private:
  std::string key_;
  std::string title_;
  CommandBarButtons buttons_;
};

class CommandBarToolbars {
 public:
  explicit CommandBarToolbars(std::weak_ptr<command_bar_detail::Shared> shared) : shared_(std::move(shared)) {}
  std::shared_ptr<CommandBarToolbar> Add(std::string key, std::string title);
  std::shared_ptr<CommandBarToolbar> Item(std::string_view key) const;
  long Count() const { return static_cast<long>(items_.size()); }

 private:
  std::weak_ptr<command_bar_detail::Shared> shared_;
  std::vector<std::shared_ptr<CommandBarToolbar>> items_;
};

class CommandBar : public forms::Control {
 public:
  CommandBar();
  ~CommandBar() override;
  std::string_view TypeName() const override { return "CommandBar"; }

  // 0 to 3 (else 380); the buttons keep their images.
  long Style() const { return style_; }
  void Style(long value);
  // The buttons and toolbars, shared by every element of the array.
  CommandBarButtons& Buttons();
  CommandBarToolbars& Bars();
  // The toolbar this element shows; nullptr for none.
  std::shared_ptr<CommandBarToolbar> Toolbar() const { return toolbar_; }
  void Toolbar(const std::shared_ptr<CommandBarToolbar>& bar);
  ImageList* Images() const { return images_; }
  void Images(ImageList* list);
  // 0 floating (a drop-down), 1 along the top.
  long Align() const { return align_; }
  void Align(long value);
  // The element that shows the button's drop-down bar, once it was opened.
  CommandBar* DropDownOf(const CommandBarButton& button) const;

  // ButtonClick(Index, btn): a button of this element's bar was clicked
  // (Index is the element's own).
  std::function<void(const std::shared_ptr<CommandBarButton>& btn)> ButtonClick;
  // The bar needs another element for a drop-down: the handler loads one
  // and returns it through `obj` (nullptr: the drop-down does not open).
  std::function<void(CommandBar*& obj)> NewBarInstance;

  // "Money: [&Hide Task Pane] | (lblOpenWith) (cboImageViewers) | [&Views v] ..."
  std::string Describe() const override;

  // This element (loaded for `opener`) shows the drop-down bar `menu` from now on.
  void ShowAsDropDown(const CommandBar& opener, const std::shared_ptr<CommandBarToolbar>& menu);
  // Something the bar's buttons or toolbars show changed.
  void PartChanged();

 protected:
  void CopyFrom(const Control& other) override;

 private:
  friend struct command_bar_detail::Shared;
  void HostPanels();

  std::shared_ptr<command_bar_detail::Shared> shared_;
  long style_ = cbsOfficeXP;
  long align_ = 1;
  std::shared_ptr<CommandBarToolbar> toolbar_;
  ImageList* images_ = nullptr;
};

}  // namespace platform::controls

namespace platform::forms::user {

// A click on a button of the bar the element shows (not a separator or a
// panel): the element raises ButtonClick.
void ClickCommandBarButton(controls::CommandBar& bar, std::string_view key);
// A click on a button's drop-down arrow: the first time, the element asks
// for another element (NewBarInstance) that shows the drop-down bar.
// Returns the element showing it; 5 when the button has no drop-down.
controls::CommandBar& OpenCommandBarDropDown(controls::CommandBar& bar, std::string_view buttonKey);
// Opens the drop-down and clicks one of its entries: the element showing the
// drop-down raises ButtonClick.
void ChooseCommandBarEntry(controls::CommandBar& bar, std::string_view buttonKey, std::string_view entryKey);

}  // namespace platform::forms::user
