#include "host/mail/names.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <system_error>

#include "host/mail/text_util.h"
#include "platform/fso/name_text.h"
#include "runtime/error.h"

namespace host::mail {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string_view LastComponent(std::string_view s) {
  while (!s.empty()) {
    const std::size_t cut = s.find_last_of("/\\");
    std::string_view last = cut == std::string_view::npos ? s : s.substr(cut + 1);
    if (!TrimBlanks(last).empty()) return TrimBlanks(last);
    if (cut == std::string_view::npos) break;
    s = s.substr(0, cut);
  }
  return {};
}

// Longest prefix of valid UTF-8 `s` of at most `limit` bytes ending on a character boundary.
std::string_view CutUtf8(std::string_view s, std::size_t limit) {
  if (s.size() <= limit) return s;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return s.substr(0, end);
}

// An extension longer than this is not worth keeping whole when the name must shrink.
constexpr std::size_t kMaxKeptExtension = 32;

struct TypeExtension {
  std::string_view type;
  std::string_view extension;
};
// First row of a type wins when naming; every row counts when guessing a type.
constexpr std::array kTypes{
    TypeExtension{"image/jpeg", ".jpg"},      TypeExtension{"image/jpeg", ".jpeg"},
    TypeExtension{"image/jpeg", ".jpe"},      TypeExtension{"image/pjpeg", ".jpg"},
    TypeExtension{"image/png", ".png"},       TypeExtension{"image/gif", ".gif"},
    TypeExtension{"image/bmp", ".bmp"},       TypeExtension{"image/x-ms-bmp", ".bmp"},
    TypeExtension{"image/tiff", ".tif"},      TypeExtension{"image/tiff", ".tiff"},
    TypeExtension{"image/x-emf", ".emf"},     TypeExtension{"image/x-wmf", ".wmf"},
    TypeExtension{"image/webp", ".webp"},     TypeExtension{"application/pdf", ".pdf"},
    TypeExtension{"application/zip", ".zip"}, TypeExtension{"text/plain", ".txt"},
    TypeExtension{"text/html", ".htm"},       TypeExtension{"text/html", ".html"},
    TypeExtension{"text/calendar", ".ics"},   TypeExtension{"message/rfc822", ".eml"},
};

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualCaseBlind(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

}  // namespace

std::string SanitizeAttachmentName(std::string_view raw, std::string_view fallback) {
  const std::string clean = platform::fso::StripHiddenCharacters(raw);
  std::string_view name = LastComponent(clean);
  if (name.empty() || name == "." || name == "..") return std::string(fallback);
  if (name.size() <= kMaxNameBytes) return std::string(name);

  const std::size_t dot = name.rfind('.');
  const bool has_extension = dot != std::string_view::npos && dot > 0 && name.size() - dot <= kMaxKeptExtension;
  if (!has_extension) return std::string(CutUtf8(name, kMaxNameBytes));
  const std::string_view extension = name.substr(dot);
  std::string out(CutUtf8(name.substr(0, dot), kMaxNameBytes - extension.size()));
  out += extension;
  return out;
}

std::string NeutralAttachmentName(int ordinal, std::string_view content_type) {
  return "attachment" + std::to_string(ordinal) + ExtensionForContentType(content_type);
}

std::string CleanDisplayText(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  const std::string valid = detail::MakeValidUtf8(raw, "\xEF\xBF\xBD");
  for (std::size_t i = 0; i < valid.size();) {
    const detail::Utf8Char c = detail::DecodeUtf8(valid, i);
    if (!platform::fso::IsControlCharacter(c.code) && !platform::fso::IsBidiFormatting(c.code))
      out.append(valid, i, c.length);
    i += c.length;
  }
  return out;
}

std::string ExtensionForContentType(std::string_view content_type) {
  for (const auto& row : kTypes)
    if (EqualCaseBlind(row.type, content_type)) return std::string(row.extension);
  return {};
}

std::string ContentTypeForFileName(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    const std::string_view extension = name.substr(dot);
    for (const auto& row : kTypes)
      if (row.type != "message/rfc822" && EqualCaseBlind(row.extension, extension)) return std::string(row.type);
  }
  return "application/octet-stream";
}

std::filesystem::path PathInside(const std::filesystem::path& folder, std::string_view name) {
  namespace fs = std::filesystem;
  if (name.empty() || name == "." || name == ".." || name.size() > kMaxNameBytes ||
      name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) {
    runtime::Raise(runtime::err::kBadFileNameOrNumber, "'" + std::string(name) + "' is not a plain file name");
  }
  std::error_code ec;
  const fs::path base = fs::weakly_canonical(folder, ec);
  if (ec) runtime::Raise(runtime::err::kPathNotFound, "Folder '" + folder.string() + "': " + ec.message());
  fs::path target = base / fs::path(std::string(name));
  // Both checks follow from the name being one component; they stay as the
  // last line of defence should that rule ever loosen.
  if (target.parent_path() != base || target.filename().string() != name) {
    runtime::Raise(runtime::err::kBadFileNameOrNumber, "'" + std::string(name) + "' would leave the folder");
  }
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    runtime::Raise(runtime::err::kPathFileAccessError,
                   "'" + target.string() + "' exists and is not a plain file; nothing was written");
  }
  return target;
}

}  // namespace host::mail
