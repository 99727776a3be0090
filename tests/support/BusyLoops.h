// Load for the race tests: threads that keep every core busy while they live, as other programs
// on a user's machine do. They stretch each start-up, read and save, so that the races the tests
// are about happen on every run, not only on a slow machine.
#pragma once

#include <atomic>
#include <thread>
#include <vector>

namespace zolv::tests {

class BusyLoops {
 public:
  explicit BusyLoops(int count) {
    for (int i = 0; i < count; ++i)
      threads_.emplace_back([this] {
        while (!stop_.load(std::memory_order_relaxed)) {
        }
      });
  }
  ~BusyLoops() {
    stop_ = true;
    for (std::thread& thread : threads_)
      thread.join();
  }
  BusyLoops(const BusyLoops&) = delete;
  BusyLoops& operator=(const BusyLoops&) = delete;

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

}  // namespace zolv::tests
