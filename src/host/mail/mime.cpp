#include "host/mail/mime.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "host/mail/decode.h"
#include "host/mail/gmime_wrap.h"
#include "host/mail/header_text.h"
#include "host/mail/read_ahead.h"
#include "host/mail/text_util.h"
#include "platform/unique_fd.h"
#include "runtime/error.h"

namespace host::mail::detail {

namespace gm {

void EnsureGMime() {
  static std::once_flag once;
  std::call_once(once, [] { g_mime_init(); });
}

namespace {

// What the parser said, in words a person reading an error box understands.
const char* ProblemText(GMimeParserWarning code) {
  switch (code) {
    case GMIME_WARN_TRUNCATED_MESSAGE: return "the message is truncated";
    case GMIME_WARN_MALFORMED_MESSAGE: return "the message is malformed";
    case GMIME_WARN_MALFORMED_MULTIPART: return "a multipart section has no parts";
    case GMIME_WARN_INVALID_CONTENT_TYPE: return "a part has an invalid content type";
    case GMIME_CRIT_MULTIPART_WITHOUT_BOUNDARY: return "a multipart section has no boundary";
    case GMIME_CRIT_NESTING_OVERFLOW: return "parts are nested too deeply; the deepest ones were skipped";
    case GMIME_CRIT_INVALID_HEADER_NAME: return "a header line is invalid";
    case GMIME_CRIT_PART_WITHOUT_HEADERS_OR_CONTENT: return "a part has neither headers nor content";
    default: return nullptr;  // duplicated headers, odd addresses and the like change nothing we read
  }
}

}  // namespace

Parsed::Parsed() {
  EnsureGMime();
  options_ = g_mime_parser_options_new();
  static const char* kFallbackCharsets[] = {"UTF-8", "windows-1252", nullptr};
  g_mime_parser_options_set_fallback_charsets(options_, kFallbackCharsets);
  g_mime_parser_options_set_warning_callback(options_, &Parsed::OnWarning, this);
}

Parsed::~Parsed() {
  message_.reset();
  g_mime_parser_options_free(options_);
}

void Parsed::Parse(GRef<GMimeStream> stream) {
  GRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
  g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MESSAGE);
  message_.reset(g_mime_parser_construct_message(parser.get(), options_));
  if (!message_) AddProblem("the file is not a mail message");
}

void Parsed::ParseBytes(const std::string& bytes) {
  newline = NewlineOf(bytes);
  Parse(GRef<GMimeStream>(g_mime_stream_mem_new_with_buffer(bytes.data(), bytes.size())));
}

void Parsed::AddProblem(const std::string& text) {
  if (std::find(problems_.begin(), problems_.end(), text) == problems_.end()) problems_.push_back(text);
}

void Parsed::OnWarning(gint64, GMimeParserWarning code, const gchar*, gpointer self) {
  if (const char* text = ProblemText(code)) static_cast<Parsed*>(self)->AddProblem(text);
}

GMimeNewLineFormat NewlineOf(std::string_view start) {
  const std::size_t lf = start.find('\n');
  return (lf != std::string_view::npos && lf > 0 && start[lf - 1] == '\r') ? GMIME_NEWLINE_FORMAT_DOS
                                                                           : GMIME_NEWLINE_FORMAT_UNIX;
}

FormatOptions FormatFor(GMimeNewLineFormat newline) {
  FormatOptions options(g_mime_format_options_new());
  g_mime_format_options_set_newline_format(options.get(), newline);
  return options;
}

std::string MimeTypeOf(GMimeObject* object) {
  GMimeContentType* type = g_mime_object_get_content_type(object);
  GText mime(type ? g_mime_content_type_get_mime_type(type) : nullptr);
  std::string out = mime ? mime.get() : "application/octet-stream";
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string Text(const char* s) { return s ? MakeValidUtf8(s, "\xEF\xBF\xBD") : std::string(); }

std::string StreamBytes(GMimeStream* memory) {
  GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory));
  return array ? std::string(reinterpret_cast<const char*>(array->data), array->len) : std::string();
}

