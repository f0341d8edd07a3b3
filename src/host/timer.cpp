#include "host/timer.h"

namespace host {

void OneShotTimer::Interval(long milliseconds) {
  faults_.Check("Interval=");
  interval_ = milliseconds;
  std::weak_ptr<OneShotTimer> weak = weak_from_this();
  timer_.Start(milliseconds, true, [weak] {
    auto self = weak.lock();  // a handler may let go of the object
    if (!self) return;
    // The library has nowhere to report a handler's failure to: it is
    // dropped, so the event loop goes on with its other timers.
    try {
      self->ThatTime.Raise();
    } catch (...) {
    }
  });
}

}  // namespace host
