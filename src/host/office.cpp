#include "host/office.h"

#include <algorithm>
#include <cstdlib>

#include "host/files.h"
#include "runtime/text.h"

namespace host {

namespace {

// Characters a caption shows: "&" marks the access key and takes no room.
long ShownChars(std::string_view caption) {
  long n = 0;
  for (char c : caption) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '&' || (u & 0xC0) == 0x80) continue;
    ++n;
  }
  return n;
}

constexpr long kCharWidth = 7;
constexpr long kIconWidth = 23;
constexpr long kSeparatorWidth = 6;

[[noreturn]] void RaiseInvalid() { runtime::Raise(runtime::err::kInvalidProcedureCall); }

long ReadLE32(const runtime::ByteArray& b, std::size_t at) {
  const std::uint32_t v = static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
                          (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
  return static_cast<long>(static_cast<std::int32_t>(v));
}

}  // namespace

// ------------------------------------------------------------------- Picture

std::shared_ptr<const Picture> Picture::FromPixels(long width, long height, std::vector<std::uint32_t> pixels) {
  if (width < 0 || height < 0 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    RaiseInvalid();
  auto p = std::make_shared<Picture>();
  p->width_ = width;
  p->height_ = height;
  p->pixels_ = std::move(pixels);
  return p;
}

std::shared_ptr<const Picture> Picture::FromFile(std::string_view path) {
  runtime::ByteArray bytes;
  if (!files::ReadAll(path, bytes)) runtime::Raise(runtime::err::kFileNotFound);
  if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M') runtime::Raise(481, "Invalid picture");
  const long width = ReadLE32(bytes, 18);
  const long height = std::labs(ReadLE32(bytes, 22));
  if (width <= 0 || height <= 0) runtime::Raise(481, "Invalid picture");
  auto p = std::make_shared<Picture>();
  p->width_ = width;
  p->height_ = height;
  p->source_ = files::Resolve(path);
  return p;
}

// --------------------------------------------------------------- CommandBars

CommandBars::CommandBars(std::shared_ptr<host::Context> context, long windowWidth)
    : OnUpdate("CommandBars.OnUpdate", context), context_(std::move(context)), windowWidth_(windowWidth) {}

void CommandBars::CheckAlive(std::string_view member) {
  if (closed_) RaiseDeleted();
  faults_.Check(member);
}

long CommandBars::Count() {
  CheckAlive("Count");
  return static_cast<long>(bars_.size());
}

std::shared_ptr<CommandBar> CommandBars::Item(long index) {
  CheckAlive("Item");
  if (index < 1 || index > static_cast<long>(bars_.size())) RaiseInvalid();
  return bars_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<CommandBar> CommandBars::Item(std::string_view name) {
  CheckAlive("Item");
  for (const auto& b : bars_)
    if (b->name_ == name) return b;
  RaiseInvalid();
}

std::shared_ptr<CommandBar> CommandBars::Add(const BarAddArgs& args) {
  CheckAlive("Add");
  if (args.Position < msoBarLeft || args.Position > msoBarFloating) RaiseInvalid();
  std::string name = args.Name;
  if (name.empty()) name = "Custom " + std::to_string(bars_.size() + 1);
  for (const auto& b : bars_)
    if (runtime::TextEqual(b->name_, name)) RaiseInvalid();
  auto bar = std::make_shared<CommandBar>(weak_from_this(), context_, std::move(name),
                                          args.MenuBar ? msoBarTypeMenuBar : msoBarTypeNormal, false, args.Temporary);
  if (args.Position != msoBarFloating) {
    bar->position_ = args.Position;
    bar->row_ = FreeRow(args.Position, bar.get());
    bar->left_ = 0;
  }
  bars_.push_back(bar);
  context_->Record("CommandBars.Add", bar->name_);
  Changed();
  return bar;
}

std::shared_ptr<CommandBarControl> CommandBars::FindControl(const FindControlArgs& args) {
  CheckAlive("FindControl");
  for (const auto& b : std::vector<std::shared_ptr<CommandBar>>(bars_))
    if (auto c = b->Find(args, true)) return c;
  return nullptr;
}

std::shared_ptr<CommandBar> CommandBars::AddBuiltIn(std::string name, long type, bool visible) {
  auto bar = std::make_shared<CommandBar>(weak_from_this(), context_, std::move(name), type, true, false);
  bar->position_ = msoBarTop;
  bar->visible_ = visible;
  bar->height_ = type == msoBarTypeMenuBar ? kMenuBarHeight : kToolbarHeight;
  bar->row_ = FreeRow(msoBarTop, bar.get());
  bar->left_ = 0;
  bars_.push_back(bar);
  return bar;
}

void CommandBars::Discard(const std::shared_ptr<CommandBar>& bar) {
  auto it = std::find(bars_.begin(), bars_.end(), bar);
  if (it == bars_.end()) return;
  bars_.erase(it);
  bar->MarkDeleted();
  Changed();
}

void CommandBars::CloseWindow() {
  if (closed_) return;
  closed_ = true;
  auto bars = std::move(bars_);
  bars_.clear();
  for (auto& b : bars) b->MarkDeleted();
}

void CommandBars::Changed() {
  if (closed_) return;
  auto self = shared_from_this();
  OnUpdate.Raise();
}

long CommandBars::MaxRow(long position, const CommandBar* except) const {
  long row = 0;
  for (const auto& b : bars_)
    if (b.get() != except && b->position_ == position && b->visible_) row = std::max(row, b->row_);
  return row;
}

long CommandBars::FreeRow(long position, const CommandBar* except) const { return MaxRow(position, except) + 1; }

long CommandBars::RowTop(long position, long row) const {
  long top = 0;
  for (long r = 1; r < row; ++r) {
    long height = 0;
    for (const auto& b : bars_)
      if (b->position_ == position && b->visible_ && b->row_ == r) height = std::max(height, b->height_);
    top += height;
  }
  return top;
}

// ---------------------------------------------------------------- CommandBar

CommandBar::CommandBar(std::weak_ptr<CommandBars> owner, std::shared_ptr<host::Context> context, std::string name,
                       long type, bool builtIn, bool temporary)
    : owner_(std::move(owner)),
      context_(std::move(context)),
      name_(std::move(name)),
      type_(type),
      builtIn_(builtIn),
      temporary_(temporary) {
  if (type_ == msoBarTypeMenuBar) height_ = kMenuBarHeight;
}

void CommandBar::CheckAlive(std::string_view member) {
  if (deleted_) RaiseDeleted();
  faults_.Check(member);
}

void CommandBar::Changed() {
  if (auto owner = owner_.lock()) owner->Changed();
}

void CommandBar::MarkDeleted() {
  deleted_ = true;
  auto controls = std::move(controls_);
  controls_.clear();
  for (auto& c : controls) c->MarkDeleted();
}

std::string CommandBar::Name() {
  CheckAlive("Name");
  return name_;
}

long CommandBar::Type() {
  CheckAlive("Type");
  return type_;
}

bool CommandBar::BuiltIn() {
  CheckAlive("BuiltIn");
  return builtIn_;
}

long CommandBar::Position() {
  CheckAlive("Position");
  return position_;
}

void CommandBar::Position(long position) {
  CheckAlive("Position=");
  if (type_ == msoBarTypePopup) RaiseInvalid();
  const bool menu = type_ == msoBarTypeMenuBar;
  if (position < msoBarLeft || position > msoBarMenuBar || position == msoBarPopup) RaiseInvalid();
  if (position == msoBarMenuBar && !menu) RaiseInvalid();
  if (position == position_) return;
  auto owner = owner_.lock();
  if (position <= msoBarBottom) {
    // Docking: the host gives the bar a row of its own at the start.
    row_ = owner ? owner->FreeRow(position, this) : 1;
    left_ = 0;
  } else if (position_ == msoBarTop && owner) {
    top_ = owner->RowTop(msoBarTop, row_);
  }
  position_ = position;
  Changed();
}

long CommandBar::RowIndex() {
  CheckAlive("RowIndex");
  return row_;
}

void CommandBar::RowIndex(long row) {
  CheckAlive("RowIndex=");
  long target = row;
  if (position_ <= msoBarBottom) {
    auto owner = owner_.lock();
    const long max = owner ? owner->MaxRow(position_, this) : 0;
    if (row == msoBarRowLast)
      target = std::max(max, 1L);
    else if (row < 1)
      target = 1;
    else
      target = std::min(row, max + 1);
  }
  if (target == row_) return;
  row_ = target;
  Changed();
}

long CommandBar::Left() {
  CheckAlive("Left");
  return left_;
}

void CommandBar::Left(long left) {
  CheckAlive("Left=");
  if (position_ <= msoBarBottom && left < 0) left = 0;
  if (left == left_) return;
  left_ = left;
  Changed();
}

long CommandBar::Top() {
  CheckAlive("Top");
  if (position_ == msoBarTop) {
    if (auto owner = owner_.lock()) return owner->RowTop(msoBarTop, row_);
  }
  return top_;
}

void CommandBar::Top(long top) {
  CheckAlive("Top=");
  // A bar docked at the top sits where its row is; the host keeps it there.
  if (position_ == msoBarTop || top == top_) return;
  top_ = top;
  Changed();
}

long CommandBar::ContentWidth() const {
  long width = 4;
  for (const auto& c : controls_) {
    if (!c->visible_) continue;
    width += c->Width() + (c->beginGroup_ ? kSeparatorWidth : 0);
  }
  return width;
}

long CommandBar::Width() {
  CheckAlive("Width");
  if (width_) return *width_;
  if (type_ == msoBarTypeMenuBar) {
    if (auto owner = owner_.lock()) return owner->WindowWidth();
  }
  return ContentWidth();
}

void CommandBar::Width(long width) {
  CheckAlive("Width=");
  if (width < 0) RaiseInvalid();
  if (width_ && *width_ == width) return;
  width_ = width;
  Changed();
}

long CommandBar::Height() {
  CheckAlive("Height");
  return height_;
}

void CommandBar::Height(long height) {
  CheckAlive("Height=");
  if (height < 0) RaiseInvalid();
  if (height == height_) return;
  height_ = height;
  Changed();
}

long CommandBar::Protection() {
  CheckAlive("Protection");
  return protection_;
}

void CommandBar::Protection(long protection) {
  CheckAlive("Protection=");
  protection_ = protection;
}

bool CommandBar::Visible() {
  CheckAlive("Visible");
  if (type_ == msoBarTypePopup) return Shown();
  return visible_;
}

void CommandBar::Visible(bool visible) {
  CheckAlive("Visible=");
  if (type_ == msoBarTypePopup || visible == visible_) return;
  visible_ = visible;
  Changed();
}

bool CommandBar::Shown() const {
  if (deleted_) return false;
  if (type_ == msoBarTypePopup) {
    auto parent = popupParent_.lock();
    return parent && parent->Shown();
  }
  return visible_;
}

std::shared_ptr<CommandBarControls> CommandBar::Controls() {
  CheckAlive("Controls");
  return std::make_shared<CommandBarControls>(shared_from_this());
}

std::shared_ptr<CommandBarControl> CommandBar::FindControl(const FindControlArgs& args) {
  CheckAlive("FindControl");
  return Find(args, args.Recursive);
}

std::shared_ptr<CommandBarControl> CommandBar::Find(const FindControlArgs& args, bool recursive) {
  for (const auto& c : std::vector<std::shared_ptr<CommandBarControl>>(controls_)) {
    const bool match = (!args.Type || c->type_ == *args.Type) && (!args.Id || c->id_ == *args.Id) &&
                       (!args.Tag || c->tag_ == *args.Tag) && (!args.Visible || c->visible_ == *args.Visible);
    if (match) return c;
    if (recursive) {
      if (auto popup = std::dynamic_pointer_cast<CommandBarPopup>(c)) {
        if (auto found = popup->bar_->Find(args, true)) return found;
      }
    }
  }
  return nullptr;
}

void CommandBar::Delete() {
  CheckAlive("Delete");
  if (builtIn_ || type_ == msoBarTypePopup) RaiseInvalid();
  auto self = shared_from_this();
  auto owner = owner_.lock();
  context_->Record("CommandBar.Delete", name_);
  if (!owner) {
    MarkDeleted();
    return;
  }
  owner->Discard(self);
}

std::shared_ptr<CommandBarControl> CommandBar::NewControl(long type, long id, bool builtIn, bool temporary) {
  std::shared_ptr<CommandBarControl> control;
  if (type == msoControlButton) {
    control = std::make_shared<CommandBarButton>(weak_from_this(), context_, id, builtIn, temporary);
  } else if (type == msoControlPopup) {
    auto popup = std::make_shared<CommandBarPopup>(weak_from_this(), context_, id, builtIn, temporary);
    popup->Attach();
    control = popup;
  } else {
    RaiseInvalid();
  }
  return control;
}

std::shared_ptr<CommandBarControl> CommandBar::AddBuiltInControl(long type, long id, std::string caption) {
  auto control = NewControl(type, id, true, false);
  control->caption_ = std::move(caption);
  if (auto button = std::dynamic_pointer_cast<CommandBarButton>(control)) button->style_ = msoButtonCaption;
  controls_.push_back(control);
  return control;
}

// -------------------------------------------------------- CommandBarControls

long CommandBarControls::Count() {
  bar_->CheckAlive("Controls.Count");
  return static_cast<long>(bar_->controls_.size());
}

std::shared_ptr<CommandBarControl> CommandBarControls::Item(long index) {
  bar_->CheckAlive("Controls.Item");
  if (index < 1 || index > static_cast<long>(bar_->controls_.size())) RaiseInvalid();
  return bar_->controls_[static_cast<std::size_t>(index - 1)];
}

std::shared_ptr<CommandBarControl> CommandBarControls::Item(std::string_view caption) {
  bar_->CheckAlive("Controls.Item");
  for (const auto& c : bar_->controls_)
    if (c->caption_ == caption) return c;
  RaiseInvalid();
}

std::shared_ptr<CommandBarControl> CommandBarControls::Add(const ControlAddArgs& args) {
  bar_->CheckAlive("Controls.Add");
  auto control = bar_->NewControl(args.Type, args.Id.value_or(1), false, args.Temporary);
  auto& list = bar_->controls_;
  if (args.Before && *args.Before >= 1 && *args.Before <= static_cast<long>(list.size()))
    list.insert(list.begin() + (*args.Before - 1), control);
  else
    list.push_back(control);
  bar_->Changed();
  return control;
}

std::vector<std::shared_ptr<CommandBarControl>>::const_iterator CommandBarControls::begin() const {
  return bar_->controls_.begin();
}
std::vector<std::shared_ptr<CommandBarControl>>::const_iterator CommandBarControls::end() const {
  return bar_->controls_.end();
}

// --------------------------------------------------------- CommandBarControl

CommandBarControl::CommandBarControl(std::weak_ptr<CommandBar> parent, std::shared_ptr<host::Context> context,
                                     long type, long id, bool builtIn, bool temporary)
    : parent_(std::move(parent)),
      context_(std::move(context)),
      type_(type),
      id_(id),
      builtIn_(builtIn),
      temporary_(temporary) {}

void CommandBarControl::CheckAlive(std::string_view member) {
  if (deleted_) RaiseDeleted();
  faults_.Check(member);
}

void CommandBarControl::Changed() {
  if (auto bar = parent_.lock()) bar->Changed();
}

void CommandBarControl::MarkDeleted() { deleted_ = true; }

long CommandBarControl::Id() {
  CheckAlive("Id");
  return id_;
}

long CommandBarControl::Type() {
  CheckAlive("Type");
  return type_;
}

bool CommandBarControl::BuiltIn() {
  CheckAlive("BuiltIn");
  return builtIn_;
}

std::string CommandBarControl::Caption() {
  CheckAlive("Caption");
  return caption_;
}

void CommandBarControl::Caption(std::string_view caption) {
  CheckAlive("Caption=");
  if (caption == caption_) return;
  caption_ = std::string(caption);
  Changed();
}

std::string CommandBarControl::TooltipText() {
  CheckAlive("TooltipText");
  return tooltip_;
}

void CommandBarControl::TooltipText(std::string_view text) {
  CheckAlive("TooltipText=");
  tooltip_ = std::string(text);
}

bool CommandBarControl::BeginGroup() {
  CheckAlive("BeginGroup");
  return beginGroup_;
}

void CommandBarControl::BeginGroup(bool begin) {
  CheckAlive("BeginGroup=");
  if (begin == beginGroup_) return;
  beginGroup_ = begin;
  Changed();
}

std::string CommandBarControl::Tag() {
  CheckAlive("Tag");
  return tag_;
}

void CommandBarControl::Tag(std::string_view tag) {
  CheckAlive("Tag=");
  tag_ = std::string(tag);
}

std::string CommandBarControl::OnAction() {
  CheckAlive("OnAction");
  return onAction_;
}

void CommandBarControl::OnAction(std::string_view action) {
  CheckAlive("OnAction=");
  onAction_ = std::string(action);
}

bool CommandBarControl::Visible() {
  CheckAlive("Visible");
  return visible_;
}

void CommandBarControl::Visible(bool visible) {
  CheckAlive("Visible=");
  if (visible == visible_) return;
  visible_ = visible;
  Changed();
}

long CommandBarControl::Index() {
  CheckAlive("Index");
  auto bar = parent_.lock();
  if (!bar) return 0;
  for (std::size_t i = 0; i < bar->controls_.size(); ++i)
    if (bar->controls_[i].get() == this) return static_cast<long>(i + 1);
  return 0;
}

std::shared_ptr<CommandBar> CommandBarControl::Parent() {
  CheckAlive("Parent");
  return parent_.lock();
}

void CommandBarControl::Delete() {
  CheckAlive("Delete");
  auto self = shared_from_this();
  context_->Record("CommandBarControl.Delete", caption_);
  auto bar = parent_.lock();
  if (bar) std::erase(bar->controls_, self);
  MarkDeleted();
  if (bar) bar->Changed();
}

bool CommandBarControl::Shown() const {
  if (deleted_ || !visible_) return false;
  auto bar = parent_.lock();
  return bar && bar->Shown();
}

long CommandBarControl::Width() const { return 6 + kCharWidth * ShownChars(caption_); }

// ---------------------------------------------------------- CommandBarButton

CommandBarButton::CommandBarButton(std::weak_ptr<CommandBar> parent, std::shared_ptr<host::Context> context, long id,
                                   bool builtIn, bool temporary)
    : CommandBarControl(std::move(parent), context, msoControlButton, id, builtIn, temporary),
      Click("CommandBarButton.Click", context) {}

long CommandBarButton::Style() {
  CheckAlive("Style");
  return style_;
}

void CommandBarButton::Style(long style) {
  CheckAlive("Style=");
  if (style == style_) return;
  style_ = style;
  Changed();
}

std::shared_ptr<const Picture> CommandBarButton::Picture() {
  CheckAlive("Picture");
  context_->Require(10);
  return picture_;
}

void CommandBarButton::Picture(std::shared_ptr<const host::Picture> picture) {
  CheckAlive("Picture=");
  context_->Require(10);
  picture_ = std::move(picture);
  Changed();
}

std::shared_ptr<const Picture> CommandBarButton::Mask() {
  CheckAlive("Mask");
  context_->Require(10);
  return mask_;
}

void CommandBarButton::Mask(std::shared_ptr<const host::Picture> mask) {
  CheckAlive("Mask=");
  context_->Require(10);
  mask_ = std::move(mask);
  Changed();
}

bool CommandBarButton::UserClick() {
  if (deleted_) RaiseDeleted();
  if (!Shown()) runtime::Raise(runtime::err::kInvalidProcedureCall, "The control is not shown and cannot be clicked.");
  auto self = std::static_pointer_cast<CommandBarButton>(shared_from_this());
  context_->Record("Click", caption_);
  bool cancelDefault = false;
  Click.Raise(self, cancelDefault);
  if (cancelDefault) return false;
  if (defaultAction_ && !deleted_) {
    auto action = defaultAction_;
    action();
  }
  return true;
}

long CommandBarButton::Width() const {
  const long text = kCharWidth * ShownChars(caption_);
  switch (style_) {
    case msoButtonIcon: return kIconWidth;
    case msoButtonCaption: return 6 + text;
    default: return kIconWidth + text;
  }
}

// ----------------------------------------------------------- CommandBarPopup

CommandBarPopup::CommandBarPopup(std::weak_ptr<host::CommandBar> parent, std::shared_ptr<host::Context> context,
                                 long id, bool builtIn, bool temporary)
    : CommandBarControl(std::move(parent), std::move(context), msoControlPopup, id, builtIn, temporary) {}

void CommandBarPopup::Attach() {
  auto parent = parent_.lock();
  std::weak_ptr<CommandBars> owner = parent ? parent->owner_ : std::weak_ptr<CommandBars>();
  bar_ = std::make_shared<host::CommandBar>(owner, context_, std::string(), msoBarTypePopup, builtIn_, temporary_);
  bar_->position_ = msoBarPopup;
  bar_->popupParent_ = std::static_pointer_cast<CommandBarPopup>(shared_from_this());
}

long CommandBarPopup::Style() {
  CheckAlive("Style");
  context_->Require(10);
  return style_;
}

void CommandBarPopup::Style(long style) {
  CheckAlive("Style=");
  context_->Require(10);
  if (style == style_) return;
  style_ = style;
  Changed();
}

std::shared_ptr<CommandBarControls> CommandBarPopup::Controls() {
  CheckAlive("Controls");
  return std::make_shared<CommandBarControls>(bar_);
}

std::shared_ptr<host::CommandBar> CommandBarPopup::CommandBar() {
  CheckAlive("CommandBar");
  return bar_;
}

void CommandBarPopup::MarkDeleted() {
  CommandBarControl::MarkDeleted();
  if (bar_) bar_->MarkDeleted();
}

long CommandBarPopup::Width() const { return 12 + kCharWidth * ShownChars(caption_); }

}  // namespace host
