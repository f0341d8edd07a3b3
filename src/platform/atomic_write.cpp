#include "platform/atomic_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <set>
#include <string>

#include "platform/unique_fd.h"

namespace platform {

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      std::string_view bytes, NewFileMode new_file_mode, Durability durability) {
  return WriteFileAtomically(
      target, temp, [&](const std::function<bool(std::string_view)>& write) { write(bytes); }, new_file_mode,
      durability);
}

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      const ContentPieces& content, NewFileMode new_file_mode, Durability durability) {
  using Step = AtomicWriteResult::Step;
  const auto fail = [&](Step step, int code) {
    ::unlink(temp.c_str());
    return AtomicWriteResult{step, code};
  };
  UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (!fd) return AtomicWriteResult{Step::Create, errno};
  int write_error = 0;
  const auto write = [&](std::string_view piece) {
    while (write_error == 0 && !piece.empty()) {
      const ssize_t n = ::write(fd.Get(), piece.data(), piece.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) write_error = n < 0 ? errno : EIO;
      if (n > 0) piece.remove_prefix(static_cast<std::size_t>(n));
    }
    return write_error == 0;
  };
  try {
    content(write);
  } catch (...) {
    fd.Reset();
    ::unlink(temp.c_str());
    throw;
  }
  if (write_error != 0) return fail(Step::Write, write_error);
  if (durability == Durability::Synced && ::fsync(fd.Get()) != 0) return fail(Step::Write, errno);
  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0       ? (old.st_mode & 07777)
                      : new_file_mode == NewFileMode::Private ? 0600
                                                              : ModeForNewFile();
  if (mode != 0600 && ::fchmod(fd.Get(), mode) != 0) return fail(Step::Write, errno);
  // Some file systems report a failed write only here.
  if (const int code = fd.Close(); code != 0) return fail(Step::Write, code);
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail(Step::Replace, errno);
  // A copy is synced, with its folder, only before the original is deleted
  // (SyncCopies).
  if (durability == Durability::Copy) {
    NoteUnsyncedCopy(target);
    return {};
  }
  // The new name is on disk only once its folder is. A file system that
  // cannot sync a folder has nothing more to write.
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  if (const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir) ::fsync(dir.Get());
  return {};
}

mode_t ModeForNewFile() {
  // Reading the mask without setting it: /proc has it; umask() sets it, so
  // it is put back at once.
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Umask:", 0) == 0) return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  }
  const mode_t mask = ::umask(077);
  ::umask(mask);
  return 0666 & ~mask;
}

bool IsOurTemporaryName(std::string_view name) {
  std::string_view middle;
  if (name.rfind(".~lumivane.", 0) == 0) {
    middle = name.substr(11);
  } else if (name.rfind(".lumivane-", 0) == 0) {
    middle = name.substr(10);
  } else {
    return false;
  }
  if (middle.size() <= 4 || middle.substr(middle.size() - 4) != ".tmp") return false;
  middle.remove_suffix(4);
  return middle.find_first_not_of("0123456789.-") == std::string_view::npos;
}

std::size_t RemoveStaleTemporaryFiles(const std::filesystem::path& dir, std::chrono::seconds age) {
  DIR* listing = ::opendir(dir.c_str());
  if (!listing) return 0;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const long long limit = std::chrono::duration_cast<std::chrono::seconds>(now - age).count();
  std::size_t removed = 0;
  while (const dirent* entry = ::readdir(listing)) {
    if (!IsOurTemporaryName(entry->d_name)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(listing), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || st.st_mtime >= limit) continue;
    if (::unlinkat(::dirfd(listing), entry->d_name, 0) == 0) ++removed;
  }
  ::closedir(listing);
  return removed;
}

void SweepBeforeWriting(const std::filesystem::path& dir) {
  // No write lasts an hour: a temporary file that old was left by a save
  // that was killed. Once per folder, so a run of saves lists it once.
  static std::mutex mutex;
  static std::set<std::filesystem::path> swept;
  {
    std::lock_guard lock(mutex);
    if (!swept.insert(dir).second) return;
  }
  RemoveStaleTemporaryFiles(dir, std::chrono::hours(1));
}

}  // namespace platform
