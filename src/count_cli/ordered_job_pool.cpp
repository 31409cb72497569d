#include "count_cli/ordered_job_pool.h"

#include <chrono>

#include "pagecount/foliotally.h"

namespace foliotally::count_cli {
namespace {

// How soon a waiting submitter sees `stop`: the flag is raised by a signal-watching thread
// that cannot reach this pool's condition variables.
constexpr auto kStopCheckInterval = std::chrono::milliseconds(20);

}  // namespace

OrderedJobPool::OrderedJobPool(int jobs, size_t window, Work work, Deliver deliver,
                               const std::atomic<bool>& stop)
    : state_(std::make_shared<State>(std::move(work))),
      deliver_(std::move(deliver)),
      window_(window < 1 ? 1 : window),
      stop_(stop) {
  const int threads = jobs < 1 ? 1 : jobs;
  threads_.reserve(static_cast<size_t>(threads));
  for (int i = 0; i < threads; ++i) threads_.emplace_back(WorkerLoop, state_);
}

OrderedJobPool::~OrderedJobPool() {
  bool abandoned = false;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    state_->pending.clear();
    abandoned = state_->abandoned;
  }
  state_->work_ready.notify_all();
  for (std::thread& thread : threads_) {
    if (abandoned)
      thread.detach();
    else
      thread.join();
  }
}

void OrderedJobPool::Submit(std::string path) {
  bool wake = false;
  {
    std::unique_lock lock(state_->mutex);
    state_->slots.push_back(Slot{std::move(path), std::nullopt});
    state_->pending.push_back(state_->front_sequence + state_->slots.size() - 1);
    wake = state_->idle_workers > 0;
  }
  if (wake) state_->work_ready.notify_one();
  DeliverReady(/*wait=*/false);
  while (!Stopped()) {
    {
      std::lock_guard lock(state_->mutex);
      if (state_->slots.size() < window_) break;
    }
    DeliverReady(/*wait=*/true);
  }
}

void OrderedJobPool::Finish() {
  while (!Stopped()) {
    {
      std::lock_guard lock(state_->mutex);
      if (state_->slots.empty()) return;
    }
    DeliverReady(/*wait=*/true);
  }
}

void OrderedJobPool::Abandon() {
  std::unique_lock lock(state_->mutex);
  state_->abandoned = true;
  state_->pending.clear();
  // Everything at the front now either has a result or will never get one; hand out the
  // unbroken run of results there.
  DeliverFrontRun(lock);
  state_->slots.clear();
}

void OrderedJobPool::DeliverReady(bool wait) {
  std::unique_lock lock(state_->mutex);
  if (wait) {
    state_->submitter_waiting = true;
    while (!state_->slots.empty() && !state_->slots.front().result && !Stopped())
      state_->result_ready.wait_for(lock, kStopCheckInterval);
    state_->submitter_waiting = false;
  }
  DeliverFrontRun(lock);
}

void OrderedJobPool::DeliverFrontRun(std::unique_lock<std::mutex>& lock) {
  while (!state_->slots.empty() && state_->slots.front().result) {
    Slot slot = std::move(state_->slots.front());
    state_->slots.pop_front();
    ++state_->front_sequence;
    // Delivering writes output; other threads go on counting meanwhile.
    lock.unlock();
    deliver_(slot.path, *slot.result);
    lock.lock();
  }
}

void OrderedJobPool::WorkerLoop(const std::shared_ptr<State>& state) {
  std::unique_lock lock(state->mutex);
  while (true) {
    ++state->idle_workers;
    state->work_ready.wait(lock, [&] { return state->stopping || !state->pending.empty(); });
    --state->idle_workers;
    if (state->stopping) return;
    const uint64_t sequence = state->pending.front();
    state->pending.pop_front();
    ++state->running;
    // A copy: an abandoned pool drops its slots while this file is still being counted.
    const std::string path = state->slots[sequence - state->front_sequence].path;
    lock.unlock();
    int32_t result = FOLIOTALLY_UNREADABLE;
    try {
      result = state->work(path);
    } catch (...) {
      // The counter is not meant to throw; if it does (out of memory), the file is
      // reported as unreadable rather than losing the thread.
    }
    lock.lock();
    --state->running;
    if (state->abandoned) return;
    state->slots[sequence - state->front_sequence].result = result;
    if (state->submitter_waiting) state->result_ready.notify_one();
  }
}

}  // namespace foliotally::count_cli
