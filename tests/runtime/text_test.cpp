#include "runtime/text.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/raised.h"

namespace {

using runtime::Compare;
using namespace testsupport;
constexpr auto B = Compare::Binary;
constexpr auto T = Compare::Text;

// "é" is two bytes and "€" three: every position below counts characters.
const std::string kCafe =
    "caf\xC3\xA9 \xE2\x82\xAC"
    "5";  // "café €5"

TEST(Text, SlicesCountCharacters) {
  const std::pair<std::string, std::string> rows[] = {
      {runtime::Left(kCafe, 4), "caf\xC3\xA9"},
      {runtime::Left("ab", 5), "ab"},
      {runtime::Right(kCafe, 2),
       "\xE2\x82\xAC"
       "5"},
      {runtime::Right("ab", 9), "ab"},
      {runtime::Mid(kCafe, 4),
       "\xC3\xA9 \xE2\x82\xAC"
       "5"},
      {runtime::Mid(kCafe, 4, 3), "\xC3\xA9 \xE2\x82\xAC"},
      {runtime::Mid("abc", 2, 10), "bc"},
      {runtime::Mid("abc", 4), ""},
      {runtime::Mid("a\x80"
                    "b",
                    2, 1),
       "\x80"},  // a stray byte is a character of its own
  };
  for (const auto& [got, want] : rows) EXPECT_EQ(got, want);
  EXPECT_EQ(runtime::Len(kCafe), 7);
  EXPECT_EQ(runtime::Len("\xE2\x82"), 2);  // a cut sequence counts byte by byte
}

TEST(Text, BadArgumentsRaiseError5) {
  const std::pair<const char*, std::function<void()>> rows[] = {
      {"Mid start 0", [] { runtime::Mid("abc", 0); }},
      {"Mid negative length", [] { runtime::Mid("abc", 1, -1); }},
      {"Left negative", [] { runtime::Left("abc", -1); }},
      {"Right negative", [] { runtime::Right("abc", -1); }},
      {"InStr start 0", [] { runtime::InStr(0, "abc", "a"); }},
      {"InStrRev start 0", [] { runtime::InStrRev("abc", "a", 0); }},
      {"InStrRev start -2", [] { runtime::InStrRev("abc", "a", -2); }},
      {"Replace start 0", [] { runtime::Replace("abc", "a", "b", 0); }},
      {"Replace count -2", [] { runtime::Replace("abc", "a", "b", 1, -2); }},
      {"Split limit -2", [] { runtime::Split("a b", " ", -2); }},
      {"String negative", [] { runtime::String(-1, 'x'); }},
  };
  for (const auto& [name, call] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Raised(call), kInvalidCall);
  }
}

