// The ordered transfer queue: the file work of sorting steps, run one after another on a
// worker thread of its own while the person goes on to the next picture. The GUI thread settles
// everything that asks or tells the person something before it queues a step, and takes back
// each finished step (its journal line, or its failure to tell) in key order.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/timer.h"
#include "core/sorting/transfer_step.h"
#include "platform/safe_copy.h"

namespace sortelia {

// A step handed to the queue: the list entry it sorts and the files it copies or moves.
struct QueuedStep {
  int index = 0;  // the list entry (1-based)
  std::vector<StepFile> files;
  bool move = false;  // delete the sources once every file is verified
  std::int64_t bytes = 0;
  std::uint64_t serial = 0;  // given by the queue: which step a copy written ahead belongs to
};

// A step the worker is done with. A step queued after a failed one is not run at all
// (cancelled): the person sees it again, at its place in the list.
struct FinishedStep {
  QueuedStep step;
  StepOutcome outcome;
  bool cancelled = false;
};

// What is queued or running, not yet taken back by the GUI thread.
struct PendingTransfers {
  int steps = 0;
  std::int64_t bytes = 0;
  bool empty() const { return steps == 0; }
};

class TransferQueue {
 public:
  // finished is posted through poster after each step the worker ends, and after each step
  // cancelled by an earlier failure; it runs on the GUI thread and should call takeFinished.
  TransferQueue(fs::FileOperations& files, TaskPoster& poster, std::function<void()> finished);
  // Runs what is queued to its end and stops the worker.
  ~TransferQueue();
  TransferQueue(const TransferQueue&) = delete;
  TransferQueue& operator=(const TransferQueue&) = delete;

  // Queues step after the ones queued before it. After a failure, until resume(), a step is not
  // run but comes back cancelled.
  void push(QueuedStep step);
  // The steps the worker has ended, in the order they were pushed; they no longer count as
  // pending.
  std::deque<FinishedStep> takeFinished();
  // Lets steps run again after a failure was taken back; the steps still queued behind the
  // failure are not run and come back, cancelled.
  std::deque<FinishedStep> resume();

  PendingTransfers pending() const;
  // Blocks the calling thread until the worker has ended every queued step (they may wait in
  // takeFinished).
  void waitUntilIdle();
  // Blocks until fewer than maxSteps steps and fewer than maxBytes bytes are queued or running
  // (an empty queue always passes).
  void waitUntilBelow(int maxSteps, std::int64_t maxBytes);

 private:
  void work();
  // The file work of step; written holds its copies when they were written ahead.
  StepOutcome runStep(const QueuedStep& step, std::optional<WrittenStep> written);
  bool idleLocked() const { return queued_.empty() && !running_; }

  fs::FileOperations& files_;
  TaskPoster& poster_;
  std::function<void()> finished_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;     // the worker: a step was queued, or the end
  std::condition_variable settled_;  // the waiters: a step ended
  std::deque<QueuedStep> queued_;
  std::deque<FinishedStep> done_;
  PendingTransfers pending_;  // queued and running, not yet ended
  bool running_ = false;
  bool stopped_ = false;  // a step failed; the next ones are cancelled until resume()
  bool ending_ = false;
  std::uint64_t pushed_ = 0;  // serial numbers of the steps, in push order
  // The next step's copies, written while the step before it was compared (worker only).
  std::optional<WrittenStep> ahead_;
  std::uint64_t aheadSerial_ = 0;
  std::thread worker_;
};

}  // namespace sortelia
