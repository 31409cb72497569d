// Colour verdicts over the shared corpus: pages decided by reading alone, per second on one
// core, on the corpus's text documents (the files every page of which reading decides) and
// on the 20,000-page file; pages that must be drawn, with our reading, drawing and pixel
// check against pdftoppm's own command drawing the same pages at the same resolution; and
// how many of the corpus's pages each path decided (counters of BM_CorpusPaths).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bench_corpus.h"
#include "colour/page_colours.h"
#include "colour/page_drawing.h"
#include "pagecount/byte_source.h"
#include "pagecount/foliotally.h"
#include "pagecount/unique_fd.h"

extern char** environ;

namespace {

using foliotally::colour::PageColours;

std::string CorpusDir() { return foliotally::bench::CorpusDir("colour.tsv"); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct CorpusFile {
  std::string path;
  std::string bytes;
  int32_t pages = 0;
  std::vector<std::pair<int, int>> runs;  // pages reading leaves to drawing
  int64_t read = 0;
};

PageColours ReadOnly(const CorpusFile& file, std::vector<std::pair<int, int>>* runs = nullptr) {
  foliotally::pdf::MemoryByteSource source(file.bytes);
  const foliotally::pdf::Deadline deadline(60000);
  return foliotally::colour::ReadPageColours(
      source, file.pages, deadline, [&](int first, int last) {
        if (runs) runs->emplace_back(first, last);
        return std::string(static_cast<size_t>(last - first + 1), '?');
      });
}

// The files of colour.tsv, loaded, with the runs of pages reading leaves to the renderer.
const std::vector<CorpusFile>& Corpus() {
  static const std::vector<CorpusFile> files = [] {
    std::vector<CorpusFile> out;
    const std::string dir = CorpusDir();
    if (dir.empty()) return out;
    std::ifstream labels(std::filesystem::path(dir) / "colour.tsv");
    std::string line;
    while (std::getline(labels, line)) {
      if (line.empty() || line[0] == '#') continue;
      CorpusFile file;
      file.path = dir + "/" + line.substr(0, line.find('\t'));
      file.bytes = ReadAll(file.path);
      file.pages = GetFoliotally(file.path.c_str());
      if (file.pages <= 0) continue;
      file.read = ReadOnly(file, &file.runs).read;
      out.push_back(std::move(file));
    }
    return out;
  }();
  return files;
}

void ReadFiles(benchmark::State& state, const std::vector<const CorpusFile*>& files) {
  if (files.empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  int64_t pages = 0;
  for (auto _ : state)
    for (const CorpusFile* file : files) {
      const PageColours colours = ReadOnly(*file);
      benchmark::DoNotOptimize(colours.letters.data());
      pages += colours.read;
    }
  state.counters["pages_per_s"] =
      benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
  state.counters["files"] = static_cast<double>(files.size());
  state.counters["pages"] = static_cast<double>(pages) / static_cast<double>(state.iterations());
}

void BM_ReadTextDocuments(benchmark::State& state) {
  std::vector<const CorpusFile*> text;
  for (const CorpusFile& file : Corpus())
    if (file.read == file.pages && file.path.find("p20000") == std::string::npos)
      text.push_back(&file);
  ReadFiles(state, text);
}
BENCHMARK(BM_ReadTextDocuments)->Unit(benchmark::kMillisecond);

void BM_ReadTwentyThousandPages(benchmark::State& state) {
  static std::vector<CorpusFile> big = [] {
    std::vector<CorpusFile> out;
    const std::string dir = CorpusDir();
    if (dir.empty()) return out;
    CorpusFile file;
    file.path = dir + "/p20000.pdf";
    file.bytes = ReadAll(file.path);
    file.pages = GetFoliotally(file.path.c_str());
    if (file.pages > 0) out.push_back(std::move(file));
    return out;
  }();
  std::vector<const CorpusFile*> files;
  for (const CorpusFile& file : big) files.push_back(&file);
  ReadFiles(state, files);
}
BENCHMARK(BM_ReadTwentyThousandPages)->Unit(benchmark::kMillisecond);

// Ours: the files with pages to draw, read and drawn (pixels looked at), on one core.
void BM_DrawnPagesOurs(benchmark::State& state) {
  const std::string renderer = foliotally::colour::FindRenderer();
  if (renderer.empty()) return state.SkipWithError("pdftoppm is not installed");
  int64_t drawn = 0;
  for (auto _ : state)
    for (const CorpusFile& file : Corpus()) {
      if (file.runs.empty()) continue;
      const foliotally::pdf::UniqueFd fd(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC));
      drawn += foliotally::colour::ReadOpenFileColours(fd.get(), file.pages, 0, renderer).drawn;
    }
  state.counters["pages_per_s"] =
      benchmark::Counter(static_cast<double>(drawn), benchmark::Counter::kIsRate);
  state.counters["pages"] = static_cast<double>(drawn) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DrawnPagesOurs)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// pdftoppm's own command drawing the same runs of pages at the same resolution into files.
void BM_DrawnPagesRendererCommand(benchmark::State& state) {
  const std::string renderer = foliotally::colour::FindRenderer();
  if (renderer.empty()) return state.SkipWithError("pdftoppm is not installed");
  const std::string out_dir = std::filesystem::temp_directory_path() / "colour-bench-out";
  int64_t pages = 0;
  for (auto _ : state)
    for (const CorpusFile& file : Corpus())
      for (const auto& [first, last] : file.runs) {
        std::filesystem::create_directories(out_dir);
        std::vector<std::string> args = {renderer,
                                         "-r",
                                         std::to_string(foliotally::colour::kDrawDpi),
                                         "-f",
                                         std::to_string(first),
                                         "-l",
                                         std::to_string(last),
                                         file.path,
                                         out_dir + "/p"};
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0)
          ::waitpid(pid, nullptr, 0);
        std::filesystem::remove_all(out_dir);
        pages += last - first + 1;
      }
  state.counters["pages_per_s"] =
      benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
  state.counters["pages"] = static_cast<double>(pages) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DrawnPagesRendererCommand)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

// How the corpus's pages were decided: by reading, or left to drawing.
void BM_CorpusPaths(benchmark::State& state) {
  int64_t pages = 0, read = 0, to_draw = 0, files_read_whole = 0;
  for (auto _ : state) {
    pages = read = to_draw = files_read_whole = 0;
    for (const CorpusFile& file : Corpus()) {
      pages += file.pages;
      read += file.read;
      for (const auto& [first, last] : file.runs) to_draw += last - first + 1;
      files_read_whole += file.read == file.pages;
    }
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["read"] = static_cast<double>(read);
  state.counters["drawn_runs_pages"] = static_cast<double>(to_draw);
  state.counters["files"] = static_cast<double>(Corpus().size());
  state.counters["files_read_whole"] = static_cast<double>(files_read_whole);
}
BENCHMARK(BM_CorpusPaths)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
