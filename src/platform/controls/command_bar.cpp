#include "platform/controls/command_bar.h"

#include <algorithm>
#include <map>

#include "platform/forms/form.h"
#include "platform/forms/ui.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace platform::controls {

namespace command_bar_detail {

// What every element of one control array shares: the buttons, the
// toolbars, the elements themselves and which of them shows a drop-down.
struct Shared {
  std::unique_ptr<CommandBarButtons> buttons;
  std::unique_ptr<CommandBarToolbars> bars;
  std::vector<CommandBar*> elements;
  std::map<const CommandBarToolbar*, CommandBar*> dropDowns;

  static std::shared_ptr<Shared> Make() {
    auto shared = std::make_shared<Shared>();
    shared->buttons = std::make_unique<CommandBarButtons>(shared, true);
    shared->bars = std::make_unique<CommandBarToolbars>(shared);
    return shared;
  }
  void Touch() const {
    for (CommandBar* element : elements) element->PartChanged();
  }
  void Leave(CommandBar* element) {
    elements.erase(std::remove(elements.begin(), elements.end(), element), elements.end());
    for (auto it = dropDowns.begin(); it != dropDowns.end();) it = it->second == element ? dropDowns.erase(it) : ++it;
  }
};

}  // namespace command_bar_detail

namespace {

constexpr long kElementNotFound = 35601;
constexpr long kKeyNotUnique = 35602;

bool SameKey(std::string_view a, std::string_view b) { return runtime::LCase(a) == runtime::LCase(b); }

[[noreturn]] void InvalidValue() { runtime::Raise(forms::formerr::kInvalidPropertyValue, "Invalid property value"); }

}  // namespace

std::string_view CommandBarStyleName(long style) {
  switch (style) {
    case cbsOfficeXP: return "Office XP";
    case cbsOffice2003: return "Office 2003";
    case cbsMoney: return "Money";
    case cbsSystem: return "System";
    default: return "";
  }
}

// ---- buttons ----

CommandBarButton::CommandBarButton(std::weak_ptr<command_bar_detail::Shared> shared, std::string key, long icon,
                                   std::string caption, long style, std::string toolTip, long shortcutKey,
                                   long shortcutShift)
    : shared_(std::move(shared)),
      key_(std::move(key)),
      icon_(icon),
      caption_(std::move(caption)),
      style_(style),
      toolTip_(std::move(toolTip)),
      shortcutKey_(shortcutKey),
      shortcutShift_(shortcutShift) {}

void CommandBarButton::Touch() const {
  if (auto shared = shared_.lock()) shared->Touch();
}

void CommandBarButton::Caption(std::string value) {
  caption_ = std::move(value);
  Touch();
}

void CommandBarButton::IconIndex(long value) {
  icon_ = value;
  Touch();
}

void CommandBarButton::ToolTipText(std::string value) {
  toolTip_ = std::move(value);
  Touch();
}

void CommandBarButton::Checked(bool value) {
  checked_ = value;
  Touch();
}

void CommandBarButton::ShowCaptionInToolbar(bool value) {
  showCaption_ = value;
  Touch();
}

void CommandBarButton::ShowDropDownInToolbar(bool value) {
  showDropDown_ = value;
  Touch();
}

void CommandBarButton::PanelControl(forms::Control* control) {
  panelControl_ = control;
  Touch();
}

void CommandBarButton::PanelWidth(long value) {
  if (value < 0) InvalidValue();
  panelWidth_ = value;
  Touch();
}

void CommandBarButton::Bar(const std::shared_ptr<CommandBarToolbar>& bar) {
  bar_ = bar;
  Touch();
}

// ---- lists ----

std::shared_ptr<CommandBarButton> CommandBarButtons::Find(std::string_view key) const {
  for (const auto& b : items_)
    if (SameKey(b->Key(), key)) return b;
  return nullptr;
}

