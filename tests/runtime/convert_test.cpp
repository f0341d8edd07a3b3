#include "runtime/convert.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "runtime/locale.h"
#include "support/raised.h"

namespace {

using runtime::Variant;
using namespace testsupport;

class Convert : public ::testing::Test {
 protected:
  void SetUp() override { runtime::SetLocale({}); }
  void TearDown() override { runtime::SetLocale({}); }
};

TEST_F(Convert, IsNumericGrammar) {
  const std::pair<const char*, bool> rows[] = {
      {" 7 ", true},     {"\t-3", true}, {"+1.5", true},   {".5", true},     {"5.", true},     {"1e3", true},
      {"-2.5E+2", true}, {"1e-3", true}, {"", false},      {"   ", false},   {".", false},     {"-", false},
      {"e3", false},     {"1e", false},  {"1.2.3", false}, {"1,000", false}, {"$5", false},    {"(5)", false},
      {"&H1F", false},   {"5-", false},  {"1 2", false},   {"12a", false},   {"1e999", false},  // beyond a Double
  };
  for (const auto& [s, want] : rows) {
    SCOPED_TRACE(std::string("[") + s + "]");
    EXPECT_EQ(runtime::IsNumeric(s), want);
  }
  EXPECT_EQ(runtime::CDbl("1e-999"), 0.0);     // too small to show is zero
  EXPECT_TRUE(runtime::IsNumeric(Variant()));  // Empty counts as 0
  EXPECT_TRUE(runtime::IsNumeric(Variant(true)));
  EXPECT_FALSE(runtime::IsNumeric(Variant(runtime::ByteArray{1})));
}

TEST_F(Convert, TheLocaleDecimalSeparatorRulesBothWays) {
  runtime::Locale de;
  de.decimalSeparator = ",";
  runtime::SetLocale(de);
  EXPECT_TRUE(runtime::IsNumeric("1,5"));
  EXPECT_FALSE(runtime::IsNumeric("1.5"));
  EXPECT_EQ(runtime::CDbl("2,25"), 2.25);
  EXPECT_EQ(runtime::CStr(2.25), "2,25");
  EXPECT_EQ(runtime::CStr(1.5e-7), "1,5E-07");
}

TEST_F(Convert, IntegersRoundHalfToEven) {
  const std::pair<double, int> rows[] = {{72.5, 72}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-1.5, -2}, {0.5, 0}, {2.5001, 3}};
  for (const auto& [v, want] : rows) {
    SCOPED_TRACE(v);
    EXPECT_EQ(runtime::CLng(v), want);
    EXPECT_EQ(runtime::CInt(v), want);
  }
}

TEST_F(Convert, IntegersOverflowAfterRounding) {
  const std::tuple<double, bool, bool> rows[] = {
      {32767.4, true, true},
      {32767.5, false, true},
      {-32768.5, true, true},
      {-32768.6, false, true},
      {2147483647, false, true},
      {2147483647.5, false, false},
      {-2147483648.5, false, true},
      {-2147483649.0, false, false},
      {std::numeric_limits<double>::quiet_NaN(), false, false},
  };
  for (const auto& [v, intOk, longOk] : rows) {
    SCOPED_TRACE(v);
    EXPECT_EQ(Raised([v = v] { runtime::CInt(v); }), intOk ? kNoError : kOverflow);
    EXPECT_EQ(Raised([v = v] { runtime::CLng(v); }), longOk ? kNoError : kOverflow);
  }
}

TEST_F(Convert, IntegersFromTextAndVariants) {
  const std::pair<const char*, int> rows[] = {{" 7 ", 7}, {"1e3", 1000}, {"12.5", 12}, {"13.5", 14}, {"-0.5", 0}};
  for (const auto& [s, want] : rows) {
    SCOPED_TRACE(s);
    EXPECT_EQ(runtime::CLng(s), want);
    EXPECT_EQ(runtime::CInt(std::string(s)), want);
  }
  for (const char* bad : {"", "abc", "1,000", "&H10", "True"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Raised([&] { runtime::CLng(bad); }), kTypeMismatch);
  }
  EXPECT_EQ(Raised([] { runtime::CInt("40000"); }), kOverflow);
  EXPECT_EQ(runtime::CLng(Variant()), 0);
  EXPECT_EQ(runtime::CLng(Variant(true)), -1);  // True stored into a Long
  EXPECT_EQ(runtime::CLng(Variant(2.5)), 2);
  EXPECT_EQ(runtime::CLng(Variant("12")), 12);
  EXPECT_EQ(Raised([] { runtime::CInt(Variant(std::int32_t{32768})); }), kOverflow);
  EXPECT_EQ(Raised([] { runtime::CLng(Variant(runtime::ByteArray{1, 2})); }), kTypeMismatch);
  EXPECT_EQ(Raised([] { runtime::CInt(Variant(runtime::VariantArray{})); }), kTypeMismatch);
}

TEST_F(Convert, Booleans) {
  const std::pair<Variant, bool> rows[] = {
      {Variant("tRUE"), true}, {Variant("FALSE"), false},        {Variant("0"), false}, {Variant(" 0.5 "), true},
      {Variant(), false},      {Variant(std::int32_t{2}), true}, {Variant(0.0), false},
  };
  for (const auto& [v, want] : rows) {
    SCOPED_TRACE(runtime::CStr(v));
    EXPECT_EQ(runtime::CBool(v), want);
  }
  for (const char* bad : {"", "Yes", " True"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Raised([&] { runtime::CBool(bad); }), kTypeMismatch);
  }
  EXPECT_EQ(Raised([] { runtime::CBool(Variant(runtime::ByteArray{})); }), kTypeMismatch);
}

