#pragma once
// Office command bars of one host window: the window's set of bars, each bar
// with its controls (buttons and popups), the OnUpdate event of the set and
// the Click event of each button.
//
// Rules the add-in relies on:
//  * bars and controls are found by exact name or caption, "&" included; a
//    miss raises 5;
//  * OnUpdate is raised, synchronously, after every change that shows: a bar
//    moved, docked, resized, shown, hidden, added or deleted, a control added,
//    deleted or customised (caption, style, picture, separator, visibility);
//  * a Click goes to the sinks bound to the clicked control object only;
//    controls that share a Tag are not clicked with it;
//  * `Picture`, `Mask` and a popup's `Style` are absent from the object
//    library of 9.x hosts: the late-bound call raises 438 there;
//  * a deleted bar or control, and every bar of a closed window, raises the
//    host's "object deleted" error on any member.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/common.h"

namespace host {

enum MsoBarPosition : long {
  msoBarLeft = 0,
  msoBarTop = 1,
  msoBarRight = 2,
  msoBarBottom = 3,
  msoBarFloating = 4,
  msoBarPopup = 5,
  msoBarMenuBar = 6,
};
enum MsoBarRow : long { msoBarRowFirst = 0, msoBarRowLast = -1 };
enum MsoBarProtection : long { msoBarNoProtection = 0 };
enum MsoBarType : long { msoBarTypeNormal = 0, msoBarTypeMenuBar = 1, msoBarTypePopup = 2 };
enum MsoControlType : long { msoControlButton = 1, msoControlPopup = 10 };
enum MsoButtonStyle : long {
  msoButtonAutomatic = 0,
  msoButtonIcon = 1,
  msoButtonCaption = 2,
  msoButtonIconAndCaption = 3,
};

// Built-in control Ids that the add-in uses.
inline constexpr long kIdToolsMenuExplorer = 30007;
inline constexpr long kIdToolsMenuInspector = 30004;
inline constexpr long kIdSend = 2617;
// The main window's New button: composes a new item in a message window.
inline constexpr long kIdNew = 1838;
// A message window's File > Close: closes the window.
inline constexpr long kIdCloseItem = 923;
// File menu entries of the main window the host carries out: Open (the
// selected messages) and Exit (every window).
inline constexpr long kIdOpen = 18;
inline constexpr long kIdExit = 752;

// Geometry of the host's bars, in pixels.
inline constexpr long kMenuBarHeight = 22;
inline constexpr long kToolbarHeight = 26;

// A button face or mask: a small bitmap, either given as pixels or read
// from a BMP file (its size from the header, its path kept).
class Picture {
 public:
  // 0x00RRGGBB pixels, top row first.
  static std::shared_ptr<const Picture> FromPixels(long width, long height, std::vector<std::uint32_t> pixels);
  // Raises 53 when the file is missing, 481 "Invalid picture" when it is no BMP.
  static std::shared_ptr<const Picture> FromFile(std::string_view path);

  long Width() const { return width_; }
  long Height() const { return height_; }
  const std::string& Source() const { return source_; }  // "" for pixels
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

 private:
  long width_ = 0;
  long height_ = 0;
  std::string source_;
  std::vector<std::uint32_t> pixels_;
};

class CommandBars;
class CommandBar;
class CommandBarControls;
class CommandBarControl;
class CommandBarButton;
class CommandBarPopup;

// Arguments of the members that the add-in calls with named arguments:
//   bars->Add({.Name = "Lumivane", .Temporary = true});
//   bars->FindControl({.Id = host::kIdSend});
//   controls->Add({.Type = host::msoControlButton, .Temporary = true});
struct BarAddArgs {
  std::string Name = {};
  long Position = msoBarFloating;
  bool MenuBar = false;
  bool Temporary = false;
};
struct FindControlArgs {
  std::optional<long> Type = std::nullopt;
  std::optional<long> Id = std::nullopt;
  std::optional<std::string> Tag = std::nullopt;
  std::optional<bool> Visible = std::nullopt;
  bool Recursive = false;  // CommandBar.FindControl only; the set always searches every bar
};
struct ControlAddArgs {
  long Type = msoControlButton;
  std::optional<long> Id = std::nullopt;  // a built-in control's Id; custom controls get 1
  std::optional<long> Before = std::nullopt;
  bool Temporary = false;
};

// The bars of one window.
class CommandBars : public std::enable_shared_from_this<CommandBars> {
 public:
  CommandBars(std::shared_ptr<host::Context> context, long windowWidth);

