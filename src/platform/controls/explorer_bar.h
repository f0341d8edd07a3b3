#pragma once
// The explorer bar: a task pane of bars (groups) stacked top to bottom, each
// with a title (and a title icon) over its items. Bars and items keep the
// order they were added in and are found by key without regard to case; a
// key that is not there raises 35601 "Element not found", a key already used
// in the same list 35602 "Key is not unique in collection".
//
// Redraw off holds back drawing while many changes are made; switching it
// on repaints once when anything changed meanwhile. Repaints() counts the
// repaints, so a test sees that one selection costs one.
//
// What a drawing shows: the bars in order with title, title icon (from the
// title image list), emphasis (the special bar) and whether expanded; their
// items with text, icon (from the item image list), font and tooltip.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/controls.h"

namespace platform::controls {

class ExplorerBarCtl;
class ImageList;

inline constexpr long ebiLink = 0;
inline constexpr long ebiText = 3;

namespace explorer_bar_detail {
// The control the parts of the pane belong to; emptied when it goes.
using Link = std::shared_ptr<ExplorerBarCtl*>;
}  // namespace explorer_bar_detail

class ExplorerBarItem {
 public:
  ExplorerBarItem(explorer_bar_detail::Link link, std::string key, std::string text, long icon);

  const std::string& Key() const { return key_; }
  const std::string& Text() const { return text_; }
  void Text(std::string value);
  // Into the item image list; -1 for none.
  long IconIndex() const { return icon_; }
  void IconIndex(long value);
  const std::string& FontName() const { return fontName_; }
  bool FontBold() const { return fontBold_; }
  void Font(std::string name, bool bold);
  const std::string& ToolTipText() const { return toolTip_; }
  void ToolTipText(std::string value);
  // How the item is drawn: ebiLink (0) a link that underlines under the
  // mouse, ebiText (3) plain text.
  long ItemType() const { return itemType_; }
  void ItemType(long value);

 private:
  void Touch() const;
  explorer_bar_detail::Link link_;
  std::string key_;
  std::string text_;
  long icon_;
  std::string fontName_ = "MS Sans Serif";
  bool fontBold_ = false;
  std::string toolTip_;
  long itemType_ = 0;
};

class ExplorerBarBar {
 public:
  ExplorerBarBar(explorer_bar_detail::Link link, std::string key, std::string title);

  const std::string& Key() const { return key_; }
  const std::string& Title() const { return title_; }
  void Title(std::string value);
  const std::string& ToolTipText() const { return toolTip_; }
  void ToolTipText(std::string value);
  // Into the title image list; -1 for none.
  long IconIndex() const { return icon_; }
  void IconIndex(long value);
  // The emphasised bar, drawn in the pane's strong colours.
  bool IsSpecial() const { return special_; }
  void IsSpecial(bool value);
  bool Expanded() const { return expanded_; }
  void Expanded(bool value);

  // Appends an item.
  std::shared_ptr<ExplorerBarItem> AddItem(std::string key, std::string text, long icon = -1);
  std::shared_ptr<ExplorerBarItem> Item(std::string_view key) const;
  void RemoveItem(std::string_view key);
  const std::vector<std::shared_ptr<ExplorerBarItem>>& Items() const { return items_; }

 private:
  void Touch() const;
  explorer_bar_detail::Link link_;
  std::string key_;
  std::string title_;
  std::string toolTip_;
  long icon_ = -1;
  bool special_ = false;
  bool expanded_ = true;
  std::vector<std::shared_ptr<ExplorerBarItem>> items_;
};

class ExplorerBarCtl : public forms::Control {
 public:
  ExplorerBarCtl();
  ~ExplorerBarCtl() override;
  std::string_view TypeName() const override { return "ExplorerBar"; }

  // Appends a bar.
  std::shared_ptr<ExplorerBarBar> AddBar(std::string key, std::string title);
  std::shared_ptr<ExplorerBarBar> Bar(std::string_view key) const;
  const std::vector<std::shared_ptr<ExplorerBarBar>>& Bars() const { return bars_; }

  bool Redraw() const { return redraw_; }
  void Redraw(bool value);
  long Repaints() const { return repaints_; }

  // The image lists the icons come from (nullptr: none).
  ImageList* ItemImages() const { return itemImages_; }
  void ItemImages(ImageList* list);
  ImageList* TitleImages() const { return titleImages_; }
  void TitleImages(ImageList* list);

  // A person clicked an item.
  std::function<void(const std::shared_ptr<ExplorerBarItem>& itm)> ItemClick;

  std::string Describe() const override;

  // A part of the pane changed: it repaints now, or when Redraw goes on.
  void PartChanged();

 protected:
  void CopyFrom(const Control&) override {}

 private:
  explorer_bar_detail::Link link_;
  std::vector<std::shared_ptr<ExplorerBarBar>> bars_;
  bool redraw_ = true;
  bool dirty_ = false;
  long repaints_ = 0;
  ImageList* itemImages_ = nullptr;
  ImageList* titleImages_ = nullptr;
};

}  // namespace platform::controls

namespace platform::forms::user {

// A click on the item of that key in the bar of that key; the bar must be
// expanded.
void ClickExplorerBarItem(controls::ExplorerBarCtl& pane, std::string_view barKey, std::string_view itemKey);
// A click on a bar's title: it collapses, or expands again.
void ClickExplorerBarTitle(controls::ExplorerBarCtl& pane, std::string_view barKey);

}  // namespace platform::forms::user
