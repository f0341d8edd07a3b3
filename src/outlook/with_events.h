#pragma once
// Members bound to an object's events, and the binding of a toolbar button's
// Click to one handler of a wrapper.

#include <memory>
#include <vector>

#include "host/office.h"
#include "runtime/event.h"

namespace lumivane {

// A member bound to an object's events: releasing it ends them.
template <class T>
struct WithEvents {
  std::shared_ptr<T> object;
  std::vector<runtime::Subscription> events;

  // The subscriptions go before the object; they are moved out first, since
  // ending one may end the last hold on the sink that owns this member.
  void Release() {
    auto ending = std::move(events);
    events.clear();
    object.reset();
    ending.clear();
  }
};

// Binds `member` to the button `control` (a popup is no button: 13) so that
// its Click runs `handler` of `sink`. The button holds the sink only while
// the handler runs.
template <class Sink>
void BindClick(Sink& sink, WithEvents<host::CommandBarButton>& member,
               const std::shared_ptr<host::CommandBarControl>& control,
               void (Sink::*handler)(const std::shared_ptr<host::CommandBarButton>& Ctrl, bool& CancelDefault)) {
  auto button = host::As<host::CommandBarButton>(control);
  member.Release();
  member.object = button;
  if (!button) return;
  Sink* self = &sink;
  member.events.push_back(
      button->Click.Subscribe([self, handler](std::shared_ptr<host::CommandBarButton> ctrl,
                                              bool& cancelDefault) { (self->*handler)(ctrl, cancelDefault); },
                              sink.weak_from_this()));
}

}  // namespace lumivane
