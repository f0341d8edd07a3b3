#pragma once
// Shell special folders by folder number. Each number maps to a path, to
// nothing (not defined on this system) or to a virtual folder that has an
// item list but no file-system path. The table is filled by the Linux backing
// (xdg_folders.h) in the program and by each test for itself.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/shell/seam.h"

namespace platform::shell {

// Folder numbers the add-in asks for.
inline constexpr long CSIDL_DESKTOP = 0x00;
inline constexpr long CSIDL_PERSONAL = 0x05;  // documents
inline constexpr long CSIDL_LOCAL_APPDATA = 0x1C;
inline constexpr long CSIDL_SYSTEM = 0x25;
inline constexpr long CSIDL_PROGRAM_FILES = 0x26;
inline constexpr long CSIDL_MYPICTURES = 0x27;

inline constexpr long S_OK = 0;
inline constexpr long E_FAIL = static_cast<long>(static_cast<int>(0x80004005u));

// The longest path the conversion writes, terminator included.
inline constexpr std::size_t kMaxPath = 260;

// The shell's allocator, which frees item lists (those of the current
// shell). Releasing it is dropping the shared pointer.
class ShellMalloc {
 public:
  void Free(long pidl);
};

class SpecialFolders {
 public:
  enum class Kind { Undefined, Path, Virtual };

  explicit SpecialFolders(Seam* seam) : seam_(seam) {}

  // Seam.
  void Define(long folder, std::string path);
  void MakeVirtual(long folder);
  void Undefine(long folder);
  void UndefineAll() { table_.clear(); }
  Kind KindOf(long folder) const;
  // The folder's path; none for a virtual or undefined folder. Not a shell
  // call: nothing is recorded.
  std::optional<std::string> PathOf(long folder) const;
  // Item lists handed out and not yet freed.
  std::size_t LiveItemLists() const { return live_.size(); }

  // SHGetSpecialFolderLocation: S_OK with a new item list in `pidl`, or
  // E_FAIL (pidl 0) for a folder this system does not define.
  long SHGetSpecialFolderLocation(long hwndOwner, long folder, long& pidl);
  // SHGetPathFromIDList: writes the path and its NUL into `buffer` (at most
  // kMaxPath characters, and never past the buffer's end) and returns true;
  // for a virtual folder, an unknown list or a path too long for the buffer
  // it writes an empty text and returns false.
  bool SHGetPathFromIDList(long pidl, std::string& buffer);
  // SHGetMalloc: S_OK and the allocator.
  long SHGetMalloc(std::shared_ptr<ShellMalloc>& malloc);
  void CoTaskMemFree(long pidl);

 private:
  friend class ShellMalloc;
  void FreeItemList(std::string_view via, long pidl);

  struct Entry {
    Kind kind = Kind::Undefined;
    std::string path;
  };
  Seam* seam_;
  std::map<long, Entry> table_;
  std::map<long, long> live_;  // item list -> folder number
  long nextPidl_ = 0x00150000;
};

// The calls as the system code writes them, on the current shell.
long SHGetSpecialFolderLocation(long hwndOwner, long folder, long& pidl);
bool SHGetPathFromIDList(long pidl, std::string& buffer);
long SHGetMalloc(std::shared_ptr<ShellMalloc>& malloc);
void CoTaskMemFree(long pidl);

}  // namespace platform::shell
