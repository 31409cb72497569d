// The library keeps no state between calls: counting the corpus on eight threads at once
// gives the answers one thread gives.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "corpus.h"
#include "pagecount/foliotally.h"

namespace foliotally::test {
namespace {

TEST(Threads, EightThreadsGetTheSingleThreadAnswers) {
  const std::vector<CorpusRow> rows = LoadCorpus();
  if (rows.empty()) GTEST_SKIP() << "no corpus in this checkout";
  std::vector<int32_t> single;
  for (const CorpusRow& row : rows) single.push_back(GetFoliotally(row.path.c_str()));
  constexpr int kThreads = 8;
  std::vector<std::vector<int32_t>> answers(kThreads, std::vector<int32_t>(rows.size()));
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      while (!go) std::this_thread::yield();
      // Each thread starts at a different place, so that different files overlap.
      for (size_t k = 0; k < rows.size(); ++k) {
        const size_t i = (k + t * rows.size() / kThreads) % rows.size();
        answers[t][i] = GetFoliotally(rows[i].path.c_str());
      }
    });
  }
  go = true;
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t)
    for (size_t i = 0; i < rows.size(); ++i)
      EXPECT_EQ(answers[t][i], single[i]) << rows[i].path << " on thread " << t;
}

}  // namespace
}  // namespace foliotally::test
