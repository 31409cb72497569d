// Interrupts and the time limit of foliotally-count, on real trees. The page-count library
// is fronted by a shim that notes each count and can hold one file for ever; a signal is
// sent only once the program is known to be counting that file, so nothing here depends
// on how fast the machine is, and a run that waited for the held file would time out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "count_cli/count_process.h"
#include "support/pdf_writer.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

namespace fs = std::filesystem;

// The sanitizer settings the tests run with, and leave to the shim to come first.
std::string AsanOptionsLettingTheShimFirst() {
  const char* inherited = std::getenv("ASAN_OPTIONS");
  return std::string("ASAN_OPTIONS=") + (inherited != nullptr ? std::string(inherited) + ":" : "") +
         "verify_asan_link_order=0";
}

// A tree of PDF files counted with the shim in front of the library.
class HeldCount : public ::testing::Test {
 protected:
  // Runs foliotally-count; with a `held` name, sends `signal` once that file is begun.
  ProcessResult Count(const std::vector<std::string>& args, const std::string& held = "",
                      int signal = 0) {
    ProcessOptions options = options_;
    if (!held.empty()) options.environment.push_back("FOLIOTALLY_TEST_HOLD=" + held);
    return CountSignalling(args, held, signal, options);
  }
  // Sends `signal` once the file named `begun` is begun.
  ProcessResult CountSignalling(const std::vector<std::string>& args, const std::string& begun,
                                int signal, ProcessOptions options) {
    options.timeout_seconds = 30;
    options.environment.insert(
        options.environment.end(),
        {"LD_PRELOAD=" FOLIOTALLY_COUNT_SHIM, "FOLIOTALLY_TEST_CALLS=" + calls_.string(),
         // The sanitizer runtime wants to come first; the shim must.
         AsanOptionsLettingTheShimFirst()});
    if (!begun.empty()) {
      options.signal = signal;
      options.signal_when = [this, begun] {
        return Calls().find(begun + " ") != std::string::npos;
      };
    }
    return RunCount(args, options);
  }
  // "NAME TIME_LIMIT" for each file begun, in the order they were begun.
  std::string Calls() const { return fs::exists(calls_) ? ReadFileBytes(calls_) : ""; }
  std::vector<std::string> OutFolder() const { return EntryNames(dir_.path() / "out"); }

  TempDir dir_;
  fs::path calls_ = dir_.path() / "calls";
  ProcessOptions options_;
};

std::string Numbered(int i) {
  std::string digits = std::to_string(i);
  return "f" + std::string(3 - digits.size(), '0') + digits + ".pdf";
}

TEST_F(HeldCount, InterruptedOutputEndsWithACompleteLine) {
  std::string all;
  for (int i = 0; i < 300; ++i) {
    dir_.Write("in/" + Numbered(i), MakePdf(2));
    all += dir_.str() + "/in/" + Numbered(i) + ";2\n";
  }
  const ProcessResult result = Count({"-j", "2", dir_.str() + "/in"}, Numbered(150), SIGINT);
  EXPECT_EQ(result.end_signal, 0) << "killed instead of ending by itself";
  EXPECT_EQ(result.exit_status, 130);
  // Whole lines, in walk order, none from the held file on.
  EXPECT_EQ(all.rfind(result.out, 0), 0u) << result.out;
  if (!result.out.empty()) {
    EXPECT_EQ(result.out.back(), '\n');
  }
  EXPECT_EQ(result.out.find(Numbered(150)), std::string::npos);
  EXPECT_EQ(result.err.substr(result.err.find("foliotally-count: ")),
            "foliotally-count: interrupted\n");
}

// Every signal that ends a terminal job ends the run with 130, also when it comes after the
// last file was handed out, without waiting for the file being counted, and leaves the
// output file as it was with no temporary file beside it.
TEST_F(HeldCount, EverySignalThatEndsAJobLeavesTheTargetHoweverLateItComes) {
  dir_.Write("in/a.pdf", MakePdf(1));
  dir_.Write("in/b.pdf", MakePdf(2));
  dir_.Write("in/z.pdf", MakePdf(3));  // the last file: held while the rest is done
  const fs::path target = dir_.Write("out/results.txt", "old results\r\n");
  struct Case {
    int signal;
    const char* jobs;
  };
  for (const Case& c : {Case{SIGINT, "1"}, Case{SIGINT, "2"}, Case{SIGTERM, "4"}, Case{SIGHUP, "2"},
                        Case{SIGUSR1, "2"}, Case{SIGALRM, "2"}, Case{SIGQUIT, "2"}}) {
    fs::remove(calls_);
    const ProcessResult result =
        Count({"-j", c.jobs, "-o", target.string(), dir_.str() + "/in"}, "z.pdf", c.signal);
    const std::string which = std::string(strsignal(c.signal)) + ", jobs " + c.jobs;
    EXPECT_EQ(result.end_signal, 0) << which;
    EXPECT_EQ(result.exit_status, 130) << which << "\n" << result.err;
    EXPECT_EQ(ReadFileBytes(target), "old results\r\n") << which;
    EXPECT_EQ(OutFolder(), std::vector<std::string>{"results.txt"}) << which;
  }
}

TEST_F(HeldCount, InterruptWhileTheListIsStillComing) {
  dir_.Write("in/a.pdf", MakePdf(1));
  const fs::path target = dir_.Write("out/results.txt", "old results\r\n");
  const fs::path list = dir_.path() / "list";
  MakeFifo(list);
  // Held open for writing, the list never ends; its first name waits in the pipe.
  const int writer = ::open(list.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  const std::string first = dir_.str() + "/in/a.pdf\n";
  ASSERT_EQ(::write(writer, first.data(), first.size()), static_cast<ssize_t>(first.size()));
  ProcessOptions from_list;
  from_list.input_file = list.string();
  const ProcessResult result =
      CountSignalling({"--files-from", "-", "-o", target.string()}, "a.pdf", SIGINT, from_list);
  ::close(writer);
  EXPECT_EQ(result.end_signal, 0);
  EXPECT_EQ(result.exit_status, 130) << result.err;
  EXPECT_EQ(ReadFileBytes(target), "old results\r\n");
  EXPECT_EQ(OutFolder(), std::vector<std::string>{"results.txt"});
}

TEST_F(HeldCount, FileTimeoutIsTheTimeLimitOfEachCount) {
  dir_.Write("in/a.pdf", MakePdf(1));
  dir_.Write("in/b.pdf", MakePdf(2));
  EXPECT_EQ(Count({"-j1", "--file-timeout", "2.5", dir_.str() + "/in"}).exit_status, 0);
  EXPECT_EQ(Calls(), "a.pdf 2500\nb.pdf 2500\n");
  fs::remove(calls_);
  // Without the option the library's own bound applies.
  EXPECT_EQ(Count({"-j1", "--file-timeout=0.0001", dir_.str() + "/in/a.pdf"}).exit_status, 0);
  EXPECT_EQ(Count({dir_.str() + "/in/b.pdf"}).exit_status, 0);
  EXPECT_EQ(Calls(), "a.pdf 1\nb.pdf 0\n");
  for (const char* wrong : {"0", "-1", "abc", "1e9", ""}) {
    const ProcessResult usage = Count({"--file-timeout", wrong, dir_.str() + "/in"});
    EXPECT_EQ(usage.exit_status, 2) << wrong;
    EXPECT_NE(usage.err.find("--file-timeout wants a number of seconds"), std::string::npos);
  }
}

}  // namespace
}  // namespace foliotally::test
