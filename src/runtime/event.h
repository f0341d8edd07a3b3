#pragma once
// Events raised by stand-ins and forms. A sink subscribes and keeps the
// returned Subscription in the member the documents call event-bound
// (`m_objExpl`, `m_colInsp`, ...): resetting that member ends the events.
//
// Dispatch is synchronous. A handler may unsubscribe itself or others, or
// destroy the object that raised the event: the event's state and every
// sink's keep-alive owner are held until the handler returns, so a wrapper
// that removes itself from its registry inside Close is destroyed only after
// its handler has finished.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace runtime {

class Subscription {
 public:
  Subscription() = default;
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  Subscription(Subscription&& o) noexcept : cancel_(std::move(o.cancel_)) { o.cancel_ = nullptr; }
  Subscription& operator=(Subscription&& o) noexcept {
    if (this != &o) {
      reset();
      cancel_ = std::move(o.cancel_);
      o.cancel_ = nullptr;
    }
    return *this;
  }
  ~Subscription() { reset(); }

  void reset() {
    if (cancel_) {
      auto c = std::move(cancel_);
      cancel_ = nullptr;
      c();
    }
  }
  bool active() const noexcept { return static_cast<bool>(cancel_); }

 private:
  template <class...>
  friend class Event;
  explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  std::function<void()> cancel_;
};

template <class... Args>
class Event {
 public:
  using Handler = std::function<void(Args...)>;

  Event() : state_(std::make_shared<State>()) {}
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  // `keepAlive` is the sink object: held during each call of its handler, and
  // a sink that has died is not called.
  [[nodiscard]] Subscription Subscribe(Handler handler, std::weak_ptr<const void> keepAlive = {}) {
    const std::uint64_t id = ++state_->next;
    const bool owned = !keepAlive.expired();
    state_->sinks.push_back(Sink{id, std::move(handler), std::move(keepAlive), owned, true});
    std::weak_ptr<State> weak = state_;
    return Subscription([weak, id] {
      if (auto s = weak.lock()) {
        for (auto& sink : s->sinks)
          if (sink.id == id) sink.live = false;
        if (s->depth == 0) s->Compact();
      }
    });
  }

  void Raise(Args... args) {
    auto state = state_;  // the raiser may die inside a handler
    ++state->depth;
    struct Leave {
      State& s;
      ~Leave() {
        if (--s.depth == 0) s.Compact();
      }
    } leave{*state};
    const std::size_t n = state->sinks.size();  // sinks added during dispatch wait for the next raise
    for (std::size_t i = 0; i < n && i < state->sinks.size(); ++i) {
      if (!state->sinks[i].live) continue;
      std::shared_ptr<const void> hold = state->sinks[i].keepAlive.lock();
      if (state->sinks[i].owned && !hold) continue;
      Handler h = state->sinks[i].handler;  // a copy: the list may change under it
      h(args...);
    }
  }

  std::size_t SinkCount() const {
    std::size_t n = 0;
    for (const auto& s : state_->sinks) n += s.live ? 1 : 0;
    return n;
  }

 private:
  struct Sink {
    std::uint64_t id;
    Handler handler;
    std::weak_ptr<const void> keepAlive;
    bool owned;
    bool live;
  };
  struct State {
    std::vector<Sink> sinks;
    std::uint64_t next = 0;
    int depth = 0;
    void Compact() {
      std::erase_if(sinks, [](const Sink& s) { return !s.live; });
    }
  };
  std::shared_ptr<State> state_;
};

}  // namespace runtime