bool Locate(GMimeMessage* message, const PartPath& path, Located& out) {
  out = {};
  GMimeObject* object = message ? g_mime_message_get_mime_part(message) : nullptr;
  for (int index : path) {
    if (!object || !GMIME_IS_MULTIPART(object)) return false;
    GMimeMultipart* multipart = GMIME_MULTIPART(object);
    if (index < 0 || index >= g_mime_multipart_get_count(multipart)) return false;
    out.ancestors.push_back(object);
    out.parent = multipart;
    object = g_mime_multipart_get_part(multipart, index);
  }
  out.object = object;
  return object != nullptr;
}

// The index of the root of a multipart/related: the part its "start"
// parameter names, else the first.
int RelatedRoot(GMimeMultipart* multipart) {
  const char* start = g_mime_object_get_content_type_parameter(GMIME_OBJECT(multipart), "start");
  if (!start) return 0;
  std::string wanted(start);
  if (wanted.size() >= 2 && wanted.front() == '<' && wanted.back() == '>') wanted = wanted.substr(1, wanted.size() - 2);
  const int count = g_mime_multipart_get_count(multipart);
  for (int i = 0; i < count; ++i) {
    const char* id = g_mime_object_get_content_id(g_mime_multipart_get_part(multipart, i));
    if (id && wanted == id) return i;
  }
  return 0;
}

}  // namespace gm

namespace {

using namespace gm;

// The whole file in one buffer, read at once: GMime's parser and the decoders
// then work in memory and nothing is read twice (over a file stream GMime
// seeks and reads a few kilobytes at a time, again for every decode). Null
// when the file cannot be read (errno says why).
GByteArray* ReadWhole(int fd, off_t size) {
  // GMime's memory stream counts in 32 bits.
  constexpr guint kLimit = 0xF0000000u;
  if (size < 0 || static_cast<std::uint64_t>(size) >= kLimit) {
    errno = EFBIG;
    return nullptr;
  }
  // One byte more than the size, so the end shows without growing; a file
  // that grew meanwhile is read to its end.
  GByteArray* bytes = g_byte_array_sized_new(static_cast<guint>(size) + 1);
  g_byte_array_set_size(bytes, static_cast<guint>(size) + 1);
  guint length = 0;
  int error = 0;
  for (;;) {
    if (length == bytes->len) {
      if (bytes->len > kLimit / 2) {
        error = EFBIG;
        break;
      }
      g_byte_array_set_size(bytes, bytes->len * 2);
    }
    const ssize_t n = ::read(fd, bytes->data + length, bytes->len - length);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    length += static_cast<guint>(n);
  }
  if (error != 0) {
    g_byte_array_unref(bytes);
    errno = error;
    return nullptr;
  }
  g_byte_array_set_size(bytes, length);
  return bytes;
}

// The last file parsed stays parsed, its bytes in memory: saving the
// pictures of one message one after another reads it once. Only one is
// kept, so memory holds at most the largest message.
std::mutex g_last_mutex;
std::shared_ptr<Parsed> g_last;  // the last file parsed

// Whether the last file parsed is `file` as `stamp` shows it; the caller
// holds g_last_mutex.
bool LastIs(const std::filesystem::path& file, const FileStamp& stamp) {
  return g_last && g_last->file == file && g_last->stamp == stamp;
}

// The last file parsed when it is `file` as `stamp` shows it; else null.
std::shared_ptr<Parsed> LastParsed(const std::filesystem::path& file, const FileStamp& stamp) {
  std::lock_guard lock(g_last_mutex);
  return LastIs(file, stamp) ? g_last : nullptr;
}

// Reads `file` whole and parses it; touches no cache, so any thread may.
std::shared_ptr<Parsed> ReadAndParse(const std::filesystem::path& file, int fd, const struct stat& st) {
  GByteArray* bytes = ReadWhole(fd, st.st_size);
  const int read_error = errno;
  if (!bytes) RaiseIoError(read_error, "read", file);
  auto parsed = std::make_shared<Parsed>();
  parsed->file = file;
  parsed->stamp = StampOf(st);
  parsed->newline =
      NewlineOf(std::string_view(reinterpret_cast<const char*>(bytes->data), std::min(bytes->len, 1024u)));
  parsed->bytes = bytes;
  parsed->Parse(GRef<GMimeStream>(g_mime_stream_mem_new_with_byte_array(bytes)));  // the stream owns the bytes
  return parsed;
}

// An open regular file and what fstat says of it; raises otherwise.
struct OpenFile {
  platform::UniqueFd fd;
  struct stat st {};
  explicit OpenFile(const std::filesystem::path& file) : fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (!fd) RaiseIoError(errno, "read", file);
    if (::fstat(fd.Get(), &st) != 0) RaiseIoError(errno, "read", file);
    if (!S_ISREG(st.st_mode)) RaiseIoError(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, "read", file);
  }
};

