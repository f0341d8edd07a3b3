#include "platform/forms/event_loop.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace platform::forms {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::shared_ptr<EventLoop>& LoopSlot() {
  static std::shared_ptr<EventLoop> loop;
  return loop;
}

}  // namespace

std::int64_t ToSeconds(const runtime::DateTime& d) {
  const std::int64_t days = DaysFromCivil(d.year, static_cast<unsigned>(d.month), static_cast<unsigned>(d.day));
  return days * 86400 + std::int64_t{d.hour} * 3600 + std::int64_t{d.minute} * 60 + d.second;
}

runtime::DateTime FromSeconds(std::int64_t seconds) {
  const std::int64_t days = FloorDiv(seconds, 86400);
  std::int64_t rest = seconds - days * 86400;
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
  runtime::DateTime out;
  out.year = static_cast<int>(y);
  out.month = static_cast<int>(m);
  out.day = static_cast<int>(d);
  out.hour = static_cast<int>(rest / 3600);
  rest %= 3600;
  out.minute = static_cast<int>(rest / 60);
  out.second = static_cast<int>(rest % 60);
  return out;
}

// ---- clocks ----

VirtualClock::VirtualClock(runtime::DateTime start) : startSeconds_(ToSeconds(start)) {}

runtime::DateTime VirtualClock::Now() const { return FromSeconds(startSeconds_ + FloorDiv(elapsed_, 1000)); }

void VirtualClock::SetNow(runtime::DateTime now) { startSeconds_ = ToSeconds(now) - FloorDiv(elapsed_, 1000); }

namespace {
std::int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

RealClock::RealClock() : origin_(SteadyMs()) {}

std::int64_t RealClock::Milliseconds() const { return SteadyMs() - origin_; }

runtime::DateTime RealClock::Now() const {
  const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm tm{};
  localtime_r(&t, &tm);
  return runtime::DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void RealClock::WaitUntil(std::int64_t ms) {
  const std::int64_t now = Milliseconds();
  if (ms > now) std::this_thread::sleep_for(std::chrono::milliseconds(ms - now));
}

// ---- the loop ----

EventLoop::EventLoop(std::shared_ptr<Clock> clock) : clock_(std::move(clock)) {}

EventLoop::TimerId EventLoop::StartTimer(std::int64_t intervalMs, bool periodic, std::function<void()> callback) {
  if (intervalMs < 1) intervalMs = 1;
  const TimerId id = ++nextId_;
  timers_.emplace(id, Entry{clock_->Milliseconds() + intervalMs, intervalMs, periodic, ++nextOrder_, false,
                            std::make_shared<std::function<void()>>(std::move(callback))});
  if (onTimersChanged_) onTimersChanged_();
  return id;
}

void EventLoop::StopTimer(TimerId id) { timers_.erase(id); }

bool EventLoop::IsActive(TimerId id) const { return timers_.count(id) != 0; }

std::optional<std::int64_t> EventLoop::NextDue() const {
  std::optional<std::int64_t> next;
  for (const auto& [id, e] : timers_)
    if (!e.running && (!next || e.due < *next)) next = e.due;
  return next;
}

bool EventLoop::FireOne(std::int64_t limit) {
  auto pick = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    const Entry& e = it->second;
    if (e.running || e.due > limit) continue;
    if (pick == timers_.end() || e.due < pick->second.due ||
        (e.due == pick->second.due && e.order < pick->second.order))
      pick = it;
  }
  if (pick == timers_.end()) return false;

  const TimerId id = pick->first;
  clock_->WaitUntil(pick->second.due);  // the timer fires at its own moment
  auto callback = pick->second.callback;
  if (pick->second.periodic) {
    Entry& e = pick->second;
    e.due += e.interval;
    if (e.due <= clock_->Milliseconds()) e.due = clock_->Milliseconds() + e.interval;  // late: no burst
    e.order = ++nextOrder_;
    e.running = true;  // a handler that waits does not see its own timer again
  } else {
    timers_.erase(pick);
  }
  auto self = shared_from_this();
  struct Done {
    EventLoop& loop;
    TimerId id;
    ~Done() {
      auto it = loop.timers_.find(id);
      if (it != loop.timers_.end()) it->second.running = false;
    }
  } done{*this, id};
  (*callback)();
  return true;
}

void EventLoop::Wait(std::int64_t ms) {
  const std::int64_t limit = clock_->Milliseconds() + (ms > 0 ? ms : 0);
  while (FireOne(limit)) {
  }
  clock_->WaitUntil(limit);
}

void EventLoop::DoEvents() {
  const std::int64_t limit = clock_->Milliseconds();
  while (FireOne(limit)) {
  }
}

EventLoop& Loop() { return *CurrentLoop(); }

std::shared_ptr<EventLoop> CurrentLoop() {
  auto& slot = LoopSlot();
  if (!slot) slot = std::make_shared<EventLoop>(std::make_shared<VirtualClock>());
  return slot;
}

void SetEventLoop(std::shared_ptr<EventLoop> loop) { LoopSlot() = std::move(loop); }

void DoEvents() { CurrentLoop()->DoEvents(); }

runtime::DateTime Now() { return CurrentLoop()->Now(); }

// ---- LoopTimer ----

void LoopTimer::Start(std::int64_t intervalMs, bool periodic, std::function<void()> callback) {
  Stop();
  if (intervalMs <= 0) return;
  auto loop = CurrentLoop();
  id_ = loop->StartTimer(intervalMs, periodic, std::move(callback));
  loop_ = loop;
}

void LoopTimer::Stop() {
  if (auto loop = loop_.lock()) loop->StopTimer(id_);
  loop_.reset();
  id_ = 0;
}

bool LoopTimer::Active() const {
  auto loop = loop_.lock();
  return loop && loop->IsActive(id_);
}

}  // namespace platform::forms
