#pragma once
// Internal to the store: work done ahead, on other threads, of the one thread
// that saves attachments. A command that walks many messages (save, delete,
// export) asks each in turn for its attachments and then writes them out;
// parsing and decoding are most of that work, so the messages after the one
// in hand are parsed, and their parts decoded, on the other cores meanwhile.
// Whoever asks takes what was done, or does it itself; results are only
// taken for the file as it was when they were made.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/mail/mime.h"

namespace host::mail::detail {

// Queues `file` to be parsed. Files are parsed in the order they come, and
// that order is also the order their parts are decoded in; a file already
// queued and not taken is not queued again.
void ReadAhead(const std::filesystem::path& file);

// What was parsed of `file`, when it was the file `stamp` describes; waits
// for a parse under way. None when nobody parsed it (never queued, not
// started yet, too large to read ahead, unreadable, or changed since): the
// caller parses it itself, and sees any error for itself.
std::optional<StructureFacts> TakeReadAhead(const std::filesystem::path& file, const FileStamp& stamp);

// Where the parts of `file`, as `stamp` describes it, lie (the facts its
// parse found), so that they can be decoded ahead.
void NoteParts(const std::filesystem::path& file, const FileStamp& stamp, const StructureFacts& facts);

// The content of the part at `range` in `file`, decoded, when it was decoded
// ahead; waits for a decoding under way. Null when it was not: the caller
// decodes it itself. Asking also moves the work ahead on: the other parts
// of `file` and those of the files queued after it are decoded next, within
// a fixed amount of memory, and what was decoded for files before it and
// never taken is dropped.
std::shared_ptr<const std::string> TakeDecoded(const std::filesystem::path& file, const FileStamp& stamp,
                                               const ContentRange& range);

}  // namespace host::mail::detail
