// Long work: the throttled progress report and the cancellation token that every long job
// (resampling, batch reduction, thumbnail grids, prefetch) takes.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/clock.h"

namespace sortelia {

// Receives the percentage done (1..100).
using ProgressCallback = std::function<void(int percent)>;

// The progress throttle: a callback, the clock it is timed by, and the tick (milliseconds,
// 32-bit, wrapping) of the last report. Keep one alive across calls to throttle across them.
struct ProgressReporter {
  ProgressCallback callback;
  MillisecondClock clock = steadyMilliseconds;
  std::uint32_t lastReport = 0;
};

// Calls the callback with percent unless percent is 0 (which only restarts the timing) or
// less than 50 ms passed since the last report. Does nothing without a reporter or callback.
void ReportProgress(int percent, ProgressReporter* progress);

// A cancellation token shared between the thread that asks for a stop and the job that polls
// it; copies share one flag. Jobs check it between units of work (a picture, a row band).
class CancelToken {
 public:
  CancelToken() : flag_(std::make_shared<std::atomic<bool>>(false)) {}
  void cancel() const { flag_->store(true, std::memory_order_relaxed); }
  bool cancelled() const { return flag_->load(std::memory_order_relaxed); }

 private:
  std::shared_ptr<std::atomic<bool>> flag_;
};

}  // namespace sortelia
