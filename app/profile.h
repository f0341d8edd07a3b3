#pragma once
// Where one run of the program keeps its state, and the installing of it:
// the registry hives, the special folders the add-in asks for, and the mail
// store. With a profile directory everything lives below it:
//   registry/                 the hives (REGEDIT4 files)
//   Desktop/ Documents/ Pictures/
//   AppData/Local/            local application data (the temporary
//                             picture folder is made below it)
//   sample-mail/              the copy of the bundled sample mail
//   lumivane-host.lock        held by the program that uses the profile
// Without one, the user's own folders serve: the hives under
// $LUMIVANE_HOME or $XDG_CONFIG_HOME/lumivane, the XDG user and data
// directories, and the sample-mail copy under $XDG_DATA_HOME/lumivane; the
// lock file then lies beside the hives.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/options.h"
#include "platform/shell/environment.h"
#include "platform/unique_fd.h"

namespace app {

struct WatchedFolder {
  std::filesystem::path path;
  bool recursive = false;
};

// One program per profile, as the mail client runs once per user: two on
// one profile would share the temporary picture folder and empty it under
// each other. An flock on a file in the profile folder, held while this
// object lives (the system drops it when the process ends, however it
// ends); the file names the holder's process id for the one turned away.
class ProfileLock {
 public:
  // Raises runtime::Error naming the holder's process id when another
  // program holds the profile in `folder`.
  explicit ProfileLock(const std::filesystem::path& folder);

 private:
  platform::UniqueFd fd_;
};

struct Profile {
  std::shared_ptr<const ProfileLock> lock;
  std::filesystem::path registry;
  std::filesystem::path store;
  // Folders whose new files the transcript reports.
  std::vector<WatchedFolder> watched;
  bool sampleMail = false;  // the store is the copy of the bundled sample mail
};

// Locks the profile, makes its folders, copies the sample mail on first
// use, and installs the registry and the special folders for this process.
// Raises runtime::Error when another program holds the profile (before
// anything of it is made or written), when a folder cannot be made, the
// store is missing or the sample mail cannot be copied.
Profile SetUpProfile(const Options& options, const platform::shell::Environment& environment,
                     const std::filesystem::path& sampleMail, const std::string& installPrefix);

}  // namespace app
