#include "app/common/qt_long_work.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QStatusBar>
#include <exception>
#include <thread>

namespace sortelia::app {

QtLongWork::QtLongWork(QMainWindow& window) : QObject(&window), bar_(new QProgressBar) {
  bar_->setObjectName("LongStepProgress");
  bar_->setRange(0, 100);
  bar_->setMaximumWidth(200);
  bar_->setTextVisible(true);
  window.statusBar()->addPermanentWidget(bar_);
  bar_->hide();
}

void QtLongWork::runLongStep(const std::string& title,
                             const std::function<void(ProgressReporter&)>& job) {
  // The caller waits for the step, so a second one cannot start while this one runs; should
  // it ever, it runs inline rather than nest a second loop.
  if (running_) {
    ProgressReporter inline_;
    job(inline_);
    return;
  }
  running_ = true;
  const QString name = QString::fromStdString(title);
  bar_->setValue(0);
  bar_->setFormat(name + " %p%");
  bar_->setAccessibleName(name);
  bar_->show();
  qApp->installEventFilter(this);

  QEventLoop loop;
  std::exception_ptr error;
  QProgressBar* bar = bar_;
  std::thread worker([&] {
    ProgressReporter progress;
    progress.callback = [this, bar](int percent) {
      poster_.post([bar, percent] { bar->setValue(percent); });
    };
    try {
      job(progress);
    } catch (...) {
      error = std::current_exception();
    }
    // The last task posted: the reports before it have all run when the loop ends.
    poster_.post([&loop] { loop.quit(); });
  });
  loop.exec();
  worker.join();
  qApp->removeEventFilter(this);
  bar_->hide();
  running_ = false;
  if (error) std::rethrow_exception(error);
}

bool QtLongWork::eventFilter(QObject* watched, QEvent* event) {
  // The wake-up of a task poster is made on a worker thread and handed over through Qt's event
  // queue, whose locks ThreadSanitizer cannot see: it is let through unread (it is never input).
  if (dynamic_cast<QtTaskPoster*>(watched)) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:  // the text an input method commits (a Japanese word) is typing too
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
      return true;
    case QEvent::Close:
      // Closing the window would run the closing pass in the middle of the step.
      if (watched->isWidgetType()) {
        event->ignore();
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace sortelia::app
