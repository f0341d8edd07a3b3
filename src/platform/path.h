#pragma once
// The one path separator. Every place the documents join a folder and a
// name with a backslash uses this; registry paths keep their backslashes.

#include <string>
#include <string_view>

namespace platform {

inline constexpr char kPathSeparator = '/';

inline std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  out += kPathSeparator;
  out += name;
  return out;
}

}  // namespace platform
