#include <gtest/gtest.h>

#include <string>

#include "runtime/collection.h"
#include "runtime/error.h"
#include "support/error_of.h"

namespace {

using testsupport::ErrorOf;

TEST(Collection, CountsFromOneAndKeepsOrder) {
  runtime::Collection<std::string> c;
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

TEST(Collection, RaisesTheRuntimeErrors) {
  runtime::Collection<int> c;
  c.Add(1, "One");
  EXPECT_EQ(ErrorOf([&] { c.Add(2, "ONE"); }), runtime::err::kDuplicateKey);
  EXPECT_EQ(c.Count(), 1);  // nothing added on a duplicate
  EXPECT_EQ(ErrorOf([&] { c.Item("two"); }), runtime::err::kInvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { c.Item(0); }), runtime::err::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { c.Item(2); }), runtime::err::kSubscriptOutOfRange);
  EXPECT_EQ(ErrorOf([&] { c.Remove(5); }), runtime::err::kSubscriptOutOfRange);
  try {
    c.Add(3, "one");
  } catch (const runtime::Error& e) {
    EXPECT_EQ(e.Description(), "This key is already associated with an element of this collection");
  }
}

}  // namespace
