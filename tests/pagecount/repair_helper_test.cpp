// The repair helper as the library starts it: each call reads a file description of its own
// (one descriptor counted on eight threads), its memory is bounded (a file whose object
// stream inflates to gigabytes), it is found where the library really stands (never in the
// folder the process has moved to), and a helper that cannot run says so.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "count_cli/run_process.h"
#include "pagecount/count_pdf.h"
#include "pagecount/foliotally.h"
#include "pagecount/repair_process.h"
#include "pagecount/unique_fd.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::pdf {
namespace {

namespace fs = std::filesystem;

// A file the library's own reader gives up on (every offset of the table is wrong), so
// each count of it starts the helper, whose qpdf rebuilds the table.
std::string NeedsTheHelper(int pages) {
  std::string pdf = test::MakePdf(pages);
  const size_t entry = pdf.find(" 00000 n", pdf.find("xref")) - 10;
  pdf.replace(entry, 10, "9999999999");
  return pdf;
}

// `total` zero bytes (a multiple of 1 MiB) as one zlib stream of about a thousandth of
// that. After a full flush the compressor starts afresh, so one flushed megabyte is
// written once and repeated; the checksum is combined rather than computed over it all.
std::string DeflatedZeros(uint64_t total) {
  constexpr size_t kChunk = 1 << 20;
  const std::string zeros(kChunk, '\0');
  z_stream z{};
  deflateInit(&z, Z_BEST_COMPRESSION);
  const auto deflate_once = [&](size_t size, int flush) {
    std::string out(deflateBound(&z, size) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    z.avail_in = static_cast<uInt>(size);
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, flush);
    out.resize(out.size() - z.avail_out);
    return out;
  };
  std::string stream = deflate_once(kChunk, Z_FULL_FLUSH);  // with the zlib header
  const std::string repeated = deflate_once(kChunk, Z_FULL_FLUSH);
  std::string tail = deflate_once(0, Z_FINISH);
  deflateEnd(&z);
  const uLong chunk_sum =
      adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(zeros.data()), kChunk);
  uLong sum = chunk_sum;
  for (uint64_t done = kChunk; done < total; done += kChunk) {
    stream += repeated;
    sum = adler32_combine(sum, chunk_sum, kChunk);
  }
  for (int i = 0; i < 4; ++i)
    tail[tail.size() - 4 + i] = static_cast<char>((sum >> (24 - 8 * i)) & 0xFF);
  return stream + tail;
}

// A file whose catalog lies in an object stream that inflates to `inflated` bytes: the
// reader refuses a stream that large; qpdf, to find the catalog, inflates all of it.
std::string InflationBomb(uint64_t inflated) {
  std::string out = "%PDF-1.5\n";
  const size_t stream_at = out.size();
  const std::string data = DeflatedZeros(inflated);
  out += "1 0 obj\n<< /Type /ObjStm /N 3 /First 20 /Filter /FlateDecode /Length " +
         std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream\nendobj\n";
  const size_t xref_at = out.size();
  // Entries of 1 + 4 + 2 bytes: type, offset or stream, generation or index.
  std::string entries;
  const auto entry = [&](int type, uint32_t field, uint16_t second) {
    entries += static_cast<char>(type);
    for (int shift = 24; shift >= 0; shift -= 8)
      entries += static_cast<char>((field >> shift) & 0xFF);
    entries += static_cast<char>(second >> 8);
    entries += static_cast<char>(second & 0xFF);
  };
  entry(0, 0, 0xFFFF);
  entry(1, static_cast<uint32_t>(stream_at), 0);
  entry(1, static_cast<uint32_t>(xref_at), 0);
  for (uint16_t i = 0; i < 3; ++i) entry(2, 1, i);
  out += "2 0 obj\n<< /Type /XRef /Size 6 /W [1 4 2] /Root 3 0 R /Length " +
         std::to_string(entries.size()) + " >>\nstream\n" + entries + "\nendstream\nendobj\n";
  out += "startxref\n" + std::to_string(xref_at) + "\n%%EOF\n";
  return out;
}

UniqueFd OpenRead(const fs::path& path) {
  return UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

TEST(RepairHelperFile, EightThreadsOnOneDescriptorGetTheSingleThreadAnswer) {
  test::TempDir dir;
  for (const int pages : {30, 0, 4}) {
    const UniqueFd fd = OpenRead(dir.Write("damaged.pdf", NeedsTheHelper(pages)));
    ASSERT_EQ(::lseek(fd.get(), 7, SEEK_SET), 7);
    const int32_t single = GetFoliotallyFd(fd.get(), 20000);
    // A file with no page at all is no count, whatever it is called.
    if (pages > 0) {
      ASSERT_EQ(single, pages);
    }
    constexpr int kThreads = 8;
    constexpr int kCallsEach = 4;
    std::vector<std::vector<int32_t>> answers(kThreads);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < kCallsEach; ++i) answers[t].push_back(GetFoliotallyFd(fd.get(), 20000));
      });
    }
    go = true;
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t)
      for (const int32_t answer : answers[t])
        EXPECT_EQ(answer, single) << pages << " pages, thread " << t;
    EXPECT_EQ(::lseek(fd.get(), 0, SEEK_CUR), 7) << "the caller's offset moved";
  }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

