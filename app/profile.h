#pragma once
// Where one run of the program keeps its state, and the installing of it:
// the registry hives, the special folders the add-in asks for, and the mail
// store. With a profile directory everything lives below it:
//   registry/                 the hives (REGEDIT4 files)
//   Desktop/ Documents/ Pictures/
//   AppData/Local/            local application data (the temporary
//                             picture folder is made below it)
//   sample-mail/              the copy of the bundled sample mail
// Without one, the user's own folders serve: the hives under
// $LUMIVANE_HOME or $XDG_CONFIG_HOME/lumivane, the XDG user and data
// directories, and the sample-mail copy under $XDG_DATA_HOME/lumivane.

#include <filesystem>
#include <string>
#include <vector>

#include "app/options.h"
#include "platform/shell/environment.h"

namespace app {

struct WatchedFolder {
  std::filesystem::path path;
  bool recursive = false;
};

struct Profile {
  std::filesystem::path registry;
  std::filesystem::path store;
  // Folders whose new files the transcript reports.
  std::vector<WatchedFolder> watched;
  bool sampleMail = false;  // the store is the copy of the bundled sample mail
};

// Makes the profile's folders, copies the sample mail on first use, and
// installs the registry and the special folders for this process. Raises
// runtime::Error when a folder cannot be made, the store is missing or the
// sample mail cannot be copied.
Profile SetUpProfile(const Options& options, const platform::shell::Environment& environment,
                     const std::filesystem::path& sampleMail, const std::string& installPrefix);

}  // namespace app
