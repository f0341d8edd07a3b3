#include "attachments/file_names.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "outlook/out_addin.h"
#include "platform/forms/msgbox.h"
#include "runtime/convert.h"
#include "runtime/error.h"
#include "runtime/text.h"

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

}  // namespace

SplitName SplitExtension(std::string_view name) {
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos) return {std::string(name), {}};
  return {std::string(name.substr(0, dot)), std::string(name.substr(dot))};
}

std::string NumberedFileName(std::string_view name) {
  const SplitName parts = SplitExtension(name);
  const auto p = parts.base.find('_');
  if (p != std::string::npos) {
    const std::string rest = parts.base.substr(p + 1);
    if (runtime::IsNumeric(rest)) {
      if (const auto n = RaisedNumber(rest)) return parts.base.substr(0, p) + "_" + std::to_string(*n) + parts.ext;
    }
  }
  return parts.base + "_1" + parts.ext;
}

std::string DatedFileName(std::string_view name, std::string_view date) {
  const SplitName parts = SplitExtension(name);
  return parts.base + " - " + std::string(date) + parts.ext;
}

std::string NextTempFileName(std::string_view name) {
  const SplitName parts = SplitExtension(name);
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
  std::string out(text);
  for (const char* bad : {":", "/", "\\", ">", "<", "|", "*", "?", "\""}) out = RemoveText(out, bad);
  while (!out.empty() && out.back() == '.') out.pop_back();
  return runtime::Trim(out);
}

bool StaysInFolder(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
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
