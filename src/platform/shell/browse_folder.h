#pragma once
// The shell's folder dialog (SHBrowseForFolder) and the conversion of what it
// returns into a path (SHGetPathFromIDList), answered by the user-interface
// seam of the forms runtime: a test queues a folder, a cancel or a virtual
// item (one outside the file system, as Control Panel); every request is
// recorded there with its owner, title and flags.
//
//   BROWSEINFO bi;
//   bi.hwndOwner = hWnd; bi.lpszTitle = "Choose a folder"; bi.ulFlags = BIF_NEWDIALOGSTYLE;
//   std::string path;
//   if (Pidl pidl = SHBrowseForFolder(bi); pidl && SHGetPathFromIDList(pidl, path)) ...
//
// An item list is released with its last reference (the CoTaskMemFree of
// the original).

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "platform/shell/special_folders.h"  // kMaxPath

namespace platform::shell {

inline constexpr long BIF_RETURNONLYFSDIRS = 0x0001;
inline constexpr long BIF_NEWDIALOGSTYLE = 0x0040;

// What the dialog hands back: a file-system folder or a virtual item.
struct ItemIdList {
  std::string path;  // empty for a virtual item
  bool fileSystem = true;
  std::string displayName;
};
using Pidl = std::shared_ptr<const ItemIdList>;

struct BROWSEINFO {
  long hwndOwner = 0;
  Pidl pidlRoot;  // nullptr: the desktop
  // Receives the display name of the pick, cut to `displayNameBuffer` - 1
  // characters as the fixed buffer did; may be null.
  std::string* pszDisplayName = nullptr;
  std::size_t displayNameBuffer = kMaxPath;
  std::optional<std::string> lpszTitle;  // none: no title
  long ulFlags = 0;
};

// nullptr when the person cancels. With BIF_RETURNONLYFSDIRS a virtual item
// cannot be chosen (the dialog keeps OK disabled), so such an answer is a
// cancel.
Pidl SHBrowseForFolder(const BROWSEINFO& info);

// The path of a file-system item; false (path left untouched) for a virtual
// item or none.
bool SHGetPathFromIDList(const Pidl& pidl, std::string& path);

}  // namespace platform::shell
