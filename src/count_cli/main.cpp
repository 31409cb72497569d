// foliotally-count: counts the pages of PDF files and folder trees on the command line.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "count_cli/count_options.h"
#include "count_cli/count_run.h"
#include "count_cli/interrupt_watch.h"
#include "count_cli/output_sink.h"
#include "count_cli/progress_line.h"
#include "pagecount/foliotally.h"
#include "platform/posix_file_system.h"

namespace {

using namespace foliotally::count_cli;

bool WriteAllTo(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Nowhere is left to complain to when standard error itself fails.
void WriteToStandardError(std::string_view text) { WriteAllTo(STDERR_FILENO, text); }

// --help and --version: a failed write (a full disk) must not look like success.
int Show(std::string_view text) {
  if (WriteAllTo(STDOUT_FILENO, text)) return 0;
  WriteToStandardError(std::string("foliotally-count: cannot write to standard output: ") +
                       std::strerror(errno) + "\n");
  return kExitUsage;
}

// A file the walk found is opened by its name in the folder the walk holds open.
int32_t CountPages(const FileToCount& file) {
  if (file.folder) return GetFoliotallyAt(file.folder->fd(), file.NameInFolder(), 0);
  return GetFoliotally(file.path.c_str());
}

int DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

int Run(const CountOptions& options) {
  std::atomic<bool> interrupted{false};
  InterruptWatch watch(interrupted);
  foliotally::PosixFileSystem fs;

  std::unique_ptr<OutputSink> out;
  try {
    if (options.output)
      out = std::make_unique<AtomicFileSink>(*options.output);
    else
      out = std::make_unique<DescriptorSink>(STDOUT_FILENO, "standard output",
                                             ::isatty(STDOUT_FILENO) == 1);
  } catch (const OutputError& error) {
    WriteToStandardError("foliotally-count: " + error.Message() + "\n");
    return kExitUsage;
  }

  // Results scrolling past on the same terminal would tear the progress line apart, and
  // show the progress well enough themselves.
  const bool results_on_terminal = !options.output && ::isatty(STDOUT_FILENO) == 1;
  ProgressLine progress(::isatty(STDERR_FILENO) == 1 && !results_on_terminal, WriteToStandardError,
                        [] { return std::chrono::steady_clock::now(); });
  Diagnostics diagnostics(WriteToStandardError, progress);
  CountRun run(options, fs, CountPages, *out, diagnostics, interrupted);
  return run.Execute();
}

}  // namespace

int main(int argc, char** argv) {
  // A file size limit must show up as a write error (and a clean exit), not kill the
  // program with its temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);

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
  try {
    return Run(options);
  } catch (const std::exception& error) {
    // Out of memory or threads: said plainly instead of an abort.
    WriteToStandardError(std::string("foliotally-count: ") + error.what() + "\n");
    return kExitUsage;
  }
}
