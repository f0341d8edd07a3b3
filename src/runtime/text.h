#pragma once
// Text helpers with the original runtime's rules. Texts are UTF-8; positions
// and lengths count characters (code points), from 1, as the original did.
// Compare::Binary is ordinal; Compare::Text ignores case.

#include <string>
#include <string_view>
#include <vector>

namespace runtime {

enum class Compare { Binary, Text };

// Case-blind equality (the comparison of collection keys, registry names and
// file names).
bool TextEqual(std::string_view a, std::string_view b);
// StrComp: -1, 0 or 1.
int StrComp(std::string_view a, std::string_view b, Compare compare = Compare::Binary);

std::string LCase(std::string_view s);
std::string UCase(std::string_view s);

long Len(std::string_view s);  // in characters
std::string Left(std::string_view s, long length);
std::string Right(std::string_view s, long length);
// Mid(s, start) and Mid(s, start, length); start counts from 1 (error 5 below 1).
std::string Mid(std::string_view s, long start);
std::string Mid(std::string_view s, long start, long length);

// InStr: position of `find` in `s` at or after `start`, 0 when absent.
long InStr(std::string_view s, std::string_view find, Compare compare = Compare::Binary);
long InStr(long start, std::string_view s, std::string_view find, Compare compare = Compare::Binary);
// InStrRev: last position of `find` lying wholly within the first `start`
// characters (-1: the end), as in the original.
long InStrRev(std::string_view s, std::string_view find, long start = -1, Compare compare = Compare::Binary);

// Replace: from `start` (the result begins there, as in the original), at
// most `count` replacements (-1: all).
std::string Replace(std::string_view s, std::string_view find, std::string_view with, long start = 1, long count = -1,
                    Compare compare = Compare::Binary);

std::vector<std::string> Split(std::string_view s, std::string_view delimiter = " ", long limit = -1,
                               Compare compare = Compare::Binary);
std::string Join(const std::vector<std::string>& parts, std::string_view delimiter = " ");

// Spaces only, as the original's Trim.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);

// String$(n, c).
std::string String(long count, char c);
// Hex$: upper-case digits; `width` pads with zeros ("0A" for width 2).
std::string Hex(long value, int width = 0);

}  // namespace runtime
