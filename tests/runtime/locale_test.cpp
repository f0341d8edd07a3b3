#include "runtime/locale.h"

#include <gtest/gtest.h>

#include "support/raised.h"

namespace {

using runtime::DateTime;
using namespace testsupport;

class Dates : public ::testing::Test {
 protected:
  void SetUp() override { runtime::SetLocale({}); }
  void TearDown() override { runtime::SetLocale({}); }
};

TEST_F(Dates, FormatsThePatternsInUse) {
  const std::tuple<DateTime, const char*, const char*> rows[] = {
      {{2026, 12, 8, 14, 3, 9}, "MMMM d, yyyy", "December 8, 2026"},
      {{2026, 3, 5, 14, 3, 9}, "mm-dd-yyyy", "03-05-2026"},  // mm is the month here
      {{2004, 5, 17}, "M/d/yyyy", "5/17/2004"},
      {{2004, 5, 17, 14, 3}, "hh:mm AM/PM", "02:03 PM"},
      {{2004, 5, 17, 0, 0}, "hh:mm AM/PM", "12:00 AM"},  // midnight
      {{2004, 5, 17, 12, 30}, "hh:mm AM/PM", "12:30 PM"},
      {{2004, 5, 17, 23, 7}, "h:mm am/pm", "11:07 PM"},
      {{2004, 5, 17, 14, 3, 9}, "yyyy/mm/dd hh:mm:ss", "2004/05/17 14:03:09"},  // 24-hour without AM/PM
  };
  for (const auto& [d, pattern, want] : rows) EXPECT_EQ(runtime::Format(d, pattern), want);
}

TEST_F(Dates, ShortDateAndMediumTimeFollowTheLocale) {
  DateTime d{2004, 5, 17, 14, 3, 0};
  EXPECT_EQ(runtime::FormatShortDate(d), "5/17/2004");
  EXPECT_EQ(runtime::FormatMediumTime(d), "02:03 PM");

  runtime::Locale other;
  other.shortDatePattern = "dd.MM.yyyy";
  other.amDesignator = "vorm.";
  other.pmDesignator = "nachm.";
  other.monthNames[4] = "Mai";
  runtime::SetLocale(other);
  EXPECT_EQ(runtime::FormatShortDate(d), "17.05.2004");
  EXPECT_EQ(runtime::FormatMediumTime(d), "02:03 nachm.");
  EXPECT_EQ(runtime::FormatMediumTime({2004, 5, 17, 9, 5, 0}), "09:05 vorm.");
  EXPECT_EQ(runtime::Format(d, "MMMM"), "Mai");
}

TEST_F(Dates, InvalidDatesAndUnsupportedTokensRaiseError5) {
  const std::tuple<const char*, DateTime, const char*> rows[] = {
      {"EXIF zero date", {0, 0, 0}, "M/d/yyyy"},
      {"month 13", {2026, 13, 1}, "MMMM"},
      {"February 29 of 1900", {1900, 2, 29}, "M/d/yyyy"},
      {"April 31", {2026, 4, 31}, "M/d/yyyy"},
      {"hour 24", {2026, 1, 1, 24}, "hh:mm"},
      {"two-digit year", {2026, 1, 1}, "yy"},
      {"weekday name", {2026, 1, 1}, "dddd"},
  };
  for (const auto& [name, d, pattern] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Raised([&d = d, p = pattern] { runtime::Format(d, p); }), kInvalidCall);
  }
  EXPECT_EQ(runtime::Format({2000, 2, 29}, "M/d"), "2/29");
}

}  // namespace
