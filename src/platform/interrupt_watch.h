// Turns the signals that end a terminal job (SIGINT, SIGTERM, SIGHUP from a closed
// terminal, SIGQUIT, SIGALRM, SIGUSR1 and the others whose default is to end the process)
// into a flag a batch run looks at, so an interrupted run can stop between files, finish
// its output lines and leave an output file untouched. The signals are blocked in every
// thread and taken by one watching thread. Once the flag is up, the thread that made the
// watch is woken again and again by a signal of its own (SIGURG, which by default nobody
// notices), so that a write or an open it is blocked in returns EINTR and the run can
// end even when nobody reads its output.
#pragma once

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

namespace foliotally {

class InterruptWatch {
 public:
  // Must be made before any other thread is started, so that they inherit the mask, by
  // the thread that is woken once the flag is up.
  explicit InterruptWatch(std::atomic<bool>& interrupted);
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

 private:
  std::atomic<bool>& interrupted_;
  std::atomic<bool> done_{false};
  sigset_t signals_{};
  sigset_t previous_mask_{};
  struct sigaction previous_wake_action_ {};
  pthread_t woken_;
  std::thread thread_;
};

}  // namespace foliotally