std::shared_ptr<Parsed> ParseFile(const std::filesystem::path& file) {
  const OpenFile open(file);
  std::lock_guard lock(g_last_mutex);
  if (LastIs(file, StampOf(open.st))) return g_last;
  g_last.reset();  // its bytes go before the next message's come
  g_last = ReadAndParse(file, open.fd.Get(), open.st);
  return g_last;
}

// Names and subjects are decoded by GMime after their runs of base64 words
// are joined (header_text.h says why).

GMimeParserOptions* DecodingOptions() {
  static const Parsed holder;  // its options: the fallback character sets
  return holder.options();
}

// Every header text the client shows or hands on (names of parts, subjects,
// names in address fields) is decoded here, all of its words.
std::string DecodeEncodedWords(std::string_view text) {
  GText decoded(g_mime_utils_header_decode_text(DecodingOptions(), JoinBase64Runs(text).c_str()));
  return Text(decoded.get());
}

// The raw value of the first field `name` of a part's or message's header,
// its line breaks and outer blanks taken out; none when there is no such field.
std::optional<std::string> UnfoldedHeader(GMimeObject* object, const char* name) {
  GMimeHeaderList* headers = g_mime_object_get_header_list(object);
  GMimeHeader* header = headers ? g_mime_header_list_get_header(headers, name) : nullptr;
  const char* raw = header ? g_mime_header_get_raw_value(header) : nullptr;
  if (!raw) return std::nullopt;
  std::string unfolded;
  for (const char* c = raw; *c; ++c)
    if (*c != '\r' && *c != '\n') unfolded += *c;
  const std::size_t first = unfolded.find_first_not_of(" \t");
  const std::size_t last = unfolded.find_last_not_of(" \t");
  return first == std::string::npos ? std::string() : unfolded.substr(first, last - first + 1);
}

// The name a part offers when its raw form holds encoded words; nullopt when
// GMime's reading of it is to be used.
std::optional<std::string> EncodedWordsName(GMimeObject* object) {
  static constexpr std::pair<const char*, std::string_view> kPlaces[] = {{"Content-Disposition", "filename"},
                                                                         {"Content-Type", "name"}};
  for (const auto& [header_name, parameter] : kPlaces) {
    const std::optional<std::string> unfolded = UnfoldedHeader(object, header_name);
    if (!unfolded) continue;
    const std::optional<std::string> value = RawParameter(*unfolded, parameter);
    if (!value) continue;
    if (value->find("=?") == std::string::npos) return std::nullopt;
    return DecodeEncodedWords(*value);
  }
  return std::nullopt;
}

bool IsBodyText(GMimePart* part, const std::string& mime_type) {
  if (mime_type != "text/plain" && mime_type != "text/html") return false;
  const char* disposition = g_mime_object_get_disposition(GMIME_OBJECT(part));
  if (disposition && g_ascii_strcasecmp(disposition, "attachment") == 0) return false;
  const char* name = g_mime_part_get_filename(part);
  return !name || !*name;
}

// The bytes a data wrapper reads, when they lie in a memory stream; `array`
// gets the stream's whole buffer.
bool ContentBytes(GMimeDataWrapper* content, std::string_view& out, GByteArray** array_out = nullptr) {
  GMimeStream* stream = g_mime_data_wrapper_get_stream(content);
  if (!stream || !GMIME_IS_STREAM_MEM(stream)) return false;
  GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream));
  if (!array) return false;
  const gint64 size = array->len;
  const gint64 start = std::clamp<gint64>(stream->bound_start, 0, size);
  const gint64 end = stream->bound_end < 0 ? size : std::clamp<gint64>(stream->bound_end, start, size);
  out = std::string_view(reinterpret_cast<const char*>(array->data) + start, static_cast<std::size_t>(end - start));
  if (array_out) *array_out = array;
  return true;
}

