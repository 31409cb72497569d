// GetFoliotally against qpdf's own count (open the file, read /Root /Pages /Count) on the
// two 20,000-page files and on every file of the corpus, plus how many bytes a count reads.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFLogger.hh>
#include <string>
#include <vector>

#include "bench_corpus.h"
#include "pagecount/byte_source.h"
#include "pagecount/foliotally.h"
#include "pagecount/page_counter.h"

namespace {

using foliotally::bench::CorpusDir;
using foliotally::bench::Median;

// The files of the corpus whose expected count is a plain number.
std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const auto& [path, expected] : foliotally::bench::ExpectedCounts())
    if (!expected.empty() && std::isdigit(static_cast<unsigned char>(expected[0])))
      files.push_back(path);
  return files;
}

int64_t QpdfCount(const std::string& path) {
  try {
    QPDF qpdf;
    auto logger = QPDFLogger::create();
    logger->setInfo(logger->discard());
    logger->setWarn(logger->discard());
    logger->setError(logger->discard());
    qpdf.setLogger(logger);
    qpdf.setSuppressWarnings(true);
    qpdf.processFile(path.c_str());
    return qpdf.getRoot().getKey("/Pages").getKey("/Count").getIntValue();
  } catch (...) {
    return -1;
  }
}

void Foliotally(benchmark::State& state, const char* name) {
  const std::string path = CorpusDir() + "/" + name;
  if (CorpusDir().empty()) return state.SkipWithError("no corpus");
  int32_t pages = 0;
  for (auto _ : state) benchmark::DoNotOptimize(pages = GetFoliotally(path.c_str()));
  state.counters["pages"] = pages;
  // One more count through a counting source: how much of the file it read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  ::fstat(fd, &st);
  foliotally::pdf::FileByteSource file(fd, static_cast<uint64_t>(st.st_size));
  foliotally::pdf::CountingByteSource counting(file);
  foliotally::pdf::ReadPageCount(counting);
  ::close(fd);
  state.counters["bytes_read"] = static_cast<double>(counting.bytes_read());
  state.counters["reads"] = static_cast<double>(counting.reads());
  state.counters["file_bytes"] = static_cast<double>(st.st_size);
}

void Qpdf(benchmark::State& state, const char* name) {
  const std::string path = CorpusDir() + "/" + name;
  if (CorpusDir().empty()) return state.SkipWithError("no corpus");
  int64_t pages = 0;
  for (auto _ : state) benchmark::DoNotOptimize(pages = QpdfCount(path));
  state.counters["pages"] = static_cast<double>(pages);
}

BENCHMARK_CAPTURE(Foliotally, p20000, "p20000.pdf")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Qpdf, p20000, "p20000.pdf")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Foliotally, p20000_objstm, "p20000-objstm.pdf")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Qpdf, p20000_objstm, "p20000-objstm.pdf")->Unit(benchmark::kMicrosecond);

// Every numeric corpus file, both ways, each timed on its own (best of the iterations);
// the counters give the median file's time for each and the median of the speed-ups.
double ThreadCpuMicros() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

void CorpusSideBySide(benchmark::State& state) {
  const std::vector<std::string> files = CorpusFiles();
  if (files.empty()) return state.SkipWithError("no corpus");
  using Clock = std::chrono::steady_clock;
  const size_t n = files.size();
  // Best wall and CPU time per file, ours and qpdf's; the machine may be shared, so the
  // CPU times are the steadier comparison.
  std::vector<double> ours(n, 1e30), theirs(n, 1e30), ours_cpu(n, 1e30), theirs_cpu(n, 1e30);
  for (auto _ : state) {
    for (size_t i = 0; i < n; ++i) {
      const double c0 = ThreadCpuMicros();
      const auto t0 = Clock::now();
      benchmark::DoNotOptimize(GetFoliotally(files[i].c_str()));
      const auto t1 = Clock::now();
      const double c1 = ThreadCpuMicros();
      benchmark::DoNotOptimize(QpdfCount(files[i]));
      const auto t2 = Clock::now();
      const double c2 = ThreadCpuMicros();
      ours[i] = std::min(ours[i], std::chrono::duration<double, std::micro>(t1 - t0).count());
      theirs[i] = std::min(theirs[i], std::chrono::duration<double, std::micro>(t2 - t1).count());
      ours_cpu[i] = std::min(ours_cpu[i], c1 - c0);
      theirs_cpu[i] = std::min(theirs_cpu[i], c2 - c1);
    }
  }
  std::vector<double> ratios, cpu_ratios;
  for (size_t i = 0; i < n; ++i) {
    ratios.push_back(theirs[i] / ours[i]);
    cpu_ratios.push_back(theirs_cpu[i] / std::max(ours_cpu[i], 0.001));
  }
  state.counters["files"] = static_cast<double>(n);
  state.counters["ours_median_us"] = Median(ours);
  state.counters["qpdf_median_us"] = Median(theirs);
  state.counters["speedup_median"] = Median(ratios);
  state.counters["ours_cpu_median_us"] = Median(ours_cpu);
  state.counters["qpdf_cpu_median_us"] = Median(theirs_cpu);
  state.counters["cpu_speedup_median"] = Median(cpu_ratios);
}
BENCHMARK(CorpusSideBySide)->Iterations(5)->Unit(benchmark::kMillisecond);

// Best wall and CPU time per file of `count`, over `rounds` passes through all the files.
template <typename Count>
void TimePasses(const std::vector<std::string>& files, int rounds, Count&& count,
                std::vector<double>& wall, std::vector<double>& cpu) {
  using Clock = std::chrono::steady_clock;
  wall.assign(files.size(), 1e30);
  cpu.assign(files.size(), 1e30);
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < files.size(); ++i) {
      const double c0 = ThreadCpuMicros();
      const auto t0 = Clock::now();
      benchmark::DoNotOptimize(count(files[i]));
      const auto t1 = Clock::now();
      const double c1 = ThreadCpuMicros();
      wall[i] = std::min(wall[i], std::chrono::duration<double, std::micro>(t1 - t0).count());
      cpu[i] = std::min(cpu[i], c1 - c0);
    }
  }
}

// The same comparison with each program in a pass of its own over the corpus, as a count of a
// whole folder runs: neither finds its caches and heap just churned by the other, which the
// side-by-side run above does to the smaller of the two far more than to qpdf.
void CorpusSeparatePasses(benchmark::State& state) {
  const std::vector<std::string> files = CorpusFiles();
  if (files.empty()) return state.SkipWithError("no corpus");
  std::vector<double> ours, theirs, ours_cpu, theirs_cpu;
  for (auto _ : state) {
    TimePasses(
        files, 5, [](const std::string& f) { return GetFoliotally(f.c_str()); }, ours, ours_cpu);
    TimePasses(files, 5, QpdfCount, theirs, theirs_cpu);
  }
  std::vector<double> ratios, cpu_ratios;
  for (size_t i = 0; i < files.size(); ++i) {
    ratios.push_back(theirs[i] / ours[i]);
    cpu_ratios.push_back(theirs_cpu[i] / std::max(ours_cpu[i], 0.001));
  }
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["ours_median_us"] = Median(ours);
  state.counters["qpdf_median_us"] = Median(theirs);
  state.counters["speedup_median"] = Median(ratios);
  state.counters["ours_cpu_median_us"] = Median(ours_cpu);
  state.counters["qpdf_cpu_median_us"] = Median(theirs_cpu);
  state.counters["cpu_speedup_median"] = Median(cpu_ratios);
}
BENCHMARK(CorpusSeparatePasses)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
