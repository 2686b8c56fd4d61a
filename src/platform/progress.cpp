#include "platform/progress.h"

namespace sortelia {

void ReportProgress(int percent, ProgressReporter* progress) {
  if (!progress || !progress->callback) return;
  const auto now = [&] { return static_cast<std::uint32_t>(progress->clock()); };
  if (percent == 0) {
    progress->lastReport = now();
    return;
  }
  if (static_cast<std::uint32_t>(now() - progress->lastReport) < 50) return;
  progress->callback(percent);
  progress->lastReport = now();
}

}  // namespace sortelia
