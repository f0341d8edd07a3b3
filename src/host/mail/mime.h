#pragma once
// Internal to the store: its door to GMime (mime.cpp reads, rewrite.cpp
// writes). Everything GMime reports (NULL results, parser warnings, failed
// writes) becomes our facts, our problem texts or a runtime::Error there;
// no GMime type or pointer appears in this header.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/mail/atomic_file.h"

namespace host::mail {
struct NewMessage;
}  // namespace host::mail

namespace host::mail::detail {

// Where a part sits: the child index at each multipart from the top; empty
// for the message's own body.
using PartPath = std::vector<int>;

// Deeper parts are not listed; GMime has its own, larger limit for parsing.
inline constexpr int kMaxPartDepth = 32;

// Decoded subject from a header block alone ("" when it has none).
std::string ReadSubject(std::string_view header_block);

// What a message list shows of a header block.
struct HeaderFacts {
  std::string subject;               // decoded; "" when none
  std::string sender;                // the first From mailbox: its decoded name, else its address; "" when none
  std::string from;                  // the From field, decoded, as a reader shows it; "" when none
  std::string to;                    // the To field, decoded; "" when none
  std::optional<std::int64_t> date;  // the Date field in seconds since 1970; none when missing or unreadable
};
HeaderFacts ReadHeaders(std::string_view header_block);

// Where a part's content lies in its message file, when it can be decoded
// from there alone: base64, or bytes that need no decoding.
struct ContentRange {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  bool base64 = false;
};

struct PartFacts {
  PartPath path;
  std::optional<ContentRange> range;  // none for an attached message and for other encodings
  int type = 1;                       // 1 a file part, 5 an attached message
  std::string raw_name;               // decoded, unsanitised; may be empty
  std::string content_type;           // lower case, "image/jpeg"
  std::string content_id;             // only for a part inside multipart/related that is not its root
  std::string inner_subject;          // an attached message's subject
};

struct StructureFacts {
  std::vector<PartFacts> attachments;
  std::vector<std::string> problems;  // what the parser had to guess or skip, in plain words
};

// The text a reader shows as the message's body: its first body text part
// (plain text preferred, else HTML without its markup), decoded to UTF-8;
// "" when it has none. Raises runtime::Error when the file cannot be read.
std::string ReadBodyText(const std::filesystem::path& file);

// Parses `file` (headers and MIME structure; content stays on disk).
// Raises runtime::Error when the file cannot be read.
StructureFacts ReadStructure(const std::filesystem::path& file);
// The same on any thread: the file is not kept as the last one parsed (see
// OpenPart). A file larger than `max_size` is refused. `stamp` is the file
// as it was read.
StructureFacts ReadStructureApart(const std::filesystem::path& file, std::uint64_t max_size, FileStamp& stamp);

// An attachment's content, found in its message and ready to decode. The
// message was read whole when it was parsed, so once a part is open nothing
// can fail but the receiver of the bytes.
class OpenedPart {
 public:
  virtual ~OpenedPart() = default;
  // Hands the decoded bytes (an attached message as the message it is) to
  // `out` in order: in as few pieces as a fixed buffer allows, so a picture
  // of any usual size comes in one. Answers the number of bytes.
  virtual std::uint64_t Each(const std::function<void(std::string_view)>& out) const = 0;
  virtual std::string Whole() const = 0;
};
// Raises runtime::Error when the file cannot be read or has no such part.
std::shared_ptr<const OpenedPart> OpenPart(const std::filesystem::path& file, const PartPath& path);
// The same for a part whose range was found when the file, as `stamp` shows
// it, was parsed: when the file is still that one, only the range is read
// and nothing is parsed again (saving the attachments of many messages
// would otherwise parse each twice: once to list them, once to save).
std::shared_ptr<const OpenedPart> OpenPart(const std::filesystem::path& file, const PartPath& path,
                                           const ContentRange& range, const FileStamp& stamp);
// Reads the bytes at `range` of `file`, as they stand, into `bytes` when the
// file is still the one `stamp` describes and holds them. Answers 0 then,
// kFileChanged when the file is another one now, else why it could not be
// read (an errno value).
inline constexpr int kFileChanged = -1;
int ReadRange(const std::filesystem::path& file, const FileStamp& stamp, const ContentRange& range, std::string& bytes);

struct NewPart {
  std::string file_name;  // sanitised
  std::string content_type;
  std::string bytes;
};

// `original` with the parts at `remove` taken out (multiparts left empty go
// too) and `add` appended as attachments of a multipart/mixed (the body is
// wrapped in one when it is not one already). The new text is cut and joined
// from the original, so every part not removed keeps its bytes; new lines
// follow the original's first line break. The result is parsed again and
// must read as the original minus the removed parts plus the added ones;
// otherwise raises runtime::Error 75 and nothing is to be written.
std::string RewriteMessage(const std::string& original, const std::vector<PartPath>& remove,
                           const std::vector<NewPart>& add);

// The file of a new message (store.h): the header fields (From only when
// given), a plain-text body and the attachments as base64 parts of a
// multipart/mixed. Raises runtime::Error when it would not read back whole.
std::string BuildMessage(const NewMessage& message);

}  // namespace host::mail::detail