// Content that can be decoded from the message's bytes as they stand: base64
// (decoded here) or bytes that need no decoding. False for anything else.
bool DecodableInPlace(GMimeDataWrapper* content, bool& base64) {
  switch (g_mime_data_wrapper_get_encoding(content)) {
    case GMIME_CONTENT_ENCODING_BASE64: base64 = true; return true;
    case GMIME_CONTENT_ENCODING_DEFAULT:
    case GMIME_CONTENT_ENCODING_7BIT:
    case GMIME_CONTENT_ENCODING_8BIT:
    case GMIME_CONTENT_ENCODING_BINARY: base64 = false; return true;
    default: return false;
  }
}

// Where the content of `part` lies in the file `whole` holds; none when it
// is not there as it stands.
std::optional<ContentRange> RangeIn(GByteArray* whole, GMimePart* part) {
  GMimeDataWrapper* content = g_mime_part_get_content(part);
  std::string_view encoded;
  GByteArray* array = nullptr;
  ContentRange range;
  if (!whole || !content || !ContentBytes(content, encoded, &array) || array != whole ||
      !DecodableInPlace(content, range.base64))
    return std::nullopt;
  range.offset = static_cast<std::uint64_t>(reinterpret_cast<const guint8*>(encoded.data()) - whole->data);
  range.length = encoded.size();
  return range;
}

struct Walker {
  StructureFacts& facts;
  PartPath path;
  GByteArray* whole = nullptr;  // the file's bytes, when parsed from the file

  void Walk(GMimeObject* object, int depth, bool inline_in_related) {
    if (!object) return;
    if (depth > kMaxPartDepth) {
      const std::string text = "parts are nested more than " + std::to_string(kMaxPartDepth) +
                               " levels deep; the deeper ones are not listed";
      if (std::find(facts.problems.begin(), facts.problems.end(), text) == facts.problems.end())
        facts.problems.push_back(text);
      return;
    }
    if (GMIME_IS_MESSAGE_PART(object)) {
      PartFacts part;
      part.path = path;
      part.type = 5;
      part.content_type = MimeTypeOf(object);
      part.raw_name = Text(g_mime_object_get_content_disposition_parameter(object, "filename"));
      if (part.raw_name.empty()) part.raw_name = Text(g_mime_object_get_content_type_parameter(object, "name"));
      if (auto name = EncodedWordsName(object)) part.raw_name = std::move(*name);
      if (GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object)))
        if (auto subject = UnfoldedHeader(GMIME_OBJECT(inner), "Subject"))
          part.inner_subject = DecodeEncodedWords(*subject);
      facts.attachments.push_back(std::move(part));
      return;
    }
    if (GMIME_IS_MULTIPART(object)) {
      GMimeMultipart* multipart = GMIME_MULTIPART(object);
      const bool related = MimeTypeOf(object) == "multipart/related";
      const int root = related ? RelatedRoot(multipart) : -1;
      const int count = g_mime_multipart_get_count(multipart);
      for (int i = 0; i < count; ++i) {
        path.push_back(i);
        Walk(g_mime_multipart_get_part(multipart, i), depth + 1, related ? i != root : inline_in_related);
        path.pop_back();
      }
      return;
    }
    if (GMIME_IS_PART(object)) {
      GMimePart* leaf = GMIME_PART(object);
      PartFacts part;
      part.path = path;
      part.content_type = MimeTypeOf(object);
      if (IsBodyText(leaf, part.content_type)) return;
      part.raw_name = Text(g_mime_part_get_filename(leaf));
      if (auto name = EncodedWordsName(object)) part.raw_name = std::move(*name);
      if (inline_in_related) part.content_id = Text(g_mime_object_get_content_id(object));
      part.range = RangeIn(whole, leaf);
      facts.attachments.push_back(std::move(part));
    }
  }
};

}  // namespace

namespace {

std::string SenderOf(const std::string& raw) {
  GRef<InternetAddressList> list(internet_address_list_parse(DecodingOptions(), JoinBase64Runs(raw).c_str()));
  if (!list || internet_address_list_length(list.get()) == 0) return DecodeEncodedWords(raw);
  InternetAddress* first = internet_address_list_get_address(list.get(), 0);
  const std::string name = Text(internet_address_get_name(first));
  if (!name.empty() || !INTERNET_ADDRESS_IS_MAILBOX(first)) return name;
  return Text(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(first)));
}