  long Count();
  std::shared_ptr<CommandBar> Item(long index);
  std::shared_ptr<CommandBar> Item(std::string_view name);
  // Appends a bar; raises 5 when a bar of that name exists. A new bar is
  // hidden and floats until it is docked.
  std::shared_ptr<CommandBar> Add(const BarAddArgs& args = {});
  // The first control, over every bar and into popups, that matches all
  // given criteria; Nothing when none does.
  std::shared_ptr<CommandBarControl> FindControl(const FindControlArgs& args = {});

  HostEvent<> OnUpdate;

  // Host side.
  host::Faults& Faults() { return faults_; }
  // A built-in bar docked at the top in its own row (menu bar or toolbar).
  std::shared_ptr<CommandBar> AddBuiltIn(std::string name, long type = msoBarTypeNormal, bool visible = true);
  // Removes a bar as if the host had never had it (also a built-in one).
  void Discard(const std::shared_ptr<CommandBar>& bar);
  // The window closed: every bar and control is deleted.
  void CloseWindow();
  bool Closed() const { return closed_; }
  const std::vector<std::shared_ptr<CommandBar>>& Bars() const { return bars_; }
  long WindowWidth() const { return windowWidth_; }
  const std::shared_ptr<host::Context>& Context() const { return context_; }
  void Changed();  // raises OnUpdate

 private:
  friend class CommandBar;
  void CheckAlive(std::string_view member);
  long FreeRow(long position, const CommandBar* except) const;
  long RowTop(long position, long row) const;
  long MaxRow(long position, const CommandBar* except) const;

  std::shared_ptr<host::Context> context_;
  long windowWidth_;
  std::vector<std::shared_ptr<CommandBar>> bars_;
  bool closed_ = false;
  host::Faults faults_;
};

class CommandBar : public std::enable_shared_from_this<CommandBar> {
 public:
  CommandBar(std::weak_ptr<CommandBars> owner, std::shared_ptr<host::Context> context, std::string name, long type,
             bool builtIn, bool temporary);

  std::string Name();
  long Type();
  bool BuiltIn();
  long Position();
  void Position(long position);
  long RowIndex();
  void RowIndex(long row);
  long Left();
  void Left(long left);
  long Top();
  void Top(long top);
  long Width();
  void Width(long width);
  long Height();
  void Height(long height);
  long Protection();
  void Protection(long protection);
  bool Visible();
  void Visible(bool visible);
  std::shared_ptr<CommandBarControls> Controls();
  // On this bar only, unless args.Recursive.
  std::shared_ptr<CommandBarControl> FindControl(const FindControlArgs& args = {});
  void Delete();

  // Host side.
  host::Faults& Faults() { return faults_; }
  bool Temporary() const { return temporary_; }
  bool Deleted() const { return deleted_; }
  // Whether a person sees it: a popup's bar while its popup is shown.
  bool Shown() const;
  const std::vector<std::shared_ptr<CommandBarControl>>& ControlList() const { return controls_; }
  // Appends a control as the host's own (built-in, not temporary).
  std::shared_ptr<CommandBarControl> AddBuiltInControl(long type, long id, std::string caption);
  std::shared_ptr<CommandBarPopup> PopupParent() const { return popupParent_.lock(); }

 private:
  friend class CommandBars;
  friend class CommandBarControls;
  friend class CommandBarControl;
  friend class CommandBarPopup;
  void CheckAlive(std::string_view member);
  void Changed();
  void MarkDeleted();
  long ContentWidth() const;
  std::shared_ptr<CommandBarControl> NewControl(long type, long id, bool builtIn, bool temporary);
  std::shared_ptr<CommandBarControl> Find(const FindControlArgs& args, bool recursive);

  std::weak_ptr<CommandBars> owner_;
  std::shared_ptr<host::Context> context_;
  std::string name_;
  long type_;
  bool builtIn_;
  bool temporary_;
  long position_ = msoBarFloating;
  long row_ = 0;
  long left_ = 200;
  long top_ = 200;
  std::optional<long> width_;
  long height_ = kToolbarHeight;
  long protection_ = msoBarNoProtection;
  bool visible_ = false;
  bool deleted_ = false;
  std::weak_ptr<CommandBarPopup> popupParent_;
  std::vector<std::shared_ptr<CommandBarControl>> controls_;
  host::Faults faults_;
};

// The controls of one bar, counted from 1.
class CommandBarControls {
 public:
  explicit CommandBarControls(std::shared_ptr<CommandBar> bar) : bar_(std::move(bar)) {}

  long Count();
  std::shared_ptr<CommandBarControl> Item(long index);
  // Exact caption, "&" included, case included; a miss raises 5.
  std::shared_ptr<CommandBarControl> Item(std::string_view caption);
  // Appends (or inserts before `Before`) a button (1) or a popup (10); other
  // types raise 5.
  std::shared_ptr<CommandBarControl> Add(const ControlAddArgs& args = {});
  std::shared_ptr<CommandBar> Parent() { return bar_; }

