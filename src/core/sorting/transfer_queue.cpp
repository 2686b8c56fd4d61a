#include "core/sorting/transfer_queue.h"

#include <future>

#include "platform/path.h"

namespace sortelia {
namespace {

// Whether a step is a copy (not a move by renaming), so that its files can be written while
// the step before it is compared.
bool copiesFiles(fs::FileOperations& files, const QueuedStep& step) {
  if (!step.move) return true;
  for (const StepFile& f : step.files) {
    if (f.replace || !files.sameFileSystem(f.source, fs::folderOf(f.destination))) return true;
  }
  return false;
}

}  // namespace

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
    step.serial = ++pushed_;
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

StepOutcome TransferQueue::runStep(const QueuedStep& step, std::optional<WrittenStep> written) {
  if (!written) {
    if (step.move) {
      if (auto renamed = renameStepFiles(files_, step.files)) return *renamed;
    }
    written = writeStepFiles(files_, step.files, runFileStepInline);
  }
  // While this step's copies are read back from storage, the next step's files are written:
  // the disk reads one and writes the other. The next step's copies keep their temporary
  // names until it is verified in its turn, after this one.
  std::optional<std::future<WrittenStep>> ahead;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!queued_.empty() && !stopped_ && copiesFiles(files_, queued_.front())) {
      aheadSerial_ = queued_.front().serial;
      ahead = std::async(std::launch::async, [this, files = queued_.front().files] {
        return writeStepFiles(files_, files, runFileStepInline);
      });
    }
  }
  StepOutcome outcome = verifyStepFiles(files_, step.files, *written, runFileStepInline);
  if (outcome.ok() && step.move) deleteStepSources(files_, step.files);
  if (ahead) {
    WrittenStep next = ahead->get();
    // Behind a failure the next step does not run: its copies go at once.
    if (outcome.ok()) ahead_ = std::move(next);
  }
  return outcome;
}

void TransferQueue::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return ending_ || !queued_.empty(); });
    if (queued_.empty()) return;  // ending, and nothing is left to run
    FinishedStep finished;
    finished.step = std::move(queued_.front());
    queued_.pop_front();
    // Copies written ahead for this step, if any; any others belong to a step that is gone.
    std::optional<WrittenStep> written;
    if (ahead_ && aheadSerial_ == finished.step.serial) written = std::move(ahead_);
    ahead_.reset();
    if (stopped_) {
      finished.cancelled = true;
      lock.unlock();
      written.reset();  // its copies are removed
      lock.lock();
    } else {
      running_ = true;
      lock.unlock();
      // The file work runs outside the lock, so the GUI thread can queue and look meanwhile.
      finished.outcome = runStep(finished.step, std::move(written));
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
