#include "platform/controls/web_browser.h"

#include <algorithm>
#include <filesystem>

#include "platform/controls/geometry_text.h"
#include "platform/forms/form.h"
#include "platform/forms/ui.h"
#include "platform/fso/resolve.h"
#include "platform/path.h"
#include "platform/registry/registry.h"
#include "runtime/error.h"
#include "runtime/text.h"

namespace platform::controls {

namespace {

namespace fs = std::filesystem;

std::string Extension(std::string_view name) {
  const auto dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind(kPathSeparator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::shared_ptr<FolderItem>> List(const std::string& folder) {
  std::vector<std::shared_ptr<FolderItem>> out;
  for (const auto& name : fso::ListFolder(folder, fso::EntryKind::Files))
    out.push_back(std::make_shared<FolderItem>(JoinPath(folder, name)));
  return out;
}

long IndexOf(const std::vector<std::shared_ptr<FolderItem>>& items, const std::string& path) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i]->Path() == path) return static_cast<long>(i);
  return -1;
}

}  // namespace

bool ShellViewSettings::WebViewShown() const {
  auto registry = platform::registry::Current();
  if (!registry) return true;
  const auto value = registry->Peek(platform::registry::HKEY_CURRENT_USER,
                                    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced", "WebView");
  if (!value || value->type != platform::registry::REG_DWORD) return true;
  return std::any_of(value->data.begin(), value->data.end(), [](auto byte) { return byte != 0; });
}

ShellViewSettings& ShellSettings() {
  static ShellViewSettings settings;
  return settings;
}

BrowserReadiness& Readiness() {
  static BrowserReadiness readiness;
  return readiness;
}

bool IsKnownExtension(std::string_view extension) {
  static const char* const kKnown[] = {".bmp", ".gif", ".jpg", ".jpeg", ".tif", ".tiff", ".png", ".emf",
                                       ".wmf", ".txt", ".htm", ".html", ".pdf", ".doc",  ".zip"};
  const std::string lower = runtime::LCase(extension);
  return std::any_of(std::begin(kKnown), std::end(kKnown), [&](const char* k) { return lower == k; });
}

bool IsFolderViewMode(long mode) { return !FolderViewModeName(mode).empty(); }

std::string_view FolderViewModeName(long mode) {
  switch (mode) {
    case fvmIcon: return "Icons";
    case fvmList: return "List";
    case fvmDetails: return "Details";
    case fvmThumbnail: return "Thumbnails";
    case fvmTile: return "Tiles";
    case fvmThumbstrip: return "Filmstrip";
    default: return {};
  }
}

// ---- items and folders ----

FolderItem::FolderItem(std::string path) : path_(std::move(path)) {}

std::string FolderItem::FileName() const { return FileNameOf(path_); }

std::string FolderItem::Name() const {
  std::string name = FileName();
  const std::string ext = Extension(name);
  // A name that is nothing but its extension keeps it, as the shell does.
  if (ShellSettings().hideKnownExtensions && ext.size() < name.size() && IsKnownExtension(ext))
    name.erase(name.size() - ext.size());
  return name;
}

std::shared_ptr<FolderItem> FolderItems::Item(long index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<std::size_t>(index)];
}

std::shared_ptr<FolderItems> ShellFolder::Items() const { return std::make_shared<FolderItems>(List(path_)); }

std::shared_ptr<FolderItem> ShellFolder::ParseName(std::string_view name) const {
  const auto items = List(path_);
  for (const auto& item : items)
    if (item->FileName() == name) return item;
  for (const auto& item : items)
    if (runtime::LCase(item->FileName()) == runtime::LCase(name)) return item;
  for (const auto& item : items)
    if (item->Name() == name) return item;
  return nullptr;
}

// ---- the folder view ----

ShellFolderView::ShellFolderView(WebBrowser* browser, std::string folder)
    : browser_(browser), folder_(std::make_shared<ShellFolder>(std::move(folder))) {}

