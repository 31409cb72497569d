#include "count_cli/ordered_job_pool.h"

#include <algorithm>
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
  state_->workers = static_cast<size_t>(threads);
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

void OrderedJobPool::Submit(FileToCount file) {
  Hold(std::move(file));
  ++in_flight_;
  Flush();
  WaitForRoom();
}

void OrderedJobPool::Queue(FileToCount file) {
  Hold(std::move(file));
  ++in_flight_;
  if (held_.size() >= kBatchSize || in_flight_ >= window_) Flush();
  WaitForRoom();
}

void OrderedJobPool::Hold(FileToCount file) {
  if (held_.empty()) first_held_ = std::chrono::steady_clock::now();
  held_.push_back(std::move(file));
}

void OrderedJobPool::FlushOverdue() {
  if (!held_.empty() && std::chrono::steady_clock::now() - first_held_ >= kHoldLimit) Flush();
}

void OrderedJobPool::Flush() {
  HandOver();
  DeliverReady(/*wait=*/false);
}

void OrderedJobPool::HandOver() {
  if (held_.empty()) return;
  size_t idle = 0;
  {
    std::lock_guard lock(state_->mutex);
    for (FileToCount& file : held_) {
      state_->slots.emplace_back(std::move(file));
      state_->pending.push_back(state_->front_sequence + state_->slots.size() - 1);
    }
    idle = state_->idle_workers;
  }
  // A thread that is not waiting finds the files itself when it is done with its own.
  if (idle > 1 && held_.size() > 1)
    state_->work_ready.notify_all();
  else if (idle > 0)
    state_->work_ready.notify_one();
  held_.clear();
}

void OrderedJobPool::WaitForRoom() {
  if (in_flight_ < window_) return;
  HandOver();
  // Going on as soon as one result is out would make the submitter wait again after one
  // more file, a context switch per file; it goes on once a run has been delivered.
  const size_t resume_at = window_ > kBatchSize ? window_ - kBatchSize : window_ - 1;
  while (!Stopped() && in_flight_ > resume_at) DeliverReady(/*wait=*/true);
}

void OrderedJobPool::Finish() {
  // After a stop nothing new is begun: the held files would only be abandoned.
  if (!Stopped()) HandOver();
  while (!Stopped() && in_flight_ > 0) DeliverReady(/*wait=*/true);
}

void OrderedJobPool::Abandon() {
  held_.clear();
  std::unique_lock lock(state_->mutex);
  state_->abandoned = true;
  state_->pending.clear();
  // Everything at the front now either has a result or will never get one; hand out the
  // unbroken run of results there. The other slots stay: threads still counting write
  // their results into them.
  DeliverFrontRun(lock);
  in_flight_ = 0;
}

void OrderedJobPool::DeliverReady(bool wait) {
  std::unique_lock lock(state_->mutex);
  if (wait && !state_->slots.empty()) {
    // Waiting for a run of results rather than the front one alone: the threads then wake
    // the submitter once a run, not once a file.
    const size_t run = std::min(kBatchSize, state_->slots.size());
    state_->awaited_sequence = state_->front_sequence + run - 1;
    state_->submitter_waiting = true;
    while (!state_->FinishedThroughAwaited() && !Stopped())
      state_->result_ready.wait_for(lock, kStopCheckInterval);
    state_->submitter_waiting = false;
  }
  DeliverFrontRun(lock);
}

void OrderedJobPool::DeliverFrontRun(std::unique_lock<std::mutex>& lock) {
  while (!state_->slots.empty() && state_->slots.front().done()) {
    // The run is taken out under the lock and delivered without it: delivering writes
    // output, and the other threads go on counting meanwhile.
    delivering_.clear();
    while (!state_->slots.empty() && state_->slots.front().done()) {
      delivering_.push_back(std::move(state_->slots.front()));
      state_->slots.pop_front();
      ++state_->front_sequence;
    }
    lock.unlock();
    for (const Slot& slot : delivering_) {
      --in_flight_;
      deliver_(slot.file.path, slot.result);
    }
    lock.lock();
  }
}

bool OrderedJobPool::State::FinishedThroughAwaited() const {
  for (uint64_t sequence = front_sequence; sequence <= awaited_sequence; ++sequence)
    if (!slots[sequence - front_sequence].done()) return false;
  return true;
}

void OrderedJobPool::WorkerLoop(const std::shared_ptr<State>& state) {
  std::vector<Slot*> taken;  // the files this thread took from the queue
  std::unique_lock lock(state->mutex);
  while (true) {
    ++state->idle_workers;
    state->work_ready.wait(lock, [&] { return state->stopping || !state->pending.empty(); });
    --state->idle_workers;
    if (state->stopping) return;
    // Several files at a time spare a trip through the mutex for each, but no more than a
    // fair share of the queue, so that every thread has work.
    const size_t share =
        std::clamp<size_t>(state->pending.size() / state->workers, 1, kFilesPerTake);
    taken.clear();
    for (size_t i = 0; i < share; ++i) {
      taken.push_back(&state->slots[state->pending.front() - state->front_sequence]);
      state->pending.pop_front();
    }
    lock.unlock();
    for (Slot* slot : taken) {
      if (state->abandoned) return;  // nobody waits for the rest any more
      FileCount result = CountOf(FOLIOTALLY_UNREADABLE);
      try {
        result = state->work(slot->file);
      } catch (...) {
        // The counter is not meant to throw; if it does (out of memory), the file is
        // reported as unreadable rather than losing the thread.
      }
      // Each result is in place before the next file begins, which may never end. Once it
      // is, the slot may be delivered and gone at any moment.
      slot->result = result;
      slot->finished.store(true);
      if (state->submitter_waiting.load()) {
        const std::lock_guard guard(state->mutex);
        if (state->submitter_waiting && state->FinishedThroughAwaited())
          state->result_ready.notify_one();
      }
    }
    lock.lock();
    if (state->abandoned) return;
  }
}

}  // namespace foliotally::count_cli
