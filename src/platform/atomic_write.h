#pragma once
// Whole-file writes that never leave half a file: the content goes to `temp`
// (beside the target, so on the same file system), is synced, and is renamed
// over `target`, and the folder is synced so the new name lasts; a copy
// (platform/durability.h) is neither synced nor its folder, until
// SyncCopies. On any failure the temporary file is removed and the target is
// as it was.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string_view>

#include "platform/durability.h"

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
                                      std::string_view bytes, NewFileMode new_file_mode = NewFileMode::Shared,
                                      Durability durability = Durability::Synced);

// The content in pieces: `content` hands each piece, in order, to the writer
// it is given, which answers false once a write failed (the rest is then not
// wanted). Whatever `content` raises removes the temporary file and goes on
// to the caller.
using ContentPieces = std::function<void(const std::function<bool(std::string_view)>& write)>;
AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      const ContentPieces& content, NewFileMode new_file_mode, Durability durability);

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
