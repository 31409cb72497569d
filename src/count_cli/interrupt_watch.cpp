#include "count_cli/interrupt_watch.h"

#include <pthread.h>

#include <ctime>

namespace foliotally::count_cli {

InterruptWatch::InterruptWatch(std::atomic<bool>& interrupted) : interrupted_(interrupted) {
  sigemptyset(&signals_);
  sigaddset(&signals_, SIGINT);
  sigaddset(&signals_, SIGTERM);
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

}  // namespace foliotally::count_cli
