#include "platform/interrupt_watch.h"

#include <pthread.h>

#include <ctime>

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
    // Wakes up now and then to see whether the program is done with it.
    const timespec tick{0, 100'000'000};
    while (!done_.load()) {
      if (sigtimedwait(&signals_, nullptr, &tick) > 0) interrupted_.store(true);
    }
  });
}

InterruptWatch::~InterruptWatch() {
  done_.store(true);
  thread_.join();
  pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
}

}  // namespace foliotally
