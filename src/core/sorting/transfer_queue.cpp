#include "core/sorting/transfer_queue.h"

namespace sortelia {

TransferQueue::TransferQueue(fs::FileOperations& files, TaskPoster& poster,
                             std::function<void()> finished)
    : files_(files), poster_(poster), finished_(std::move(finished)) {
  worker_ = std::thread([this] { work(); });
}

TransferQueue::~TransferQueue() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void TransferQueue::push(QueuedStep step) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.steps += 1;
    pending_.bytes += step.bytes;
    queued_.push_back(std::move(step));
  }
  wake_.notify_all();
}

std::deque<FinishedStep> TransferQueue::takeFinished() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::deque<FinishedStep> taken;
  taken.swap(done_);
  return taken;
}

std::deque<FinishedStep> TransferQueue::resume() {
  std::deque<FinishedStep> cancelled;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    while (!queued_.empty()) {
      FinishedStep f;
      f.step = std::move(queued_.front());
      queued_.pop_front();
      f.cancelled = true;
      pending_.steps -= 1;
      pending_.bytes -= f.step.bytes;
      cancelled.push_back(std::move(f));
    }
    // Steps the worker cancelled before this come back through takeFinished.
    for (auto it = done_.begin(); it != done_.end();) {
      if (!it->cancelled) {
        ++it;
        continue;
      }
      cancelled.push_back(std::move(*it));
      it = done_.erase(it);
    }
    stopped_ = false;
  }
  settled_.notify_all();
  return cancelled;
}

PendingTransfers TransferQueue::pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pending_;
}

void TransferQueue::waitUntilIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  settled_.wait(lock, [this] { return idleLocked(); });
}

void TransferQueue::waitUntilBelow(int maxSteps, std::int64_t maxBytes) {
  std::unique_lock<std::mutex> lock(mutex_);
  settled_.wait(lock, [&] {
    return pending_.empty() || (pending_.steps < maxSteps && pending_.bytes < maxBytes);
  });
}

void TransferQueue::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return ending_ || !queued_.empty(); });
    if (queued_.empty()) return;  // ending, and nothing is left to run
    FinishedStep finished;
    finished.step = std::move(queued_.front());
    queued_.pop_front();
    if (stopped_) {
      finished.cancelled = true;
    } else {
      running_ = true;
      lock.unlock();
      // The file work runs outside the lock, so the GUI thread can queue and look meanwhile.
      finished.outcome = transferStepFiles(files_, finished.step.files, finished.step.move);
      lock.lock();
      running_ = false;
      if (!finished.outcome.ok()) stopped_ = true;
    }
    pending_.steps -= 1;
    pending_.bytes -= finished.step.bytes;
    done_.push_back(std::move(finished));
    settled_.notify_all();
    lock.unlock();
    poster_.post(finished_);
    lock.lock();
  }
}

}  // namespace sortelia
