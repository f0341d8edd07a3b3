#pragma once
// The program's command-line options.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

struct Options {
  std::optional<std::filesystem::path> store;    // none: the bundled sample mail
  std::optional<std::filesystem::path> profile;  // none: the XDG folders of the user
  std::string hostVersion = "11.0.0.8217";
  std::optional<std::filesystem::path> script;  // "-": standard input
  bool terminal = false;                        // commands at the terminal even when a display is there
  bool help = false;
};

struct ParsedOptions {
  Options options;
  std::string error;  // not empty: the arguments were wrong
};

ParsedOptions ParseOptions(const std::vector<std::string>& args);

std::string Usage();

}  // namespace app
