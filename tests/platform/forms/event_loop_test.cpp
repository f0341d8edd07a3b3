#include "platform/forms/event_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/forms/forms_fixture.h"

namespace {

using namespace forms_test;

class Loop : public FormsTest {
 protected:
  std::vector<std::string> fired;
  // A callback that notes its name and the moment it ran.
  std::function<void()> Note(std::string name) {
    return [this, name] { fired.push_back(name + "@" + std::to_string(loop->Milliseconds())); };
  }
};

TEST_F(Loop, WaitFiresDueTimersInOrderEachAtItsOwnMoment) {
  LoopTimer a, b, c, d;
  a.Start(300, false, Note("a"));
  b.Start(100, false, Note("b"));
  c.Start(300, false, Note("c"));  // same moment as a, started later
  d.Start(900, false, Note("d"));
  loop->Wait(500);
  EXPECT_EQ(fired, (std::vector<std::string>{"b@100", "a@300", "c@300"}));
  EXPECT_EQ(loop->Milliseconds(), 500);
  EXPECT_FALSE(a.Active());
  EXPECT_TRUE(d.Active());
  EXPECT_EQ(loop->NextDue(), 900);
}

TEST_F(Loop, APeriodicTimerComesBackAndCanStopOrRestartItselfInItsCallback) {
  LoopTimer tick;
  int count = 0;
  tick.Start(250, true, [&] {
    fired.push_back("tick@" + std::to_string(loop->Milliseconds()));
    if (++count == 2) tick.Start(1000, true, Note("slow"));  // restart with a new interval
  });
  loop->Wait(2000);
  EXPECT_EQ(fired, (std::vector<std::string>{"tick@250", "tick@500", "slow@1500"}));
  LoopTimer once;
  once.Start(10, true, [&] { once.Stop(); });
  loop->Wait(100);
  EXPECT_FALSE(once.Active());
}

TEST_F(Loop, DoEventsFiresWhatIsDueWithoutMovingTime) {
  LoopTimer t;
  t.Start(100, false, Note("t"));
  loop->DoEvents();
  EXPECT_TRUE(fired.empty());
  clock->WaitUntil(150);  // time passed outside the loop
  DoEvents();
  EXPECT_EQ(fired, std::vector<std::string>{"t@150"});  // late, as a real loop is
  EXPECT_EQ(loop->Milliseconds(), 150);
}

TEST_F(Loop, AHandlerThatWaitsDoesNotSeeItsOwnTimerAgain) {
  LoopTimer t;
  int depth = 0, maxDepth = 0;
  t.Start(100, true, [&] {
    maxDepth = std::max(maxDepth, ++depth);
    loop->Wait(350);
    --depth;
  });
  loop->Wait(1000);
  EXPECT_EQ(maxDepth, 1);
}

TEST_F(Loop, ReleasingATimerOrStartingItWithZeroStopsIt) {
  {
    LoopTimer t;
    t.Start(100, false, Note("gone"));
  }
  LoopTimer z;
  z.Start(100, true, Note("z"));
  z.Start(0, true, Note("z"));
  loop->Wait(1000);
  EXPECT_TRUE(fired.empty());
  EXPECT_EQ(loop->ActiveTimers(), 0u);
}

TEST_F(Loop, NowFollowsTheVirtualClockAcrossDaysMonthsAndLeapYears) {
  EXPECT_EQ(ToSeconds(Now()), ToSeconds({2026, 12, 8, 9, 0, 0}));
  loop->Wait(15 * 3600 * 1000 + 1500);  // 15 h 1.5 s
  const runtime::DateTime d = Now();
  EXPECT_EQ((std::vector<int>{d.year, d.month, d.day, d.hour, d.minute, d.second}),
            (std::vector<int>{2026, 12, 9, 0, 0, 1}));
  clock->SetNow({2024, 2, 28, 23, 59, 59});
  loop->Wait(1000);
  EXPECT_EQ(Now().month, 2);
  EXPECT_EQ(Now().day, 29);
  struct Row {
    runtime::DateTime d;
    std::int64_t seconds;
  } rows[] = {
      {{1970, 1, 1, 0, 0, 0}, 0},
      {{1899, 12, 30, 0, 0, 0}, -2209161600},
      {{2000, 3, 1, 12, 30, 15}, 951913815},
      {{2100, 3, 1, 0, 0, 0}, 4107542400},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.seconds);
    EXPECT_EQ(ToSeconds(row.d), row.seconds);
    EXPECT_EQ(ToSeconds(FromSeconds(row.seconds)), row.seconds);
    EXPECT_EQ(FromSeconds(row.seconds).day, row.d.day);
  }
}

}  // namespace
