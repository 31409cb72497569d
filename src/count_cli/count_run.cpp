#include "count_cli/count_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "count_cli/name_list.h"

namespace foliotally::count_cli {
namespace {

// Results in flight per counting thread: enough to keep every thread busy while the
// front file is slow, small enough that memory does not grow with the tree.
constexpr size_t kWindowPerJob = 64;
constexpr size_t kMinimumWindow = 256;

}  // namespace

void Diagnostics::Report(std::string_view message) {
  // Messages carry file names, which may hold any byte but "/" and NUL; control bytes are
  // shown as "?" so that a name cannot move the cursor or rewrite the terminal.
  std::string line = "foliotally-count: ";
  for (char c : message) {
    const auto byte = static_cast<unsigned char>(c);
    line += (byte < 0x20 || byte == 0x7F) ? '?' : c;
  }
  Say(line);
}

void Diagnostics::Say(std::string_view line) {
  progress_.Clear();
  write_(std::string(line).append("\n"));
}

std::string_view LineEndFor(OutputFormat format, bool to_file) {
  return to_file && format != OutputFormat::kJson ? "\r\n" : "\n";
}

std::string SummaryText(int64_t files, int64_t pages, int64_t failed) {
  std::string text = "Counted " + std::to_string(files) + (files == 1 ? " file, " : " files, ") +
                     std::to_string(pages) + (pages == 1 ? " page." : " pages.");
  if (failed > 0)
    text += " " + std::to_string(failed) + (failed == 1 ? " file" : " files") +
            " could not be counted.";
  return text;
}

CountRun::CountRun(const CountOptions& options, FileSystem& fs, OrderedJobPool::Work counter,
                   OutputSink& out, Diagnostics& diagnostics, const std::atomic<bool>& stop,
                   InputFile* list)
    : options_(options),
      fs_(fs),
      counter_(std::move(counter)),
      out_(out),
      diagnostics_(diagnostics),
      stop_(stop),
      list_(list),
      formatter_(options.format, LineEndFor(options.format, options.output.has_value())),
      walker_(fs, options.masks, options.recurse) {}

void CountRun::Deliver(const std::string& path, int32_t result) {
  if (result == kHiddenFile) return;
  ++files_;
  if (result >= 0 && !formatter_.Carries(path)) {
    ++failed_;
    diagnostics_.Report(path + ": not listed: the log format cannot hold a name with a " +
                        "control character (csv and json can)");
  } else {
    if (result >= 0) {
      pages_ += result;
    } else {
      ++failed_;
      diagnostics_.Report(path + ": " + ReasonOf(result));
    }
    out_.Write(formatter_.Result(path, result));
  }
  diagnostics_.progress().Update(files_, pages_);
}

void CountRun::CountPath(const std::string& path, OrderedJobPool& pool) {
  FileStatus status;
  const int error = fs_.Stat(path, status);
  if (error == ENOENT || error == ENOTDIR) {
    diagnostics_.Report(path + ": no such file or folder");
    input_failed_ = true;
    return;
  }
  // Anything but a folder is counted as the file it was named as; the page counter
  // answers for what cannot be opened (a FIFO is never opened, only reported).
  if (error != 0 || status.kind != EntryKind::kFolder) {
    pool.Queue(FileToCount{path, nullptr, 0});
    return;
  }
  WalkCallbacks callbacks;
  callbacks.file = [&](FileToCount file) {
    if (!stop_.load()) pool.Queue(std::move(file));
  };
  // Reading the next folder may wait for the disk; files held for a while are counted
  // meanwhile.
  callbacks.folder_done = [&] { pool.FlushOverdue(); };
  callbacks.folder_error = [&](const std::string& folder, const std::string& message) {
    diagnostics_.Report(folder + ": cannot read folder: " + message);
    unreadable_folder_ = true;
  };
  callbacks.stop = [&] { return stop_.load(); };
  walker_.Walk(path, callbacks);
}

void CountRun::CountPaths(OrderedJobPool& pool) {
  const std::vector<std::string> here{"."};
  for (const std::string& path : options_.paths.empty() ? here : options_.paths) {
    if (stop_.load()) return;
    CountPath(path, pool);
  }
}

void CountRun::SubmitListed(std::string name, OrderedJobPool& pool) {
  // The page counter takes a C string; a name cut at a NUL byte would be another file.
  if (name.find('\0') != std::string::npos) {
    for (char& c : name)
      if (c == '\0') c = '?';
    diagnostics_.Report(*options_.files_from + ": a name holds a NUL byte, which no file " +
                        "name can (is the list NUL-separated? use --null): " + name);
    input_failed_ = true;
    return;
  }
  // Each name is counted as the file it names, as a PATH that is a file would be; what is
  // missing or no regular file gets its row in csv and json, with the reason.
  pool.Queue(FileToCount{std::move(name), nullptr, 0});
}

void CountRun::CountList(OrderedJobPool& pool) {
  NameSplitter splitter(options_.null_separated ? '\0' : '\n');
  const auto submit = [&](std::string name) { SubmitListed(std::move(name), pool); };
  std::string block;
  while (!stop_.load()) {
    // The next read may wait long for a slow writer; the names already read are counted
    // meanwhile.
    pool.Flush();
    const int error = list_->Read(block, stop_);
    if (error == ECANCELED) return;
    if (error != 0) {
      diagnostics_.Report("cannot read " + *options_.files_from + ": " + std::strerror(error));
      input_failed_ = true;
      break;
    }
    if (block.empty()) break;
    splitter.Feed(block, submit);
  }
  splitter.Finish(submit);
}

int CountRun::ExitStatus(bool interrupted, bool output_failed) const {
  if (interrupted) return kExitInterrupted;
  if (output_failed || input_failed_) return kExitUsage;
  if (failed_ > 0 || unreadable_folder_) return kExitSomeFailed;
  return kExitAllCounted;
}

int CountRun::Execute() {
  bool output_failed = false;
  bool interrupted = false;
  try {
    out_.Write(formatter_.Header());
    OrderedJobPool pool(
        options_.jobs, std::max(kMinimumWindow, kWindowPerJob * static_cast<size_t>(options_.jobs)),
        counter_, [this](const std::string& path, int32_t result) { Deliver(path, result); },
        stop_);
    if (list_ != nullptr)
      CountList(pool);
    else
      CountPaths(pool);
    pool.Finish();
    // An interrupt, however late, ends the run at once: files still being counted are
    // abandoned, not awaited (a hostile file may take its whole time limit), a file
    // target is left as it was, and standard output keeps the complete lines written.
    interrupted = stop_.load();
    if (interrupted) {
      pool.Abandon();
      if (!options_.output) out_.Commit();
    } else {
      out_.Commit();
    }
  } catch (const OutputError& error) {
    diagnostics_.Report(error.Message());
    output_failed = true;
    interrupted = interrupted || stop_.load();
  }
  diagnostics_.progress().Clear();
  diagnostics_.Say(SummaryText(files_, pages_, failed_));
  if (interrupted) diagnostics_.Report("interrupted");
  return ExitStatus(interrupted, output_failed);
}

}  // namespace foliotally::count_cli
