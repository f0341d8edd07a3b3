#pragma once
// The Linux backing of the special folders: documents and pictures from the
// XDG user directories, local application data from $XDG_DATA_HOME, program
// files from the installation prefix, the system folder /usr/bin, the desktop
// from the XDG desktop directory. The program reads its environment and
// hands it over; nothing here reads the environment itself.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform::shell {

using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

struct LinuxFolders {
  std::optional<std::string> desktop;
  std::optional<std::string> documents;
  std::optional<std::string> pictures;
  std::optional<std::string> localAppData;
  std::optional<std::string> programFiles;
  std::optional<std::string> system;
};

// Where each folder lives, from HOME, XDG_CONFIG_HOME, XDG_DATA_HOME and the
// file user-dirs.dirs in the configuration folder. When that file is absent
// the usual ~/Desktop, ~/Documents and ~/Pictures stand; when it is present,
// a directory it does not name, or names as the home folder itself (the way
// a user switches one off), is not defined. Relative XDG values are ignored.
LinuxFolders ResolveLinuxFolders(const EnvironmentLookup& environment, const std::string& installPrefix);

// Puts the folders into the current shell's table; an unset one becomes
// undefined there.
void UseLinuxFolders(const LinuxFolders& folders);

}  // namespace platform::shell
