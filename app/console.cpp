#include "app/console.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <utility>

#include "platform/forms/event_loop.h"

namespace app {

std::optional<std::string> TerminalConsole::Ask(std::string_view prompt) { return ReadLine(prompt, false); }

std::optional<std::string> TerminalConsole::ReadCommand(std::string_view prompt) { return ReadLine(prompt, true); }

std::optional<std::string> TerminalConsole::ReadLine(std::string_view prompt, bool fireTimers) {
  std::cout << prompt << std::flush;
  for (;;) {
    if (const auto nl = buffer_.find('\n'); nl != std::string::npos) {
      std::string line = buffer_.substr(0, nl);
      buffer_.erase(0, nl + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (ended_) {
      if (buffer_.empty()) return std::nullopt;
      return std::exchange(buffer_, {});
    }
    int timeout = -1;
    if (fireTimers) {
      auto& loop = platform::forms::Loop();
      if (const auto due = loop.NextDue()) {
        const auto wait = *due - loop.Milliseconds();
        timeout = static_cast<int>(std::clamp<std::int64_t>(wait, 0, 60000));
      }
    }
    pollfd in{0, POLLIN, 0};
    const int ready = ::poll(&in, 1, timeout);
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      platform::forms::Loop().DoEvents();
      continue;
    }
    char chunk[4096];
    const ssize_t n = ::read(0, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ended_ = true;
      std::cout << '\n';
      continue;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

}  // namespace app
