// The Qt side of the timer and task ports: a QTimer, and a queue of tasks for the GUI thread.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <functional>

#include "core/ports/timer.h"
#include "platform/task_queue.h"

namespace sortelia::app {

class QtTimer : public Timer {
 public:
  void start(int intervalMs, std::function<void()> tick) override {
    QObject::disconnect(&timer_, nullptr, nullptr, nullptr);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(tick));
    timer_.start(intervalMs);
  }
  void stop() override { timer_.stop(); }
  bool isActive() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

// Hands tasks from worker threads to the GUI thread, run there one per turn of the event loop
// in the order they were posted. The tasks wait in this object's own queue under a std::mutex,
// and a bare event only wakes the GUI thread: the hand-over of each task is then one
// ThreadSanitizer sees, where Qt's event queue (its locks live in Debian's uninstrumented Qt)
// would hide it and make every posted task look like a race, or hide a real one in its body.
// Lives on the GUI thread and must outlive every thread that posts through it.
class QtTaskPoster : public QObject, public TaskPoster {
 public:
  void post(std::function<void()> task) override {
    tasks_.push(std::move(task));
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  }

 protected:
  void customEvent(QEvent* /*wake*/) override {
    if (std::function<void()> task = tasks_.pop()) task();
  }

 private:
  TaskQueue tasks_;
};

}  // namespace sortelia::app
