#pragma once
// File access of the stand-in client (attachments in and out). Names resolve
// without regard to case, as on the file system the add-in was written for,
// and a file is written to a temporary name beside it and renamed, so a
// failure never leaves half a file.

#include <functional>
#include <string>
#include <string_view>

#include "runtime/variant.h"

namespace host::files {

// The existing file or folder that `path` names in any case, else `path`.
std::string Resolve(std::string_view path);

enum class WriteFailure { None, NoFolder, NoPermission, Other };

// Reads a whole file; false when it cannot be read.
bool ReadAll(std::string_view path, runtime::ByteArray& out);
// On failure `error` (when given) gets the system's reason as an errno.
WriteFailure WriteAll(std::string_view path, const runtime::ByteArray& bytes, int* error = nullptr);

// Bytes that come in pieces: called with a receiver, hands it each piece in order.
using Pieces = std::function<void(const std::function<void(std::string_view)>& piece)>;
// Writes a copy of bytes that are kept elsewhere (a saved attachment), as
// WriteAll does, but unsynced (platform/durability.h). Whatever `bytes`
// raises goes on to the caller and leaves nothing behind.
WriteFailure WriteCopy(std::string_view path, const Pieces& bytes, int* error = nullptr);

}  // namespace host::files
