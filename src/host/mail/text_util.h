#pragma once
// Internal to the store.
// Small text helpers the store shares internally.

#include <string>
#include <string_view>

namespace host::mail::detail {

// Decodes one UTF-8 sequence at `s[i]`: its code point and length, or length 0
// when the bytes there are not a valid sequence (overlong forms, surrogates
// and values above U+10FFFF included).
struct Utf8Char {
  char32_t code = 0;
  std::size_t length = 0;
};
Utf8Char DecodeUtf8(std::string_view s, std::size_t i);

// `s` with every invalid byte replaced by `replacement`.
std::string MakeValidUtf8(std::string_view s, std::string_view replacement);

// Case-blind order of names (ASCII letters fold), ties broken by the bytes,
// so a listing never depends on the order the directory gave.
bool LessCaseBlind(std::string_view a, std::string_view b);

std::string HexEncode(std::string_view bytes);
// False for odd lengths or non-hex digits.
bool HexDecode(std::string_view hex, std::string& out);

}  // namespace host::mail::detail
