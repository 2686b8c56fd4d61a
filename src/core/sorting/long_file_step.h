// The copy or the comparison of one file, run inline for a small file and through the
// LongWork port (off the GUI thread, with progress) for a large one. The transfer and the undo
// of a move both run their file steps through it, so both draw the line between small and
// large at the same place.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/ports/long_work.h"
#include "platform/progress.h"
#include "platform/safe_copy.h"

namespace sortelia {

// Files of at least this many bytes are copied and compared through the LongWork port.
inline constexpr std::int64_t kLongCopyBytes = std::int64_t{64} << 20;

class LongFileSteps {
 public:
  explicit LongFileSteps(fs::FileOperations& files) : files_(files) {}

  // The port a file of at least threshold bytes goes through; null: every file inline.
  void setLongWork(LongWork* work, std::int64_t threshold = kLongCopyBytes) {
    work_ = work;
    threshold_ = threshold;
  }

  // Runs step, a file operation on file (and its copy): inline without progress for a small
  // file, else as a job of the port titled title, with its progress. Returns once the step has
  // ended, rethrowing what it threw; the caller waits, so nothing else of core runs meanwhile.
  // step may hold only the file operations and paths: on the port it runs on another thread.
  void run(const std::string& file, const std::string& title,
           const std::function<void(ProgressReporter*)>& step) const {
    if (!work_ || files_.fileSize(file) < threshold_) {
      step(nullptr);
      return;
    }
    work_->runLongStep(title, [&step](ProgressReporter& progress) { step(&progress); });
  }

 private:
  fs::FileOperations& files_;
  LongWork* work_ = nullptr;
  std::int64_t threshold_ = kLongCopyBytes;
};

}  // namespace sortelia
