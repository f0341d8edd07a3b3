#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "runtime/collection.h"
#include "support/raised.h"

namespace {

using runtime::Collection;
using testsupport::Outcome;
using testsupport::Raised;

TEST(Collection, CountsFromOneAndKeepsOrder) {
  Collection<std::string> c;
  c.Add("a");
  c.Add("b", "KeyB");
  c.Add("c", "");
  ASSERT_EQ(c.Count(), 3);
  EXPECT_EQ(c.Item(1), "a");
  EXPECT_EQ(c.Item("keyb"), "b");  // keys ignore case
  EXPECT_EQ(c.Item(""), "c");      // the empty text is a key like any other
  std::string joined;
  for (const auto& s : c) joined += s;
  EXPECT_EQ(joined, "abc");
  c.Remove("KEYB");
  EXPECT_EQ(c.Item(2), "c");
}

// Every way a call on {1 "One", 2 "Two", 3} can go: what it raises, and what
// the collection holds afterwards (a failing call changes nothing).
TEST(Collection, CallsRaiseTheRuntimeErrorsAndChangeNothingWhenTheyFail) {
  struct Row {
    const char* name;
    std::function<void(Collection<int>&)> call;
    Outcome raised;
    std::string after;  // the items in order
  };
  const Row rows[] = {
      {"add at the end", [](auto& c) { c.Add(4); }, testsupport::kNoError, "1234"},
      {"add a new key", [](auto& c) { c.Add(4, "four"); }, testsupport::kNoError, "1234"},
      {"add a duplicate key in other case", [](auto& c) { c.Add(4, "ONE"); }, testsupport::kDuplicateKey, "123"},
      {"item 0", [](auto& c) { c.Item(0); }, testsupport::kSubscriptOutOfRange, "123"},
      {"item past the end", [](auto& c) { c.Item(4); }, testsupport::kSubscriptOutOfRange, "123"},
      {"item -1", [](auto& c) { c.Item(-1); }, testsupport::kSubscriptOutOfRange, "123"},
      {"item of an unknown key", [](auto& c) { c.Item("three"); }, testsupport::kInvalidCall, "123"},
      {"item of a key in other case", [](auto& c) { c.Item("tWo") = 20; }, testsupport::kNoError, "1203"},
      {"remove the first", [](auto& c) { c.Remove(1); }, testsupport::kNoError, "23"},
      {"remove the last", [](auto& c) { c.Remove(3); }, testsupport::kNoError, "12"},
      {"remove past the end", [](auto& c) { c.Remove(4); }, testsupport::kSubscriptOutOfRange, "123"},
      {"remove by key", [](auto& c) { c.Remove("ONE"); }, testsupport::kNoError, "23"},
      {"remove an unknown key", [](auto& c) { c.Remove("four"); }, testsupport::kInvalidCall, "123"},
      {"a removed key is free again",
       [](auto& c) {
         c.Remove("two");
         c.Add(5, "Two");
       },
       testsupport::kNoError, "135"},
      {"clear", [](auto& c) { c.Clear(); }, testsupport::kNoError, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Collection<int> c;
    c.Add(1, "One");
    c.Add(2, "Two");
    c.Add(3);
    EXPECT_EQ(Raised([&] { row.call(c); }), row.raised);
    std::string after;
    for (int v : c) after += std::to_string(v);
    EXPECT_EQ(after, row.after);
  }
}

TEST(Collection, KeysFollowTheirItems) {
  Collection<int> c;
  c.Add(1, "One");
  c.Add(2);
  c.Add(3, "Three");
  c.Remove(1);
  EXPECT_FALSE(c.Contains("one"));
  EXPECT_TRUE(c.Contains("THREE"));
  EXPECT_FALSE(c.KeyOf(1).has_value());
  EXPECT_EQ(c.KeyOf(2), "Three");  // the key as it was given
}

}  // namespace
