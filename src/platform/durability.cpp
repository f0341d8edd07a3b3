#include "platform/durability.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <set>

#include "platform/unique_fd.h"

namespace platform {

namespace {

std::mutex g_mutex;
std::set<std::filesystem::path> g_unsynced;

// 0, or errno; a file that has gone needs no sync.
int Sync(const std::filesystem::path& path, int flags) {
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags));
  if (!fd) return errno == ENOENT ? 0 : errno;
  return ::fsync(fd.Get()) == 0 ? 0 : errno;
}

}  // namespace

void NoteUnsyncedCopy(const std::filesystem::path& file) {
  std::lock_guard lock(g_mutex);
  g_unsynced.insert(file);
}

int SyncCopies() {
  std::lock_guard lock(g_mutex);
  std::set<std::filesystem::path> folders;
  for (const auto& file : g_unsynced) {
    if (const int error = Sync(file, 0)) return error;
    folders.insert(file.has_parent_path() ? file.parent_path() : std::filesystem::path("."));
  }
  // The renames that put the copies in place live in their folders.
  for (const auto& folder : folders)
    if (const int error = Sync(folder, O_DIRECTORY)) return error;
  g_unsynced.clear();
  return 0;
}

}  // namespace platform
