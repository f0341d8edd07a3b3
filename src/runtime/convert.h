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
// optional decimal separator (the locale's), optional exponent.
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
