// Waiting in Qt tests: process events until a condition holds.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace sortelia::app {

// Processes events until pred holds or timeoutMs passes; returns pred's last value.
template <typename Pred>
bool waitFor(Pred pred, int timeoutMs = 5000) {
  QDeadlineTimer deadline(timeoutMs);
  while (!pred() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return pred();
}

}  // namespace sortelia::app
