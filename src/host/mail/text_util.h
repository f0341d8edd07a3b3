#pragma once
// Internal to the store.
// Small text helpers the store shares internally.

#include <string>
#include <string_view>

#include "platform/fso/name_text.h"

namespace host::mail::detail {

// One UTF-8 sequence at `s[i]` (platform/fso/name_text.h).
using platform::fso::DecodeUtf8;
using platform::fso::Utf8Char;

// `s` with every invalid byte replaced by `replacement`.
std::string MakeValidUtf8(std::string_view s, std::string_view replacement);

// Case-blind order of names (ASCII letters fold), ties broken by the bytes,
// so a listing never depends on the order the directory gave.
bool LessCaseBlind(std::string_view a, std::string_view b);

std::string HexEncode(std::string_view bytes);
// False for odd lengths or non-hex digits.
bool HexDecode(std::string_view hex, std::string& out);

}  // namespace host::mail::detail
