// A step too long for the GUI thread (the copy and comparison of a large file): the job runs
// on a worker thread while the window keeps painting, shows its progress and refuses sorting
// input; the caller waits for the end, so core stays single-threaded and the order of steps is
// the same as when the job runs inline. Fakes run the job inline.
#pragma once

#include <functional>
#include <string>

#include "platform/progress.h"

namespace sortelia {

class LongWork {
 public:
  virtual ~LongWork() = default;
  // Runs job to its end and returns then, rethrowing what the job threw. The job takes plain
  // inputs only and touches no core object; it reports through the given reporter. title
  // names the step beside the progress.
  virtual void runLongStep(const std::string& title,
                           const std::function<void(ProgressReporter&)>& job) = 0;
};

}  // namespace sortelia
