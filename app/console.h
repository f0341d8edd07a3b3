#pragma once
// The terminal: lines typed by a person. While the program waits for the
// next command, the timers of the event loop keep firing on real time.

#include <optional>
#include <string>
#include <string_view>

#include "app/transcript.h"

namespace app {

class TerminalConsole : public Console {
 public:
  // An answer inside a command (a message box, a form, a folder pick):
  // time stands still meanwhile, so nothing else happens on the way.
  std::optional<std::string> Ask(std::string_view prompt) override;
  // The next command; due timers fire while the person types.
  std::optional<std::string> ReadCommand(std::string_view prompt);

 private:
  std::optional<std::string> ReadLine(std::string_view prompt, bool fireTimers);
  std::string buffer_;
  bool ended_ = false;
};

}  // namespace app
