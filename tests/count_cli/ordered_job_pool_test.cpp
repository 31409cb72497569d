// The job pool hands results back in submission order, bounds what is in flight and
// stops cleanly.
#include "count_cli/ordered_job_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace foliotally::count_cli {
namespace {

using Delivered = std::vector<std::pair<std::string, int32_t>>;

FileToCount Named(std::string path) { return FileToCount{std::move(path), nullptr, 0}; }

// A count that takes a pseudo-random time, so later files often finish first.
int32_t SlowCount(const FileToCount& file) {
  const int n = std::stoi(file.path);
  std::this_thread::sleep_for(std::chrono::microseconds((n * 7919) % 900));
  return n * 2;
}

TEST(OrderedJobPool, DeliversInSubmissionOrderWhateverFinishesFirst) {
  for (int jobs : {1, 2, 8}) {
    Delivered delivered;
    OrderedJobPool pool(jobs, 16, SlowCount, [&](const std::string& path, int32_t r) {
      delivered.emplace_back(path, r);
    });
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
        return 1;
      },
      [&](const std::string&, int32_t) {
        ++delivered;
        most_ahead = std::max(most_ahead, started.load() - delivered);
      });
  for (int i = 0; i < 500; ++i) pool.Submit(Named("f"));
  pool.Finish();
  EXPECT_EQ(delivered, 500);
  EXPECT_LE(most_ahead, 8);
}

TEST(OrderedJobPool, WithOneJobCountsOnTheCallingThread) {
  const auto caller = std::this_thread::get_id();
  bool same_thread = true;
  int delivered = 0;
  OrderedJobPool pool(
      1, 4,
      [&](const FileToCount&) {
        same_thread = same_thread && std::this_thread::get_id() == caller;
        return 3;
      },
      [&](const std::string&, int32_t) { ++delivered; });
  pool.Submit(Named("a"));
  EXPECT_EQ(delivered, 1);  // delivered before Submit returns
  EXPECT_TRUE(same_thread);
}

TEST(OrderedJobPool, CancelDeliversAnUnbrokenPrefixAndDropsTheRest) {
  std::atomic<bool> release{false};
  std::atomic<bool> first_started{false};
  Delivered delivered;
  OrderedJobPool pool(
      2, 100,
      [&](const FileToCount& file) {
        // The first file blocks until released, so nothing can be delivered before it.
        if (file.path == "0") first_started.store(true);
        if (file.path == "0")
          while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        else
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return 1;
      },
      [&](const std::string& path, int32_t r) { delivered.emplace_back(path, r); });
  for (int i = 0; i < 50; ++i) pool.Submit(Named(std::to_string(i)));
  EXPECT_TRUE(delivered.empty());
  // Cancel once the first file is under way: it is then finished, not dropped.
  while (!first_started.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::thread releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    release.store(true);
  });
  pool.Cancel();
  releaser.join();
  ASSERT_FALSE(delivered.empty());
  for (size_t i = 0; i < delivered.size(); ++i) EXPECT_EQ(delivered[i].first, std::to_string(i));
  EXPECT_LT(delivered.size(), 50u);
}

TEST(OrderedJobPool, CounterThatThrowsMakesTheFileUnreadable) {
  Delivered delivered;
  OrderedJobPool pool(
      2, 4, [](const FileToCount&) -> int32_t { throw std::bad_alloc(); },
      [&](const std::string& path, int32_t r) { delivered.emplace_back(path, r); });
  pool.Submit(Named("x"));
  pool.Finish();
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(delivered[0].second, -1);
}

}  // namespace
}  // namespace foliotally::count_cli
