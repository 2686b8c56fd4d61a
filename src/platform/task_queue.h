// A first-in first-out queue of tasks that any thread may add to and one thread takes from: the
// way results of worker threads wait for the GUI thread (or a test's or a benchmark's stand-in
// for it). Its lock is a std::mutex, which ThreadSanitizer sees.
#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace sortelia {

class TaskQueue {
 public:
  void push(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  // The oldest task, taken out; empty when there is none.
  std::function<void()> pop() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (tasks_.empty()) return {};
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    return task;
  }
  // Runs the tasks in order until none is left, including those added meanwhile.
  void runAll() {
    while (std::function<void()> task = pop()) task();
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace sortelia
