#pragma once
// Internal to the store.
// Whole-file writes that never leave half a file: the new content goes to a
// fresh file in `temp_dir` (same file system as the target), is synced when
// it is the only copy of its data (platform/durability.h), and is renamed
// over the target. On any failure the temporary file is removed and the
// target is as it was.

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string_view>

#include "host/mail/write_faults.h"
#include "platform/durability.h"

namespace host::mail::detail {

// `produce` writes the content to the open descriptor it is given and raises
// runtime::Error on failure. A target that exists keeps its permissions.
void WriteAtomically(const std::filesystem::path& target, const std::filesystem::path& temp_dir,
                     const std::function<void(int fd)>& produce, const WriteFaults* faults,
                     platform::Durability durability = platform::Durability::Synced);

// Writes all of `bytes` to `fd`; raises runtime::Error naming `what` on failure.
void WriteAll(int fd, std::string_view bytes, const std::filesystem::path& what);

// The runtime error for a failed system call on `path` (errno decides the number).
[[noreturn]] void RaiseIoError(int error_number, const std::string& action, const std::filesystem::path& path);

// Identity of a file's content as far as a reader can tell without reading it.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  long long mtime_ns = 0;
  bool operator==(const FileStamp&) const = default;
};
// False when the file cannot be examined (errno tells why).
bool StampOf(const std::filesystem::path& file, FileStamp& out);
FileStamp StampOf(const struct stat& st);

}  // namespace host::mail::detail
