#include "platform/fso/name_text.h"

namespace platform::fso {

Utf8Char DecodeUtf8(std::string_view s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    return {};
  }
  if (i + length > s.size()) return {};
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return {};
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
  return {code, length};
}

bool IsControlCharacter(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsBidiFormatting(char32_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool IsInvisible(char32_t c) { return (c >= 0x200B && c <= 0x200D) || c == 0xFEFF || c == 0x2028 || c == 0x2029; }

std::string StripHiddenCharacters(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size();) {
    const Utf8Char c = DecodeUtf8(raw, i);
    if (c.length == 0) {
      out += '_';
      ++i;
      continue;
    }
    if (!IsControlCharacter(c.code) && !IsBidiFormatting(c.code) && !IsInvisible(c.code))
      out.append(raw.substr(i, c.length));
    i += c.length;
  }
  return out;
}

}  // namespace platform::fso
