// Fakes of the timer and task ports that tests step by hand: no sleeping, no threads.
#pragma once

#include <deque>
#include <functional>

#include "core/ports/timer.h"

namespace sortelia::testing {

class FakeTimer : public Timer {
 public:
  void start(int intervalMs, std::function<void()> tick) override {
    interval = intervalMs;
    tick_ = std::move(tick);
    active_ = true;
    ++starts;
  }
  void stop() override { active_ = false; }
  bool isActive() const override { return active_; }
  // One interval passes: the tick runs when the timer is active.
  void fire() {
    if (active_ && tick_) tick_();
  }

  int interval = 0;
  int starts = 0;

 private:
  std::function<void()> tick_;
  bool active_ = false;
};

class FakeTaskPoster : public TaskPoster {
 public:
  void post(std::function<void()> task) override { queued.push_back(std::move(task)); }
  // Runs what was posted, oldest first, as the GUI thread's event loop would.
  void runAll() {
    while (!queued.empty()) {
      auto t = std::move(queued.front());
      queued.pop_front();
      t();
    }
  }
  std::deque<std::function<void()>> queued;
};

}  // namespace sortelia::testing
