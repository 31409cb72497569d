// Turns SIGINT and SIGTERM into a flag the count looks at, so an interrupted run can stop
// between files, finish its output lines and leave a --output target untouched. The
// signals are blocked in every thread and taken by one watching thread, so no signal
// handler and no global state is needed.
#pragma once

#include <atomic>
#include <csignal>
#include <thread>

namespace foliotally::count_cli {

class InterruptWatch {
 public:
  // Must be made before any other thread is started, so that they inherit the mask.
  explicit InterruptWatch(std::atomic<bool>& interrupted);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

 private:
  std::atomic<bool>& interrupted_;
  std::atomic<bool> done_{false};
  sigset_t signals_{};
  sigset_t previous_mask_{};
  std::thread thread_;
};

}  // namespace foliotally::count_cli
