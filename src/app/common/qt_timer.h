// The Qt side of the timer and task ports: a QTimer, and a queued call into the GUI thread.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include "core/ports/timer.h"

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

class QtTaskPoster : public TaskPoster {
 public:
  void post(std::function<void()> task) override {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
  }
};

}  // namespace sortelia::app