TEST(Text, InStrAndInStrRev) {
  struct Row {
    const char* name;
    bool reverse;
    long start;
    std::string s, find;
    Compare compare;
    long want;
  };
  const Row rows[] = {
      {"from start", false, 3, "abcabc", "bc", B, 5},
      {"binary is case-sensitive", false, 1, "Avant.EXE", "avant.exe", B, 0},
      {"text ignores case", false, 1, "Avant.EXE", "avant.exe", T, 1},
      {"after a multi-byte character", false, 1, kCafe, "\xE2\x82\xAC", B, 6},
      {"no match inside a character", false, 1, kCafe, "\x82", B, 0},
      {"empty find gives start", false, 4, "abc", "", B, 4},
      {"empty find beyond", false, 5, "abc", "", B, 0},
      {"empty text", false, 1, "", "", B, 0},
      {"last separator", true, -1, "a\\b\\c.jpg", "\\", B, 4},
      {"match must end by start", true, 5, "abcabc", "bc", B, 2},
      {"match ending at start", true, 6, "abcabc", "bc", B, 5},
      {"reverse text compare", true, -1, "aXbx", "X", T, 4},
      {"reverse multi-byte", true, -1, kCafe, "\xC3\xA9", B, 4},
      {"reverse empty find", true, -1, "abc", "", B, 3},
      {"reverse start past the end", true, 4, "abc", "a", B, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(r.reverse ? runtime::InStrRev(r.s, r.find, r.start, r.compare)
                        : runtime::InStr(r.start, r.s, r.find, r.compare),
              r.want);
  }
}

TEST(Text, ReplaceBeginsTheResultAtStart) {
  struct Row {
    std::string s, find, with;
    long start, count;
    Compare compare;
    std::string want;
  };
  const Row rows[] = {
      {"a,b,,c", ",", ";", 1, -1, B, "a;b;;c"},
      {"a,b,c", ",", "", 1, 1, B, "ab,c"},
      {"a,b,c", ",", "", 3, -1, B, "bc"},
      {"abc", "b", "x", 4, -1, B, ""},
      {"abc", "", "x", 2, -1, B, "bc"},
      {"%ProgramFiles%\\x", "%programfiles%", "/opt", 1, -1, T, "/opt\\x"},
      {"ABC", "b", "x", 1, -1, B, "ABC"},
      {"aaa", "a", "aa", 1, -1, B, "aaaaaa"},  // no rescan of the replacement
      {kCafe, " ", "_", 4, -1, B,
       "\xC3\xA9_\xE2\x82\xAC"
       "5"},
      {std::string("a\0b\0", 4), std::string(1, '\0'), "", 1, -1, B, "ab"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.want);
    EXPECT_EQ(runtime::Replace(r.s, r.find, r.with, r.start, r.count, r.compare), r.want);
  }
}

TEST(Text, SplitAndJoin) {
  using V = std::vector<std::string>;
  EXPECT_EQ(runtime::Split(".jpg, .gif,.png", ","), (V{".jpg", " .gif", ".png"}));
  EXPECT_EQ(runtime::Split(",a,,", ","), (V{"", "a", "", ""}));
  EXPECT_EQ(runtime::Split("", ","), V{});  // no elements at all
  EXPECT_EQ(runtime::Split("a,b", ""), V{"a,b"});
  EXPECT_EQ(runtime::Split("a,b,c", ",", 2), (V{"a", "b,c"}));
  EXPECT_EQ(runtime::Split("a,b", ",", 0), V{});
  EXPECT_EQ(runtime::Split("1x2X3", "x", -1, T), (V{"1", "2", "3"}));
  EXPECT_EQ(runtime::Join({"a", "", "b"}, ", "), "a, , b");
}

TEST(Text, TrimTakesSpacesOnly) {
  EXPECT_EQ(runtime::Trim("  a b  "), "a b");
  EXPECT_EQ(runtime::LTrim("  a "), "a ");
  EXPECT_EQ(runtime::RTrim("  a "), "  a");
  EXPECT_EQ(runtime::Trim("\ta\t"), "\ta\t");
}

TEST(Text, CompareModesAgree) {
  const std::tuple<const char*, const char*, int, int> rows[] = {
      {"ABC", "abc", -1, 0}, {"a", "B", 1, -1}, {"5", "10", 1, 1}, {"ab", "abc", -1, -1}, {"\xC3\xA9", "z", 1, 1},
  };
  for (const auto& [a, b, binary, text] : rows) {
    SCOPED_TRACE(std::string(a) + " vs " + b);
    EXPECT_EQ(runtime::StrComp(a, b), binary);
    EXPECT_EQ(runtime::StrComp(a, b, T), text);
    EXPECT_EQ(runtime::StrComp(b, a, T), -text);
    EXPECT_EQ(runtime::TextEqual(a, b), text == 0);
  }
}

TEST(Text, Hex) {
  const std::tuple<long, int, const char*> rows[] = {
      {10, 2, "0A"}, {0, 2, "00"}, {4096, 2, "1000"}, {-1, 0, "FFFFFFFF"}, {-2147483647 - 1, 0, "80000000"},
  };
  for (const auto& [value, width, want] : rows) EXPECT_EQ(runtime::Hex(value, width), want);
  EXPECT_EQ(Raised([] { runtime::Hex(2147483648L); }), kOverflow);
  EXPECT_EQ(Raised([] { runtime::Hex(1, -1); }), kInvalidCall);
}

}  // namespace
