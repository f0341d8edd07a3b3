#include "platform/atomic_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace platform {

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      std::string_view bytes, Durability durability) {
  return WriteFileAtomically(
      target, temp, [&](const std::function<bool(std::string_view)>& write) { write(bytes); }, durability);
}

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      const ContentPieces& content, Durability durability) {
  using Step = AtomicWriteResult::Step;
  const auto fail = [&](Step step, int code) {
    ::unlink(temp.c_str());
    return AtomicWriteResult{step, code};
  };
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return AtomicWriteResult{Step::Create, errno};
  int write_error = 0;
  const auto write = [&](std::string_view piece) {
    while (write_error == 0 && !piece.empty()) {
      const ssize_t n = ::write(fd, piece.data(), piece.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) write_error = n < 0 ? errno : EIO;
      if (n > 0) piece.remove_prefix(static_cast<std::size_t>(n));
    }
    return write_error == 0;
  };
  try {
    content(write);
  } catch (...) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
  if (write_error != 0) {
    ::close(fd);
    return fail(Step::Write, write_error);
  }
  if (durability == Durability::Synced && ::fsync(fd) != 0) {
    const int code = errno;
    ::close(fd);
    return fail(Step::Write, code);
  }
  if (::close(fd) != 0) return fail(Step::Write, errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) return fail(Step::Replace, errno);
  if (durability == Durability::Copy) NoteUnsyncedCopy(target);
  return {};
}

}  // namespace platform
