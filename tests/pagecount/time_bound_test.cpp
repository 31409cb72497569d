// The bound on one count's time, and the repair helper that keeps qpdf out of the library:
// a helper that hangs is killed at the deadline, one that fails or talks nonsense leaves the
// file damaged, and the real helper repairs what the reader cannot.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "pagecount/byte_source.h"
#include "pagecount/foliotally.h"
#include "pagecount/page_counter.h"
#include "pagecount/repair_process.h"
#include "pagecount/unique_fd.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::pdf {
namespace {

TEST(HelperAnswer, ReadsOnlyWellFormedLines) {
  for (const CountResult r :
       {CountResult{Verdict::kCounted, 12}, CountResult{Verdict::kCounted, 3, nullptr, true},
        CountResult{Verdict::kEncrypted}, CountResult{Verdict::kDamaged}}) {
    const CountResult back = ParseHelperAnswer(FormatHelperAnswer(r));
    EXPECT_EQ(back.verdict, r.verdict);
    EXPECT_EQ(back.pages, r.pages);
    EXPECT_EQ(back.recovered, r.recovered);
  }
  for (const char* nonsense : {"", "0 5", "0 5\n\n", "0 -5\n", "9 1\n", "x 1\n", "0 99999999999\n",
                               "0  5\n", "0 5 2\n", "0 5 1", "0 5 1\n\n"})
    EXPECT_EQ(ParseHelperAnswer(nonsense).verdict, Verdict::kDamaged) << nonsense;
}

class RepairHelper : public ::testing::Test {
 protected:
  // A stand-in helper: a shell script with `body`.
  std::string Helper(const std::string& body) {
    const auto path = dir_.Write("helper", "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0700);
    return path.string();
  }
  CountResult Run(const std::string& helper, uint32_t limit_ms = 0) {
    const UniqueFd fd(::open(pdf_.c_str(), O_RDONLY | O_CLOEXEC));
    return CountInRepairHelper(helper, fd.get(), Deadline(limit_ms));
  }
  test::TempDir dir_;
  std::string pdf_ = dir_.Write("file.pdf", test::MakePdf(2)).string();
};

TEST_F(RepairHelper, AnswerComesFromTheHelpersOutputAndItsInputIsTheFile) {
  // The file arrives on standard input: the script answers with its length.
  EXPECT_EQ(Run(Helper("n=$(wc -c); printf '0 %d\\n' $n")).pages,
            static_cast<int32_t>(test::MakePdf(2).size()));
}

TEST_F(RepairHelper, FailingOrMissingHelpersLeaveTheFileDamaged) {
  EXPECT_EQ(Run(Helper("exit 3")).verdict, Verdict::kDamaged);
  EXPECT_EQ(Run(Helper("kill -SEGV $$")).verdict, Verdict::kDamaged);
  EXPECT_EQ(Run(Helper("echo 'twelve pages'")).verdict, Verdict::kDamaged);
  EXPECT_EQ(Run((dir_.path() / "missing").string()).verdict, Verdict::kDamaged);
  EXPECT_EQ(Run("").verdict, Verdict::kDamaged);
}

TEST_F(RepairHelper, HelperThatHangsIsKilledAtTheDeadline) {
  const std::string pid_file = (dir_.path() / "pid").string();
  const auto start = std::chrono::steady_clock::now();
  const CountResult r = Run(Helper("echo $$ > " + pid_file + "; exec sleep 60"), 300);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(r.verdict, Verdict::kTimedOut);
  EXPECT_EQ(ToResultCode(r), FOLIOTALLY_DAMAGED);
  pid_t pid = 0;
  std::ifstream(pid_file) >> pid;
  ASSERT_GT(pid, 0);
  EXPECT_NE(::kill(pid, 0), 0);  // killed and collected: no such process any more
}

TEST(TimeBound, AnExpiredCountEndsAsTimedOut) {
  test::PdfOptions o;
  o.pages = 3;
  o.update_pages = 2;
  const std::string pdf = test::MakePdfWith(o);
  MemoryByteSource source(pdf);
  const Deadline passed(1);
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(ReadPageCount(source, passed).verdict, Verdict::kTimedOut);
  EXPECT_EQ(ScanPageCount(source, passed).verdict, Verdict::kTimedOut);
  EXPECT_EQ(ReadPageCount(source).pages, 5);
}

TEST(TimeBound, TheLibrarysHelperRepairsWhatTheReaderCannot) {
  // Every offset of the table is wrong: the reader gives up, the helper's qpdf rebuilds it.
  std::string pdf = test::MakePdf(3);
  const size_t entry = pdf.find(" 00000 n", pdf.find("xref")) - 10;
  pdf.replace(entry, 10, "9999999999");
  test::TempDir dir;
  const std::string path = dir.Write("damaged.pdf", pdf).string();
  EXPECT_EQ(GetFoliotally(path.c_str()), 3);
  EXPECT_EQ(GetFoliotallyAt(AT_FDCWD, path.c_str(), 2000), 3);
  // Relative to an open folder.
  const UniqueFd folder(::open(dir.str().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  EXPECT_EQ(GetFoliotallyAt(folder.get(), "damaged.pdf", 0), 3);
  // From a descriptor the caller holds: read in place, left open, its offset unmoved.
  const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_EQ(::lseek(file.get(), 5, SEEK_SET), 5);
  EXPECT_EQ(GetFoliotallyFd(file.get(), 0), 3);
  EXPECT_EQ(::lseek(file.get(), 0, SEEK_CUR), 5);
  EXPECT_EQ(GetFoliotallyFd(folder.get(), 0), FOLIOTALLY_NOT_REGULAR);
  EXPECT_EQ(GetFoliotallyFd(-1, 0), FOLIOTALLY_UNREADABLE);
}

}  // namespace
}  // namespace foliotally::pdf
