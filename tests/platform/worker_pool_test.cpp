// The worker pool the album's reductions run on.
#include "platform/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <stdexcept>

namespace sortelia {
namespace {

TEST(WorkerPool, ResultsAndErrorsComeBackThroughTheirFutures) {
  WorkerPool pool(3);
  EXPECT_EQ(pool.size(), 3);
  std::vector<std::future<int>> results;
  for (int i = 0; i < 20; ++i) results.push_back(pool.submit([i] { return i * i; }));
  auto failing = pool.submit([]() -> int { throw std::runtime_error("bad picture"); });
  for (int i = 0; i < 20; ++i) EXPECT_EQ(results[i].get(), i * i);
  EXPECT_THROW(failing.get(), std::runtime_error);
  EXPECT_GE(WorkerPool::workerCount(0), 1);
}

TEST(WorkerPool, JobsRunSideBySide) {
  // Each job waits for the other: this ends only when two workers run at once.
  WorkerPool pool(2);
  std::latch both(2);
  auto a = pool.submit([&] { both.arrive_and_wait(); });
  auto b = pool.submit([&] { both.arrive_and_wait(); });
  a.get();
  b.get();
}

TEST(WorkerPool, EndingThePoolRunsWhatIsQueued) {
  std::atomic<int> ran{0};
  {
    WorkerPool pool(1);
    for (int i = 0; i < 50; ++i) (void)pool.submit([&] { ++ran; });
  }
  EXPECT_EQ(ran.load(), 50);
}

}  // namespace
}  // namespace sortelia
