// Page sizes against the plain count and against pdfinfo, in one run:
//   - the 20,000-page files: GetFoliotallySizesAt, GetFoliotallyAt and
//     `pdfinfo -f 1 -l 20000`, each on its own and then sizes and pdfinfo in alternating
//     rounds, by wall and by CPU time (goal: sizes in at most 1/20 of pdfinfo's time);
//   - every corpus file, sizes against its plain count: the ratio of the median file, and
//     the median of the per-file ratios (goal: within 2 times);
//   - foliotally-count over the whole corpus tree with and without --sizes, in alternating
//     rounds (goal: within 1.5 times).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench_corpus.h"
#include "pagecount/foliotally.h"

namespace {

using foliotally::bench::BestSeconds;
using foliotally::bench::CorpusDir;
using foliotally::bench::Median;

// The files of expected.tsv that the library counts.
std::vector<std::string> CountedCorpusFiles() {
  std::vector<std::string> files;
  for (const auto& [path, expected] : foliotally::bench::ExpectedCounts())
    if (GetFoliotally(path.c_str()) >= 0) files.push_back(path);
  return files;
}

int32_t Sizes(const std::string& path) {
  FoliotallyPageSize groups[64];
  int32_t unknown = 0;
  return GetFoliotallySizesAt(AT_FDCWD, path.c_str(), 60000, FOLIOTALLY_BOX_CROP, groups, 64,
                              &unknown);
}

void SizesOf(benchmark::State& state, const std::string& name) {
  const std::string path = CorpusDir() + "/" + name;
  if (CorpusDir().empty()) return state.SkipWithError("no corpus");
  for (auto _ : state) benchmark::DoNotOptimize(Sizes(path));
}

void CountOf(benchmark::State& state, const std::string& name) {
  const std::string path = CorpusDir() + "/" + name;
  if (CorpusDir().empty()) return state.SkipWithError("no corpus");
  for (auto _ : state) benchmark::DoNotOptimize(GetFoliotallyAt(AT_FDCWD, path.c_str(), 60000));
}

void PdfinfoOf(benchmark::State& state, const std::string& name) {
  const std::string command =
      "pdfinfo -f 1 -l 20000 '" + CorpusDir() + "/" + name + "' > /dev/null 2>&1";
  if (CorpusDir().empty() || std::system("pdfinfo -v > /dev/null 2>&1") != 0)
    return state.SkipWithError("no corpus or no pdfinfo (apt-get install poppler-utils)");
  for (auto _ : state) benchmark::DoNotOptimize(std::system(command.c_str()));
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

double ChildrenCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The sizes of a file against `pdfinfo -f 1 -l 20000` of it, in alternating rounds so that
// other work on the machine weighs on both alike: the best wall time of each, the best CPU
// time of each (pdfinfo's as its process used it), and pdfinfo's time over ours.
void SizesAgainstPdfinfo(benchmark::State& state, const std::string& name) {
  const std::string path = CorpusDir() + "/" + name;
  const std::string command = "pdfinfo -f 1 -l 20000 '" + path + "' > /dev/null 2>&1";
  if (CorpusDir().empty() || std::system("pdfinfo -v > /dev/null 2>&1") != 0)
    return state.SkipWithError("no corpus or no pdfinfo (apt-get install poppler-utils)");
  constexpr int kReps = 10;
  double ours = 1e9, theirs = 1e9, ours_cpu = 1e9, theirs_cpu = 1e9;
  for (auto _ : state) {
    for (int round = 0; round < 7; ++round) {
      const double c0 = ProcessCpuSeconds();
      ours = std::min(ours, BestSeconds([&] { benchmark::DoNotOptimize(Sizes(path)); }, 1, kReps));
      ours_cpu = std::min(ours_cpu, (ProcessCpuSeconds() - c0) / kReps);
      const double k0 = ChildrenCpuSeconds();
      theirs = std::min(theirs, BestSeconds([&] { (void)std::system(command.c_str()); }, 1, 1));
      theirs_cpu = std::min(theirs_cpu, ChildrenCpuSeconds() - k0);
    }
  }
  state.counters["sizes_ms"] = ours * 1e3;
  state.counters["pdfinfo_ms"] = theirs * 1e3;
  state.counters["times_faster"] = theirs / ours;
  state.counters["sizes_cpu_ms"] = ours_cpu * 1e3;
  state.counters["pdfinfo_cpu_ms"] = theirs_cpu * 1e3;
  state.counters["times_faster_cpu"] = theirs_cpu / ours_cpu;
}
BENCHMARK_CAPTURE(SizesAgainstPdfinfo, p20000, std::string("p20000.pdf"))
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(SizesAgainstPdfinfo, p20000_objstm, std::string("p20000-objstm.pdf"))
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

BENCHMARK_CAPTURE(SizesOf, p20000, std::string("p20000.pdf"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CountOf, p20000, std::string("p20000.pdf"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PdfinfoOf, p20000, std::string("p20000.pdf"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK_CAPTURE(SizesOf, p20000_objstm, std::string("p20000-objstm.pdf"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PdfinfoOf, p20000_objstm, std::string("p20000-objstm.pdf"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void CorpusSizesAgainstCount(benchmark::State& state) {
  const std::vector<std::string> files = CountedCorpusFiles();
  if (files.empty()) return state.SkipWithError("no corpus");
  struct Timing {
    double count, sizes;
  };
  std::vector<Timing> timings;
  for (auto _ : state) {
    timings.clear();
    for (const std::string& f : files)
      timings.push_back({BestSeconds([&] { GetFoliotallyAt(AT_FDCWD, f.c_str(), 60000); }, 2, 5),
                         BestSeconds([&] { Sizes(f); }, 2, 5)});
  }
  std::vector<double> ratios, counts;
  for (const Timing& t : timings) {
    ratios.push_back(t.sizes / t.count);
    counts.push_back(t.count);
  }
  // The median file: the one whose plain count takes the median time.
  std::vector<size_t> order(timings.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return timings[a].count < timings[b].count; });
  const Timing& median_file = timings[order[order.size() / 2]];
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["median_file_count_us"] = median_file.count * 1e6;
  state.counters["median_file_sizes_us"] = median_file.sizes * 1e6;
  state.counters["median_file_ratio"] = median_file.sizes / median_file.count;
  state.counters["median_ratio"] = Median(ratios);
}
BENCHMARK(CorpusSizesAgainstCount)->Iterations(1)->Unit(benchmark::kSecond);

// foliotally-count over the corpus folder, without and with --sizes, alternating.
void TreeWithAndWithoutSizes(benchmark::State& state) {
  if (CorpusDir().empty()) return state.SkipWithError("no corpus");
  const std::string base =
      std::string("'") + FOLIOTALLY_COUNT_EXE + "' -o /dev/null '" + CorpusDir() + "' 2>/dev/null";
  const std::string sized = std::string("'") + FOLIOTALLY_COUNT_EXE + "' --sizes -o /dev/null '" +
                            CorpusDir() + "' 2>/dev/null";
  double plain = 1e9, with_sizes = 1e9;
  for (auto _ : state) {
    for (int round = 0; round < 7; ++round) {
      plain = std::min(plain, BestSeconds([&] { (void)std::system(base.c_str()); }, 1, 1));
      with_sizes =
          std::min(with_sizes, BestSeconds([&] { (void)std::system(sized.c_str()); }, 1, 1));
    }
  }
  state.counters["plain_ms"] = plain * 1e3;
  state.counters["sizes_ms"] = with_sizes * 1e3;
  state.counters["ratio"] = with_sizes / plain;
}
BENCHMARK(TreeWithAndWithoutSizes)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
