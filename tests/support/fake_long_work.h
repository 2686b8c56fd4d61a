// The LongWork port run inline: records each step's title and the progress its job reported.
#pragma once

#include <string>
#include <vector>

#include "core/ports/long_work.h"

namespace sortelia::testing {

class FakeLongWork : public LongWork {
 public:
  void runLongStep(const std::string& title,
                   const std::function<void(ProgressReporter&)>& job) override {
    titles.push_back(title);
    std::int64_t now = 0;
    // Every report passes the throttle, so a test sees each one.
    ProgressReporter progress{[this](int p) { percents.push_back(p); },
                              [&now] { return now += 50; }};
    job(progress);
  }

  std::vector<std::string> titles;  // every step run, oldest first
  std::vector<int> percents;        // every progress report, oldest first
};

}  // namespace sortelia::testing
