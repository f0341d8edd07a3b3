// The owner of a file descriptor: whatever way it ends, the descriptor is
// closed exactly once.

#include "platform/unique_fd.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <utility>

namespace {

using platform::UniqueFd;

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

int OpenNull() { return ::open("/dev/null", O_RDONLY | O_CLOEXEC); }

TEST(UniqueFd, EveryWayOfEndingClosesOnce) {
  const struct Row {
    const char* name;
    std::function<void(UniqueFd&)> end;  // what happens to the owner before it goes
    bool openAfter;                      // the descriptor is still open once the owner has gone
  } rows[] = {
      {"the owner goes", [](UniqueFd&) {}, false},
      {"moved out, the new owner goes", [](UniqueFd& fd) { UniqueFd other(std::move(fd)); }, false},
      {"moved over another owner",
       [](UniqueFd& fd) {
         UniqueFd other(OpenNull());
         other = std::move(fd);
       },
       false},
      {"reset", [](UniqueFd& fd) { fd.Reset(); }, false},
      {"closed, with no error", [](UniqueFd& fd) { EXPECT_EQ(fd.Close(), 0); }, false},
      {"released", [](UniqueFd& fd) { fd.Release(); }, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    int raw = -1;
    {
      UniqueFd fd(OpenNull());
      ASSERT_TRUE(fd);
      raw = fd.Get();
      row.end(fd);
    }
    EXPECT_EQ(IsOpen(raw), row.openAfter);
    if (row.openAfter) ::close(raw);
  }
}

TEST(UniqueFd, CloseReportsTheErrorAndHoldsNothingAfter) {
  UniqueFd none;
  EXPECT_FALSE(none);
  EXPECT_EQ(none.Close(), 0);  // nothing held: nothing to report

  UniqueFd stale(1 << 30);  // a number no descriptor has
  EXPECT_EQ(stale.Close(), EBADF);
  EXPECT_FALSE(stale);
  EXPECT_EQ(stale.Close(), 0);  // never closed twice
}

}  // namespace