TEST_F(Convert, NumbersToText) {
  const std::pair<double, const char*> rows[] = {
      {0.98, "0.98"},
      {5, "5"},
      {-0.5, "-0.5"},
      {-0.0, "0"},
      {0.1 + 0.2, "0.3"},  // 15 significant digits hide the binary tail
      {1.0 / 3, "0.333333333333333"},
      {999999999999999, "999999999999999"},
      {1e15, "1E+15"},
      {-2.5e100, "-2.5E+100"},
      {123456789012345678.0, "1.23456789012346E+17"},
      {999999999999999.9, "1E+15"},  // rounding carries into the exponent
      {0.0001, "0.0001"},
      {0.00001, "1E-05"},
  };
  for (const auto& [v, want] : rows) EXPECT_EQ(runtime::CStr(v), want);

  const std::pair<float, const char*> singles[] = {
      {0.1f, "0.1"},
      {1.0f / 3, "0.3333333"},
      {1234567.0f, "1234567"},
      {12345678.0f, "1.234568E+07"},
  };
  for (const auto& [v, want] : singles) {
    EXPECT_EQ(runtime::CStrSingle(v), want);
    EXPECT_EQ(runtime::CStr(v), want);  // a float picks the Single form
  }
}

TEST_F(Convert, OtherValuesToText) {
  EXPECT_EQ(runtime::CStr(true), "True");
  EXPECT_EQ(runtime::CStr(7L), "7");
  EXPECT_EQ(runtime::CStr("text"), "text");  // not the bool overload
  EXPECT_EQ(runtime::CStr(Variant()), "");
  EXPECT_EQ(runtime::CStr(Variant(std::int32_t{-12})), "-12");
  EXPECT_EQ(runtime::CStr(Variant(false)), "False");
  EXPECT_EQ(Raised([] { runtime::CStr(Variant(runtime::ByteArray{1})); }), kTypeMismatch);
  EXPECT_EQ(Raised([] { runtime::CStr(Variant(runtime::VariantArray{Variant("n")})); }), kTypeMismatch);
  EXPECT_EQ(Raised([] { runtime::CStr(std::numeric_limits<double>::infinity()); }), kOverflow);
  EXPECT_EQ(Raised([] { runtime::CSng(1e39); }), kOverflow);
}

TEST_F(Convert, RoundHalfToEvenOnTheStoredValue) {
  const std::tuple<double, int, double> rows[] = {
      {1.375, 2, 1.38},   {-1.125, 2, -1.12},       {2.5, 0, 2}, {3.5, 0, 4}, {0.25, 1, 0.2},
      {1e300, 2, 1e300},  {1152.0 / 1024, 2, 1.12},  // 1152 KB in MB: a true half
      {2.675, 2, 2.67},                              // stored as 2.67499999999999982236
      {1.005, 2, 1.0},                               // stored as 1.00499999999999989342
      {3.0005, 3, 3.001},                            // stored as 3.00050000000000016698
      {0.015, 2, 0.01},                              // stored below the half, though 0.015 * 100 is exactly 1.5
      {0.025, 2, 0.03},                              // stored above the half, though 0.025 * 100 is exactly 2.5
  };
  for (const auto& [x, digits, want] : rows) {
    SCOPED_TRACE(::testing::Message() << x << " to " << digits);
    EXPECT_EQ(runtime::Round(x, digits), want);
  }
  EXPECT_EQ(runtime::CStr(runtime::Round(1152.0 / 1024, 2)), "1.12");
  EXPECT_EQ(Raised([] { runtime::Round(1.5, -1); }), kInvalidCall);
}

// Every operation on each pair of min, min+1, -1, 0, 1, max-1, max.
template <class T, class Op, class Exact>
void CheckArithmetic(const char* name, Op op, Exact exact) {
  constexpr T kMin = std::numeric_limits<T>::min();
  constexpr T kMax = std::numeric_limits<T>::max();
  const T values[] = {kMin, static_cast<T>(kMin + 1), -1, 0, 1, static_cast<T>(kMax - 1), kMax};
  for (T a : values) {
    for (T b : values) {
      SCOPED_TRACE(::testing::Message() << name << "(" << a << ", " << b << ")");
      const long long want = exact(static_cast<long long>(a), static_cast<long long>(b));
      if (want < kMin || want > kMax) {
        EXPECT_EQ(Raised([&] { op(a, b); }), kOverflow);
      } else {
        EXPECT_EQ(op(a, b), want);
      }
    }
  }
}

TEST_F(Convert, CheckedArithmeticOverflows) {
  auto add = [](long long a, long long b) { return a + b; };
  auto sub = [](long long a, long long b) { return a - b; };
  auto mul = [](long long a, long long b) { return a * b; };
  CheckArithmetic<std::int16_t>("Add16", runtime::Add16, add);
  CheckArithmetic<std::int16_t>("Sub16", runtime::Sub16, sub);
  CheckArithmetic<std::int16_t>("Mul16", runtime::Mul16, mul);
  CheckArithmetic<std::int32_t>("Add32", runtime::Add32, add);
  CheckArithmetic<std::int32_t>("Sub32", runtime::Sub32, sub);
  CheckArithmetic<std::int32_t>("Mul32", runtime::Mul32, mul);
}

}  // namespace
