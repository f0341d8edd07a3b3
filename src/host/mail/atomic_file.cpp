#include "host/mail/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>

#include "platform/atomic_write.h"
#include "platform/unique_fd.h"
#include "runtime/error.h"

namespace host::mail {

void WriteFaults::Check(WriteStep step) const {
  if (step_ && *step_ == step) runtime::Raise(number_, description_);
}

namespace detail {

void RaiseIoError(int error_number, const std::string& action, const std::filesystem::path& path) {
  long number = runtime::err::kPathFileAccessError;
  switch (error_number) {
    case ENOENT:
    case ENOTDIR: number = runtime::err::kPathNotFound; break;
    case EACCES:
    case EPERM:
    case EROFS: number = runtime::err::kPermissionDenied; break;
    case ENOSPC:
    case EDQUOT: number = 61; break;  // Disk full
    default: break;
  }
  runtime::Raise(number, "Could not " + action + " '" + path.string() + "': " + std::strerror(error_number));
}

void WriteAll(int fd, std::string_view bytes, const std::filesystem::path& what) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseIoError(errno, "write", what);
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

FileStamp StampOf(const struct stat& st) {
  FileStamp stamp;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.mtime_ns = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return stamp;
}

bool StampOf(const std::filesystem::path& file, FileStamp& out) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return false;
  out = StampOf(st);
  return true;
}

namespace {

// A name no other writer picks: the process, a counter and a random tail.
std::string TempName() {
  static std::atomic<unsigned> counter{0};
  thread_local std::mt19937_64 random{std::random_device{}()};
  return ".lumivane-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
         std::to_string(random() % 1000000000ULL) + ".tmp";
}

class TempFile {
 public:
  explicit TempFile(const std::filesystem::path& dir) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = dir / TempName();
      fd_.Reset(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
      if (fd_ || errno != EEXIST) break;
    }
    if (!fd_) RaiseIoError(errno, "create a temporary file in", dir);
  }
  ~TempFile() {
    fd_.Reset();
    if (!kept_) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_.Get(); }
  const std::filesystem::path& path() const { return path_; }
  // Some file systems report a failed write only here.
  void Close() {
    if (const int error = fd_.Close(); error != 0) RaiseIoError(error, "write", path_);
  }
  void Keep() { kept_ = true; }

 private:
  std::filesystem::path path_;
  platform::UniqueFd fd_;
  bool kept_ = false;
};

void SyncDirectory(const std::filesystem::path& dir) {
  const platform::UniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) ::fsync(fd.Get());  // best effort: the rename is done, only its durability is at stake
}

}  // namespace

void WriteAtomically(const std::filesystem::path& target, const std::filesystem::path& temp_dir,
                     const std::function<void(int fd)>& produce, const WriteFaults* faults,
                     platform::Durability durability) {
  const bool synced = durability == platform::Durability::Synced;
  if (faults) faults->Check(WriteStep::CreateTemp);
  platform::SweepBeforeWriting(temp_dir);
  TempFile temp(temp_dir);

  if (faults) faults->Check(WriteStep::Write);
  produce(temp.fd());
  if (synced) {
    if (faults) faults->Check(WriteStep::Sync);
    if (::fsync(temp.fd()) != 0) RaiseIoError(errno, "write", temp.path());
  }
  // Private while it fills; then the mode of the file it replaces, or that of any new file.
  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : platform::ModeForNewFile();
  if (mode != 0600 && ::fchmod(temp.fd(), mode) != 0) RaiseIoError(errno, "write", temp.path());
  temp.Close();
  if (faults) faults->Check(WriteStep::Rename);
  if (::rename(temp.path().c_str(), target.c_str()) != 0) RaiseIoError(errno, "replace", target);
  temp.Keep();
  if (synced) {
    SyncDirectory(target.parent_path());
  } else {
    platform::NoteUnsyncedCopy(target);
  }
}

}  // namespace detail
}  // namespace host::mail
