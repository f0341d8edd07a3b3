#include "runtime/locale.h"

#include <cctype>

#include "runtime/error.h"
#include "runtime/text.h"

namespace runtime {

namespace {

Locale& Current() {
  static Locale locale;
  return locale;
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// The original's dates run from year 100 to 9999.
bool IsValid(const DateTime& d) {
  return d.year >= 100 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= DaysInMonth(d.year, d.month) && d.hour >= 0 && d.hour <= 23 && d.minute >= 0 && d.minute <= 59 &&
         d.second >= 0 && d.second <= 59;
}

std::string Number(int v, int width) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
  return s;
}

// One or two letters: the number without or with a leading zero.
std::string Short(int v, std::size_t run) {
  if (run > 2) Raise(err::kInvalidProcedureCall);
  return Number(v, static_cast<int>(run));
}

}  // namespace

const Locale& CurrentLocale() { return Current(); }

void SetLocale(Locale locale) { Current() = std::move(locale); }

// Tokens, letters in either case: yyyy; m, mm, mmmm (month; minutes right after
// an hour token); d, dd; h, hh (12-hour when the pattern holds AM/PM); s, ss;
// AM/PM (the locale's designators). Any other character stands for itself; an
// unsupported run such as "yy" or "ddd" raises error 5.
std::string Format(const DateTime& d, std::string_view pattern) {
  if (!IsValid(d)) Raise(err::kInvalidProcedureCall);
  const Locale& loc = CurrentLocale();
  const bool twelveHour = InStr(pattern, "AM/PM", Compare::Text) > 0;

  std::string out;
  bool afterHour = false;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (TextEqual(pattern.substr(i, 5), "AM/PM")) {
      out += d.hour < 12 ? loc.amDesignator : loc.pmDesignator;
      afterHour = false;
      i += 5;
      continue;
    }
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
    if (c != 'y' && c != 'm' && c != 'd' && c != 'h' && c != 's') {
      out += pattern[i++];
      continue;
    }
    std::size_t run = 0;
    while (i + run < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[i + run])) == c) ++run;
    i += run;
    switch (c) {
      case 'y':
        if (run != 4) Raise(err::kInvalidProcedureCall);
        out += Number(d.year, 4);
        break;
      case 'm':
        if (afterHour && run <= 2) {
          out += Short(d.minute, run);
        } else if (run == 4) {
          out += loc.monthNames[static_cast<std::size_t>(d.month - 1)];
        } else {
          out += Short(d.month, run);
        }
        break;
      case 'd': out += Short(d.day, run); break;
      case 'h': {
        int h = d.hour;
        if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
        out += Short(h, run);
        break;
      }
      case 's': out += Short(d.second, run); break;
      default: break;
    }
    afterHour = c == 'h';
  }
  return out;
}

std::string FormatShortDate(const DateTime& d) { return Format(d, CurrentLocale().shortDatePattern); }

std::string FormatMediumTime(const DateTime& d) { return Format(d, "hh:mm AM/PM"); }

}  // namespace runtime
