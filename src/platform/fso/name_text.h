#pragma once
// The characters a file or folder name may not keep. Names come from
// whoever wrote a message (attachment names, subjects); what shows nothing,
// turns text around or drives a terminal has no place in a name on disk.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::fso {

// One UTF-8 sequence at `s[i]`: its code point and length, or length 0 when
// the bytes there are not a valid sequence (overlong forms, surrogates and
// values above U+10FFFF included).
struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;
};
Utf8Char DecodeUtf8(std::string_view s, std::size_t i);

// C0, DEL and C1.
bool IsControlCharacter(char32_t c);
// Marks, embeddings, overrides and isolates: they make "gpj.exe" look like
// "exe.jpg".
bool IsBidiFormatting(char32_t c);
// Characters that show nothing ("ph\u200Boto.jpg" would pass for
// "photo.jpg"), and the line and paragraph separators.
bool IsInvisible(char32_t c);

// `raw` with every byte that is not valid UTF-8 turned into "_" and every
// control, bidirectional formatting and invisible character removed.
std::string StripHiddenCharacters(std::string_view raw);

}  // namespace platform::fso
