#include "attachments/file_names.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "platform/forms/msgbox.h"
#include "platform/fso/name_text.h"
#include "runtime/convert.h"
#include "runtime/error.h"
#include "runtime/text.h"
#include "settings/addin_state.h"

namespace lumivane::names {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The number after the underscore plus one, when that can be written
// exactly; nothing when the text is too large or too fine to raise.
std::optional<std::int64_t> RaisedNumber(std::string_view text) {
  std::string_view digits = TrimBlanks(text);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec == std::errc() && end == digits.data() + digits.size()) {
    if (n == std::numeric_limits<std::int64_t>::max()) return std::nullopt;
    return n + 1;
  }
  // Decimals and exponents: the value rounded, while a double holds it exactly.
  double value = 0;
  try {
    value = runtime::Round(runtime::CDbl(std::string(text)));
  } catch (const runtime::Error&) {
    return std::nullopt;
  }
  constexpr double kExact = 9007199254740992.0;  // 2^53
  if (!std::isfinite(value) || std::fabs(value) >= kExact) return std::nullopt;
  return static_cast<std::int64_t>(value) + 1;
}

// The longest file name the file systems we write to accept, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

// The longest head of `text` within `room` bytes that ends on a character boundary.
std::string CutToBytes(std::string_view text, std::size_t room) {
  if (text.size() <= room) return std::string(text);
  while (room > 0 && (static_cast<unsigned char>(text[room]) & 0xC0) == 0x80) --room;
  return std::string(text.substr(0, room));
}

// `stem` + `tail` + `ext` within kMaxNameBytes: the stem is cut on a
// character boundary; an extension too long to keep whole is cut with it.
std::string FitName(std::string_view stem, std::string_view tail, std::string_view ext) {
  if (stem.size() + tail.size() + ext.size() <= kMaxNameBytes)
    return std::string(stem) + std::string(tail) + std::string(ext);
  std::string head = std::string(stem);
  std::string keep = std::string(ext);
  if (tail.size() + keep.size() >= kMaxNameBytes / 2) {
    head += keep;
    keep.clear();
  }
  return CutToBytes(head, kMaxNameBytes - tail.size() - keep.size()) + std::string(tail) + keep;
}

// The temporary folder's rule without the length limit.
std::string TempRule(const SplitName& parts) {
  const auto p = parts.base.find('_');
  if (p == std::string::npos) return parts.base + "_1" + parts.ext;
  std::string rest = parts.base.substr(p + 1);
  if (!rest.empty() && rest.front() == '_') rest.erase(0, 1);
  if (runtime::IsNumeric(rest)) {
    std::int16_t n = 0;  // a number that does not fit counts as 0
    try {
      n = runtime::CInt(rest);
    } catch (const runtime::Error&) {
    }
    if (n == std::numeric_limits<std::int16_t>::max()) return parts.base + "_1" + parts.ext;
    return parts.base.substr(0, p) + "_" + std::to_string(n + 1) + parts.ext;
  }
  if (!parts.base.empty() && parts.base.back() == '_') return parts.base + "1" + parts.ext;
  return parts.base + "_1" + parts.ext;
}

// A name at the length limit cannot grow: its last "_<number>" is raised
// instead (or "_1" replaces its end), so each proposal differs from the one
// before and a run of conflicts still finds a free name.
std::string NumberedAtLimit(const SplitName& parts) {
  const auto p = parts.base.rfind('_');
  if (p != std::string::npos && p + 1 < parts.base.size() &&
      parts.base.find_first_not_of("0123456789", p + 1) == std::string::npos) {
    if (const auto n = RaisedNumber(parts.base.substr(p + 1)))
      return FitName(parts.base.substr(0, p), "_" + std::to_string(*n), parts.ext);
  }
  return FitName(parts.base, "_1", parts.ext);
}

}  // namespace

SplitName SplitExtension(std::string_view name) {
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos) return {std::string(name), {}};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot))};
}

std::string NumberedFileName(std::string_view name) {
  const SplitName parts = SplitExtension(name);
  std::string proposal = parts.base + "_1" + parts.ext;
  const auto p = parts.base.find('_');
  if (p != std::string::npos) {
    const std::string rest = parts.base.substr(p + 1);
    if (runtime::IsNumeric(rest)) {
      if (const auto n = RaisedNumber(rest)) proposal = parts.base.substr(0, p) + "_" + std::to_string(*n) + parts.ext;
    }
  }
  return proposal.size() <= kMaxNameBytes ? proposal : NumberedAtLimit(parts);
}

std::string DatedFileName(std::string_view name, std::string_view date) {
  const SplitName parts = SplitExtension(name);
  return FitName(parts.base, " - " + std::string(date), parts.ext);
}

std::string NextTempFileName(std::string_view name) {
  const SplitName parts = SplitExtension(name);
  const std::string next = TempRule(parts);
  return next.size() <= kMaxNameBytes ? next : NumberedAtLimit(parts);
}

bool IsValidFileName(std::string_view name) { return name.find_first_of("\\/:*?\"<>|") == std::string_view::npos; }

void ShowInvalidFileNameMessage() {
  platform::forms::MsgBox("A file name cannot contain any of the following characters:\r\n\t\\ / : * ? \" < > |",
                          platform::forms::vbExclamation, "Invalid File Name");
}

std::string RemoveText(std::string_view text, std::string_view remove) {
  if (remove.empty()) return std::string(text);
  return runtime::Replace(text, remove, "", 1, -1, runtime::Compare::Text);
}

std::string CleanFileName(std::string_view text) {
  std::string out = platform::fso::StripHiddenCharacters(text);
  for (const char* bad : {":", "/", "\\", ">", "<", "|", "*", "?", "\""}) out = RemoveText(out, bad);
  while (!out.empty() && out.back() == '.') out.pop_back();
  return runtime::Trim(out);
}

std::string FitAround(std::string_view before, std::string_view middle, std::string_view after) {
  if (before.size() + middle.size() + after.size() <= kMaxNameBytes)
    return std::string(before) + std::string(middle) + std::string(after);
  if (before.size() + after.size() >= kMaxNameBytes) {
    const SplitName parts = SplitExtension(std::string(before) + std::string(after));
    return FitName(parts.base, "", parts.ext);
  }
  return std::string(before) + CutToBytes(middle, kMaxNameBytes - before.size() - after.size()) + std::string(after);
}

std::string FitFolderName(std::string_view cleaned) {
  std::string out = CutToBytes(cleaned, kMaxNameBytes);
  if (out.size() == cleaned.size()) return out;
  while (!out.empty() && out.back() == '.') out.pop_back();
  return runtime::Trim(out);
}

bool IsValidFileName(std::string_view name, std::string_view offered) {
  for (char c : std::string_view("\\/:*?\"<>|")) {
    const bool cameWithTheName = c != '\\' && c != '/' && offered.find(c) != std::string_view::npos;
    if (!cameWithTheName && name.find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool StaysInFolder(std::string_view name) {
  if (name.find_first_not_of(". \t") == std::string_view::npos) return false;
  return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

void RefuseName(std::string_view name, std::string_view folder) {
  platform::forms::MsgBox("The file name '" + std::string(name) + "' does not name a file inside the '" +
                              std::string(folder) + "' folder.  The attachment was not saved.",
                          platform::forms::vbExclamation, "Invalid File Name");
}

std::shared_ptr<platform::fso::FileSystemObject> RequireFSO() {
  auto fso = FSO();
  if (!fso) runtime::Raise(runtime::err::kObjectRequired);
  return fso;
}

}  // namespace lumivane::names
