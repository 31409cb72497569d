#include "platform/interrupt_watch.h"

#include <pthread.h>

namespace foliotally {
namespace {

// Every signal whose default action ends the process and that someone sends on purpose.
// Signals raised by a fault of the program itself (SIGSEGV, SIGBUS, SIGFPE, SIGILL), SIGPIPE
// (a write error to a closed pipe, reported by the write) and SIGXFSZ (a file size limit,
// ignored so that it shows as a write error) are left alone.
sigset_t EndingSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
                     SIGPROF, SIGPOLL, SIGPWR, SIGXCPU})
    sigaddset(&signals, signal);
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaddset(&signals, signal);
  return signals;
}

}  // namespace

InterruptWatch::InterruptWatch(std::atomic<bool>& interrupted)
    : interrupted_(interrupted), signals_(EndingSignals()) {
  pthread_sigmask(SIG_BLOCK, &signals_, &previous_mask_);
  thread_ = std::thread([this] {
    int signal = 0;
    while (sigwait(&signals_, &signal) == 0 && !done_.load()) interrupted_.store(true);
  });
}

InterruptWatch::~InterruptWatch() {
  // One of the watched signals, sent to the watching thread alone, wakes it to see that
  // it is done; the program's exit does not wait for a timed wake-up.
  done_.store(true);
  pthread_kill(thread_.native_handle(), SIGRTMIN);
  thread_.join();
  pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
}

}  // namespace foliotally
