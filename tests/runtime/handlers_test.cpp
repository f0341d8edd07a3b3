#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/handlers.h"
#include "support/raised.h"

namespace {

using testsupport::Outcome;

// What a statement can throw, and the error every handler sees for it.
struct Thrown {
  const char* name;
  std::function<void()> statement;
  Outcome seen;
};

const std::vector<Thrown>& Throws() {
  static const std::vector<Thrown> rows = {
      {"nothing", [] {}, testsupport::kNoError},
      {"a runtime error", [] { runtime::Raise(53); }, testsupport::kFileNotFound},
      {"a runtime error with its own text",
       [] { throw runtime::Error(75, "Path/File access error: disk full"); },
       {75, "Path/File access error: disk full"}},
      {"out of memory", [] { throw std::bad_alloc(); }, {7, "Out of memory"}},
      {"a library exception", [] { throw std::runtime_error("bad header"); }, {51, "bad header"}},
      {"anything else", [] { throw 42; }, {51, "Internal error"}},
  };
  return rows;
}

TEST(Handlers, OnErrorReportsEachFailingStatementOnceAndKeepsTheLast) {
  for (const Thrown& row : Throws()) {
    SCOPED_TRACE(row.name);
    std::vector<Outcome> reports;
    runtime::OnError eh([&](const runtime::Error& e) { reports.push_back({e.Number(), e.Description()}); });
    const bool ran = eh(row.statement);
    bool next = false;
    eh([&] { next = true; });  // the procedure goes on with the next statement
    EXPECT_TRUE(next);
    EXPECT_EQ(ran, row.seen == testsupport::kNoError);
    EXPECT_EQ((Outcome{eh.Err().Number, eh.Err().Description}), row.seen);  // kept after a statement that worked
    EXPECT_EQ(reports, row.seen == testsupport::kNoError ? std::vector<Outcome>{} : std::vector<Outcome>{row.seen});
  }
}

TEST(Handlers, ResumeNextKeepsTheErrorUntilCleared) {
  for (const Thrown& row : Throws()) {
    SCOPED_TRACE(row.name);
    runtime::ResumeNext rn;
    rn(row.statement);
    EXPECT_EQ((Outcome{rn.Err().Number, rn.Err().Description}), row.seen);
    EXPECT_EQ(static_cast<bool>(rn.Err()), row.seen != testsupport::kNoError);
    rn.Err().Clear();
    EXPECT_FALSE(rn.Err());
  }
}

TEST(Handlers, ValueOrGivesTheFallbackForAnyFailure) {
  for (const Thrown& row : Throws()) {
    SCOPED_TRACE(row.name);
    const int got = runtime::ValueOr(
        [&] {
          row.statement();
          return 1;
        },
        -1);
    EXPECT_EQ(got, row.seen == testsupport::kNoError ? 1 : -1);
  }
}

}  // namespace
