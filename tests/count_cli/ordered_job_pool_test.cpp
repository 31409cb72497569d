// The job pool hands results back in submission order, bounds what is in flight and
// stops cleanly.
#include "count_cli/ordered_job_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

namespace foliotally::count_cli {
namespace {

FileToCount Named(std::string path) { return FileToCount{std::move(path), nullptr, 0}; }

using Delivered = std::vector<std::pair<std::string, int32_t>>;

const std::atomic<bool> kNoStop{false};

// A count that takes a pseudo-random time, so later files often finish first.
FileCount SlowCount(const FileToCount& file) {
  const int n = std::stoi(file.path);
  std::this_thread::sleep_for(std::chrono::microseconds((n * 7919) % 900));
  return CountOf(n * 2);
}

TEST(OrderedJobPool, DeliversInSubmissionOrderWhateverFinishesFirst) {
  for (int jobs : {1, 2, 8}) {
    Delivered delivered;
    OrderedJobPool pool(
        jobs, 16, SlowCount,
        [&](const std::string& path, const FileCount& r) { delivered.emplace_back(path, r.pages); },
        kNoStop);
    for (int i = 0; i < 300; ++i) pool.Submit(Named(std::to_string(i)));
    pool.Finish();
    ASSERT_EQ(delivered.size(), 300u) << jobs;
    for (int i = 0; i < 300; ++i) {
      EXPECT_EQ(delivered[i].first, std::to_string(i));
      EXPECT_EQ(delivered[i].second, i * 2);
    }
  }
}

TEST(OrderedJobPool, KeepsAtMostTheWindowInFlight) {
  std::atomic<int> started{0};
  int delivered = 0;
  int most_ahead = 0;
  OrderedJobPool pool(
      4, 8,
      [&](const FileToCount&) {
        ++started;
        return CountOf(1);
      },
      [&](const std::string&, const FileCount&) {
        ++delivered;
        most_ahead = std::max(most_ahead, started.load() - delivered);
      },
      kNoStop);
  for (int i = 0; i < 500; ++i) pool.Submit(Named("f"));
  pool.Finish();
  EXPECT_EQ(delivered, 500);
  EXPECT_LE(most_ahead, 8);
}

// A count that blocks until released, standing for a hostile file that takes its time.
class HeldFile {
 public:
  FileCount Count(const std::string& path) {
    if (path != "held") return CountOf(1);
    std::unique_lock lock(mutex_);
    started_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return released_; });
    return CountOf(1);
  }
  void WaitUntilStarted() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return started_; });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool started_ = false;
  bool released_ = false;
};

TEST(OrderedJobPool, StopEndsTheWaitsAndAbandonNeverWaitsForAFileBeingCounted) {
  for (int jobs : {1, 2}) {
    // Outlives the pool: an abandoned thread may still be inside the count.
    static HeldFile held[3];
    HeldFile& file = held[jobs];
    std::atomic<bool> stop{false};
    Delivered delivered;
    {
      OrderedJobPool pool(
          jobs, 100, [&file](const FileToCount& f) { return file.Count(f.path); },
          [&](const std::string& path, const FileCount& r) {
            delivered.emplace_back(path, r.pages);
          },
          stop);
      pool.Submit(Named("a"));
      pool.Submit(Named("held"));
      pool.Submit(Named("b"));
      file.WaitUntilStarted();
      stop.store(true);
      pool.Finish();  // returns although "held" never ends
      pool.Abandon();
    }
    EXPECT_EQ(delivered, (Delivered{{"a", 1}})) << jobs;
    file.Release();
  }
}

// Queued files are held back and handed over in batches; order and window hold as for
// files submitted one by one.
TEST(OrderedJobPool, QueuedFilesComeInOrderWithinTheWindow) {
  for (int jobs : {1, 2, 8}) {
    for (size_t window : {size_t{1}, size_t{16}, OrderedJobPool::kBatchSize * 3}) {
      std::atomic<int> started{0};
      Delivered delivered;
      int most_ahead = 0;
      OrderedJobPool pool(
          jobs, window,
          [&](const FileToCount& file) {
            ++started;
            return SlowCount(file);
          },
          [&](const std::string& path, const FileCount& r) {
            delivered.emplace_back(path, r.pages);
            most_ahead = std::max(most_ahead, started.load() - static_cast<int>(delivered.size()));
          },
          kNoStop);
      for (int i = 0; i < 300; ++i) {
        pool.Queue(Named(std::to_string(i)));
        if (i % 37 == 0) pool.Flush();
      }
      pool.Finish();
      ASSERT_EQ(delivered.size(), 300u) << jobs << " " << window;
      for (int i = 0; i < 300; ++i) EXPECT_EQ(delivered[i], (std::pair{std::to_string(i), i * 2}));
      EXPECT_LE(most_ahead, static_cast<int>(window)) << jobs << " " << window;
    }
  }
}

