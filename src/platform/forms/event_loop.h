#pragma once
// The event loop of the user-interface thread: its clock and its timers.
//
// Everything that happens "later" (Timer controls, the mail client's one-shot
// timer object, a delayed show) is a timer of this loop. Tests run the loop on
// a VirtualClock: Wait(ms) moves time forward and fires every timer that falls
// due on the way, in the order of their due times, each at its own moment; the
// program runs it on the RealClock. System code reads the date and time only
// through Now().
//
//   auto loop = std::make_shared<EventLoop>(std::make_shared<VirtualClock>(runtime::DateTime{2026, 12, 8, 9, 0, 0}));
//   SetEventLoop(loop);
//   LoopTimer t;  t.Start(1000, false, [&] { ... });
//   loop->Wait(1500);   // fires t at 1000 ms

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "runtime/locale.h"

namespace platform::forms {

class Clock {
 public:
  virtual ~Clock() = default;
  // A monotonic reading in milliseconds.
  virtual std::int64_t Milliseconds() const = 0;
  // The local date and time.
  virtual runtime::DateTime Now() const = 0;
  // Lets time pass until Milliseconds() reaches `ms`.
  virtual void WaitUntil(std::int64_t ms) = 0;
};

// Time moves only when the loop waits.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(runtime::DateTime start = runtime::DateTime{2000, 1, 1, 0, 0, 0});
  std::int64_t Milliseconds() const override { return elapsed_; }
  runtime::DateTime Now() const override;
  void WaitUntil(std::int64_t ms) override {
    if (ms > elapsed_) elapsed_ = ms;
  }
  // Sets the calendar; the millisecond reading (and so every timer) stays.
  void SetNow(runtime::DateTime now);

 private:
  std::int64_t startSeconds_;  // the calendar at elapsed 0, in seconds since 1970-01-01
  std::int64_t elapsed_ = 0;
};

class RealClock : public Clock {
 public:
  RealClock();
  std::int64_t Milliseconds() const override;
  runtime::DateTime Now() const override;
  void WaitUntil(std::int64_t ms) override;

 private:
  std::int64_t origin_;
};

class EventLoop : public std::enable_shared_from_this<EventLoop> {
 public:
  using TimerId = std::uint64_t;

  explicit EventLoop(std::shared_ptr<Clock> clock);

  Clock& clock() { return *clock_; }
  std::int64_t Milliseconds() const { return clock_->Milliseconds(); }
  runtime::DateTime Now() const { return clock_->Now(); }

  // A timer due `intervalMs` from now (at least 1 ms); a periodic one comes
  // back every interval. Timers of equal due time fire in the order started.
  TimerId StartTimer(std::int64_t intervalMs, bool periodic, std::function<void()> callback);
  void StopTimer(TimerId id);
  bool IsActive(TimerId id) const;
  std::size_t ActiveTimers() const { return timers_.size(); }
  // The due time of the next timer, if any.
  std::optional<std::int64_t> NextDue() const;

  // Lets `ms` pass, firing each timer due on the way at its due time.
  void Wait(std::int64_t ms);
  // Fires the timers that are due now; time does not move.
  void DoEvents();

  // Told when a timer starts, so a window system's loop that sleeps until
  // the next due time can wake earlier.
  void OnTimersChanged(std::function<void()> callback) { onTimersChanged_ = std::move(callback); }

 private:
  struct Entry {
    std::int64_t due;
    std::int64_t interval;
    bool periodic;
    std::uint64_t order;
    bool running = false;
    std::shared_ptr<std::function<void()>> callback;
  };
  // Fires every timer due at or before `limit`; false when none was.
  bool FireOne(std::int64_t limit);

  std::shared_ptr<Clock> clock_;
  std::map<TimerId, Entry> timers_;
  TimerId nextId_ = 0;
  std::uint64_t nextOrder_ = 0;
  std::function<void()> onTimersChanged_;
};

// The loop of the user-interface thread. Until one is set, a loop on a
// VirtualClock (so nothing ever sleeps by accident); the program sets one on
// the RealClock.
EventLoop& Loop();
std::shared_ptr<EventLoop> CurrentLoop();
void SetEventLoop(std::shared_ptr<EventLoop> loop);

// The original's DoEvents and Now.
void DoEvents();
runtime::DateTime Now();

// A timer that stops when released; what the Timer control and the mail
// client's timer object are built on.
class LoopTimer {
 public:
  LoopTimer() = default;
  LoopTimer(const LoopTimer&) = delete;
  LoopTimer& operator=(const LoopTimer&) = delete;
  ~LoopTimer() { Stop(); }

  // Restarts the timer on the current loop; an interval of 0 or less stops it.
  void Start(std::int64_t intervalMs, bool periodic, std::function<void()> callback);
  void Stop();
  bool Active() const;

 private:
  std::weak_ptr<EventLoop> loop_;
  EventLoop::TimerId id_ = 0;
};

// Calendar arithmetic for the clocks: seconds since 1970-01-01 00:00:00.
std::int64_t ToSeconds(const runtime::DateTime& d);
runtime::DateTime FromSeconds(std::int64_t seconds);

}  // namespace platform::forms
