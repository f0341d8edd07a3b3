#pragma once
// The desktop behind the viewer discovery: at start-up the client writes
// what the machine's desktop entries (the .desktop files under the XDG data
// directories) declare into the registry keys that the add-in's discovery
// of picture viewers and web browsers reads, so "open with" lists and starts
// programs that are really installed.
//
//   an application whose MimeType lists picture types
//     HKEY_CLASSES_ROOT "Applications\<program>"
//         FriendlyAppName = its Name (the first value)
//         DesktopEntry    = the file it came from (our mark)
//       "SupportedTypes": one empty value per extension (".jpg", ".png", ...)
//       "shell\open\command": default value "/usr/bin/prog" "%1"
//   a web browser (category WebBrowser, or a handler of http/https)
//     HKEY_LOCAL_MACHINE "SOFTWARE\Clients\StartMenuInternet\<Name>"
//         default value = its Name; DesktopEntry = the file
//       "shell\open\command": default value "/usr/bin/browser" "%1"
//
// <program> is the program's file name; a second application with the same
// program takes its desktop file id instead. Only entries whose program is
// found are written. Keys carrying our mark that no entry gives any more are
// removed; keys made by hand (without the mark) are never touched. A machine
// without any desktop entry gets no keys, and the discovery still finds its
// fixed viewers.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell/xdg_folders.h"

namespace host::desktop {

struct DesktopEntry {
  std::string id;    // the desktop file id: "org.gnome.eog.desktop"
  std::string file;  // where it was read
  std::string name;
  std::vector<std::string> exec;  // the Exec line split, field codes as written
  std::string tryExec;
  std::vector<std::string> mimeTypes;
  std::vector<std::string> categories;
  bool hidden = false;
};

// The [Desktop Entry] group of a file; nullopt unless it is an Application
// with a Name and an Exec line that splits.
std::optional<DesktopEntry> ParseDesktopEntry(std::string_view text);

// An Exec value split by the desktop-entry rules: blanks separate, double
// quotes group, and inside quotes a backslash escapes " ` $ and \.
// nullopt when a quote is left open.
std::optional<std::vector<std::string>> SplitExec(std::string_view exec);

// $XDG_DATA_HOME (default ~/.local/share), then each of $XDG_DATA_DIRS
// (default /usr/local/share:/usr/share). Relative entries are ignored.
std::vector<std::filesystem::path> DataDirectories(const platform::shell::EnvironmentLookup& environment);
// The directories of $PATH, for finding programs.
std::vector<std::filesystem::path> SearchPath(const platform::shell::EnvironmentLookup& environment);

// Every desktop entry under <dir>/applications of the data directories, by
// desktop file id in case-insensitive order; an id found in an earlier
// directory hides the same id in later ones (a Hidden entry hides it too).
std::vector<DesktopEntry> ReadDesktopEntries(const std::vector<std::filesystem::path>& dataDirectories);

// The executable file of a program name: with a "/" the name itself, else
// the first match in `searchPath`; "" when there is none.
std::string FindProgram(std::string_view program, const std::vector<std::filesystem::path>& searchPath);

// The extensions that a MIME type of a picture stands for ("image/jpeg" ->
// ".jpg", ".jpeg"); none for other types.
std::vector<std::string> ExtensionsForMimeType(std::string_view mimeType);

struct Published {
  std::vector<std::string> viewers;   // the Applications keys written
  std::vector<std::string> browsers;  // the StartMenuInternet keys written
};

// Writes the keys (see above) into the current registry.
Published PublishToRegistry(const std::vector<DesktopEntry>& entries,
                            const std::vector<std::filesystem::path>& searchPath);

}  // namespace host::desktop
