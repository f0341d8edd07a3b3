#pragma once
// The long form of an existing path, on the one file system that every
// stand-in shares. Both separators count; each component resolves as the
// original file system resolved names, exact spelling first and then without
// regard to case, and comes back as it is spelled on disk.

#include <string>
#include <string_view>

namespace platform::shell {

// GetLongPathNameA: writes the long path and its NUL into `buffer` and
// returns the number of characters written without the NUL. Returns 0 for a
// path that does not exist or cannot be a path (empty, quotes, wildcards).
// When the long path and its NUL need more than `bufferLength` characters,
// returns the size needed, NUL included, and leaves the buffer as it was.
// The buffer is never written past its own end, whatever length is claimed.
long GetLongPathNameA(std::string_view shortPath, std::string& buffer, long bufferLength);

}  // namespace platform::shell
