#pragma once
// The web browser control with the shell folder view it hosts when it is
// navigated to a folder.
//
//   wb.Navigate("/home/me/pictures");
//   while (wb.ReadyState() < READYSTATE_INTERACTIVE) DoEvents();
//   auto view = wb.Document();                 // the folder view
//   view->CurrentViewMode(fvmThumbstrip);
//   auto items = view->Folder()->Items();      // a snapshot, Item(i) from 0
//   view->SelectItem(items->Item(0), SVSI_FOCUSED);  // raises SelectionChanged
//
// The view shows the files of its folder in case-insensitive name order.
// Items are compared by their path, so items of two snapshots stand for the
// same file. An item's Name hides a known extension when the shell's setting
// says so (ShellSettings()), as the shell shows it.
//
// What a drawing shows of it: the view mode, the items with their file paths
// (thumbnails are read from there), which one has the focus and which are
// selected. A person's clicks and keys go through the functions of
// platform::forms::user below.

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/controls.h"
#include "runtime/event.h"

namespace platform::controls {

// The shell's folder settings for the user, shared by every view.
struct ShellViewSettings {
  // "Hide extensions for known file types".
  bool hideKnownExtensions = false;
  // The web view (the strip of the shell's own on the left of a folder)
  // shows unless the user's "WebView" value of the shell's Advanced key is
  // the number 0; read at each call, as the shell follows a change at once.
  bool WebViewShown() const;
};
ShellViewSettings& ShellSettings();

// Extensions the shell knows a program for (the picture formats and a few
// common others), compared without regard to case, with the period.
bool IsKnownExtension(std::string_view extension);

// How navigations become ready, for tests; the program navigates at once.
struct BrowserReadiness {
  enum class Kind { AtOnce, AfterReads, Never };
  Kind kind = Kind::AtOnce;
  // AfterReads: ReadyState answers "loading" this many times first (each
  // read stands for one pass of the caller's event pump).
  int reads = 0;
};
BrowserReadiness& Readiness();

inline constexpr long READYSTATE_UNINITIALIZED = 0;
inline constexpr long READYSTATE_LOADING = 1;
inline constexpr long READYSTATE_INTERACTIVE = 3;
inline constexpr long READYSTATE_COMPLETE = 4;

enum FolderViewMode : long {
  fvmIcon = 1,
  fvmList = 3,
  fvmDetails = 4,
  fvmThumbnail = 5,
  fvmTile = 6,
  fvmThumbstrip = 7,  // the filmstrip
};
bool IsFolderViewMode(long mode);

// SelectItem flags.
inline constexpr long SVSI_DESELECT = 0;
inline constexpr long SVSI_SELECT = 1;
inline constexpr long SVSI_DESELECTOTHERS = 4;
inline constexpr long SVSI_ENSUREVISIBLE = 8;
inline constexpr long SVSI_FOCUSED = 16;

class FolderItem {
 public:
  explicit FolderItem(std::string path);
  // The display name: the file name, without a known extension when the
  // shell hides those.
  std::string Name() const;
  const std::string& Path() const { return path_; }
  // The file's own name, whatever the display.
  std::string FileName() const;

 private:
  std::string path_;
};

class FolderItems {
 public:
  explicit FolderItems(std::vector<std::shared_ptr<FolderItem>> items) : items_(std::move(items)) {}
  long Count() const { return static_cast<long>(items_.size()); }
  // From 0; nullptr outside 0 to Count - 1.
  std::shared_ptr<FolderItem> Item(long index) const;
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<std::shared_ptr<FolderItem>> items_;
};

class ShellFolder {
 public:
  explicit ShellFolder(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }
  // The folder's files as they are now, in case-insensitive name order.
  std::shared_ptr<FolderItems> Items() const;
  // The item of that file name or display name; nullptr when none.
  std::shared_ptr<FolderItem> ParseName(std::string_view name) const;

