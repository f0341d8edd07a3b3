#pragma once
// The names of the folders that case-blind look-ups read, kept between
// look-ups so that saving many new files into one folder does not read the
// whole folder for every file.
//
// A folder's names are read once and then kept up to date from the kernel's
// change notices (inotify), which report every entry created, deleted or
// renamed in the folder by any process, before the call that made the change
// returns. So an answer is always the one a fresh read of the folder gives.
// A folder that cannot be watched (no notices available, a network or
// user-space file system whose changes may come from elsewhere, no access)
// is not indexed: the caller reads it itself.

#include <optional>
#include <string>
#include <string_view>

namespace platform::fso {

// The entry of `folder` whose name matches `name` without regard to case,
// the first in case-insensitive order of several ("" when none); nothing when
// the folder is not indexed.
std::optional<std::string> IndexedCaseBlindMatch(const std::string& folder, std::string_view name);

}  // namespace platform::fso
