// Millisecond clock for throttling and timing.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace sortelia {

// Milliseconds of a monotonic clock; only differences are meaningful.
inline std::int64_t steadyMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A clock that tests can replace.
using MillisecondClock = std::function<std::int64_t()>;

}  // namespace sortelia
