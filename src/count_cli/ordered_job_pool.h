// Counts files on several threads while handing the results back in the order the files
// were submitted, so the output is the same whatever the number of threads. At most
// `window` files are in flight: the submitter waits (handing out finished results) when the
// window is full, so memory stays bounded however many files a walk yields.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "count_cli/file_to_count.h"

namespace foliotally::count_cli {

class OrderedJobPool {
 public:
  // Counts one file; must be callable from several threads at once.
  using Work = std::function<int32_t(const FileToCount& file)>;
  // Receives each result, in submission order, on the submitting thread.
  using Deliver = std::function<void(const std::string& path, int32_t result)>;

  // With one job no thread is started: each file is counted when it is submitted.
  OrderedJobPool(int jobs, size_t window, Work work, Deliver deliver);
  ~OrderedJobPool();
  OrderedJobPool(const OrderedJobPool&) = delete;
  OrderedJobPool& operator=(const OrderedJobPool&) = delete;

  // Queues a file. Results that are ready are delivered before it returns.
  void Submit(FileToCount file);

  // Waits for every queued file and delivers its result.
  void Finish();

  // Drops the files no thread has started on, waits for those being counted, and
  // delivers the results in order up to the first dropped file.
  void Cancel();

 private:
  struct Slot {
    FileToCount file;
    std::optional<int32_t> result;
  };

  void WorkerLoop();
  // Delivers finished results from the front; with `wait`, first waits until the front
  // one is finished.
  void DeliverReady(bool wait);
  // Hands out the unbroken run of finished results at the front, in order; `lock` holds
  // the mutex and is released around each delivery.
  void DeliverFrontRun(std::unique_lock<std::mutex>& lock);
  void StopWorkers();

  Work work_;
  Deliver deliver_;
  size_t window_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable result_ready_;
  std::deque<Slot> slots_;        // submitted, not yet delivered; front is the oldest
  uint64_t front_sequence_ = 0;   // sequence number of slots_.front()
  std::deque<uint64_t> pending_;  // sequence numbers no thread has started on
  size_t running_ = 0;            // files being counted right now
  // Wake-ups cost a context switch per file, so threads are only woken when they wait:
  size_t idle_workers_ = 0;         // workers waiting for a file
  bool submitter_waiting_ = false;  // the submitter waits for a result
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace foliotally::count_cli
