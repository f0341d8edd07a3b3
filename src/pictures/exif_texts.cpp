// The EXIF Lets of ImageFile: each turns a raw value, as text, into the
// text the picture info pane shows. Codes compare as exact texts ("00" and
// " 1" are no code). In a fraction a/b, a is the text before the first "/"
// and b the text after the last one; without a "/" both are the whole value.
// Computed numbers are written by CStr: shortest form, the user's decimal
// separator; every rounding takes halves to the even neighbour.

#include <optional>
#include <string_view>
#include <utility>

#include "pictures/exif_names.h"
#include "pictures/image_file.h"
#include "platform/fso/name_text.h"
#include "runtime/convert.h"
#include "runtime/error.h"
#include "runtime/handlers.h"
#include "runtime/locale.h"

namespace lumivane {

namespace {

struct Fraction {
  std::string a;
  std::string b;
};

Fraction Split(const std::string& raw) {
  const std::size_t first = raw.find('/');
  if (first == std::string::npos) return {raw, raw};
  return {raw.substr(0, first), raw.substr(raw.rfind('/') + 1)};
}

// Division as the original runtime does it with texts: both sides must be
// numbers (13), and a zero divisor is error 11 (6 for 0 / 0).
double Divide(const std::string& a, const std::string& b) {
  const double x = runtime::CDbl(a);
  const double y = runtime::CDbl(b);
  if (y == 0) runtime::Raise(x == 0 ? runtime::err::kOverflow : 11);
  return x / y;
}

std::string Lookup(const std::string& raw, std::initializer_list<std::pair<std::string_view, std::string_view>> table,
                   std::string_view other) {
  for (const auto& [code, text] : table) {
    if (raw == code) return std::string(text);
  }
  return std::string(other);
}

// "0.017sec (1/60)": seconds rounded to 3 decimals, then that in sixtieths.
// Single precision throughout, as the original kept it.
std::string SecondsText(float t) {
  const float r = runtime::CSng(runtime::Round(t, 3));
  const float sixtieths = r * 60.0f;
  return runtime::CStrSingle(r) + "sec" + " (" + runtime::CStr(runtime::Round(sixtieths)) + "/60)";
}

// The time of a date-taken value as hours, minutes and seconds; nothing when
// the text is no time of day.
bool ParseNumberRun(std::string_view s, std::size_t& i, std::size_t maxDigits, int& out) {
  std::size_t digits = 0;
  out = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < maxDigits) {
    out = out * 10 + (s[i++] - '0');
    ++digits;
  }
  return digits > 0;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::optional<runtime::DateTime> ParseDate(std::string_view text) {
  const std::string_view s = Trimmed(text);
  runtime::DateTime d;
  std::size_t i = 0;
  if (!ParseNumberRun(s, i, 4, d.year) || i != 4 || i >= s.size() || s[i++] != '/') return std::nullopt;
  if (!ParseNumberRun(s, i, 2, d.month) || i >= s.size() || s[i++] != '/') return std::nullopt;
  if (!ParseNumberRun(s, i, 2, d.day) || i != s.size()) return std::nullopt;
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  if (d.year < 100 || d.month < 1 || d.month > 12 || d.day < 1) return std::nullopt;
  if (d.day > kDays[d.month - 1] || (d.month == 2 && d.day == 29 && !leap)) return std::nullopt;
  return d;
}

std::optional<runtime::DateTime> ParseTime(std::string_view text) {
  const std::string_view s = Trimmed(text);
  runtime::DateTime d;
  std::size_t i = 0;
  if (!ParseNumberRun(s, i, 2, d.hour) || i >= s.size() || s[i++] != ':') return std::nullopt;
  if (!ParseNumberRun(s, i, 2, d.minute) || i >= s.size() || s[i++] != ':') return std::nullopt;
  if (!ParseNumberRun(s, i, 2, d.second) || i != s.size()) return std::nullopt;
  if (d.hour > 23 || d.minute > 59 || d.second > 59) return std::nullopt;
  return d;
}

// Characters from the 1-based position `start`, at most `length` of them.
std::string Mid(const std::string& s, std::size_t start, std::size_t length) {
  if (start > s.size()) return {};
  return s.substr(start - 1, length);
}

}  // namespace

void ImageFile::ColorRepresentation(const std::string& raw) {
  if (raw == "1") {
    colorRepresentation_ = "sRGB";
    hasEXIFData_ = true;
  } else {
    colorRepresentation_ = "uncalibrated";
  }
}

void ImageFile::ExposureProgram(const std::string& raw) {
  // "Prority" is spelled as the info pane has always shown it.
  exposureProgram_ = Lookup(raw,
                            {{"0", "not defined"},
                             {"1", "Manual"},
                             {"2", "Normal"},
                             {"3", "Aperture Prority"},
                             {"4", "Shutter Prority"},
                             {"5", "Creative (slow)"},
                             {"6", "Action (fast)"},
                             {"7", "Portrait"},
                             {"8", "Landscape"}},
                            "(unknown)");
}

void ImageFile::LightSource(const std::string& raw) {
  lightSource_ = Lookup(raw,
                        {{"0", "(unknown)"},
                         {"1", "Daylight"},
                         {"2", "Fluorescent"},
                         {"3", "Tungsten"},
                         {"10", "Flash"},
                         {"17", "Standard Light A"},
                         {"18", "Standard Light B"},
                         {"19", "Standard Light C"},
                         {"20", "D55"},
                         {"21", "D65"},
                         {"22", "D75"},
                         {"255", "Other"}},
                        "(reserved)");
}

void ImageFile::MeteringMode(const std::string& raw) {
  meteringMode_ = Lookup(raw,
                         {{"0", "Unknown"},
                          {"1", "Average"},
                          {"2", "Center Weighted Average"},
                          {"3", "Spot"},
                          {"4", "Multi-spot"},
                          {"5", "Multi-segment/Pattern"},
                          {"6", "Partial"},
                          {"255", "Other"}},
                         "(reserved)");
}

void ImageFile::FlashMode(const std::string& raw) {
  flashMode_ = Lookup(raw,
                      {{"0", "No Flash"},
                       {"1", "Flash Fired"},
                       {"5", "Flash Fired - strobe return light not detected"},
                       {"7", "Flash Fired - strobe return light detected"}},
                      raw + " (unknown)");
}

void ImageFile::ISOSpeed(const std::string& raw) { isoSpeed_ = "ISO-" + raw; }

void ImageFile::ExposureTime(const std::string& raw) {
  const Fraction f = Split(raw);
  float t = 0;  // a division that fails leaves it at 0
  runtime::ResumeNext rn;
  rn([&] { t = runtime::CSng(Divide(f.a, f.b)); });
  exposureTime_ = SecondsText(t);
}

void ImageFile::ShutterSpeed(const std::string& raw) {
  const Fraction f = Split(raw);
  float t = 0;
  runtime::ResumeNext rn;
  rn([&] { t = runtime::CSng(Divide(f.b, f.a)); });  // denominator over numerator
  shutterSpeed_ = SecondsText(t);
}

void ImageFile::FNumber(const std::string& raw) {
  const Fraction f = Split(raw);
  runtime::ResumeNext rn;
  if (!rn([&] { fNumber_ = "F/" + runtime::CStr(runtime::Round(Divide(f.a, f.b), 1)) + " (raw: " + raw + ")"; })) {
    fNumber_ = "F/" + raw;
  }
}

void ImageFile::LensAperture(const std::string& raw) {
  const Fraction f = Split(raw);
  float t = 0;
  runtime::ResumeNext rn;
  rn([&] { t = runtime::CSng(Divide(f.a, f.b)); });
  lensAperture_ = "F/" + runtime::CStr(runtime::Round(t, 1));
}

void ImageFile::FocalLength(const std::string& raw) {
  const Fraction f = Split(raw);
  double t = 0;
  runtime::ResumeNext rn;
  if (!rn([&] { t = Divide(f.a, f.b); })) {
    focalLength_ = raw + " (raw)";
    return;
  }
  // Rounded to a 16-bit whole number; beyond that range the earlier text stays.
  rn([&] { focalLength_ = runtime::CStr(static_cast<std::int32_t>(runtime::CInt(t))) + " mm"; });
}

void ImageFile::SubjectDistance(const std::string& raw) {
  const Fraction f = Split(raw);
  runtime::ResumeNext rn;
  // The parts are compared as texts, character by character, so "10" is not
  // greater than "3" and 10/3 shows in millimetres; it only picks the unit.
  const bool metres = f.a > f.b;
  const bool done = rn([&] {
    if (metres) {
      subjectDistance_ = runtime::CStr(runtime::Round(Divide(f.a, f.b), 1)) + " m";
    } else {
      subjectDistance_ = runtime::CStr(static_cast<std::int32_t>(runtime::CInt(Divide(f.a, f.b) * 1000))) + " mm";
    }
  });
  if (!done) subjectDistance_ = raw;
}

void ImageFile::ExposureCompensation(const std::string& raw) {
  if (!raw.empty() && raw.front() == '0') {
    exposureCompensation_ = "0 step";
    return;
  }
  runtime::ResumeNext rn;
  const bool done = rn([&] {
    const std::size_t slash = raw.find('/');
    if (slash == std::string::npos) runtime::Raise(runtime::err::kInvalidProcedureCall);
    const std::int16_t n = runtime::CInt(raw.substr(0, slash));
    const std::int16_t d = runtime::CInt(raw.substr(slash + 1));
    if (d == 0) runtime::Raise(n == 0 ? runtime::err::kOverflow : 11);
    exposureCompensation_ = runtime::CStr(runtime::Round(static_cast<double>(n) / d)) + " step";
  });
  if (!done) exposureCompensation_ = raw + " step";
}

void ImageFile::DatePictureTaken(const std::string& raw) {
  // "2004:05:17 14:03:22": the date with "/" for ":" as the user's short
  // date, a blank, and the time as hours and minutes on the 12-hour clock.
  // A part that is no date or time stays as it stands, as the original
  // runtime's formatting leaves a text that is not a date.
  std::string date = raw.substr(0, 10);
  for (char& c : date) {
    if (c == ':') c = '/';
  }
  const std::string time = Mid(raw, 12, 8);
  const std::optional<runtime::DateTime> d = ParseDate(date);
  const std::optional<runtime::DateTime> t = ParseTime(time);
  datePictureTaken_ = (d ? runtime::FormatShortDate(*d) : date) + " " + (t ? runtime::FormatMediumTime(*t) : time);
}

std::string OneLineText(std::string_view raw) {
  // Line breaks, tabs and the line and paragraph separators become one
  // blank; other C0 controls, DEL and the bidirectional formatting that
  // names lose too go. Bytes that are not UTF-8 stay as they are.
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size();) {
    const platform::fso::Utf8Char c = platform::fso::DecodeUtf8(raw, i);
    const std::size_t length = c.length == 0 ? 1 : c.length;
    const char32_t code = c.length == 0 ? 0xFFFD : c.code;
    if (code == '\r' || code == '\n' || code == '\t' || code == '\v' || code == '\f' || code == 0x2028 ||
        code == 0x2029) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else if (code >= 0x20 && code != 0x7F && !platform::fso::IsBidiFormatting(code)) {
      out.append(raw.substr(i, length));
    }
    i += length;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace lumivane