// "Name <addr>, ..." as a reader shows an address field, decoded.
std::string AddressesOf(const std::string& raw) {
  GRef<InternetAddressList> list(internet_address_list_parse(DecodingOptions(), JoinBase64Runs(raw).c_str()));
  if (!list || internet_address_list_length(list.get()) == 0) return DecodeEncodedWords(raw);
  GText text(internet_address_list_to_string(list.get(), nullptr, FALSE));
  return Text(text.get());
}

std::optional<std::int64_t> DateOf(const std::string& raw) {
  GDateTime* parsed = g_mime_utils_header_decode_date(raw.c_str());
  if (parsed == nullptr) return std::nullopt;
  const std::int64_t seconds = g_date_time_to_unix(parsed);
  g_date_time_unref(parsed);
  return seconds;
}

}  // namespace

// A listing reads thousands of subjects: the field is found and unfolded
// here, and only its decoding is left to GMime, with no parser built.
std::string ReadSubject(std::string_view header_block) {
  const auto raw = FieldValue(header_block, "subject:");
  return raw && !raw->empty() ? DecodeEncodedWords(*raw) : std::string();
}

HeaderFacts ReadHeaders(std::string_view header_block) {
  HeaderFacts facts;
  facts.subject = ReadSubject(header_block);
  if (auto from = FieldValue(header_block, "from:"); from && !from->empty()) {
    facts.sender = SenderOf(*from);
    facts.from = AddressesOf(*from);
  }
  if (auto to = FieldValue(header_block, "to:"); to && !to->empty()) facts.to = AddressesOf(*to);
  if (auto date = FieldValue(header_block, "date:"); date && !date->empty()) facts.date = DateOf(*date);
  return facts;
}

namespace {

// The first body text part of `object` of the type `wanted`; nullptr when none.
GMimePart* FindBodyText(GMimeObject* object, const char* wanted, int depth) {
  if (!object || depth > kMaxPartDepth) return nullptr;
  if (GMIME_IS_MULTIPART(object)) {
    GMimeMultipart* multipart = GMIME_MULTIPART(object);
    for (int i = 0, n = g_mime_multipart_get_count(multipart); i < n; ++i)
      if (GMimePart* found = FindBodyText(g_mime_multipart_get_part(multipart, i), wanted, depth + 1)) return found;
    return nullptr;
  }
  if (!GMIME_IS_TEXT_PART(object)) return nullptr;
  const std::string type = MimeTypeOf(object);
  return type == wanted && IsBodyText(GMIME_PART(object), type) ? GMIME_PART(object) : nullptr;
}

}  // namespace

std::string ReadBodyText(const std::filesystem::path& file) {
  const std::shared_ptr<Parsed> parsed = ParseFile(file);
  GMimeMessage* message = parsed->message();
  if (!message) return {};
  GMimeObject* top = g_mime_message_get_mime_part(message);
  if (GMimePart* plain = FindBodyText(top, "text/plain", 0)) {
    GText text(g_mime_text_part_get_text(GMIME_TEXT_PART(plain)));
    return Text(text.get());
  }
  if (GMimePart* html = FindBodyText(top, "text/html", 0)) {
    GText text(g_mime_text_part_get_text(GMIME_TEXT_PART(html)));
    return WithoutMarkup(Text(text.get()));
  }
  return {};
}

namespace {

StructureFacts FactsOf(const Parsed& parsed) {
  StructureFacts facts;
  facts.problems = parsed.problems();
  if (GMimeMessage* message = parsed.message()) {
    Walker walker{facts, {}, parsed.bytes};
    walker.Walk(g_mime_message_get_mime_part(message), 0, false);
  }
  return facts;
}

}  // namespace

StructureFacts ReadStructure(const std::filesystem::path& file) { return FactsOf(*ParseFile(file)); }

