#pragma once
// Whole-file writes that never leave half a file: the content goes to `temp`
// (beside the target, so on the same file system), is synced, and is renamed
// over `target`, and the folder is synced so the new name lasts. On any failure the temporary file is removed and the
// target is as it was.

#include <filesystem>
#include <string_view>

namespace platform {

struct AtomicWriteResult {
  enum class Step { None, Create, Write, Replace };
  Step failed = Step::None;
  int error = 0;  // errno of the failed step
  explicit operator bool() const { return failed == Step::None; }
};

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      std::string_view bytes);

}  // namespace platform