void ShellFolderView::CurrentViewMode(long mode) {
  if (!IsFolderViewMode(mode)) runtime::Raise(runtime::err::kInvalidProcedureCall);
  if (mode == viewMode_) return;
  viewMode_ = mode;
  Changed();
}

std::shared_ptr<FolderItem> ShellFolderView::FocusedItem() const {
  if (focused_.empty()) return nullptr;
  const auto items = List(folder_->Path());
  const long i = IndexOf(items, focused_);
  return i < 0 ? nullptr : items[static_cast<std::size_t>(i)];
}

std::shared_ptr<FolderItems> ShellFolderView::SelectedItems() const {
  std::vector<std::shared_ptr<FolderItem>> out;
  for (const auto& item : List(folder_->Path()))
    if (IsSelected(*item)) out.push_back(item);
  return std::make_shared<FolderItems>(std::move(out));
}

bool ShellFolderView::Owns(const FolderItem& item) const {
  return fs::path(item.Path()).parent_path() == fs::path(folder_->Path()).lexically_normal();
}

void ShellFolderView::SelectItem(const std::shared_ptr<FolderItem>& item, long flags) {
  if (!item) runtime::Raise(runtime::err::kObjectVariableNotSet);
  if (!Owns(*item)) runtime::Raise(runtime::err::kInvalidProcedureCall);
  const std::string before = focused_;
  const std::set<std::string> selectedBefore = selected_;
  if ((flags & SVSI_FOCUSED) != 0) focused_ = item->Path();
  if ((flags & SVSI_DESELECTOTHERS) != 0) {
    const bool had = IsSelected(*item);
    selected_.clear();
    if (had) selected_.insert(item->Path());
  }
  if ((flags & SVSI_SELECT) != 0) {
    selected_.insert(item->Path());
  } else if ((flags & (SVSI_FOCUSED | SVSI_DESELECTOTHERS)) == 0) {
    selected_.erase(item->Path());
  }
  if (before != focused_ || selectedBefore != selected_) Raise();
}

void ShellFolderView::Raise() {
  Changed();
  SelectionChanged.Raise();
}

void ShellFolderView::Changed() {
  if (browser_ != nullptr) browser_->ViewChanged();
}

void ShellFolderView::PersonClicks(const std::string& path, int shift) {
  auto item = std::make_shared<FolderItem>(path);
  if ((shift & 2) != 0) {
    const bool was = IsSelected(*item);
    focused_ = path;
    if (was) {
      selected_.erase(path);
    } else {
      selected_.insert(path);
    }
    Raise();
    return;
  }
  if ((shift & 1) != 0 && !focused_.empty()) {
    const auto items = List(folder_->Path());
    long from = IndexOf(items, focused_), to = IndexOf(items, path);
    if (from >= 0 && to >= 0) {
      if (from > to) std::swap(from, to);
      selected_.clear();
      for (long i = from; i <= to; ++i) selected_.insert(items[static_cast<std::size_t>(i)]->Path());
      focused_ = path;
      Raise();
      return;
    }
  }
  SelectItem(item, SVSI_FOCUSED | SVSI_DESELECTOTHERS | SVSI_SELECT);
}

void ShellFolderView::PersonInvokesDefault() {
  bool runShell = false;
  DefaultVerbInvoked.Raise(runShell);
  if (!runShell) return;
  const auto selected = SelectedItems();
  for (const auto& item : *selected) shellActions_.push_back(item->Path());
}

