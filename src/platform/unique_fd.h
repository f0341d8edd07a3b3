#pragma once
// The owner of one open file descriptor: it is closed when its owner goes,
// and moved, never copied. Close() is for the writes whose durability rests
// on the close succeeding; everywhere else the destructor closes.

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace platform {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) noexcept : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const noexcept { return fd_; }
  explicit operator bool() const noexcept { return fd_ >= 0; }
  // Hands the descriptor over; this owner holds none afterwards.
  int Release() noexcept { return std::exchange(fd_, -1); }
  // Closes the descriptor held, if any, and holds `fd` instead.
  void Reset(int fd = -1) noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now: 0, or the errno of a close that failed (the descriptor is
  // gone either way, so it is never closed twice).
  int Close() noexcept {
    const int fd = Release();
    if (fd < 0 || ::close(fd) == 0) return 0;
    return errno;
  }

 private:
  int fd_ = -1;
};

}  // namespace platform