TEST(RepairHelperMemory, AnInflationBombEndsAsDamagedWithinTheBound) {
  if (kSanitized) GTEST_SKIP() << "a sanitized helper runs without the bound";
  test::TempDir dir;
  const auto path = dir.Write("bomb.pdf", InflationBomb(uint64_t{2} << 30));
  ASSERT_LT(fs::file_size(path), 4u << 20);
  const UniqueFd fd = OpenRead(path);
  // Time enough to inflate it all: the bound, not the deadline, must end it.
  const RepairRun run = RunRepairHelper(FOLIOTALLY_REPAIR_HELPER, fd.get(), Deadline(60000));
  EXPECT_EQ(run.result.verdict, Verdict::kDamaged);
  EXPECT_FALSE(RepairHelperCouldNotRun(run.result));
  EXPECT_GT(run.peak_kib, 0);
  EXPECT_LE(run.peak_kib, static_cast<long>(kRepairHelperAddressSpace >> 10));
  std::printf("helper peak on a 2 GiB inflation bomb: %ld KiB\n", run.peak_kib);
}

TEST(RepairHelperMemory, ARealRepairFitsTheBound) {
  test::TempDir dir;
  const UniqueFd fd = OpenRead(dir.Write("damaged.pdf", NeedsTheHelper(2000)));
  const RepairRun run = RunRepairHelper(FOLIOTALLY_REPAIR_HELPER, fd.get(), Deadline(60000));
  EXPECT_EQ(run.result.verdict, Verdict::kCounted);
  EXPECT_EQ(run.result.pages, 2000);
}

class HelperThatCannotRun : public ::testing::Test {
 protected:
  CountResult Run(const std::string& helper) {
    return CountInRepairHelper(helper, file_.get(), Deadline(20000));
  }
  test::TempDir dir_;
  UniqueFd file_ = OpenRead(dir_.Write("damaged.pdf", NeedsTheHelper(3)));
};

TEST_F(HelperThatCannotRun, IsItsOwnOutcomeNotAVerdictOnTheFile) {
  const auto not_executable = dir_.Write("helper", "#!/bin/sh\necho '0 9'\n");
  ::chmod(not_executable.c_str(), 0644);
  for (const std::string& helper :
       {std::string(), (dir_.path() / "missing").string(), not_executable.string(), dir_.str()}) {
    const CountResult r = Run(helper);
    EXPECT_EQ(r.verdict, Verdict::kDamaged) << helper;
    EXPECT_TRUE(RepairHelperCouldNotRun(r)) << helper;
  }
  // A helper that ran and failed is a verdict on the file, not a missing helper.
  const auto crashing = dir_.Write("crashing", "#!/bin/sh\nkill -SEGV $$\n");
  ::chmod(crashing.c_str(), 0755);
  EXPECT_FALSE(RepairHelperCouldNotRun(Run(crashing.string())));
  EXPECT_FALSE(RepairHelperCouldNotRun(Run(FOLIOTALLY_REPAIR_HELPER)));
  EXPECT_EQ(Run(FOLIOTALLY_REPAIR_HELPER).pages, 3);
}

TEST_F(HelperThatCannotRun, TheCountCarriesItAsItsReason) {
  // This test program links the reader itself, and no helper stands beside it.
  if (!FindRepairHelper().empty()) GTEST_SKIP() << "a helper stands beside the test";
  const std::string damaged = (dir_.path() / "damaged.pdf").string();
  const CountResult r = CountPdfFileWithReason(AT_FDCWD, damaged.c_str(), 20000);
  EXPECT_TRUE(RepairHelperCouldNotRun(r)) << (r.why ? r.why : "no reason");
  // A file the reader counts on its own never needed the helper.
  const std::string sound = dir_.Write("sound.pdf", test::MakePdf(2)).string();
  EXPECT_FALSE(RepairHelperCouldNotRun(CountPdfFileWithReason(AT_FDCWD, sound.c_str(), 0)));
}

TEST_F(HelperThatCannotRun, WhenNoProcessMayBeStarted) {
  if (::geteuid() == 0) GTEST_SKIP() << "the process limit does not bind the administrator";
  // In a child of its own, so that the test's own limit stays as it was.
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_NPROC, &none);
    ::_exit(RepairHelperCouldNotRun(Run(FOLIOTALLY_REPAIR_HELPER)) ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// The library loaded through a relative path (LD_LIBRARY_PATH=lib), by a program that then
// moves to another folder, as the window does while the user browses: helpers planted there
// where a relative location would lead, or on PATH, are never run.
TEST(RepairHelperLocation, AProgramInTheFolderMovedToIsNeverRun) {
  test::TempDir dir;
  const std::string pdf = dir.Write("damaged.pdf", NeedsTheHelper(3)).string();
  fs::create_directory_symlink(FOLIOTALLY_LIBRARY_DIR, dir.path() / "lib");
  const std::string planted = "#!/bin/sh\ntouch " + dir.str() + "/planted-ran\necho '0 4242'\n";
  for (const char* where :
       {"browsed/lib/", "browsed/libexec/foliotally/", "browsed/", "browsed/bin/"}) {
    const auto path = dir.Write(std::string(where) + kRepairHelperName, planted);
    ::chmod(path.c_str(), 0755);
  }
  test::ProcessOptions options;
  options.working_folder = dir.str();
  options.timeout_seconds = 30;
  options.environment = {"LD_LIBRARY_PATH=lib", "PATH=" + dir.str() + "/browsed/bin:/usr/bin:/bin"};
  const test::ProcessResult result =
      test::RunProcess(FOLIOTALLY_LOCATION_PROBE, {dir.str() + "/browsed", pdf}, options);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "3\n");
  EXPECT_FALSE(fs::exists(dir.path() / "planted-ran"));
}

}  // namespace
}  // namespace foliotally::pdf
