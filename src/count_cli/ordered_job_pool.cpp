#include "count_cli/ordered_job_pool.h"

#include "pagecount/foliotally.h"

namespace foliotally::count_cli {

OrderedJobPool::OrderedJobPool(int jobs, size_t window, Work work, Deliver deliver)
    : work_(std::move(work)), deliver_(std::move(deliver)), window_(window < 1 ? 1 : window) {
  if (jobs <= 1) return;
  threads_.reserve(static_cast<size_t>(jobs));
  for (int i = 0; i < jobs; ++i) threads_.emplace_back([this] { WorkerLoop(); });
}

OrderedJobPool::~OrderedJobPool() { StopWorkers(); }

void OrderedJobPool::StopWorkers() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    pending_.clear();
  }
  work_ready_.notify_all();
  for (std::thread& thread : threads_)
    if (thread.joinable()) thread.join();
  threads_.clear();
}

void OrderedJobPool::Submit(FileToCount file) {
  if (threads_.empty()) {
    const int32_t result = work_(file);
    deliver_(file.path, result);
    return;
  }
  bool wake = false;
  {
    std::unique_lock lock(mutex_);
    slots_.push_back(Slot{std::move(file), std::nullopt});
    pending_.push_back(front_sequence_ + slots_.size() - 1);
    wake = idle_workers_ > 0;
  }
  if (wake) work_ready_.notify_one();
  DeliverReady(/*wait=*/false);
  while (true) {
    {
      std::lock_guard lock(mutex_);
      if (slots_.size() < window_) break;
    }
    DeliverReady(/*wait=*/true);
  }
}

void OrderedJobPool::Finish() {
  while (true) {
    {
      std::lock_guard lock(mutex_);
      if (slots_.empty()) return;
    }
    DeliverReady(/*wait=*/true);
  }
}

void OrderedJobPool::Cancel() {
  std::unique_lock lock(mutex_);
  pending_.clear();
  submitter_waiting_ = true;
  result_ready_.wait(lock, [&] { return running_ == 0; });
  submitter_waiting_ = false;
  // Everything now either has a result or will never get one; hand out the unbroken run
  // of results at the front.
  DeliverFrontRun(lock);
  slots_.clear();
}

void OrderedJobPool::DeliverReady(bool wait) {
  std::unique_lock lock(mutex_);
  if (wait) {
    submitter_waiting_ = true;
    result_ready_.wait(lock, [&] { return slots_.empty() || slots_.front().result; });
    submitter_waiting_ = false;
  }
  DeliverFrontRun(lock);
}

void OrderedJobPool::DeliverFrontRun(std::unique_lock<std::mutex>& lock) {
  while (!slots_.empty() && slots_.front().result) {
    Slot slot = std::move(slots_.front());
    slots_.pop_front();
    ++front_sequence_;
    // Delivering writes output; other threads go on counting meanwhile.
    lock.unlock();
    deliver_(slot.file.path, *slot.result);
    lock.lock();
  }
}

void OrderedJobPool::WorkerLoop() {
  std::unique_lock lock(mutex_);
  while (true) {
    ++idle_workers_;
    work_ready_.wait(lock, [&] { return stopping_ || !pending_.empty(); });
    --idle_workers_;
    if (stopping_) return;
    const uint64_t sequence = pending_.front();
    pending_.pop_front();
    ++running_;
    // Slots are only removed from the front once they hold a result, and a deque keeps
    // references to its other elements valid, so this file stays put while it is counted.
    const FileToCount& file = slots_[sequence - front_sequence_].file;
    lock.unlock();
    int32_t result = FOLIOTALLY_UNREADABLE;
    try {
      result = work_(file);
    } catch (...) {
      // The counter is not meant to throw; if it does (out of memory), the file is
      // reported as unreadable rather than losing the thread.
    }
    lock.lock();
    slots_[sequence - front_sequence_].result = result;
    --running_;
    if (submitter_waiting_) result_ready_.notify_one();
  }
}

}  // namespace foliotally::count_cli
