#pragma once
// File names as the add-in's home file system treated them: a name is found
// without regard to case, the spelling on disk wins, and a folder lists its
// entries in case-insensitive name order. Every stand-in that touches files
// (the file-system object, the mail client's SaveAsFile, the picture loader)
// goes through ResolvePath, so "does it exist", "write over it" and "delete
// it" agree with the case-blind collection keys of the system.
//
// Files can also be locked, as an open picture or a running viewer locks a
// file there: deleting or writing over a locked file fails with 70.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform::fso {

// Case-insensitive order (ties broken by the exact bytes, so the order is total).
bool CaseBlindLess(std::string_view a, std::string_view b);

// The path with every component that exists replaced by its spelling on disk:
// the exact name first, else the first entry whose name matches without
// regard to case. Components from the first missing one on keep the spelling
// given. Empty components ("a//b", a trailing "/") are dropped; "." and ".."
// are kept as they are.
//   ResolvePath("/tmp/Pics/PHOTO.JPG") -> "/tmp/pics/photo.jpg" when those exist
//   ResolvePath("/tmp/pics/New.jpg")   -> "/tmp/pics/New.jpg"   when only the folder exists
std::string ResolvePath(std::string_view path);

enum class EntryKind { Files, Folders, All };

// Names of the entries of a folder in case-insensitive order; an empty list
// when the folder cannot be read. Files are regular files (or links to them).
std::vector<std::string> ListFolder(const std::filesystem::path& folder, EntryKind kind);

// A lock on one file, held by whoever has it open. Locks are taken on the
// resolved path, so a lock on Photo.JPG holds photo.jpg.
class FileLock {
 public:
  FileLock() = default;
  explicit FileLock(std::string_view path);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  ~FileLock();

  void Release();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

bool IsLocked(std::string_view path);

// The entry that `path` names (resolved as above) is a symbolic link, to
// whatever it points to or to nothing. Writing through one would put a file
// wherever the link leads.
bool IsSymbolicLink(std::string_view path);

// Two regular files (resolved as above, links not followed) hold the same
// bytes; false when either cannot be read.
bool SameContent(std::string_view a, std::string_view b);

}  // namespace platform::fso
