#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "runtime/event.h"
#include "runtime/handlers.h"

namespace {

TEST(Event, ReleasingTheSubscriptionEndsTheEvents) {
  runtime::Event<int> ev;
  std::vector<int> seen;
  runtime::Subscription sub = ev.Subscribe([&](int v) { seen.push_back(v); });
  ev.Raise(1);
  sub.reset();
  ev.Raise(2);
  EXPECT_EQ(seen, std::vector<int>{1});
  EXPECT_EQ(ev.SinkCount(), 0u);
}

// A sink that removes itself from its owner inside its own handler must stay
// alive until the handler returns.
struct Sink : std::enable_shared_from_this<Sink> {
  std::vector<std::shared_ptr<Sink>>* registry = nullptr;
  runtime::Subscription sub;
  bool alive = true;
  ~Sink() { alive = false; }
  void OnClose() {
    registry->clear();  // drops the last owning reference
    EXPECT_TRUE(alive);
    sub.reset();
  }
};

TEST(Event, KeepsTheSinkAliveWhileItsHandlerRuns) {
  runtime::Event<> close;
  std::vector<std::shared_ptr<Sink>> registry;
  auto s = std::make_shared<Sink>();
  s->registry = &registry;
  Sink* raw = s.get();
  s->sub = close.Subscribe([raw] { raw->OnClose(); }, s);
  registry.push_back(std::move(s));
  close.Raise();
  EXPECT_TRUE(registry.empty());
  EXPECT_EQ(close.SinkCount(), 0u);
}

TEST(Event, SurvivesTheRaiserDyingInAHandler) {
  auto ev = std::make_unique<runtime::Event<>>();
  int calls = 0;
  auto a = ev->Subscribe([&] {
    ++calls;
    ev.reset();
  });
  auto b = ev->Subscribe([&] { ++calls; });
  ev->Raise();
  EXPECT_EQ(calls, 2);
}

TEST(Handlers, ResumeNextSkipsTheFailingStatementAndKeepsTheError) {
  runtime::ResumeNext rn;
  int done = 0;
  rn([&] { ++done; });
  rn([&] { runtime::Raise(13); });
  rn([&] { ++done; });
  EXPECT_EQ(done, 2);
  EXPECT_EQ(rn.Err().Number, 13);
  EXPECT_EQ(rn.Err().Description, "Type mismatch");
}

TEST(Handlers, CommonErrorText) {
  runtime::Error e(5);
  EXPECT_EQ(runtime::CommonErrorText(e, {"Update", runtime::ModuleKind::ClassModule, "RegSettings"}),
            "Error 5 (Invalid procedure call or argument) in procedure Update of Class Module RegSettings");
}

}  // namespace
