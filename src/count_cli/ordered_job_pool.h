// Counts files on worker threads while handing the results back in the order the files
// were submitted, so the output is the same whatever the number of threads. At most
// `window` files are in flight: the submitter waits (handing out finished results) when the
// window is full, so memory stays bounded however many files a walk yields.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "count_cli/file_to_count.h"

namespace foliotally::count_cli {

class OrderedJobPool {
 public:
  // Counts one file; must be callable from several threads at once.
  using Work = std::function<FileCount(const FileToCount& file)>;
  // Receives each result, in submission order, on the submitting thread.
  using Deliver = std::function<void(const std::string& path, const FileCount& result)>;

  // Starts `jobs` threads, one at least: the submitting thread never counts itself, so it
  // is never caught inside a slow file when `stop` is raised. Every wait of the submitter
  // ends soon after `stop` is raised.
  OrderedJobPool(int jobs, size_t window, Work work, Deliver deliver,
                 const std::atomic<bool>& stop);
  // Joins the threads; after Abandon, threads still counting a file are left to finish it
  // on their own and then end.
  ~OrderedJobPool();
  OrderedJobPool(const OrderedJobPool&) = delete;
  OrderedJobPool& operator=(const OrderedJobPool&) = delete;

  // Queues a file and hands it to the threads at once. Results that are ready are
  // delivered before it returns.
  void Submit(FileToCount file);

  // Queues a file but holds it back, with the others queued since the last Flush, until
  // `kBatchSize` are held: waking a waiting thread for each file costs more than counting
  // a small one. The caller must Flush before it waits for anything (its input, a folder
  // to be read), or the held files sit uncounted meanwhile.
  void Queue(FileToCount file);

  // Hands the held files to the threads and delivers the results that are ready.
  void Flush();

  // Flushes when the oldest held file has been held for `kHoldLimit`: for a caller that
  // may or may not be about to wait (reading a folder is quick when it is cached), so
  // that the files are never held for long but not handed over one or two at a time.
  void FlushOverdue();

  static constexpr size_t kBatchSize = 32;
  static constexpr std::chrono::microseconds kHoldLimit{500};
  // The most files a thread takes from the queue at once.
  static constexpr size_t kFilesPerTake = 8;

  // Waits for every queued file and delivers its result, unless `stop` is raised first.
  void Finish();

  // Drops the files no thread has started on and delivers the finished results at the
  // front, in order, without waiting for the files being counted: their results are lost.
  void Abandon();

 private:
  // A file and its result. The result is written by the thread that counted the file,
  // without the mutex, so that threads sharing a processor do not queue for the mutex once a
  // file; the slot stays where it is (a deque keeps its elements in place at both ends)
  // until it is delivered, which is after its result is in.
  // `result` is written before `finished` is set, and read only after it is seen set.
  struct Slot {
    explicit Slot(FileToCount f) : file(std::move(f)) {}
    Slot(Slot&& other) noexcept
        : file(std::move(other.file)), result(other.result), finished(other.finished.load()) {}
    Slot& operator=(Slot&&) = delete;
    bool done() const { return finished.load(); }
    FileToCount file;
    FileCount result{};
    std::atomic<bool> finished{false};
  };
  // What the threads share; a thread that is abandoned holds on to it until it ends.
  struct State {
    explicit State(Work w) : work(std::move(w)) {}
    Work work;
    std::mutex mutex;
    std::condition_variable work_ready;
    std::condition_variable result_ready;
    std::deque<Slot> slots;        // submitted, not yet delivered; front is the oldest
    uint64_t front_sequence = 0;   // sequence number of slots.front()
    std::deque<uint64_t> pending;  // sequence numbers no thread has started on
    size_t workers = 1;            // threads counting
    // Wake-ups cost a context switch per file, so threads are only woken when they wait:
    size_t idle_workers = 0;  // workers waiting for a file
    // The submitter waits for a result; set and cleared with the mutex held, read by the
    // counting threads without it after each result they write.
    std::atomic<bool> submitter_waiting{false};
    uint64_t awaited_sequence = 0;  // it waits until this file and all before it are done
    bool stopping = false;
    // Results of files being counted are no longer wanted; read without the mutex too.
    std::atomic<bool> abandoned{false};

    // Whether the files from the front up to `awaited_sequence` are all counted; called
    // with the mutex held, while `slots` reaches that far.
    bool FinishedThroughAwaited() const;
  };

  static void WorkerLoop(const std::shared_ptr<State>& state);
  void Hold(FileToCount file);
  // Moves the held files into the shared queue and wakes as many waiting threads as they
  // can keep busy.
  void HandOver();
  // Waits, handing out finished results, while the window is full.
  void WaitForRoom();
  // Delivers finished results from the front; with `wait`, first waits until the files
  // at the front, up to `kBatchSize` of them, are finished or `stop` is raised.
  void DeliverReady(bool wait);
  // Hands out the unbroken run of finished results at the front, in order; `lock` holds
  // the mutex and is released while they are delivered.
  void DeliverFrontRun(std::unique_lock<std::mutex>& lock);
  bool Stopped() const { return stop_.load(); }

  std::shared_ptr<State> state_;
  Deliver deliver_;
  size_t window_;
  // Files queued but not yet handed to the threads; only the submitting thread uses them.
  std::vector<FileToCount> held_;
  // The run of finished results being delivered; kept to reuse its room.
  std::vector<Slot> delivering_;
  std::chrono::steady_clock::time_point first_held_;  // when held_ last became non-empty
  // Files queued and not yet delivered, the held ones included; the window bounds it.
  size_t in_flight_ = 0;
  const std::atomic<bool>& stop_;
  std::vector<std::thread> threads_;
};

}  // namespace foliotally::count_cli
