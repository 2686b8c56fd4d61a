// A small pool of worker threads for long work (batch reductions, thumbnail grids): jobs take
// plain inputs and a cancellation token, run on any free worker, and hand their result back
// through a future, so the caller can collect results in its own order.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace sortelia {

class WorkerPool {
 public:
  // Starts threads workers; 0 means one per processor (at least one).
  explicit WorkerPool(int threads = 0);
  // Runs every job still queued, then joins the workers. Jobs that should end early must
  // watch their cancellation token.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Number of worker threads.
  int size() const { return static_cast<int>(workers_.size()); }

  // Queues job; its result (or the exception it threw) arrives through the future.
  template <class Job>
  auto submit(Job job) -> std::future<std::invoke_result_t<Job>> {
    using Result = std::invoke_result_t<Job>;
    auto task = std::make_shared<std::packaged_task<Result()>>(std::move(job));
    std::future<Result> result = task->get_future();
    enqueue([task] { (*task)(); });
    return result;
  }

  // The number of workers a pool started with `threads` gets.
  static int workerCount(int threads);

 private:
  void enqueue(std::function<void()> job);
  void work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  bool closing_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace sortelia
