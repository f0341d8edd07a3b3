#include "platform/shell/special_folders.h"

#include <algorithm>

#include "platform/shell/shell.h"

namespace platform::shell {

void ShellMalloc::Free(long pidl) { Current().folders.FreeItemList("IMalloc.Free", pidl); }

void SpecialFolders::Define(long folder, std::string path) { table_[folder] = Entry{Kind::Path, std::move(path)}; }
void SpecialFolders::MakeVirtual(long folder) { table_[folder] = Entry{Kind::Virtual, {}}; }
void SpecialFolders::Undefine(long folder) { table_.erase(folder); }

SpecialFolders::Kind SpecialFolders::KindOf(long folder) const {
  auto it = table_.find(folder);
  return it == table_.end() ? Kind::Undefined : it->second.kind;
}

std::optional<std::string> SpecialFolders::PathOf(long folder) const {
  auto it = table_.find(folder);
  if (it == table_.end() || it->second.kind != Kind::Path) return std::nullopt;
  return it->second.path;
}

long SpecialFolders::SHGetSpecialFolderLocation(long hwndOwner, long folder, long& pidl) {
  seam_->Enter("SHGetSpecialFolderLocation", FormatCall("SHGetSpecialFolderLocation", hwndOwner, folder));
  pidl = 0;
  if (KindOf(folder) == Kind::Undefined) return E_FAIL;
  pidl = nextPidl_;
  nextPidl_ += 0x10;
  live_[pidl] = folder;
  return S_OK;
}

bool SpecialFolders::SHGetPathFromIDList(long pidl, std::string& buffer) {
  seam_->Enter("SHGetPathFromIDList", FormatCall("SHGetPathFromIDList", pidl));
  auto clear = [&] {
    if (!buffer.empty()) buffer[0] = '\0';
    return false;
  };
  auto list = live_.find(pidl);
  if (list == live_.end()) return clear();
  auto entry = table_.find(list->second);
  // The folder may have been taken away since the list was handed out.
  if (entry == table_.end() || entry->second.kind != Kind::Path) return clear();
  const std::string& path = entry->second.path;
  const std::size_t room = std::min(buffer.size(), kMaxPath);
  if (path.size() + 1 > room) return clear();
  std::copy(path.begin(), path.end(), buffer.begin());
  buffer[path.size()] = '\0';
  return true;
}

long SpecialFolders::SHGetMalloc(std::shared_ptr<ShellMalloc>& malloc) {
  seam_->Enter("SHGetMalloc", FormatCall("SHGetMalloc"));
  malloc = std::make_shared<ShellMalloc>();
  return S_OK;
}

void SpecialFolders::CoTaskMemFree(long pidl) { FreeItemList("CoTaskMemFree", pidl); }

void SpecialFolders::FreeItemList(std::string_view via, long pidl) {
  seam_->Enter(via, FormatCall(via, pidl));
  live_.erase(pidl);  // freeing nothing, or freeing twice, is harmless here
}

long SHGetSpecialFolderLocation(long hwndOwner, long folder, long& pidl) {
  return Current().folders.SHGetSpecialFolderLocation(hwndOwner, folder, pidl);
}
bool SHGetPathFromIDList(long pidl, std::string& buffer) { return Current().folders.SHGetPathFromIDList(pidl, buffer); }
long SHGetMalloc(std::shared_ptr<ShellMalloc>& malloc) { return Current().folders.SHGetMalloc(malloc); }
void CoTaskMemFree(long pidl) { Current().folders.CoTaskMemFree(pidl); }

}  // namespace platform::shell
