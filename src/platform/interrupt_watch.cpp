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

// Wakes the watch's own thread out of a blocking call; its work is done by the EINTR.
constexpr int kWakeSignal = SIGURG;
void Woken(int) {}

// How often the woken thread is woken again: a wake that came just before it began a
// blocking call is followed by another.
constexpr long kWakeAgainNs = 50'000'000;

}  // namespace

InterruptWatch::InterruptWatch(std::atomic<bool>& interrupted)
    : interrupted_(interrupted), signals_(EndingSignals()), woken_(pthread_self()) {
  // No SA_RESTART: a blocked call returns EINTR instead of being restarted.
  struct sigaction wake {};
  wake.sa_handler = Woken;
  sigemptyset(&wake.sa_mask);
  sigaction(kWakeSignal, &wake, &previous_wake_action_);
  pthread_sigmask(SIG_BLOCK, &signals_, &previous_mask_);
  thread_ = std::thread([this] {
    const timespec again{0, kWakeAgainNs};
    for (;;) {
      const bool up = interrupted_.load();
      const int signal =
          up ? sigtimedwait(&signals_, nullptr, &again) : sigwaitinfo(&signals_, nullptr);
      if (done_.load()) return;
      if (signal > 0) interrupted_.store(true);
      if (interrupted_.load()) pthread_kill(woken_, kWakeSignal);
    }
  });
}

InterruptWatch::~InterruptWatch() {
  // One of the watched signals, sent to the watching thread alone, wakes it to see that
  // it is done; the program's exit does not wait for a timed wake-up.
  done_.store(true);
  pthread_kill(thread_.native_handle(), SIGRTMIN);
  thread_.join();
  pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
  sigaction(kWakeSignal, &previous_wake_action_, nullptr);
}

}  // namespace foliotally
