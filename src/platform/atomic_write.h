#pragma once
// Whole-file writes that never leave half a file: the content goes to `temp`
// (beside the target, so on the same file system), is synced, and is renamed
// over `target`, and the folder is synced so the new name lasts. On any failure the temporary file is removed and the
// target is as it was.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string_view>

namespace platform {

struct AtomicWriteResult {
  enum class Step { None, Create, Write, Replace };
  Step failed = Step::None;
  int error = 0;  // errno of the failed step
  explicit operator bool() const { return failed == Step::None; }
};

// The temporary file is private while it fills. The result keeps the mode
// of the file it replaces; a new file gets the mode any program's new file
// gets (ModeForNewFile), or stays private (0600) when asked to.
enum class NewFileMode { Shared, Private };
AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      std::string_view bytes, NewFileMode new_file_mode = NewFileMode::Shared);

// 0666 less the process's umask.
mode_t ModeForNewFile();

// Our temporary files: ".~lumivane.<pid>.<n>.tmp" and ".lumivane-<pid>-<n>-<r>.tmp".
bool IsOurTemporaryName(std::string_view name);
// Removes the regular files of `dir` with our temporary names, owned by this
// user, last changed more than `age` ago: what a save that was killed left.
// Best effort; answers how many went.
std::size_t RemoveStaleTemporaryFiles(const std::filesystem::path& dir, std::chrono::seconds age);
// The same with the age that marks a temporary file of a write as abandoned,
// once per folder and run: called before a folder is written.
void SweepBeforeWriting(const std::filesystem::path& dir);

}  // namespace platform