void ShellFolderView::PersonMovesFocus(int keyCode, int shift) {
  const auto items = List(folder_->Path());
  if (items.empty()) return;
  if (keyCode == 'A' && (shift & 2) != 0) {
    for (const auto& item : items) selected_.insert(item->Path());
    Raise();
    return;
  }
  const long last = static_cast<long>(items.size()) - 1;
  long at = IndexOf(items, focused_);
  switch (keyCode) {
    case forms::vbKeyLeft:
    case forms::vbKeyUp: at = at < 0 ? 0 : std::max(at - 1, 0L); break;
    case forms::vbKeyRight:
    case forms::vbKeyDown: at = at < 0 ? 0 : std::min(at + 1, last); break;
    case forms::vbKeyHome: at = 0; break;
    case forms::vbKeyEnd: at = last; break;
    default: return;
  }
  PersonClicks(items[static_cast<std::size_t>(at)]->Path(), shift & 1);
}

// ---- the browser ----

WebBrowser::~WebBrowser() {
  if (document_) document_->Detach();
}

void WebBrowser::OnDetached() {
  if (document_) document_->Detach();
}

void WebBrowser::Navigate(const std::string& path) {
  navigations_.push_back(path);
  location_ = path;
  std::error_code ec;
  valid_ = !path.empty() && fs::is_directory(path, ec);
  if (document_) document_->Detach();
  document_ = valid_ ? std::make_shared<ShellFolderView>(this, path) : nullptr;
  const BrowserReadiness& r = Readiness();
  readsLeft_ = r.kind == BrowserReadiness::Kind::AfterReads ? r.reads : 0;
  state_ = READYSTATE_LOADING;
  if (valid_ && r.kind == BrowserReadiness::Kind::AtOnce) state_ = READYSTATE_COMPLETE;
  Changed();
}

long WebBrowser::ReadyState() {
  if (state_ == READYSTATE_LOADING && valid_ && Readiness().kind != BrowserReadiness::Kind::Never) {
    if (readsLeft_ > 0) {
      --readsLeft_;
    } else {
      state_ = READYSTATE_COMPLETE;
      Changed();
    }
  }
  return state_;
}

std::shared_ptr<ShellFolderView> WebBrowser::Document() const {
  return state_ >= READYSTATE_INTERACTIVE ? document_ : nullptr;
}

std::string WebBrowser::Describe() const {
  std::string out = GeometryText(*this) + ", " + (location_.empty() ? std::string("nothing shown") : location_);
  auto view = Document();
  if (!view) return out + (location_.empty() ? "" : " (loading)");
  out += ", " + std::string(FolderViewModeName(view->CurrentViewMode())) + " view";
  const auto items = view->Folder()->Items();
  out += ", " + std::to_string(items->Count()) + (items->Count() == 1 ? " item" : " items");
  for (const auto& item : *items) {
    out += "\n      ";
    out += view->HasFocus(*item) ? "> " : "  ";
    out += view->IsSelected(*item) ? "[x] " : "[ ] ";
    out += item->Name();
  }
  return out;
}

}  // namespace platform::controls

namespace platform::forms::user {

namespace {
void RequireView(controls::WebBrowser& browser) {
  RequireReachable(browser);
  if (!browser.Document()) RefuseReach("the folder view: it is not shown");
}
}  // namespace

void ClickFolderItem(controls::WebBrowser& browser, const std::string& path, int shift) {
  RequireView(browser);
  auto hold = browser.Document();
  browser.Parent().Dispatch([&] { hold->PersonClicks(path, shift); });
}

void DoubleClickFolderItem(controls::WebBrowser& browser, const std::string& path) {
  RequireView(browser);
  auto hold = browser.Document();
  browser.Parent().Dispatch([&] {
    hold->PersonClicks(path, 0);
    hold->PersonInvokesDefault();
  });
}

void PressFolderKey(controls::WebBrowser& browser, int keyCode, int shift) {
  RequireView(browser);
  auto hold = browser.Document();
  browser.Parent().Dispatch([&] {
    if (keyCode == vbKeyReturn) {
      hold->PersonInvokesDefault();
    } else {
      hold->PersonMovesFocus(keyCode, shift);
    }
  });
}

}  // namespace platform::forms::user