std::shared_ptr<CommandBarButton> CommandBarButtons::Add(std::string key, long icon, std::string caption, long style,
                                                         std::string toolTip, long shortcutKey, long shortcutShift) {
  if (!owner_) runtime::Raise(runtime::err::kInvalidProcedureCall);
  if (Find(key)) runtime::Raise(kKeyNotUnique, "Key is not unique in collection");
  if (style != cbbNormal && style != cbbSeparator && style != cbbPanel && style != cbbTaskPane && style != cbbCheck)
    InvalidValue();
  auto button = std::make_shared<CommandBarButton>(shared_, std::move(key), icon, std::move(caption), style,
                                                   std::move(toolTip), shortcutKey, shortcutShift);
  items_.push_back(button);
  if (auto shared = shared_.lock()) shared->Touch();
  return button;
}

void CommandBarButtons::Add(const std::shared_ptr<CommandBarButton>& button) {
  if (owner_) runtime::Raise(runtime::err::kInvalidProcedureCall);
  if (!button) runtime::Raise(runtime::err::kObjectVariableNotSet);
  if (Find(button->Key())) runtime::Raise(kKeyNotUnique, "Key is not unique in collection");
  items_.push_back(button);
  if (auto shared = shared_.lock()) shared->Touch();
}

std::shared_ptr<CommandBarButton> CommandBarButtons::Item(std::string_view key) const {
  auto found = Find(key);
  if (!found) runtime::Raise(kElementNotFound, "Element not found");
  return found;
}

std::shared_ptr<CommandBarButton> CommandBarButtons::Item(long index) const {
  if (index < 1 || index > Count()) runtime::Raise(kElementNotFound, "Element not found");
  return items_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<CommandBarToolbar> CommandBarToolbars::Add(std::string key, std::string title) {
  for (const auto& b : items_)
    if (SameKey(b->Key(), key)) runtime::Raise(kKeyNotUnique, "Key is not unique in collection");
  auto bar = std::make_shared<CommandBarToolbar>(shared_, std::move(key), std::move(title));
  items_.push_back(bar);
  return bar;
}

std::shared_ptr<CommandBarToolbar> CommandBarToolbars::Item(std::string_view key) const {
  for (const auto& b : items_)
    if (SameKey(b->Key(), key)) return b;
  runtime::Raise(kElementNotFound, "Element not found");
}

// ---- the control ----

CommandBar::CommandBar() : shared_(command_bar_detail::Shared::Make()) { shared_->elements.push_back(this); }

CommandBar::~CommandBar() { shared_->Leave(this); }

CommandBarButtons& CommandBar::Buttons() { return *shared_->buttons; }
CommandBarToolbars& CommandBar::Bars() { return *shared_->bars; }

void CommandBar::Style(long value) {
  if (CommandBarStyleName(value).empty()) InvalidValue();
  style_ = value;
  Changed();
}

void CommandBar::Toolbar(const std::shared_ptr<CommandBarToolbar>& bar) {
  toolbar_ = bar;
  HostPanels();
  Changed();
}

void CommandBar::Images(ImageList* list) {
  images_ = list;
  Changed();
}

void CommandBar::Align(long value) {
  if (value < 0 || value > 4) InvalidValue();
  align_ = value;
  Changed();
}

CommandBar* CommandBar::DropDownOf(const CommandBarButton& button) const {
  auto bar = button.Bar();
  if (!bar) return nullptr;
  auto it = shared_->dropDowns.find(bar.get());
  return it == shared_->dropDowns.end() ? nullptr : it->second;
}

void CommandBar::ShowAsDropDown(const CommandBar& opener, const std::shared_ptr<CommandBarToolbar>& menu) {
  // Only an element of the same array shows the array's buttons.
  if (opener.shared_ != shared_) runtime::Raise(runtime::err::kInvalidProcedureCall, "Not an element of the bar");
  shared_->dropDowns[menu.get()] = this;
  Toolbar(menu);
}

void CommandBar::PartChanged() {
  HostPanels();
  Changed();
}

void CommandBar::HostPanels() {
  if (!toolbar_) return;
  for (const auto& b : toolbar_->Buttons()) {
    forms::Control* hosted = b->PanelControl();
    if (hosted == nullptr || hosted->Container() == this || &hosted->Parent() != &Parent()) continue;
    hosted->Container(this);
  }
}

void CommandBar::CopyFrom(const Control& other) {
  Control::CopyFrom(other);
  const auto& from = static_cast<const CommandBar&>(other);
  shared_->Leave(this);
  shared_ = from.shared_;
  shared_->elements.push_back(this);
  style_ = from.style_;
  images_ = from.images_;
  align_ = from.align_;
}

std::string CommandBar::Describe() const {
  std::string out(CommandBarStyleName(style_));
  if (!toolbar_) return out + ": no toolbar";
  out += ":";
  const auto entry = [](const CommandBarButton& b) {
    std::string text = b.Caption();
    if (b.Checked()) text = "* " + text;
    return text;
  };
  for (const auto& b : toolbar_->Buttons()) {
    switch (b->Style()) {
      case cbbSeparator: out += " |"; break;
      case cbbPanel:
        out += " (" + (b->PanelControl() != nullptr ? b->PanelControl()->Name() : std::string()) + ")";
        break;
      default: {
        out += " [" + b->Caption() + (b->ShowDropDownInToolbar() && b->Bar() ? " v" : "") + "]";
        if (auto menu = b->Bar(); menu && b->ShowDropDownInToolbar()) {
          out += " {";
          bool first = true;
          for (const auto& e : menu->Buttons()) {
            out += (first ? "" : ", ") + entry(*e);
            first = false;
          }
          out += "}";
        }
      }
    }
  }
  return out;
}

}  // namespace platform::controls

