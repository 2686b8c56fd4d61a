// Time and threads as core sees them. Core is single-threaded: a timer calls back on the GUI
// thread, and work done on a worker thread reaches core only through a TaskPoster, which
// runs the posted function on the GUI thread. Tests implement both with fakes they step.
#pragma once

#include <functional>

namespace sortelia {

// A repeating timer (the slide show's Timer1).
class Timer {
 public:
  virtual ~Timer() = default;
  // Calls tick every intervalMs milliseconds until stopped; a running timer restarts.
  virtual void start(int intervalMs, std::function<void()> tick) = 0;
  virtual void stop() = 0;
  virtual bool isActive() const = 0;
};

// Hands a function to the GUI thread; safe to call from any thread.
class TaskPoster {
 public:
  virtual ~TaskPoster() = default;
  virtual void post(std::function<void()> task) = 0;
};

}  // namespace sortelia
