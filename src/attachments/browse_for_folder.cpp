#include "attachments/browse_for_folder.h"

#include "platform/shell/special_folders.h"
#include "runtime/handlers.h"
#include "settings/app.h"

namespace lumivane {

namespace {

namespace shell = platform::shell;

constexpr std::size_t kDisplayNameBuffer = 260;
constexpr const char* kNoTitle = "@@@";

runtime::OnError Handler(const char* procedure) {
  return ErrorBox(procedure, runtime::ModuleKind::ClassModule, "BrowseForFolder");
}

}  // namespace

std::string BrowseForFolder::BrowseFolders(long hwnd, const std::string& DialogText) {
  auto eh = Handler("BrowseFolders");
  std::string path;
  eh([&] {
    std::string displayName;
    shell::BROWSEINFO info;
    info.hwndOwner = hwnd;
    info.pszDisplayName = &displayName;
    info.displayNameBuffer = kDisplayNameBuffer;
    if (DialogText != kNoTitle) info.lpszTitle = DialogText;
    info.ulFlags = shell::BIF_RETURNONLYFSDIRS;
    // The item list is freed with its last reference.
    const shell::Pidl pidl = shell::SHBrowseForFolder(info);
    std::string buffer;
    if (pidl && shell::SHGetPathFromIDList(pidl, buffer)) path = buffer.substr(0, buffer.find('\0'));
  });
  return path;
}

std::string BrowseForFolder::BrowseFolders2(long hwnd, const std::string& DialogText) {
  auto eh = Handler("BrowseFolders2");
  std::string path;
  eh([&] { path = ShowBrowseDialog(shell::CSIDL_DESKTOP, shell::BIF_NEWDIALOGSTYLE, DialogText, hwnd); });
  return path;
}

std::string BrowseForFolder::ShowBrowseDialog(long rootFolder, long flags, const std::string& title, long hwndOwner) {
  std::string displayName;
  shell::BROWSEINFO info;
  info.hwndOwner = hwndOwner;
  info.pidlRoot = GetSpecialFolderIDList(hwndOwner, rootFolder);
  info.pszDisplayName = &displayName;
  info.displayNameBuffer = kDisplayNameBuffer;
  info.lpszTitle = title;
  info.ulFlags = flags;
  const shell::Pidl pidl = shell::SHBrowseForFolder(info);
  std::string buffer;
  if (pidl && shell::SHGetPathFromIDList(pidl, buffer)) return buffer.substr(0, buffer.find('\0'));
  return {};
}

shell::Pidl BrowseForFolder::GetSpecialFolderIDList(long hwnd, long folder) {
  if (folder < 1) return nullptr;
  long pidl = 0;
  if (shell::SHGetSpecialFolderLocation(hwnd, folder, pidl) != shell::S_OK) return nullptr;
  std::string path(shell::kMaxPath, '\0');
  const bool onDisk = shell::SHGetPathFromIDList(pidl, path);
  shell::CoTaskMemFree(pidl);
  auto item = std::make_shared<shell::ItemIdList>();
  item->fileSystem = onDisk;
  if (onDisk) item->path = path.substr(0, path.find('\0'));
  return item;
}

}  // namespace lumivane