namespace platform::forms::user {

namespace {

using controls::CommandBar;
using controls::CommandBarButton;

std::shared_ptr<CommandBarButton> OnBar(const CommandBar& bar, std::string_view key) {
  auto toolbar = bar.Toolbar();
  if (toolbar)
    for (const auto& b : toolbar->Buttons())
      if (runtime::LCase(b->Key()) == runtime::LCase(key)) return b;
  runtime::Raise(runtime::err::kInvalidProcedureCall, "No button '" + std::string(key) + "' on the bar");
}

void Raise(CommandBar& element, const std::shared_ptr<CommandBarButton>& button) {
  auto handler = element.ButtonClick;
  if (handler) element.Parent().Dispatch([&] { handler(button); });
}

}  // namespace

void ClickCommandBarButton(CommandBar& bar, std::string_view key) {
  RequireReachable(bar);
  auto button = OnBar(bar, key);
  if (button->Style() == controls::cbbSeparator || button->Style() == controls::cbbPanel)
    runtime::Raise(runtime::err::kInvalidProcedureCall, "'" + std::string(key) + "' is not a button");
  Raise(bar, button);
}

CommandBar& OpenCommandBarDropDown(CommandBar& bar, std::string_view buttonKey) {
  RequireReachable(bar);
  auto button = OnBar(bar, buttonKey);
  auto menu = button->Bar();
  if (!menu || !button->ShowDropDownInToolbar())
    runtime::Raise(runtime::err::kInvalidProcedureCall, "'" + std::string(buttonKey) + "' has no drop-down");
  if (CommandBar* shown = bar.DropDownOf(*button)) return *shown;
  CommandBar* instance = nullptr;
  auto handler = bar.NewBarInstance;
  if (handler) bar.Parent().Dispatch([&] { handler(instance); });
  if (instance == nullptr || &instance->Parent() != &bar.Parent())
    runtime::Raise(runtime::err::kInvalidProcedureCall, "The drop-down could not open");
  instance->ShowAsDropDown(bar, menu);
  return *instance;
}

void ChooseCommandBarEntry(CommandBar& bar, std::string_view buttonKey, std::string_view entryKey) {
  CommandBar& shown = OpenCommandBarDropDown(bar, buttonKey);
  auto entry = OnBar(shown, entryKey);
  if (entry->Style() == controls::cbbSeparator || entry->Style() == controls::cbbPanel)
    runtime::Raise(runtime::err::kInvalidProcedureCall, "'" + std::string(entryKey) + "' is not an entry");
  Raise(shown, entry);
}

}  // namespace platform::forms::user
