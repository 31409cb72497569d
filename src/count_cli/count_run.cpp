#include "count_cli/count_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "count_cli/damage_report.h"
#include "count_cli/name_list.h"
#include "count_cli/text_escaping.h"

// GCC 12 at -O3 warns falsely (-Wrestrict) about the copy inside the standard library's
// operator+(const char*, std::string&&), which the summary line uses; the warning is
// silenced for this file only.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wrestrict"
#endif

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

std::string SummaryText(int64_t files, int64_t pages, int64_t failed, int64_t recovered) {
  std::string text = "Counted " + std::to_string(files) + (files == 1 ? " file, " : " files, ") +
                     std::to_string(pages) + (pages == 1 ? " page." : " pages.");
  if (recovered > 0)
    text += " " + std::to_string(recovered) +
            (recovered == 1 ? " damaged file" : " damaged files") + " counted as a viewer shows " +
            (recovered == 1 ? "it." : "them.");
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
      formatter_(options.format, LineEndFor(options.format, options.output.has_value()),
                 options.sizes, options.colours),
      walker_(fs, options.masks, options.recurse) {}

void CountRun::Submit(FileToCount file, OrderedJobPool& pool) {
  if (options_.colours || options_.sizes) {
    file.details = std::make_shared<PageDetails>();
    details_.push_back(file.details);
  }
  pool.Queue(std::move(file));
}

void CountRun::Deliver(const std::string& path, const FileCount& answer) {
  std::shared_ptr<PageDetails> details;
  if (!details_.empty()) {
    details = std::move(details_.front());
    details_.pop_front();
  }
  if (answer.pages == kHiddenFile) return;
  std::optional<FileSizes> sizes;
  if (options_.sizes) sizes = details ? std::move(details->sizes) : FileSizes{};
  ++files_;
  const FileCount result = options_.strict ? Strict(answer) : answer;
  if (!helper_warned_ && RepairHelperFailed(result)) {
    helper_warned_ = true;
    diagnostics_.Report(RepairHelperWarning());
  }
  const bool counted = IsCounted(result);
  if (details && counted && options_.colours) colour_totals_.Add(*details);
  if (counted && !formatter_.Carries(path)) {
    ++failed_;
    diagnostics_.Report(path + ": not listed: the log format cannot hold a name with a " +
                        "control character (csv and json can)");
  } else {
    if (counted) {
      pages_ += result.pages;
      if (sizes) papers_.Add(*sizes);
    } else {
      ++failed_;
    }
    if (result.verdict == FOLIOTALLY_RECOVERED) ++recovered_;
    if (result.verdict != FOLIOTALLY_SOUND) diagnostics_.Report(DamageMessage(path, result));
    out_.Write(formatter_.Result(path, result, sizes ? &*sizes : nullptr, details.get()));
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
    Submit(FileToCount{path, nullptr, 0}, pool);
    return;
  }
  WalkCallbacks callbacks;
  callbacks.file = [&](FileToCount file) {
    if (!stop_.load()) Submit(std::move(file), pool);
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

void CountRun::RefuseListed(std::string_view name) {
  // A NUL byte says more about the list than the name's length: it was written for --null.
  const std::string problem =
      name.find('\0') != std::string_view::npos
          ? "a name holds a NUL byte, which no file name can (is the list NUL-separated? use "
            "--null): "
          : "a name longer than the system's path limit (" + std::to_string(kMaxListedName) +
                " bytes) is not counted: ";
  // Control characters, NUL among them, are shown as "?" by the report.
  diagnostics_.Report(*options_.files_from + ": " + problem + NameForMessage(name));
  input_failed_ = true;
}

void CountRun::SubmitListed(std::string name, OrderedJobPool& pool) {
  // The page counter takes a C string; a name cut at a NUL byte would be another file.
  if (name.find('\0') != std::string::npos) return RefuseListed(name);
  // Each name is counted as the file it names, as a PATH that is a file would be; what is
  // missing or no regular file gets its row in csv and json, with the reason.
  Submit(FileToCount{std::move(name), nullptr, 0}, pool);
}

void CountRun::CountList(OrderedJobPool& pool) {
  NameSplitter splitter(options_.null_separated ? '\0' : '\n',
                        [this](std::string_view start) { RefuseListed(start); });
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
  // A damaged file counted as a viewer shows it is still a file a billing script must see.
  if (failed_ > 0 || recovered_ > 0 || unreadable_folder_) return kExitSomeFailed;
  return kExitAllCounted;
}

int CountRun::Execute() {
  bool output_failed = false;
  bool interrupted = false;
  try {
    out_.Write(formatter_.Header());
    OrderedJobPool pool(
        options_.jobs, std::max(kMinimumWindow, kWindowPerJob * static_cast<size_t>(options_.jobs)),
        counter_,
        [this](const std::string& path, const FileCount& result) { Deliver(path, result); }, stop_);
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
    interrupted = interrupted || stop_.load();
    // A write given up because of the interrupt is no failure of its own.
    if (!interrupted) diagnostics_.Report(error.Message());
    output_failed = true;
  }
  diagnostics_.progress().Clear();
  diagnostics_.Say(SummaryText(files_, pages_, failed_, recovered_));
  if (const std::string papers = papers_.Text(); options_.sizes && !papers.empty())
    diagnostics_.Say(papers);
  if (options_.colours) {
    diagnostics_.Say(ColourSummaryText(colour_totals_));
    if (options_.sizes && !colour_totals_.by_paper.empty())
      diagnostics_.Say(ColourByPaperText(colour_totals_));
    if (colour_totals_.without_renderer > 0)
      diagnostics_.Report(MissingRendererText(colour_totals_.without_renderer));
  }
  if (interrupted) diagnostics_.Report("interrupted");
  return ExitStatus(interrupted, output_failed);
}

}  // namespace foliotally::count_cli
