#include "runtime/convert.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <system_error>

#include "runtime/error.h"
#include "runtime/locale.h"
#include "runtime/text.h"

namespace runtime {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Grammar: [blanks] [+|-] (digits [sep digits*] | sep digits) [(e|E) [+|-] digits] [blanks],
// sep being the locale's decimal separator; no grouping, currency, parentheses or &H.
// A value beyond the Double range is not a number (as the original); one too
// small to show becomes 0.
std::optional<double> ParseNumber(std::string_view s) {
  const std::string& sep = CurrentLocale().decimalSeparator;
  std::size_t i = 0;
  std::size_t end = s.size();
  while (i < end && IsBlank(s[i])) ++i;
  while (end > i && IsBlank(s[end - 1])) --end;

  bool negative = false;
  if (i < end && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';

  std::string intDigits;
  std::string fracDigits;
  while (i < end && IsDigit(s[i])) intDigits += s[i++];
  if (!sep.empty() && s.substr(i, sep.size()) == sep && i + sep.size() <= end) {
    i += sep.size();
    while (i < end && IsDigit(s[i])) fracDigits += s[i++];
  }
  if (intDigits.empty() && fracDigits.empty()) return std::nullopt;

  long exponent = 0;
  if (i < end && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < end && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
    if (i == end || !IsDigit(s[i])) return std::nullopt;
    for (; i < end && IsDigit(s[i]); ++i) {
      if (exponent < 100000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (expNegative) exponent = -exponent;
  }
  if (i != end) return std::nullopt;

  std::string c = (intDigits.empty() ? "0" : intDigits) + "." + (fracDigits.empty() ? "0" : fracDigits) + "e" +
                  std::to_string(exponent);
  double value = 0;
  auto [ptr, ec] = std::from_chars(c.data(), c.data() + c.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Out of range either way round: tell overflow from underflow by the
    // decimal magnitude.
    std::size_t lead = intDigits.find_first_not_of('0');
    long magnitude = lead != std::string::npos ? static_cast<long>(intDigits.size() - lead)
                                               : -static_cast<long>(fracDigits.find_first_not_of('0'));
    if (magnitude + exponent > 0) return std::nullopt;
    value = 0;
  } else if (ec != std::errc() || ptr != c.data() + c.size()) {
    return std::nullopt;
  }
  return negative ? -value : value;
}

double NumberOf(std::string_view s) {
  auto v = ParseNumber(s);
  if (!v) Raise(err::kTypeMismatch);
  return *v;
}

template <class T>
T RoundToInteger(double v) {
  double r = std::nearbyint(v);  // the default rounding mode is half to even
  if (!(r >= static_cast<double>(std::numeric_limits<T>::min()) &&
        r <= static_cast<double>(std::numeric_limits<T>::max()))) {
    Raise(err::kOverflow);
  }
  return static_cast<T>(r);
}

// Shortest text of `v` with at most `digits` significant digits. Like the
// original: exponent form once the integer part needs more digits than that
// (from 1E+15 for a Double, 1E+07 for a Single) and below 0.0001 ("1E-05").
std::string NumberText(double v, int digits) {
  if (!std::isfinite(v)) Raise(err::kOverflow);
  if (v == 0) return "0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, digits - 1);
  std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  std::size_t e = sci.find('e');
  std::string mantissa;
  for (char c : sci.substr(0, e)) {
    if (c != '.') mantissa += c;
  }
  int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());
  mantissa.erase(mantissa.find_last_not_of('0') + 1);

  const std::string& sep = CurrentLocale().decimalSeparator;
  std::string out = v < 0 ? "-" : "";
  if (exponent >= digits || exponent < -4) {
    out += mantissa.substr(0, 1);
    if (mantissa.size() > 1) out += sep + mantissa.substr(1);
    std::string expDigits = std::to_string(std::abs(exponent));
    if (expDigits.size() < 2) expDigits.insert(0, "0");
    out += std::string("E") + (exponent < 0 ? "-" : "+") + expDigits;
  } else if (exponent >= 0) {
    auto intLen = static_cast<std::size_t>(exponent) + 1;
    if (mantissa.size() <= intLen) {
      out += mantissa + std::string(intLen - mantissa.size(), '0');
    } else {
      out += mantissa.substr(0, intLen) + sep + mantissa.substr(intLen);
    }
  } else {
    out += "0" + sep + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
  }
  return out;
}

}  // namespace

bool IsNumeric(std::string_view s) { return ParseNumber(s).has_value(); }

// Empty counts as 0 and a Boolean as -1/0, as in the original.
bool IsNumeric(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Boolean:
    case Variant::Kind::Long:
    case Variant::Kind::Double: return true;
    case Variant::Kind::String: return IsNumeric(v.AsString());
    case Variant::Kind::Bytes:
    case Variant::Kind::Array: return false;
  }
  return false;
}

double CDbl(std::string_view s) { return NumberOf(s); }

double CDbl(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty: return 0;
    case Variant::Kind::Boolean: return v.AsBoolean() ? -1 : 0;
    case Variant::Kind::Long: return v.AsLong();
    case Variant::Kind::Double: return v.AsDouble();
    case Variant::Kind::String: return NumberOf(v.AsString());
    case Variant::Kind::Bytes:
    case Variant::Kind::Array: break;
  }
  Raise(err::kTypeMismatch);
}