StructureFacts ReadStructureApart(const std::filesystem::path& file, std::uint64_t max_size, FileStamp& stamp) {
  const OpenFile open(file);
  if (static_cast<std::uint64_t>(open.st.st_size) > max_size) RaiseIoError(EFBIG, "read ahead", file);
  const std::shared_ptr<Parsed> parsed = ReadAndParse(file, open.fd.Get(), open.st);
  stamp = parsed->stamp;
  return FactsOf(*parsed);
}

namespace {

// Decoded pieces go out through this buffer: a picture of usual size is
// written with one call, and a very large one costs no more memory than this.
constexpr std::size_t kPieceBytes = std::size_t{8} << 20;

unsigned char* PieceBuffer() {
  thread_local std::unique_ptr<unsigned char[]> buffer(new unsigned char[kPieceBytes]);
  return buffer.get();
}

// A large part is decoded on a thread of its own, a few slots ahead of the
// receiver: writing one slot while the next is decoded takes the time of the
// slower of the two rather than of both.
constexpr std::size_t kSlots = 8;
constexpr std::size_t kSlotBytes = std::size_t{1} << 20;
static_assert(kSlots * kSlotBytes <= kPieceBytes);
constexpr std::size_t kAlongsideSlice = (kSlotBytes - Base64Decoder::MaxOutput(0)) / 3 * 4;

std::uint64_t DecodeAlongside(std::string_view encoded, unsigned char* buffer,
                              const std::function<void(std::string_view)>& out) {
  std::mutex mutex;
  std::condition_variable changed;
  std::size_t sizes[kSlots] = {};
  std::size_t made = 0;  // slots decoded; only the decoder changes it
  std::size_t used = 0;  // slots handed out
  bool done = false;
  bool stop = false;  // the receiver failed
  std::thread decoder([&] {
    Base64Decoder decoding;
    for (std::size_t at = 0; at < encoded.size(); at += kAlongsideSlice) {
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || made - used < kSlots; });
        if (stop) break;
      }
      const std::size_t n = decoding.Step(encoded.substr(at, kAlongsideSlice), buffer + made % kSlots * kSlotBytes);
      {
        std::lock_guard lock(mutex);
        sizes[made % kSlots] = n;
        ++made;
      }
      changed.notify_all();
    }
    {
      std::lock_guard lock(mutex);
      done = true;
    }
    changed.notify_all();
  });
  std::uint64_t total = 0;
  try {
    for (;;) {
      std::size_t slot = 0;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return used < made || done; });
        if (used == made) break;
        slot = used % kSlots;
      }
      if (sizes[slot] > 0)
        out(std::string_view(reinterpret_cast<const char*>(buffer + slot * kSlotBytes), sizes[slot]));
      total += sizes[slot];
      {
        std::lock_guard lock(mutex);
        ++used;
      }
      changed.notify_all();
    }
  } catch (...) {
    {
      std::lock_guard lock(mutex);
      stop = true;
    }
    changed.notify_all();
    decoder.join();
    throw;
  }
  decoder.join();
  return total;
}

// GMime writes (an attached message, quoted-printable, uuencode) into memory
// first; these are rare and small beside the pictures.
class GMimeWritten final : public OpenedPart {
 public:
  GMimeWritten(std::shared_ptr<const Parsed> parsed, GMimeObject* object)
      : parsed_(std::move(parsed)), object_(object) {}

  std::uint64_t Each(const std::function<void(std::string_view)>& out) const override {
    const std::string bytes = Whole();
    if (!bytes.empty()) out(bytes);
    return bytes.size();
  }

  std::string Whole() const override {
    GRef<GMimeStream> memory(g_mime_stream_mem_new());
    if (GMIME_IS_MESSAGE_PART(object_)) {
      if (GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object_))) {
        const FormatOptions format = FormatFor(parsed_->newline);
        g_mime_object_write_to_stream(GMIME_OBJECT(inner), format.get(), memory.get());
      }
    } else if (GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object_))) {
      g_mime_data_wrapper_write_to_stream(content, memory.get());
    }
    return StreamBytes(memory.get());
  }

 private:
  std::shared_ptr<const Parsed> parsed_;  // keeps the message and its bytes alive
  GMimeObject* object_;
};

// Content in the message's own bytes: base64, decoded here, or bytes that
// need no decoding at all.
class InMemory final : public OpenedPart {
 public:
  InMemory(std::shared_ptr<const void> owner, std::string_view encoded, bool base64)
      : owner_(std::move(owner)), encoded_(encoded), base64_(base64) {}

