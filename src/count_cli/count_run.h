// One run of foliotally-count: walks the named files and folders, counts the files on the
// job pool, writes each result in walk order and reports failures and totals.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "count_cli/colour_report.h"
#include "count_cli/count_options.h"
#include "count_cli/ordered_job_pool.h"
#include "count_cli/output_sink.h"
#include "count_cli/progress_line.h"
#include "count_cli/result_format.h"
#include "count_cli/size_report.h"
#include "count_cli/tree_walker.h"
#include "platform/file_system.h"
#include "platform/input_file.h"

namespace foliotally::count_cli {

inline constexpr int kExitAllCounted = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

// What goes to standard error: messages about single files or folders, the progress line
// and the final totals. Messages wipe the progress line first so they stand on their own.
class Diagnostics {
 public:
  Diagnostics(std::function<void(std::string_view)> write, ProgressLine& progress)
      : write_(std::move(write)), progress_(progress) {}
  // Writes "foliotally-count: " + message and a line break; control characters in the
  // message are shown as "?".
  void Report(std::string_view message);
  // Writes a line as it is.
  void Say(std::string_view line);
  ProgressLine& progress() { return progress_; }

 private:
  std::function<void(std::string_view)> write_;
  ProgressLine& progress_;
};

// The line ending a format uses: files written with --output in log or csv format end
// their lines with CR LF (the bytes the window saves; RFC 4180), everything else with LF.
std::string_view LineEndFor(OutputFormat format, bool to_file);

// "Counted N files, P pages."; when some were recovered, "R damaged file(s) counted as a
// viewer shows them."; when some failed, "K file(s) could not be counted.".
std::string SummaryText(int64_t files, int64_t pages, int64_t failed, int64_t recovered = 0);

class CountRun {
 public:
  // `out` receives the results and is committed only after a run that was not
  // interrupted; a file written with --output is then replaced. `stop` is raised from
  // outside to interrupt. `list`, with --files-from, is the open list of names.
  CountRun(const CountOptions& options, FileSystem& fs, OrderedJobPool::Work counter,
           OutputSink& out, Diagnostics& diagnostics, const std::atomic<bool>& stop,
           InputFile* list = nullptr);

  // With --sizes: where the counter leaves each file's sizes for its result line.

  // Runs the count and returns the exit status.
  int Execute();

 private:
  void CountPaths(OrderedJobPool& pool);
  void CountPath(const std::string& path, OrderedJobPool& pool);
  void CountList(OrderedJobPool& pool);
  void SubmitListed(std::string name, OrderedJobPool& pool);
  void RefuseListed(std::string_view name);
  void Deliver(const std::string& path, const FileCount& result);
  // Hands a file to the pool, with room for its page details when the run gathers them.
  void Submit(FileToCount file, OrderedJobPool& pool);
  int ExitStatus(bool interrupted, bool output_failed) const;

  const CountOptions& options_;
  FileSystem& fs_;
  OrderedJobPool::Work counter_;
  OutputSink& out_;
  Diagnostics& diagnostics_;
  const std::atomic<bool>& stop_;
  InputFile* list_;
  ResultFormatter formatter_;
  PaperTally papers_;
  // One walker for the whole run: a folder is walked once, however many paths lead to it.
  TreeWalker walker_;

  int64_t files_ = 0;
  int64_t pages_ = 0;
  int64_t failed_ = 0;
  int64_t recovered_ = 0;
  bool helper_warned_ = false;  // the repair helper's failure is said once a run
  // Details of the files in the pool, in the order they were submitted, which is the order
  // their results come back in.
  std::deque<std::shared_ptr<PageDetails>> details_;
  ColourTotals colour_totals_;
  bool unreadable_folder_ = false;
  bool input_failed_ = false;  // a PATH does not exist, or the list was not read whole
};

}  // namespace foliotally::count_cli
