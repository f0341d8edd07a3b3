#include "platform/shell/browse_folder.h"

#include "platform/forms/ui.h"
#include "platform/shell/shell.h"

namespace platform::shell {

Pidl SHBrowseForFolder(const BROWSEINFO& info) {
  forms::FolderRequest request;
  request.owner = info.hwndOwner;
  request.root = info.pidlRoot ? info.pidlRoot->path : std::string();
  // Without a root the dialog opens at the desktop, the user's Desktop folder.
  request.start = info.pidlRoot ? request.root : Current().folders.PathOf(CSIDL_DESKTOP).value_or("");
  request.title = info.lpszTitle;
  request.flags = info.ulFlags;
  forms::UserInterface* ui = forms::CurrentUserInterface();
  if (ui == nullptr) return nullptr;
  const forms::FolderAnswer answer = ui->PickFolder(request);
  if (answer.kind == forms::FolderAnswer::Kind::Cancel) return nullptr;
  const bool virtualItem = answer.kind == forms::FolderAnswer::Kind::VirtualItem;
  if (virtualItem && (info.ulFlags & BIF_RETURNONLYFSDIRS) != 0) return nullptr;
  auto item = std::make_shared<ItemIdList>();
  item->fileSystem = !virtualItem;
  item->path = virtualItem ? std::string() : answer.path;
  item->displayName = answer.displayName;
  if (info.pszDisplayName != nullptr) {
    std::string name = item->displayName;
    if (info.displayNameBuffer == 0) {
      name.clear();
    } else if (name.size() >= info.displayNameBuffer) {
      name.resize(info.displayNameBuffer - 1);
    }
    *info.pszDisplayName = std::move(name);
  }
  return item;
}

bool SHGetPathFromIDList(const Pidl& pidl, std::string& path) {
  if (!pidl || !pidl->fileSystem) return false;
  path = pidl->path;
  return true;
}

}  // namespace platform::shell