  std::uint64_t Each(const std::function<void(std::string_view)>& out) const override {
    if (!base64_) {
      if (!encoded_.empty()) out(encoded_);
      return encoded_.size();
    }
    unsigned char* buffer = PieceBuffer();
    if (encoded_.size() > 2 * kAlongsideSlice) return DecodeAlongside(encoded_, buffer, out);
    const std::size_t slice = (kPieceBytes - Base64Decoder::MaxOutput(0)) / 3 * 4;
    Base64Decoder decoder;
    std::uint64_t total = 0;
    for (std::size_t at = 0; at < encoded_.size(); at += slice) {
      const std::size_t n = decoder.Step(encoded_.substr(at, slice), buffer);
      if (n > 0) out(std::string_view(reinterpret_cast<const char*>(buffer), n));
      total += n;
    }
    return total;
  }

  std::string Whole() const override { return base64_ ? Base64Decoder::Whole(encoded_) : std::string(encoded_); }

 private:
  std::shared_ptr<const void> owner_;  // owns the bytes `encoded_` views
  std::string_view encoded_;
  bool base64_;
};

}  // namespace

std::shared_ptr<const OpenedPart> OpenPart(const std::filesystem::path& file, const PartPath& path) {
  const std::shared_ptr<Parsed> parsed = ParseFile(file);
  Located at;
  if (!Locate(parsed->message(), path, at))
    runtime::Raise(runtime::err::kPathFileAccessError,
                   "The attachment is no longer in '" + file.string() + "'; the message changed on disk");
  if (GMIME_IS_PART(at.object)) {
    GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(at.object));
    std::string_view encoded;
    bool base64 = false;
    if (!content) return std::make_shared<InMemory>(parsed, std::string_view(), false);
    if (ContentBytes(content, encoded) && DecodableInPlace(content, base64))
      return std::make_shared<InMemory>(parsed, encoded, base64);
  } else if (!GMIME_IS_MESSAGE_PART(at.object)) {
    runtime::Raise(runtime::err::kPathFileAccessError, "That part of '" + file.string() + "' is not an attachment");
  }
  return std::make_shared<GMimeWritten>(parsed, at.object);
}

std::shared_ptr<const OpenedPart> OpenPart(const std::filesystem::path& file, const PartPath& path,
                                           const ContentRange& range, const FileStamp& stamp) {
  if (std::shared_ptr<const std::string> decoded = TakeDecoded(file, stamp, range))
    return std::make_shared<InMemory>(decoded, *decoded, false);
  if (std::shared_ptr<Parsed> parsed = LastParsed(file, stamp)) {
    if (parsed->bytes && range.offset + range.length <= parsed->bytes->len)
      return std::make_shared<InMemory>(
          parsed, std::string_view(reinterpret_cast<const char*>(parsed->bytes->data) + range.offset, range.length),
          range.base64);
  }
  {
    // Memory holds one message's bytes at a time, as ParseFile keeps it.
    std::lock_guard lock(g_last_mutex);
    g_last.reset();
  }
  auto bytes = std::make_shared<std::string>();
  const int error = ReadRange(file, stamp, range, *bytes);
  if (error == kFileChanged) return OpenPart(file, path);  // not the file that was parsed: parse it as it is now
  if (error != 0) RaiseIoError(error, "read", file);
  const std::string_view encoded(*bytes);
  return std::make_shared<InMemory>(std::move(bytes), encoded, range.base64);
}

int ReadRange(const std::filesystem::path& file, const FileStamp& stamp, const ContentRange& range,
              std::string& bytes) {
  const platform::UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return errno;
  struct stat st {};
  if (::fstat(fd.Get(), &st) != 0 || StampOf(st) != stamp ||
      range.offset + range.length > static_cast<std::uint64_t>(st.st_size))
    return kFileChanged;
  bytes.resize(range.length);
  int error = 0;
  for (std::size_t done = 0; done < range.length;) {
    const ssize_t n =
        ::pread(fd.Get(), bytes.data() + done, range.length - done, static_cast<off_t>(range.offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return error;
}

}  // namespace host::mail::detail
