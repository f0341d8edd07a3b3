#include "platform/atomic_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      std::string_view bytes) {
  using Step = AtomicWriteResult::Step;
  const auto fail = [&](Step step, int code) {
    ::unlink(temp.c_str());
    return AtomicWriteResult{step, code};
  };
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return AtomicWriteResult{Step::Create, errno};
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int code = n < 0 ? errno : EIO;
      ::close(fd);
      return fail(Step::Write, code);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) {
    const int code = errno;
    ::close(fd);
    return fail(Step::Write, code);
  }
  if (::close(fd) != 0) return fail(Step::Write, errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail(Step::Replace, errno);
  // The new name is on disk only once its folder is: a copy that callers go
  // on to rely on (deleting the original) must survive a crash. A file
  // system that cannot sync a folder has nothing more to write.
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

}  // namespace platform
