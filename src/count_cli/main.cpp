// foliotally-count: counts the pages of PDF files and folder trees on the command line.
#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "colour/page_colours.h"
#include "colour/page_drawing.h"
#include "count_cli/count_options.h"
#include "count_cli/count_run.h"
#include "count_cli/output_sink.h"
#include "count_cli/progress_line.h"
#include "count_cli/size_report.h"
#include "pagecount/foliotally.h"
#include "pagecount/unique_fd.h"
#include "platform/input_file.h"
#include "platform/interrupt_watch.h"
#include "platform/posix_file_system.h"
#include "platform/standard_streams.h"

namespace {

using namespace foliotally::count_cli;
using foliotally::IsTerminal;
using foliotally::WriteAll;

constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// Nowhere is left to complain to when standard error itself fails.
void WriteToStandardError(std::string_view text) { WriteAll(kStandardError, text); }

// --help and --version: a failed write (a full disk) must not look like success.
int Show(std::string_view text) {
  const int error = WriteAll(kStandardOutput, text);
  if (error == 0) return 0;
  WriteToStandardError(std::string("foliotally-count: cannot write to standard output: ") +
                       std::strerror(error) + "\n");
  return kExitUsage;
}

int DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

// A file the walk found is opened by its name in the folder the walk holds open; one whose
// hidden bit the walk left unread is opened once, to read the bit and to count it.
// `at(dirfd, name)` and `open_fd(fd)` count a file named or open.
template <typename At, typename OpenFd>
FileCount CountFile(const FileToCount& file, At&& at, OpenFd&& open_fd) {
  if (!file.folder) return at(AT_FDCWD, file.path.c_str());
  if (!file.check_hidden) return at(file.folder->fd(), file.NameInFolder());
  const foliotally::OpenedFile opened = file.folder->Open(file.NameInFolder());
  if (!opened.ok()) return CountOf(FOLIOTALLY_UNREADABLE);
  if (file.folder->IsHidden(opened)) return CountOf(kHiddenFile);
  return open_fd(opened.fd());
}

FileCount CountPages(const FileToCount& file, uint32_t time_limit) {
  FileCount count{};
  return CountFile(
      file,
      [&](int dirfd, const char* name) {
        GetFoliotallyCountAt(dirfd, name, time_limit, &count);
        return count;
      },
      [&](int fd) {
        GetFoliotallyCountFd(fd, time_limit, &count);
        return count;
      });
}

// Each page's colour (and, with `box`, its paper) of a file the library counted `pages`
// pages in, into the file's details. The file is opened as the count opened it.
void AddColours(const FileToCount& file, int32_t pages, uint32_t time_limit,
                const std::string& renderer, std::optional<foliotally::pdf::SizeBox> box) {
  const auto read = [&](int fd) {
    foliotally::colour::PageColours colours =
        foliotally::colour::ReadOpenFileColours(fd, pages, time_limit, renderer, box);
    file.details->colours = std::move(colours.letters);
    file.details->without_renderer = colours.without_renderer;
    if (box) file.details->papers = PaperNames(colours.sizes);
    return FileCount{};
  };
  CountFile(
      file,
      [&](int dirfd, const char* name) {
        const foliotally::pdf::UniqueFd opened(
            ::openat(dirfd, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        return opened.get() < 0 ? FileCount{} : read(opened.get());
      },
      read);
}

// The same with the pages measured (--sizes): the count with its verdict, and the sizes
// left in the file's details for its result line when the file could be counted, both
// from one reading of the file.
FileCount MeasurePages(const FileToCount& file, uint32_t time_limit, int32_t box) {
  FileSizes sizes;
  FileCount count{};
  const auto measure = [&](auto&& call) {
    MeasureSizes([&](FoliotallyPageSize* groups, int32_t capacity,
                     int32_t* unknown) { return call(&count, groups, capacity, unknown); },
                 sizes);
    return count;
  };
  count = CountFile(
      file,
      [&](int dirfd, const char* name) {
        return measure([&](auto... out) {
          return GetFoliotallyCountSizesAt(dirfd, name, time_limit, box, out...);
        });
      },
      [&](int fd) {
        return measure(
            [&](auto... out) { return GetFoliotallyCountSizesFd(fd, time_limit, box, out...); });
      });
  if (file.details) file.details->sizes = std::move(sizes);
  return count;
}

std::unique_ptr<OutputSink> MakeSink(const CountOptions& options, foliotally::FileSystem& fs,
                                     const std::atomic<bool>& stop) {
  if (options.output) return std::make_unique<AtomicFileSink>(fs.Writing(), *options.output, &stop);
  return std::make_unique<DescriptorSink>(kStandardOutput, "standard output",
                                          IsTerminal(kStandardOutput), &stop);
}

int Run(const CountOptions& options) {
  std::atomic<bool> interrupted{false};
  foliotally::InterruptWatch watch(interrupted);
  foliotally::PosixFileSystem fs;
  // With --output a temporary file is at stake: standard error closing early (a pager
  // that quit after the first line) ends the run like an interrupt instead of killing it
  // with the temporary file left behind.
  if (options.output) foliotally::IgnoreBrokenPipeSignal();
  const auto to_standard_error = [&interrupted](std::string_view text) {
    if (WriteAll(kStandardError, text, &interrupted) == EPIPE) interrupted.store(true);
  };

  // Both the list and the output are checked before anything is counted.
  foliotally::InputFile list;
  if (options.files_from) {
    if (const int error = list.Open(*options.files_from); error != 0) {
      to_standard_error("foliotally-count: cannot read " + *options.files_from + ": " +
                        std::strerror(error) + "\n");
      return kExitUsage;
    }
  }
  std::unique_ptr<OutputSink> out;
  try {
    out = MakeSink(options, fs, interrupted);
  } catch (const OutputError& error) {
    to_standard_error("foliotally-count: " + error.Message() + "\n");
    return kExitUsage;
  }

  // Results scrolling past on the same terminal would tear the progress line apart, and
  // show the progress well enough themselves.
  const bool results_on_terminal = !options.output && IsTerminal(kStandardOutput);
  ProgressLine progress(IsTerminal(kStandardError) && !results_on_terminal, to_standard_error,
                        [] { return std::chrono::steady_clock::now(); });
  Diagnostics diagnostics(to_standard_error, progress);
  const uint32_t time_limit = options.file_timeout_ms;
  const int32_t box = options.trim_box ? FOLIOTALLY_BOX_TRIM : FOLIOTALLY_BOX_CROP;
  OrderedJobPool::Work count_pages = [time_limit](const FileToCount& file) {
    return CountPages(file, time_limit);
  };
  if (options.sizes)
    count_pages = [time_limit, box](const FileToCount& file) {
      return MeasurePages(file, time_limit, box);
    };
  // Looked up once: every file of the run is drawn with the same renderer, or none.
  const std::string renderer = options.colours ? foliotally::colour::FindRenderer() : "";
  if (options.colours) {
    std::optional<foliotally::pdf::SizeBox> paper_box;
    if (options.sizes)
      paper_box =
          options.trim_box ? foliotally::pdf::SizeBox::kTrim : foliotally::pdf::SizeBox::kCrop;
    count_pages = [count = std::move(count_pages), time_limit, &renderer,
                   paper_box](const FileToCount& file) {
      const FileCount result = count(file);
      if (result.pages >= 0 && file.details)
        AddColours(file, result.pages, time_limit, renderer, paper_box);
      return result;
    };
  }
  CountRun run(options, fs, count_pages, *out, diagnostics, interrupted,
               options.files_from ? &list : nullptr);
  return run.Execute();
}

}  // namespace

int main(int argc, char** argv) {
  foliotally::ReopenClosedStandardDescriptors();
  foliotally::IgnoreFileSizeLimitSignal();

  CountOptions options;
  try {
    options = ParseCountOptions(std::vector<std::string>(argv + 1, argv + argc), DefaultJobs());
  } catch (const UsageError& error) {
    WriteToStandardError(std::string("foliotally-count: ") + error.what() +
                         "\nTry 'foliotally-count --help' for more information.\n");
    return kExitUsage;
  }
  if (options.show_help) return Show(UsageText());
  if (options.show_version) return Show("foliotally-count " FOLIOTALLY_VERSION "\n");
  int status = kExitUsage;
  try {
    status = Run(options);
  } catch (const std::exception& error) {
    // Out of memory or threads: said plainly instead of an abort.
    WriteToStandardError(std::string("foliotally-count: ") + error.what() + "\n");
  }
  // An interrupted run may have left threads inside the page counter; ending the process
  // at once spares them the teardown of the libraries they are still using.
  if (status == kExitInterrupted) std::_Exit(status);
  return status;
}