 private:
  std::string path_;
};

class WebBrowser;

// The folder view (the browser's Document while it shows a folder).
class ShellFolderView {
 public:
  ShellFolderView(WebBrowser* browser, std::string folder);

  long CurrentViewMode() const { return viewMode_; }
  // One of the FolderViewMode values; any other raises 5.
  void CurrentViewMode(long mode);
  std::shared_ptr<ShellFolder> Folder() const { return folder_; }
  // nullptr when no item has the focus.
  std::shared_ptr<FolderItem> FocusedItem() const;
  // The selected items in the folder's order.
  std::shared_ptr<FolderItems> SelectedItems() const;
  // Flags: SVSI_FOCUSED, SVSI_DESELECTOTHERS, SVSI_SELECT (0 deselects the
  // item). Raises SelectionChanged when the focus or the selection changed;
  // 91 for no item, 5 for an item of another folder.
  void SelectItem(const std::shared_ptr<FolderItem>& item, long flags);

  bool IsSelected(const FolderItem& item) const { return selected_.count(item.Path()) != 0; }
  bool HasFocus(const FolderItem& item) const { return item.Path() == focused_; }

  runtime::Event<> SelectionChanged;
  // A double-click or Enter. A handler answers True to let the shell run
  // its own default action on the selection (recorded in ShellActions()).
  runtime::Event<bool&> DefaultVerbInvoked;
  const std::vector<std::string>& ShellActions() const { return shellActions_; }

  // What a person does (platform::forms::user calls these).
  void PersonClicks(const std::string& path, int shift);
  void PersonInvokesDefault();
  void PersonMovesFocus(int keyCode, int shift);

  void Detach() { browser_ = nullptr; }

 private:
  friend class WebBrowser;
  void Raise();
  void Changed();
  bool Owns(const FolderItem& item) const;

  WebBrowser* browser_;
  std::shared_ptr<ShellFolder> folder_;
  long viewMode_ = fvmIcon;
  std::string focused_;
  std::set<std::string> selected_;
  std::vector<std::string> shellActions_;
};

class WebBrowser : public forms::Control {
 public:
  WebBrowser() = default;
  ~WebBrowser() override;
  std::string_view TypeName() const override { return "WebBrowser"; }

  // Shows the folder at the path. An empty path or one that is no folder
  // never becomes ready.
  void Navigate(const std::string& path);
  const std::string& LocationURL() const { return location_; }
  long ReadyState();
  // The folder view once the navigation is at least interactive; nullptr before.
  std::shared_ptr<ShellFolderView> Document() const;
  const std::vector<std::string>& Navigations() const { return navigations_; }

  std::string Describe() const override;

 protected:
  // A tab stop: the folder it shows answers the arrow keys.
  bool Focusable() const override { return true; }
  void OnDetached() override;

 private:
  friend class ShellFolderView;
  void ViewChanged() { Changed(); }

  std::string location_;
  std::vector<std::string> navigations_;
  std::shared_ptr<ShellFolderView> document_;
  bool valid_ = false;
  int readsLeft_ = 0;
  long state_ = READYSTATE_UNINITIALIZED;
};

// The name of a view mode as the drawing labels it ("Filmstrip", ...); "" for none.
std::string_view FolderViewModeName(long mode);

}  // namespace platform::controls

namespace platform::forms::user {

// A click on the item of that file (its path): focus and selection move to
// it alone; with Ctrl (shift 2) its selection toggles and the others stay;
// with Shift (shift 1) the range from the focused item is selected.
void ClickFolderItem(controls::WebBrowser& browser, const std::string& path, int shift = 0);
// A double-click on the item: it is clicked, then the default verb runs.
void DoubleClickFolderItem(controls::WebBrowser& browser, const std::string& path);
// A key in the view: arrows, Home and End move the focus (and the selection,
// or with Shift extend it); Enter runs the default verb; Ctrl+A selects all.
void PressFolderKey(controls::WebBrowser& browser, int keyCode, int shift = 0);

}  // namespace platform::forms::user
