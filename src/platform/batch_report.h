// The outcome of a batch command (album, export, rename, a batch of reduced saves): the batch
// carries on past one bad picture and reports every failure at the end.
#pragma once

#include <string>
#include <vector>

namespace sortelia {

struct BatchFailure {
  std::string path;  // the picture or file the step was for
  std::string text;  // what went wrong, as the person should read it
  bool operator==(const BatchFailure&) const = default;
};

struct BatchReport {
  int done = 0;                      // steps that succeeded
  std::vector<BatchFailure> failed;  // steps that did not, in the order they ran
  bool stopped = false;              // the person stopped the batch before its end

  void fail(std::string path, std::string text) {
    failed.push_back({std::move(path), std::move(text)});
  }
  bool ok() const { return failed.empty(); }
};

}  // namespace sortelia
