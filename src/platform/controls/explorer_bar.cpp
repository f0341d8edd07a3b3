#include "platform/controls/explorer_bar.h"

#include <algorithm>

#include "platform/controls/geometry_text.h"
#include "platform/controls/image_list.h"
#include "platform/forms/form.h"
#include "platform/forms/ui.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace platform::controls {

namespace {

constexpr long kElementNotFound = 35601;
constexpr long kKeyNotUnique = 35602;

template <class T>
auto FindKey(const std::vector<std::shared_ptr<T>>& list, std::string_view key) {
  const std::string folded = runtime::LCase(key);
  return std::find_if(list.begin(), list.end(), [&](const auto& e) { return runtime::LCase(e->Key()) == folded; });
}

template <class T>
const std::shared_ptr<T>& FindOrRaise(const std::vector<std::shared_ptr<T>>& list, std::string_view key) {
  auto it = FindKey(list, key);
  if (it == list.end()) runtime::Raise(kElementNotFound, "Element not found");
  return *it;
}

template <class T>
void RequireNew(const std::vector<std::shared_ptr<T>>& list, std::string_view key) {
  if (FindKey(list, key) != list.end()) runtime::Raise(kKeyNotUnique, "Key is not unique in collection");
}

void Touch(const explorer_bar_detail::Link& link) {
  if (link && *link != nullptr) (*link)->PartChanged();
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Sets a property; true when that changed it.
template <class T>
bool Assign(T& field, T value) {
  if (field == value) return false;
  field = std::move(value);
  return true;
}

}  // namespace

// ---- items ----

ExplorerBarItem::ExplorerBarItem(explorer_bar_detail::Link link, std::string key, std::string text, long icon)
    : link_(std::move(link)), key_(std::move(key)), text_(std::move(text)), icon_(icon) {}

void ExplorerBarItem::Touch() const { controls::Touch(link_); }

void ExplorerBarItem::Text(std::string value) {
  if (Assign(text_, std::move(value))) Touch();
}

void ExplorerBarItem::IconIndex(long value) {
  if (Assign(icon_, std::move(value))) Touch();
}

void ExplorerBarItem::Font(std::string name, bool bold) {
  if (name == fontName_ && bold == fontBold_) return;
  fontName_ = std::move(name);
  fontBold_ = bold;
  Touch();
}

void ExplorerBarItem::ToolTipText(std::string value) {
  if (Assign(toolTip_, std::move(value))) Touch();
}

void ExplorerBarItem::ItemType(long value) {
  if (Assign(itemType_, std::move(value))) Touch();
}

// ---- bars ----

ExplorerBarBar::ExplorerBarBar(explorer_bar_detail::Link link, std::string key, std::string title)
    : link_(std::move(link)), key_(std::move(key)), title_(std::move(title)) {}

void ExplorerBarBar::Touch() const { controls::Touch(link_); }

void ExplorerBarBar::Title(std::string value) {
  if (Assign(title_, std::move(value))) Touch();
}

void ExplorerBarBar::ToolTipText(std::string value) {
  if (Assign(toolTip_, std::move(value))) Touch();
}

void ExplorerBarBar::IconIndex(long value) {
  if (Assign(icon_, std::move(value))) Touch();
}

void ExplorerBarBar::IsSpecial(bool value) {
  if (Assign(special_, std::move(value))) Touch();
}

void ExplorerBarBar::Expanded(bool value) {
  if (Assign(expanded_, std::move(value))) Touch();
}

std::shared_ptr<ExplorerBarItem> ExplorerBarBar::AddItem(std::string key, std::string text, long icon) {
  if (!key.empty()) RequireNew(items_, key);
  auto item = std::make_shared<ExplorerBarItem>(link_, std::move(key), std::move(text), icon);
  items_.push_back(item);
  Touch();
  return item;
}

std::shared_ptr<ExplorerBarItem> ExplorerBarBar::Item(std::string_view key) const { return FindOrRaise(items_, key); }

void ExplorerBarBar::RemoveItem(std::string_view key) {
  auto it = FindKey(items_, key);
  if (it == items_.end()) runtime::Raise(kElementNotFound, "Element not found");
  items_.erase(it);
  Touch();
}

// ---- the pane ----

ExplorerBarCtl::ExplorerBarCtl() : link_(std::make_shared<ExplorerBarCtl*>(this)) {}

ExplorerBarCtl::~ExplorerBarCtl() { *link_ = nullptr; }

std::shared_ptr<ExplorerBarBar> ExplorerBarCtl::AddBar(std::string key, std::string title) {
  if (!key.empty()) RequireNew(bars_, key);
  auto bar = std::make_shared<ExplorerBarBar>(link_, std::move(key), std::move(title));
  bars_.push_back(bar);
  PartChanged();
  return bar;
}

std::shared_ptr<ExplorerBarBar> ExplorerBarCtl::Bar(std::string_view key) const { return FindOrRaise(bars_, key); }

void ExplorerBarCtl::Redraw(bool value) {
  redraw_ = value;
  if (redraw_ && dirty_) PartChanged();
}

void ExplorerBarCtl::PartChanged() {
  if (!redraw_) {
    dirty_ = true;
    return;
  }
  dirty_ = false;
  ++repaints_;
  Changed();
}

void ExplorerBarCtl::ItemImages(ImageList* list) {
  itemImages_ = list;
  PartChanged();
}

void ExplorerBarCtl::TitleImages(ImageList* list) {
  titleImages_ = list;
  PartChanged();
}

std::string ExplorerBarCtl::Describe() const {
  std::string out = GeometryText(*this) + ", " + std::to_string(bars_.size()) + (bars_.size() == 1 ? " bar" : " bars");
  for (const auto& bar : bars_) {
    out += "\n      bar " + bar->Key() + " " + Quoted(bar->Title());
    if (bar->IsSpecial()) out += " (emphasised)";
    if (!bar->Expanded()) {
      out += " (collapsed)";
      continue;
    }
    for (const auto& item : bar->Items()) {
      out += "\n        " + Quoted(item->Text());
      if (item->FontBold()) out += " (bold)";
    }
  }
  return out;
}

}  // namespace platform::controls

namespace platform::forms::user {

void ClickExplorerBarItem(controls::ExplorerBarCtl& pane, std::string_view barKey, std::string_view itemKey) {
  RequireReachable(pane);
  auto bar = pane.Bar(barKey);
  if (!bar->Expanded()) RefuseReach("the items of bar '" + bar->Key() + "': it is collapsed");
  auto item = bar->Item(itemKey);
  auto handler = pane.ItemClick;
  if (handler) pane.Parent().Dispatch([&] { handler(item); });
}

void ClickExplorerBarTitle(controls::ExplorerBarCtl& pane, std::string_view barKey) {
  RequireReachable(pane);
  auto bar = pane.Bar(barKey);
  pane.Parent().Dispatch([&] { bar->Expanded(!bar->Expanded()); });
}

}  // namespace platform::forms::user
