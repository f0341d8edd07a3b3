#pragma once
// Internal to the store: the wrappers that own GMime objects. Only the
// store's .cpp files include this header; no public header does.

#include <gmime/gmime.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/mail/atomic_file.h"
#include "host/mail/glib_text.h"
#include "host/mail/mime.h"

namespace host::mail::detail::gm {

// GMime is set up once, before its first use.
void EnsureGMime();

// One owned reference per wrapper; a raw GMime pointer never outlives the
// wrapper that owns what it points into.
struct GUnref {
  void operator()(void* p) const {
    if (p) g_object_unref(p);
  }
};
template <class T>
using GRef = std::unique_ptr<T, GUnref>;

struct FormatOptionsFree {
  void operator()(GMimeFormatOptions* p) const { g_mime_format_options_free(p); }
};
using FormatOptions = std::unique_ptr<GMimeFormatOptions, FormatOptionsFree>;

// One parse. The options and the problem list live as long as the message,
// because GMime keeps a pointer to both.
class Parsed {
 public:
  Parsed();
  ~Parsed();
  Parsed(const Parsed&) = delete;
  Parsed& operator=(const Parsed&) = delete;

  // Takes over `stream`.
  void Parse(GRef<GMimeStream> stream);
  void ParseBytes(const std::string& bytes);

  GMimeMessage* message() const { return message_.get(); }
  GMimeParserOptions* options() const { return options_; }
  const std::vector<std::string>& problems() const { return problems_; }
  void AddProblem(const std::string& text);

  GMimeNewLineFormat newline = GMIME_NEWLINE_FORMAT_UNIX;
  std::filesystem::path file;
  FileStamp stamp;
  GByteArray* bytes = nullptr;  // the whole file, when parsed from it; owned by the stream

 private:
  static void OnWarning(gint64, GMimeParserWarning code, const gchar*, gpointer self);

  GMimeParserOptions* options_ = nullptr;
  GRef<GMimeMessage> message_;
  std::vector<std::string> problems_;
};

// The line break style of a message: that of its first line.
GMimeNewLineFormat NewlineOf(std::string_view start);
FormatOptions FormatFor(GMimeNewLineFormat newline);

// "type/subtype" in lower case.
std::string MimeTypeOf(GMimeObject* object);
// A text from GMime as valid UTF-8 ("" for NULL).
std::string Text(const char* s);
std::string StreamBytes(GMimeStream* memory);
// The index of the root of a multipart/related: the part its "start"
// parameter names, else the first. The others are the inline parts that
// the root refers to by Content-ID.
int RelatedRoot(GMimeMultipart* multipart);

// The object at `path` and the multiparts above it.
struct Located {
  GMimeObject* object = nullptr;
  GMimeMultipart* parent = nullptr;
  std::vector<GMimeObject*> ancestors;  // from the top down to the parent
};
bool Locate(GMimeMessage* message, const PartPath& path, Located& out);

// A new attachment part: the file's bytes in base64, named, typed.
GRef<GMimeObject> AttachmentPart(const NewPart& add);

}  // namespace host::mail::detail::gm
