// The LongWork port with Qt: the job runs on its own thread while a nested event loop keeps
// the window painting, a progress bar in the status bar follows the job, and the person's
// input (mouse, keys, shortcuts, drops, closing) is refused until the step ends.
#pragma once

#include <QMainWindow>
#include <QObject>
#include <QProgressBar>

#include "app/common/qt_timer.h"
#include "core/ports/long_work.h"

namespace sortelia::app {

class QtLongWork : public QObject, public LongWork {
 public:
  // Adds the (hidden) progress bar to window's status bar.
  explicit QtLongWork(QMainWindow& window);

  void runLongStep(const std::string& title,
                   const std::function<void(ProgressReporter&)>& job) override;

  QProgressBar* progressBar() const { return bar_; }
  bool running() const { return running_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QProgressBar* bar_;
  bool running_ = false;
  QtTaskPoster poster_;  // the worker's progress and its end, brought to the GUI thread
};

}  // namespace sortelia::app
