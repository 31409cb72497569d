// The ways a run can be held up or cut off from outside: a list no writer opens, a standard
// output nobody reads, a standard error that closes early, a list with no separator at
// all. Each ends the run by itself, leaving an --output file as it was, with no temporary
// file, and with messages that stay short. A signal is sent only once the program is known
// to be where it must be (its temporary file made, its output pipe full), so nothing here
// depends on how fast the machine is; a run that stayed blocked would time out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "count_cli/count_process.h"
#include "support/pdf_writer.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

class BlockedRun : public ::testing::Test {
 protected:
  BlockedRun() {
    dir_.MakeFolder("out");
    dir_.Write("out/result.csv", "the old report\n");
  }
  // A list of `count` names of missing files, each long enough that results and messages
  // soon fill a pipe.
  std::string ManyMissingNames(int count) const {
    std::string list;
    for (int i = 0; i < count; ++i)
      list += dir_.str() + "/missing/" + std::string(100, 'm') + std::to_string(i) + ".pdf\n";
    return dir_.Write("names.list", list).string();
  }
  void ExpectOutputLeftAsItWas() const {
    EXPECT_EQ(EntryNames(dir_.path() / "out"), std::vector<std::string>{"result.csv"});
    EXPECT_EQ(ReadFileBytes(dir_.path() / "out/result.csv"), "the old report\n");
  }
  std::string Output() const { return dir_.str() + "/out/result.csv"; }

  TempDir dir_;
};

TEST_F(BlockedRun, AnInterruptEndsTheWaitForAListNoWriterOpens) {
  const fs::path fifo = dir_.path() / "names.fifo";
  MakeFifo(fifo);
  ProcessOptions options;
  options.timeout_seconds = 20;
  options.signal = SIGINT;
  // The temporary file beside the output shows that the list was opened.
  options.signal_when = [this] { return EntryNames(dir_.path() / "out").size() == 2; };
  const ProcessResult result =
      RunCount({"--files-from", fifo.string(), "--output", Output(), "-f", "csv"}, options);
  EXPECT_EQ(result.end_signal, 0);
  EXPECT_EQ(result.exit_status, 130) << result.err;
  ExpectOutputLeftAsItWas();
}

TEST_F(BlockedRun, AnInterruptEndsAWriteToAStandardOutputNobodyReads) {
  const std::string list = ManyMissingNames(3000);
  for (const int signal : {SIGINT, SIGTERM}) {
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    const int capacity = ::fcntl(ends[1], F_GETPIPE_SZ);
    ProcessOptions options;
    options.timeout_seconds = 20;
    options.output_fd = ends[1];
    options.signal = signal;
    // Signalled once the pipe is full: the program is blocked writing to it.
    options.signal_when = [&] {
      int held = 0;
      return ::ioctl(ends[0], FIONREAD, &held) == 0 && held >= capacity;
    };
    // Missing files get their rows in csv.
    const ProcessResult result = RunCount({"-j", "1", "-f", "csv", "--files-from", list}, options);
    ::close(ends[0]);
    ::close(ends[1]);
    EXPECT_EQ(result.end_signal, 0) << signal;
    EXPECT_EQ(result.exit_status, 130) << signal;
    EXPECT_NE(result.err.find("interrupted"), std::string::npos) << result.err.substr(0, 300);
    // The write given up is the interrupt's doing, not an error of its own.
    EXPECT_EQ(result.err.find("cannot write"), std::string::npos);
  }
}

TEST_F(BlockedRun, StandardErrorClosingEarlyEndsTheRunLikeAnInterrupt) {
  // As `foliotally-count ... 2>&1 | head -n1`: the messages fill the pipe, the reader
  // leaves after the first line, and the next message finds nobody.
  const std::string list = ManyMissingNames(3000);
  ProcessOptions options;
  options.timeout_seconds = 30;
  const ProcessResult result = RunProcess(
      "/bin/bash",
      {"-c", "\"$0\" \"$@\" 2>&1 | head -n1 >/dev/null; echo \"status ${PIPESTATUS[0]}\"",
       FOLIOTALLY_COUNT_EXE, "-j", "1", "--files-from", list, "--output", Output()},
      options);
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.out, "status 130\n");
  ExpectOutputLeftAsItWas();
}

TEST_F(BlockedRun, AListWithoutSeparatorsIsNeverHeldWhole) {
  const std::string pdf = dir_.Write("real.pdf", MakePdf(2)).string();
  // 64 MiB of NUL bytes read without --null, then one real name: held whole, the first
  // name alone would take far more than the program may use here.
  const fs::path nul_list = dir_.path() / "nul.list";
  {
    const std::string tail = "\n" + pdf + "\n";
    dir_.Write("nul.list", "");
    fs::resize_file(nul_list, 64u << 20);
    const int fd = ::open(nul_list.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ASSERT_EQ(::write(fd, tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    ::close(fd);
  }
  // A name of 10,000 bytes: longer than any path the system takes.
  const std::string long_list =
      dir_.Write("long.list", std::string(10000, 'a') + "\n" + pdf + "\n").string();
  ProcessOptions options;
  options.timeout_seconds = 30;
  if (!kSanitized) options.address_space_limit = 256l << 20;
  for (const auto& [list, problem] :
       {std::pair<std::string, std::string>{nul_list.string(), "use --null): "},
        {long_list, "path limit (4095 bytes) is not counted: " + std::string(80, 'a') + "..."}}) {
    const ProcessResult result = RunCount({"-j", "1", "--files-from", list}, options);
    EXPECT_EQ(result.exit_status, 2) << result.err.substr(0, 300);
    EXPECT_EQ(result.out, pdf + ";2\n");
    EXPECT_NE(result.err.find(problem), std::string::npos) << result.err.substr(0, 300);
    EXPECT_LT(result.err.size(), 1000u);
  }
}

}  // namespace
}  // namespace foliotally::test
