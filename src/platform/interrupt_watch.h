// Turns the signals that end a terminal job (SIGINT, SIGTERM, SIGHUP from a closed
// terminal, SIGQUIT, SIGALRM, SIGUSR1 and the others whose default is to end the process)
// into a flag a batch run looks at, so an interrupted run can stop between files, finish
// its output lines and leave an output file untouched. The signals are blocked in every
// thread and taken by one watching thread, so no signal handler and no global state is
// needed.
#pragma once

#include <signal.h>

#include <atomic>
#include <thread>

namespace foliotally {

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

}  // namespace foliotally
