#pragma once
// The user's locale as the documents need it, settable in tests (default en-US).
// Clock readings come from the platform (forms runtime); this only formats.

#include <array>
#include <string>
#include <string_view>

namespace runtime {

struct Locale {
  std::string decimalSeparator = ".";
  std::string shortDatePattern = "M/d/yyyy";
  std::string amDesignator = "AM";
  std::string pmDesignator = "PM";
  std::array<std::string, 12> monthNames = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};
};

const Locale& CurrentLocale();
void SetLocale(Locale locale);  // tests; Locale{} is en-US

struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Format with the date patterns the documents use: "MMMM d, yyyy",
// "mm-dd-yyyy" (mm is the month when no hour precedes it), "M/d/yyyy", "hh:mm AM/PM".
std::string Format(const DateTime& d, std::string_view pattern);
std::string FormatShortDate(const DateTime& d);   // the locale's short date
std::string FormatMediumTime(const DateTime& d);  // "02:03 PM"

}  // namespace runtime
