#pragma once
// The outside library's timer object, as the add-in's delayed display uses
// it: setting Interval (milliseconds) above 0 starts it and ThatTime comes
// every Interval until Interval is set to 0, which stops it and keeps the
// object. ThatTime is raised from the user-interface thread's event loop
// (nested loops included). Releasing the object stops it: no event comes
// after the last reference has gone.

#include <memory>

#include "host/common.h"
#include "platform/forms/event_loop.h"
#include "runtime/event.h"

namespace host {

class OneShotTimer : public std::enable_shared_from_this<OneShotTimer> {
 public:
  OneShotTimer() = default;
  OneShotTimer(const OneShotTimer&) = delete;
  OneShotTimer& operator=(const OneShotTimer&) = delete;

  long Interval() const { return interval_; }
  // 0 or less stops the timer; more (re)starts it from now.
  void Interval(long milliseconds);

  runtime::Event<> ThatTime;

  // Seam.
  host::Faults& Faults() { return faults_; }
  bool Running() const { return timer_.Active(); }

 private:
  long interval_ = 0;
  platform::forms::LoopTimer timer_;
  host::Faults faults_;
};

}  // namespace host
