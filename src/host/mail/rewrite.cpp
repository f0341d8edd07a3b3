// Writing a changed message. GMime finds the structure; the new file is
// then cut and joined from the original bytes, so every part that is not
// removed keeps its bytes exactly (GMime's own writer would add a blank line
// after every inner multipart and tidy line breaks). The result is parsed
// again and must give exactly the parts expected; a layout whose bytes do
// not match what GMime found is refused, and nothing is written.

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>

#include "host/mail/gmime_wrap.h"
#include "host/mail/mime.h"
#include "runtime/error.h"

namespace host::mail::detail {

namespace gm {

GRef<GMimeObject> AttachmentPart(const NewPart& add) {
  const std::size_t slash = add.content_type.find('/');
  const std::string type = slash == std::string::npos ? "application" : add.content_type.substr(0, slash);
  const std::string subtype = slash == std::string::npos ? "octet-stream" : add.content_type.substr(slash + 1);
  GRef<GMimePart> part(g_mime_part_new_with_type(type.c_str(), subtype.c_str()));
  if (type == "text") g_mime_object_set_content_type_parameter(GMIME_OBJECT(part.get()), "charset", "utf-8");
  g_mime_part_set_filename(part.get(), add.file_name.c_str());
  GRef<GMimeStream> bytes(g_mime_stream_mem_new_with_buffer(add.bytes.data(), add.bytes.size()));
  GRef<GMimeDataWrapper> content(g_mime_data_wrapper_new_with_stream(bytes.get(), GMIME_CONTENT_ENCODING_DEFAULT));
  g_mime_part_set_content(part.get(), content.get());
  // Base64 keeps every byte, line breaks included, whatever the file holds.
  g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
  return GRef<GMimeObject>(GMIME_OBJECT(part.release()));
}

}  // namespace gm

namespace {

using namespace gm;

constexpr std::size_t kNpos = std::string::npos;

// --- What a reader gets out of a message ------------------------------------

struct Leaf {
  PartPath path;
  std::string key;  // type, name and decoded content
};

// An inline part counts with its Content-ID: a removal that moves the root
// of its multipart/related would make it read as a plain attachment. An
// attached message counts with the bytes a reader gets of it (written out
// in `format`), which a changed layout around it can change.
void CollectLeaves(GMimeObject* object, PartPath& path, std::vector<Leaf>& out, GMimeFormatOptions* format,
                   bool inline_in_related = false) {
  if (!object) return;
  if (GMIME_IS_MULTIPART(object)) {
    GMimeMultipart* multipart = GMIME_MULTIPART(object);
    const int root = MimeTypeOf(object) == "multipart/related" ? RelatedRoot(multipart) : -1;
    for (int i = 0, n = g_mime_multipart_get_count(multipart); i < n; ++i) {
      path.push_back(i);
      CollectLeaves(g_mime_multipart_get_part(multipart, i), path, out, format,
                    root >= 0 ? i != root : inline_in_related);
      path.pop_back();
    }
    return;
  }
  if (GMIME_IS_MESSAGE_PART(object)) {
    GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
    GRef<GMimeStream> written(g_mime_stream_mem_new());
    if (inner) g_mime_object_write_to_stream(GMIME_OBJECT(inner), format, written.get());
    out.push_back({path, std::string("message") + '\0' + Text(inner ? g_mime_message_get_subject(inner) : nullptr) +
                             '\0' + StreamBytes(written.get())});
    if (inner) {
      path.push_back(0);
      CollectLeaves(g_mime_message_get_mime_part(inner), path, out, format);
      path.pop_back();
    }
    return;
  }
  if (!GMIME_IS_PART(object)) return;
  GRef<GMimeStream> content(g_mime_stream_mem_new());
  if (GMimeDataWrapper* wrapper = g_mime_part_get_content(GMIME_PART(object)))
    g_mime_data_wrapper_write_to_stream(wrapper, content.get());
  const std::string type = MimeTypeOf(object);
  const std::string name = Text(g_mime_part_get_filename(GMIME_PART(object)));
  const std::string bytes = StreamBytes(content.get());
  if (type == "text/plain" && name.empty() && bytes.empty()) return;  // an empty body says nothing
  const std::string id = inline_in_related ? Text(g_mime_object_get_content_id(object)) : std::string();
  out.push_back({path, type + '\0' + name + '\0' + id + '\0' + bytes});
}

std::vector<std::string> KeysOf(GMimeMessage* message, GMimeFormatOptions* format) {
  std::vector<Leaf> leaves;
  PartPath path;
  if (message) CollectLeaves(g_mime_message_get_mime_part(message), path, leaves, format);
  std::vector<std::string> keys;
  for (auto& leaf : leaves) keys.push_back(std::move(leaf.key));
  return keys;
}

bool StartsWith(const PartPath& path, const PartPath& prefix) {
  return path.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

// --- The byte layout of the original ----------------------------------------

struct Entity {
  std::size_t begin = 0, end = 0;  // headers and body; the line break before the next delimiter excluded
  std::size_t body = 0;
  std::vector<std::size_t> delimiters;  // start of each child's delimiter line
  std::size_t close = kNpos;            // start of the close-delimiter line
  std::vector<Entity> children;
};

std::size_t LineEnd(const std::string& s, std::size_t p, std::size_t end) {
  const std::size_t lf = s.find('\n', p);
  return (lf == kNpos || lf >= end) ? end : lf + 1;
}

bool IsBlankLine(const std::string& s, std::size_t p, std::size_t end) {
  return p < end && (s[p] == '\n' || (s[p] == '\r' && p + 1 < end && s[p + 1] == '\n'));
}

// Where the header fields end (at the blank line) and the body begins (after it).
struct HeaderBlock {
  std::size_t fields_end, body;
};
HeaderBlock FindHeaderBlock(const std::string& s, std::size_t begin, std::size_t end) {
  for (std::size_t p = begin; p < end; p = LineEnd(s, p, end))
    if (IsBlankLine(s, p, end)) return {p, LineEnd(s, p, end)};
  return {end, end};
}

bool OnlyBlanks(const std::string& s, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    if (s[i] != ' ' && s[i] != '\t' && s[i] != '\r' && s[i] != '\n') return false;
  return true;
}

std::size_t BreakBefore(const std::string& s, std::size_t p) {
  if (p == 0 || s[p - 1] != '\n') return 0;
  return (p >= 2 && s[p - 2] == '\r') ? 2 : 1;
}

// Finds the bytes of `object` and of every part below it. False when the
// delimiters found here do not give the parts GMime found.
bool Map(const std::string& s, std::size_t begin, std::size_t end, GMimeObject* object, Entity& out) {
  out.begin = begin;
  out.end = end;
  out.body = FindHeaderBlock(s, begin, end).body;
  if (!GMIME_IS_MULTIPART(object)) return true;
  GMimeMultipart* multipart = GMIME_MULTIPART(object);
  const int count = g_mime_multipart_get_count(multipart);
  const char* boundary = g_mime_multipart_get_boundary(multipart);
  if (!boundary) return count == 0;
  const std::string delimiter = std::string("--") + boundary;
  for (std::size_t p = out.body; p < end; p = LineEnd(s, p, end)) {
    if (s.compare(p, delimiter.size(), delimiter) != 0) continue;
    const std::size_t after = p + delimiter.size();
    const std::size_t line_end = LineEnd(s, p, end);
    if (s.compare(after, 2, "--") == 0 && OnlyBlanks(s, after + 2, line_end)) {
      out.close = p;
      break;
    }
    if (OnlyBlanks(s, after, line_end)) out.delimiters.push_back(p);
  }
  if (out.delimiters.size() != static_cast<std::size_t>(count)) return false;
  out.children.resize(out.delimiters.size());
  for (std::size_t k = 0; k < out.delimiters.size(); ++k) {
    const std::size_t child_begin = LineEnd(s, out.delimiters[k], end);
    const std::size_t next = k + 1 < out.delimiters.size() ? out.delimiters[k + 1] : out.close;
    std::size_t child_end = next == kNpos ? end : next - BreakBefore(s, next);
    child_end = std::max(child_end, child_begin);
    if (!Map(s, child_begin, child_end, g_mime_multipart_get_part(multipart, static_cast<int>(k)), out.children[k]))
      return false;
  }
  return true;
}

const Entity* EntityAt(const Entity& root, const PartPath& path) {
  const Entity* at = &root;
  for (int index : path) {
    if (index < 0 || static_cast<std::size_t>(index) >= at->children.size()) return nullptr;
    at = &at->children[static_cast<std::size_t>(index)];
  }
  return at;
}

// --- Header fields of the top entity -----------------------------------------

struct Fields {
  std::string message;  // every field but the Content-* ones, each with its line break
  std::string content;  // the Content-* fields
  bool has_mime_version = false;
  std::size_t body = 0;
};

Fields SplitTopHeaders(const std::string& s, const std::string& newline) {
  Fields out;
  const HeaderBlock block = FindHeaderBlock(s, 0, s.size());
  const std::size_t header_end = block.fields_end;
  out.body = block.body;
  std::string* current = &out.message;
  for (std::size_t p = 0; p < header_end;) {
    const std::size_t line_end = LineEnd(s, p, header_end);
    std::string line = s.substr(p, line_end - p);
    if (line.empty() || line.back() != '\n') line += newline;
    if (s[p] != ' ' && s[p] != '\t') {
      const std::size_t colon = line.find(':');
      std::string name = line.substr(0, colon == kNpos ? 0 : colon);
      while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
      for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      current = name.rfind("content-", 0) == 0 ? &out.content : &out.message;
      if (name == "mime-version") out.has_mime_version = true;
    }
    *current += line;
    p = line_end;
  }
  return out;
}

std::string NewBoundary(const std::string& s) {
  std::mt19937_64 random{std::random_device{}()};
  for (;;) {
    char tail[17];
    std::snprintf(tail, sizeof tail, "%016llx", static_cast<unsigned long long>(random()));
    std::string boundary = std::string("=-lumivane-") + tail;
    if (s.find(boundary) == kNpos) return boundary;
  }
}

// The message headers, then a multipart/mixed of the old body (unless it is
// gone) and the new parts.
std::string Rebuild(const std::string& s, bool keep_body, const std::vector<std::string>& part_texts,
                    const std::string& newline) {
  const Fields fields = SplitTopHeaders(s, newline);
  std::string out = fields.message;
  if (part_texts.empty()) return out + newline;
  const std::string boundary = NewBoundary(s);
  if (!fields.has_mime_version) out += "MIME-Version: 1.0" + newline;
  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"" + newline + newline;
  if (keep_body) out += "--" + boundary + newline + fields.content + newline + s.substr(fields.body) + newline;
  for (const auto& text : part_texts) out += "--" + boundary + newline + text + newline;
  out += "--" + boundary + "--" + newline;
  return out;
}

struct Edit {
  std::size_t begin, end;
  std::string text;
};

std::string Apply(std::string s, std::vector<Edit> edits) {
  // From the back, so earlier offsets stay true; at one offset the removal
  // goes before the insertion, so it never eats what was inserted.
  std::sort(edits.begin(), edits.end(),
            [](const Edit& a, const Edit& b) { return a.begin != b.begin ? a.begin > b.begin : a.end > b.end; });
  for (const Edit& e : edits) s.replace(e.begin, e.end - e.begin, e.text);
  return s;
}

// A multipart/mixed that takes one more part as it is.
bool IsPlainMixed(GMimeObject* root) {
  return root && GMIME_IS_MULTIPART(root) && !GMIME_IS_MULTIPART_SIGNED(root) && !GMIME_IS_MULTIPART_ENCRYPTED(root) &&
         MimeTypeOf(root) == "multipart/mixed" && g_mime_multipart_get_boundary(GMIME_MULTIPART(root)) != nullptr;
}

std::optional<std::string> Splice(const std::string& s, GMimeMessage* message, const std::vector<PartPath>& remove,
                                  const std::vector<std::string>& part_texts, const std::string& newline) {
  GMimeObject* top = g_mime_message_get_mime_part(message);
  Entity root;
  if (!top || !Map(s, 0, s.size(), top, root)) return std::nullopt;

  // Removed parts, then every multipart that loses all of its parts.
  std::vector<PartPath> removed = remove;
  bool body_gone = false;
  for (std::size_t i = 0; i < removed.size(); ++i) {
    if (removed[i].empty()) {
      body_gone = true;
      continue;
    }
    PartPath parent(removed[i].begin(), removed[i].end() - 1);
    const Entity* holder = EntityAt(root, parent);
    if (!holder) return std::nullopt;
    const std::size_t gone =
        static_cast<std::size_t>(std::count_if(removed.begin(), removed.end(), [&](const PartPath& p) {
          return p.size() == parent.size() + 1 && StartsWith(p, parent);
        }));
    if (gone == holder->children.size() && std::find(removed.begin(), removed.end(), parent) == removed.end())
      removed.push_back(parent);
  }

  std::vector<Edit> edits;
  if (!body_gone) {
    for (const PartPath& path : removed) {
      const bool inside_removed = std::any_of(removed.begin(), removed.end(), [&](const PartPath& other) {
        return other.size() < path.size() && StartsWith(path, other);
      });
      if (inside_removed) continue;
      const Entity* parent = EntityAt(root, PartPath(path.begin(), path.end() - 1));
      const auto i = static_cast<std::size_t>(path.back());
      if (!parent || i >= parent->delimiters.size()) return std::nullopt;
      std::size_t from = parent->delimiters[i];
      std::size_t to;
      if (i + 1 < parent->delimiters.size()) {
        to = parent->delimiters[i + 1];
      } else if (parent->close != kNpos) {
        to = parent->close;
      } else {
        to = parent->end;  // no close delimiter: take this delimiter's own line break along
        if (from > parent->body) from -= BreakBefore(s, from);
      }
      edits.push_back({from, to, {}});
    }
  }

  const bool append_to_mixed = !body_gone && !part_texts.empty() && IsPlainMixed(top);
  if (append_to_mixed) {
    const std::string delimiter = "--" + std::string(g_mime_multipart_get_boundary(GMIME_MULTIPART(top)));
    std::string text;
    for (const auto& part : part_texts) text += delimiter + newline + part + newline;
    if (root.close != kNpos) {
      edits.push_back({root.close, root.close, text});
    } else {
      const std::string lead = (!s.empty() && s.back() != '\n') ? newline : std::string();
      edits.push_back({s.size(), s.size(), lead + text + delimiter + "--" + newline});
    }
  }

  std::string out = Apply(s, std::move(edits));
  if (body_gone) return Rebuild(out, false, part_texts, newline);
  if (!part_texts.empty() && !append_to_mixed) return Rebuild(out, true, part_texts, newline);
  return out;
}

std::string PartText(const NewPart& add, GMimeFormatOptions* format) {
  GRef<GMimeObject> part = AttachmentPart(add);
  GText text(g_mime_object_to_string(part.get(), format));
  std::string out = text ? text.get() : "";
  if (!out.empty() && out.back() == '\n') out.pop_back();
  if (!out.empty() && out.back() == '\r') out.pop_back();
  return out;
}

bool Reads(const std::string& bytes, const std::vector<std::string>& expected) {
  Parsed check;
  check.ParseBytes(bytes);
  return KeysOf(check.message(), FormatFor(check.newline).get()) == expected;
}

}  // namespace

std::string RewriteMessage(const std::string& original, const std::vector<PartPath>& remove,
                           const std::vector<NewPart>& add) {
  Parsed parsed;
  parsed.ParseBytes(original);
  GMimeMessage* message = parsed.message();
  if (!message) runtime::Raise(runtime::err::kPathFileAccessError, "the file is not a mail message");
  const std::string newline = parsed.newline == GMIME_NEWLINE_FORMAT_DOS ? "\r\n" : "\n";
  const FormatOptions format = FormatFor(parsed.newline);

  // What the new file must give a reader: every part that stays, unchanged
  // and in order, then the added files.
  std::vector<Leaf> leaves;
  PartPath walk;
  CollectLeaves(g_mime_message_get_mime_part(message), walk, leaves, format.get());
  std::vector<std::string> expected;
  for (auto& leaf : leaves) {
    const bool gone =
        std::any_of(remove.begin(), remove.end(), [&](const PartPath& p) { return StartsWith(leaf.path, p); });
    if (!gone) expected.push_back(std::move(leaf.key));
  }
  std::vector<std::string> part_texts;
  for (const NewPart& part : add) {
    expected.push_back(part.content_type + '\0' + part.file_name + '\0' + '\0' + part.bytes);
    part_texts.push_back(PartText(part, format.get()));
  }

  if (auto spliced = Splice(original, message, remove, part_texts, newline); spliced && Reads(*spliced, expected))
    return *spliced;

  std::string why;
  for (const auto& problem : parsed.problems()) why += (why.empty() ? "" : "; ") + problem;
  runtime::Raise(runtime::err::kPathFileAccessError,
                 "the message cannot be changed without losing part of it" + (why.empty() ? "" : " (" + why + ")"));
}

}  // namespace host::mail::detail
