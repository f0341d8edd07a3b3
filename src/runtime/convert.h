#pragma once
// Conversions and arithmetic with the original runtime's rules:
//  * numbers to 16/32-bit integers round half to even (72.5 -> 72, 1.5 -> 2)
//    and raise error 6 "Overflow" out of range;
//  * text converts only when IsNumeric accepts it, else error 13 "Type mismatch";
//  * numbers to text: shortest form, no grouping, no trailing zeros, the
//    locale's decimal separator; a Single shows at most 7 significant digits.

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/variant.h"

namespace runtime {

// The general number parser: optional blanks, optional sign, digits with an
// optional decimal separator (the locale's), optional exponent; no grouping,
// currency, parentheses or &H, and blank text is not a number.
// Variants: Empty and Boolean count as numbers, arrays do not.
bool IsNumeric(std::string_view s);
bool IsNumeric(const Variant& v);

double CDbl(std::string_view s);
double CDbl(const Variant& v);
float CSng(double v);

std::int16_t CInt(double v);
std::int16_t CInt(std::string_view s);
std::int16_t CInt(const Variant& v);
std::int32_t CLng(double v);
std::int32_t CLng(std::string_view s);
std::int32_t CLng(const Variant& v);

// Nonzero number -> true; "True"/"False" in any case; numeric text by value.
bool CBool(std::string_view s);
bool CBool(const Variant& v);

std::string CStr(std::int32_t v);
std::string CStr(double v);
std::string CStrSingle(float v);
std::string CStr(bool v);  // "True" / "False"
std::string CStr(const Variant& v);

// A std::string or a literal converts both to std::string_view and to
// Variant; these pick the text overload so such calls are not ambiguous.
inline bool IsNumeric(const std::string& s) { return IsNumeric(std::string_view(s)); }
inline bool IsNumeric(const char* s) { return IsNumeric(std::string_view(s)); }
inline double CDbl(const std::string& s) { return CDbl(std::string_view(s)); }
inline double CDbl(const char* s) { return CDbl(std::string_view(s)); }
inline std::int16_t CInt(const std::string& s) { return CInt(std::string_view(s)); }
inline std::int16_t CInt(const char* s) { return CInt(std::string_view(s)); }
inline std::int32_t CLng(const std::string& s) { return CLng(std::string_view(s)); }
inline std::int32_t CLng(const char* s) { return CLng(std::string_view(s)); }
inline bool CBool(const std::string& s) { return CBool(std::string_view(s)); }
inline bool CBool(const char* s) { return CBool(std::string_view(s)); }
// A Single shows 7 digits, not the 15 of its promotion to Double; a long
// (what Len and InStr return) is not left ambiguous between the others.
inline std::string CStr(float v) { return CStrSingle(v); }
inline std::string CStr(long v) { return std::to_string(v); }
// A literal would otherwise take the bool overload and read "True".
inline std::string CStr(const char* s) { return s; }

// Round(x, digits), half to even.
double Round(double x, int digits = 0);

// Checked 16- and 32-bit arithmetic: error 6 on overflow.
std::int16_t Add16(std::int16_t a, std::int16_t b);
std::int16_t Sub16(std::int16_t a, std::int16_t b);
std::int16_t Mul16(std::int16_t a, std::int16_t b);
std::int32_t Add32(std::int32_t a, std::int32_t b);
std::int32_t Sub32(std::int32_t a, std::int32_t b);
std::int32_t Mul32(std::int32_t a, std::int32_t b);

}  // namespace runtime
