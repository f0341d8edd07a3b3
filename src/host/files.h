#pragma once
// File access of the stand-in client (attachments in and out). Names resolve
// without regard to case, as on the file system the add-in was written for,
// and a file is written to a temporary name beside it and renamed, so a
// failure never leaves half a file.

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

}  // namespace host::files
