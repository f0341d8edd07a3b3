#pragma once
// Whole-file writes that never leave half a file: the content goes to `temp`
// (beside the target, so on the same file system), is synced unless it is a
// copy (platform/durability.h), and is renamed over `target`. On any failure
// the temporary file is removed and the target is as it was.

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

AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      std::string_view bytes, Durability durability = Durability::Synced);

// The content in pieces: `content` hands each piece, in order, to the writer
// it is given, which answers false once a write failed (the rest is then not
// wanted). Whatever `content` raises removes the temporary file and goes on
// to the caller.
using ContentPieces = std::function<void(const std::function<bool(std::string_view)>& write)>;
AtomicWriteResult WriteFileAtomically(const std::filesystem::path& target, const std::filesystem::path& temp,
                                      const ContentPieces& content, Durability durability);

}  // namespace platform
