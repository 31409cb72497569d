// The job pool hands results back in submission order, bounds what is in flight and
// stops cleanly.
#include "count_cli/ordered_job_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

namespace foliotally::count_cli {
namespace {

using Delivered = std::vector<std::pair<std::string, int32_t>>;

const std::atomic<bool> kNoStop{false};

// A count that takes a pseudo-random time, so later files often finish first.
int32_t SlowCount(const std::string& path) {
  const int n = std::stoi(path);
  std::this_thread::sleep_for(std::chrono::microseconds((n * 7919) % 900));
  return n * 2;
}

TEST(OrderedJobPool, DeliversInSubmissionOrderWhateverFinishesFirst) {
  for (int jobs : {1, 2, 8}) {
    Delivered delivered;
    OrderedJobPool pool(
        jobs, 16, SlowCount,
        [&](const std::string& path, int32_t r) { delivered.emplace_back(path, r); }, kNoStop);
    for (int i = 0; i < 300; ++i) pool.Submit(std::to_string(i));
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
      [&](const std::string&) {
        ++started;
        return 1;
      },
      [&](const std::string&, int32_t) {
        ++delivered;
        most_ahead = std::max(most_ahead, started.load() - delivered);
      },
      kNoStop);
  for (int i = 0; i < 500; ++i) pool.Submit("f");
  pool.Finish();
  EXPECT_EQ(delivered, 500);
  EXPECT_LE(most_ahead, 8);
}

// A count that blocks until released, standing for a hostile file that takes its time.
class HeldFile {
 public:
  int32_t Count(const std::string& path) {
    if (path != "held") return 1;
    std::unique_lock lock(mutex_);
    started_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return released_; });
    return 1;
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
          jobs, 100, [&file](const std::string& path) { return file.Count(path); },
          [&](const std::string& path, int32_t r) { delivered.emplace_back(path, r); }, stop);
      pool.Submit("a");
      pool.Submit("held");
      pool.Submit("b");
      file.WaitUntilStarted();
      stop.store(true);
      pool.Finish();  // returns although "held" never ends
      pool.Abandon();
    }
    EXPECT_EQ(delivered, (Delivered{{"a", 1}})) << jobs;
    file.Release();
  }
}

TEST(OrderedJobPool, CounterThatThrowsMakesTheFileUnreadable) {
  Delivered delivered;
  OrderedJobPool pool(
      2, 4, [](const std::string&) -> int32_t { throw std::bad_alloc(); },
      [&](const std::string& path, int32_t r) { delivered.emplace_back(path, r); }, kNoStop);
  pool.Submit("x");
  pool.Finish();
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(delivered[0].second, -1);
}

}  // namespace
}  // namespace foliotally::count_cli