float CSng(double v) {
  if (std::isnan(v) || std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) Raise(err::kOverflow);
  return static_cast<float>(v);
}

std::int16_t CInt(double v) { return RoundToInteger<std::int16_t>(v); }
std::int16_t CInt(std::string_view s) { return CInt(NumberOf(s)); }
std::int16_t CInt(const Variant& v) { return CInt(CDbl(v)); }
std::int32_t CLng(double v) { return RoundToInteger<std::int32_t>(v); }
std::int32_t CLng(std::string_view s) { return CLng(NumberOf(s)); }
std::int32_t CLng(const Variant& v) { return CLng(CDbl(v)); }

bool CBool(std::string_view s) {
  if (TextEqual(s, "True")) return true;
  if (TextEqual(s, "False")) return false;
  return NumberOf(s) != 0;
}

bool CBool(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty: return false;
    case Variant::Kind::Boolean: return v.AsBoolean();
    case Variant::Kind::Long: return v.AsLong() != 0;
    case Variant::Kind::Double: return v.AsDouble() != 0;
    case Variant::Kind::String: return CBool(v.AsString());
    case Variant::Kind::Bytes:
    case Variant::Kind::Array: break;
  }
  Raise(err::kTypeMismatch);
}

std::string CStr(std::int32_t v) { return std::to_string(v); }
std::string CStr(double v) { return NumberText(v, 15); }
std::string CStrSingle(float v) { return NumberText(static_cast<double>(v), 7); }
std::string CStr(bool v) { return v ? "True" : "False"; }

std::string CStr(const Variant& v) {
  switch (v.kind()) {
    case Variant::Kind::Empty: return {};
    case Variant::Kind::Boolean: return CStr(v.AsBoolean());
    case Variant::Kind::Long: return CStr(v.AsLong());
    case Variant::Kind::Double: return CStr(v.AsDouble());
    case Variant::Kind::String: return v.AsString();
    case Variant::Kind::Bytes:
    case Variant::Kind::Array: break;
  }
  Raise(err::kTypeMismatch);
}

// Rounds the exact binary value in decimal: the fixed-precision conversion
// sees the stored digits (2.675 is 2.67499.. and stays 2.67) and breaks a true
// tie (1.125) to the even digit; scaling by 10^digits would add an error of
// its own and could turn a near-tie into a false one.
double Round(double x, int digits) {
  if (digits < 0) Raise(err::kInvalidProcedureCall);
  if (!std::isfinite(x) || x == 0) return x;
  if (digits > 1100) return x;  // finer than any Double's last binary digit
  std::string buf(static_cast<std::size_t>(digits) + 330, '\0');
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, digits);
  double r = x;
  std::from_chars(buf.data(), res.ptr, r);
  return r;
}

std::int16_t Add16(std::int16_t a, std::int16_t b) {
  std::int16_t r;
  if (__builtin_add_overflow(a, b, &r)) Raise(err::kOverflow);
  return r;
}

std::int16_t Sub16(std::int16_t a, std::int16_t b) {
  std::int16_t r;
  if (__builtin_sub_overflow(a, b, &r)) Raise(err::kOverflow);
  return r;
}

std::int16_t Mul16(std::int16_t a, std::int16_t b) {
  std::int16_t r;
  if (__builtin_mul_overflow(a, b, &r)) Raise(err::kOverflow);
  return r;
}

std::int32_t Add32(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_add_overflow(a, b, &r)) Raise(err::kOverflow);
  return r;
}

std::int32_t Sub32(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) Raise(err::kOverflow);
  return r;
}

std::int32_t Mul32(std::int32_t a, std::int32_t b) {
  std::int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) Raise(err::kOverflow);
  return r;
}

}  // namespace runtime