  std::vector<std::shared_ptr<CommandBarControl>>::const_iterator begin() const;
  std::vector<std::shared_ptr<CommandBarControl>>::const_iterator end() const;

 private:
  std::shared_ptr<CommandBar> bar_;
};

class CommandBarControl : public std::enable_shared_from_this<CommandBarControl> {
 public:
  CommandBarControl(std::weak_ptr<CommandBar> parent, std::shared_ptr<host::Context> context, long type, long id,
                    bool builtIn, bool temporary);
  virtual ~CommandBarControl() = default;

  long Id();
  long Type();
  bool BuiltIn();
  std::string Caption();
  void Caption(std::string_view caption);
  std::string TooltipText();
  void TooltipText(std::string_view text);
  bool BeginGroup();
  void BeginGroup(bool begin);
  std::string Tag();
  void Tag(std::string_view tag);
  std::string OnAction();
  void OnAction(std::string_view action);
  bool Visible();
  void Visible(bool visible);
  long Index();
  std::shared_ptr<CommandBar> Parent();
  void Delete();

  // Host side.
  host::Faults& Faults() { return faults_; }
  bool Temporary() const { return temporary_; }
  bool Deleted() const { return deleted_; }
  bool Shown() const;  // visible, on a bar that is shown
  virtual long Width() const;

 protected:
  void CheckAlive(std::string_view member);
  void Changed();
  virtual void MarkDeleted();

  std::weak_ptr<CommandBar> parent_;
  std::shared_ptr<host::Context> context_;
  long type_;
  long id_;
  bool builtIn_;
  bool temporary_;
  std::string caption_;
  std::string tooltip_;
  bool beginGroup_ = false;
  std::string tag_;
  std::string onAction_;
  bool visible_ = true;
  bool deleted_ = false;
  host::Faults faults_;

 private:
  friend class CommandBar;
  friend class CommandBarControls;
};

class CommandBarButton : public CommandBarControl {
 public:
  CommandBarButton(std::weak_ptr<CommandBar> parent, std::shared_ptr<host::Context> context, long id, bool builtIn,
                   bool temporary);

  long Style();
  void Style(long style);
  std::shared_ptr<const host::Picture> Picture();  // absent on 9.x (438)
  void Picture(std::shared_ptr<const host::Picture> picture);
  std::shared_ptr<const host::Picture> Mask();  // absent on 9.x (438)
  void Mask(std::shared_ptr<const host::Picture> mask);

  // (Ctrl, CancelDefault); CancelDefault starts False.
  HostEvent<std::shared_ptr<CommandBarButton>, bool&> Click;

  // Host side: a person clicks the button. Raises Click in every sink bound
  // to this control; when CancelDefault is still False the host's own action
  // runs. Returns whether it ran (True also for a button without one). A
  // control that is not shown cannot be clicked (raises 5).
  bool UserClick();
  void DefaultAction(std::function<void()> action) { defaultAction_ = std::move(action); }
  // A button of the host that this stand-in does not carry out and that no
  // add-in listens to: a click would do nothing, so it is drawn greyed.
  bool Inert() const { return builtIn_ && !defaultAction_ && Click.SinkCount() == 0; }
  long Width() const override;

 private:
  friend class CommandBar;
  long style_ = msoButtonAutomatic;
  std::shared_ptr<const host::Picture> picture_;
  std::shared_ptr<const host::Picture> mask_;
  std::function<void()> defaultAction_;
};

class CommandBarPopup : public CommandBarControl {
 public:
  CommandBarPopup(std::weak_ptr<host::CommandBar> parent, std::shared_ptr<host::Context> context, long id, bool builtIn,
                  bool temporary);

  long Style();  // absent on 9.x (438)
  void Style(long style);
  std::shared_ptr<CommandBarControls> Controls();
  std::shared_ptr<host::CommandBar> CommandBar();

  long Width() const override;
  void Attach();  // creates the popup's own bar (after construction)

 private:
  friend class host::CommandBar;
  void MarkDeleted() override;
  long style_ = msoButtonAutomatic;
  std::shared_ptr<host::CommandBar> bar_;
};

// The interface T of a control, as assigning it to a typed variable does:
// nullptr stays nullptr; a control of another kind raises 13.
template <class T>
std::shared_ptr<T> As(const std::shared_ptr<CommandBarControl>& control) {
  if (!control) return nullptr;
  auto typed = std::dynamic_pointer_cast<T>(control);
  if (!typed) runtime::Raise(runtime::err::kTypeMismatch);
  return typed;
}

}  // namespace host