// Records the files begun and lets a test wait until a given one is.
class BegunFiles {
 public:
  FileCount Count(const std::string& path) {
    std::lock_guard lock(mutex_);
    begun_.push_back(path);
    changed_.notify_all();
    return CountOf(1);
  }
  void WaitFor(const std::string& path) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return std::ranges::find(begun_, path) != begun_.end(); });
  }
  bool HasBegun(const std::string& path) {
    std::lock_guard lock(mutex_);
    return std::ranges::find(begun_, path) != begun_.end();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> begun_;
};

// A name read from a slow list must be counted before the next one comes: Flush hands a
// short batch over at once, a full batch goes by itself, and a file held too long goes
// with the next FlushOverdue.
TEST(OrderedJobPool, FlushAndAFullBatchHandTheHeldFilesOver) {
  for (int jobs : {1, 2}) {
    BegunFiles files;
    Delivered delivered;
    OrderedJobPool pool(
        jobs, 1000, [&](const FileToCount& f) { return files.Count(f.path); },
        [&](const std::string& path, const FileCount& r) { delivered.emplace_back(path, r.pages); },
        kNoStop);
    pool.Queue(Named("first"));
    pool.Flush();
    files.WaitFor("first");  // would never return if the file were still held
    for (size_t i = 0; i < OrderedJobPool::kBatchSize; ++i) pool.Queue(Named(std::to_string(i)));
    files.WaitFor(std::to_string(OrderedJobPool::kBatchSize - 1));
    pool.Queue(Named("late"));
    while (!files.HasBegun("late")) {
      pool.FlushOverdue();
      std::this_thread::yield();
    }
    pool.Finish();
    EXPECT_EQ(delivered.size(), OrderedJobPool::kBatchSize + 2) << jobs;
  }
}

TEST(OrderedJobPool, AbandonDropsTheHeldFilesUncounted) {
  for (int jobs : {1, 2}) {
    static HeldFile held[3];
    HeldFile& file = held[jobs];
    std::atomic<bool> stop{false};
    std::atomic<int> others{0};
    Delivered delivered;
    {
      OrderedJobPool pool(
          jobs, 100,
          [&](const FileToCount& f) {
            if (f.path != "held") ++others;
            return file.Count(f.path);
          },
          [&](const std::string& path, const FileCount& r) {
            delivered.emplace_back(path, r.pages);
          },
          stop);
      pool.Queue(Named("a"));
      pool.Queue(Named("held"));
      pool.Flush();
      file.WaitUntilStarted();
      pool.Queue(Named("b"));  // held back: the batch is short and nobody flushes
      stop.store(true);
      pool.Finish();
      pool.Abandon();
    }
    EXPECT_EQ(delivered, (Delivered{{"a", 1}})) << jobs;
    EXPECT_EQ(others.load(), 1) << jobs;
    file.Release();
  }
}

// A thread takes several files at once; abandoned inside the first, it leaves the others.
TEST(OrderedJobPool, AnAbandonedThreadBeginsNoFurtherFile) {
  static HeldFile file;  // outlives the pool, as the abandoned thread may
  static std::atomic<int> others{0};
  std::atomic<bool> stop{false};
  {
    OrderedJobPool pool(
        1, 100,
        [](const FileToCount& f) {
          if (f.path != "held") ++others;
          return file.Count(f.path);
        },
        [](const std::string&, const FileCount&) {}, stop);
    pool.Queue(Named("held"));
    pool.Queue(Named("next"));
    pool.Flush();  // both go to the one thread at once
    file.WaitUntilStarted();
    stop.store(true);
    pool.Finish();
    pool.Abandon();
  }
  file.Release();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(others.load(), 0);
}

TEST(OrderedJobPool, CounterThatThrowsMakesTheFileUnreadable) {
  Delivered delivered;
  OrderedJobPool pool(
      2, 4, [](const FileToCount&) -> FileCount { throw std::bad_alloc(); },
      [&](const std::string& path, const FileCount& r) { delivered.emplace_back(path, r.pages); },
      kNoStop);
  pool.Submit(Named("x"));
  pool.Finish();
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(delivered[0].second, -1);
}

}  // namespace
}  // namespace foliotally::count_cli
