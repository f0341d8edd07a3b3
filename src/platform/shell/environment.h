#pragma once
// The environment as the add-in sees it: a table the program fills from the
// real process environment at start and tests set directly. Names compare
// without regard to case, as on the platform the add-in was written for.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/error.h"

namespace platform::shell {

class Environment {
 public:
  Environment() = default;
  // From "NAME=value" entries such as the C runtime's `environ` (null-terminated
  // array); of two names that differ only in case the first one wins.
  static Environment FromEntries(const char* const* entries);

  // Replaces the value of an existing name (keeping its spelling) or adds it.
  void Set(std::string_view name, std::string_view value);
  void Remove(std::string_view name);
  std::optional<std::string> Get(std::string_view name) const;
  const std::vector<std::pair<std::string, std::string>>& Entries() const { return vars_; }

  // Seam: while set, every expansion raises this error.
  std::optional<runtime::Error> expandFault;
  // Seam: every text given to ExpandEnvironmentStrings, in order.
  std::vector<std::string> expandLog;

 private:
  std::vector<std::pair<std::string, std::string>> vars_;
};

// The table in use; empty until the program or a test sets it.
Environment& CurrentEnvironment();
void SetEnvironment(Environment environment);

// Replaces every %NAME% whose NAME is defined by its value; an undefined
// %NAME% (and "%%") stays as it is, and the scan goes on after its closing
// percent sign; a lone % stays. The text ends at its first NUL, as the
// original call read a C string.
std::string ExpandEnvironmentStrings(std::string_view source);

}  // namespace platform::shell
