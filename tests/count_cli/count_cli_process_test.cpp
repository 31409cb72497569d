// Drives the built foliotally-count on real folder trees: what it writes, in which order,
// with which exit status, and what it leaves on disk when writing fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "count_cli/count_process.h"
#include "support/pdf_writer.h"
#include "support/special_files.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

namespace fs = std::filesystem;

ProcessResult Count(const std::vector<std::string>& args, const ProcessOptions& options = {}) {
  return RunCount(args, options);
}

ProcessOptions InFolder(const std::string& folder) {
  ProcessOptions options;
  options.working_folder = folder;
  return options;
}

ProcessOptions ShortTimeout() {
  ProcessOptions options;
  options.timeout_seconds = 20;
  return options;
}

ProcessOptions FileSizeLimit(long bytes) {
  ProcessOptions options;
  options.file_size_limit = bytes;
  return options;
}

// The example tree of a whole-tree count: S holds a.pdf, A (x.pdf, A1/y.pdf) and B
// (z.pdf), with page counts 1 to 4 in walk order, plus entries the walk must leave out.
class ExampleTree : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("S/a.pdf", MakePdf(1));
    dir_.Write("S/A/x.pdf", MakePdf(2));
    dir_.Write("S/A/A1/y.pdf", MakePdf(3));
    dir_.Write("S/B/z.pdf", MakePdf(4));
    dir_.Write("S/.cache/skipped.pdf", MakePdf(5));
    dir_.Write("S/.cache/deeper/skipped.pdf", MakePdf(5));
    dir_.Write("S/A/notes.txt", "not counted: no match for *.pdf");
    dir_.MakeFolder("S/Empty");
  }
  std::string S() const { return (dir_.path() / "S").string(); }
  TempDir dir_;
};

TEST_F(ExampleTree, WalksDepthFirstFilesBeforeSubfoldersAndSkipsDotFolders) {
  const ProcessResult result = Count({S()});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, S() + "/a.pdf;1\n" + S() + "/A/x.pdf;2\n" + S() + "/A/A1/y.pdf;3\n" + S() +
                            "/B/z.pdf;4\n");
  EXPECT_EQ(result.err, "Counted 4 files, 10 pages.\n");
}

TEST_F(ExampleTree, NoRecurseCountsTheNamedFolderAlone) {
  const ProcessResult result = Count({"--no-recurse", S()});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, S() + "/a.pdf;1\n");
}

TEST_F(ExampleTree, WithoutPathCountsTheCurrentFolder) {
  const ProcessResult result = Count({"--no-recurse"}, InFolder(S() + "/A"));
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "./x.pdf;2\n");
}

TEST_F(ExampleTree, LogFileHoldsTheBytesTheWindowSaves) {
  const fs::path target = dir_.path() / "out.txt";
  const ProcessResult result = Count({"--output", target.string(), S() + "/B", S() + "/a.pdf"});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(ReadFileBytes(target), S() + "/B/z.pdf;4\r\n" + S() + "/a.pdf;1\r\n");
}

TEST_F(ExampleTree, MaskOfSeveralPatternsCountsEachFileOnce) {
  dir_.Write("S/A/Extra.PDF", MakePdf(7));
  dir_.Write("S/A/x.ai", MakePdf(6));
  const ProcessResult result = Count({"--mask", "*.pdf;X*;*.AI", S() + "/A", "--no-recurse"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, S() + "/A/Extra.PDF;7\n" + S() + "/A/x.ai;6\n" + S() + "/A/x.pdf;2\n");
}

TEST(CountCli, OutputIsTheSameBytesWhateverTheNumberOfJobs) {
  TempDir dir;
  for (int folder = 0; folder < 12; ++folder) {
    for (int file = 0; file < 25; ++file) {
      const std::string name = "f" + std::to_string(folder) + "/sub/" + (file % 2 ? "B" : "a") +
                               std::to_string(file) + ".pdf";
      dir.Write(name, file % 7 == 3 ? std::string("broken") : MakePdf(1 + (folder * file) % 9));
    }
  }
  for (const std::string format : {"log", "csv", "json"}) {
    const ProcessResult one = Count({"--jobs", "1", "--format", format, dir.str()});
    const ProcessResult eight = Count({"--jobs=8", "--format", format, dir.str()});
    EXPECT_EQ(one.exit_status, 1);
    EXPECT_EQ(eight.exit_status, 1);
    EXPECT_EQ(one.out, eight.out) << format;
    EXPECT_EQ(one.err, eight.err) << format;
    EXPECT_NE(one.out.find("f9/sub/a8.pdf"), std::string::npos);
  }
}

TEST(CountCli, CsvQuotesPathsAndNamesTheReason) {
  TempDir dir;
  dir.Write("odd, \"quoted\"\nname.pdf", MakePdf(3));
  dir.Write("plain.pdf", "%PDF-1.4\nthis is no PDF body at all");
  dir.Write("text.pdf", "hello");
  const ProcessResult result = Count({"--format", "csv", dir.str()});
  EXPECT_EQ(result.exit_status, 1);
  const std::string d = dir.str();
  EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "path,pages,status,reason");
  EXPECT_NE(result.out.find("\"" + d + "/odd, \"\"quoted\"\"\nname.pdf\",3,ok,\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("\n" + d + "/text.pdf,,not a PDF file,no PDF header\n"),
            std::string::npos);
  EXPECT_NE(result.err.find(d + "/text.pdf: not a PDF file (no PDF header)\n"), std::string::npos);
  EXPECT_NE(result.err.find("Counted 3 files, 3 pages."), std::string::npos) << result.err;
}

TEST(CountCli, CsvFileEndsLinesWithCrLf) {
  TempDir dir;
  dir.Write("in/a.pdf", MakePdf(2));
  const fs::path target = dir.path() / "out.csv";
  const ProcessResult result = Count({"-f", "csv", "-o", target.string(), dir.str() + "/in"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(ReadFileBytes(target),
            "path,pages,status,reason\r\n" + dir.str() + "/in/a.pdf,2,ok,\r\n");
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) hex += {kDigits[c >> 4], kDigits[c & 15]};
  return hex;
}

TEST(CountCli, JsonEscapesControlCharactersAndCarriesBytesThatAreNotUtf8) {
  TempDir dir;
  dir.Write("tab\tand\x01\"q\\.pdf", MakePdf(2));
  dir.Write("caf\xE9.pdf", MakePdf(1));  // Latin-1, not UTF-8
  dir.Write("zz.pdf", "nope");
  const ProcessResult result = Count({"--format", "json", dir.str()});
  EXPECT_EQ(result.exit_status, 1);
  const std::string d = dir.str();
  EXPECT_EQ(
      result.out,
      "{\"path\":\"" + d + "/caf\xEF\xBF\xBD.pdf\",\"path_hex\":\"" + Hex(d + "/caf\xE9.pdf") +
          "\",\"pages\":1,\"status\":\"ok\"}\n" + "{\"path\":\"" + d +
          "/tab\\tand\\u0001\\\"q\\\\.pdf\",\"pages\":2,\"status\":\"ok\"}\n" + "{\"path\":\"" + d +
          "/zz.pdf\",\"pages\":null,\"status\":\"not a PDF file\",\"reason\":\"no PDF header\"}\n");
}

TEST(CountCli, ExitStatusTellsWhatWentWrong) {
  TempDir dir;
  dir.Write("good.pdf", MakePdf(2));
  dir.Write("bad.pdf", "plain text, no PDF header");
  const std::string good = dir.str() + "/good.pdf";

  EXPECT_EQ(Count({good}).exit_status, 0);
  EXPECT_EQ(Count({good, dir.str() + "/bad.pdf"}).exit_status, 1);

  // A missing path is reported and the others are still counted.
  const ProcessResult missing = Count({dir.str() + "/gone", good});
  EXPECT_EQ(missing.exit_status, 2);
  EXPECT_EQ(missing.out, good + ";2\n");
  EXPECT_NE(missing.err.find(dir.str() + "/gone: no such file or folder"), std::string::npos);

  const ProcessResult usage = Count({"--format", "xml", good});
  EXPECT_EQ(usage.exit_status, 2);
  EXPECT_EQ(usage.out, "");
  EXPECT_NE(usage.err.find("--format wants log, csv or json, not 'xml'"), std::string::npos);
  EXPECT_EQ(Count({"--jobs"}).exit_status, 2);
  EXPECT_EQ(Count({"--bogus"}).exit_status, 2);
}

TEST(CountCli, HelpAndVersion) {
  const ProcessResult version = Count({"--version"});
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(version.out, "foliotally-count 1.1.0\n");
  const ProcessResult help = Count({"--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_EQ(help.out.rfind("Usage: foliotally-count", 0), 0u);
}

TEST(CountCli, NamedFileIsCountedWhateverItsName) {
  TempDir dir;
  const fs::path file = dir.Write("scan.bin", MakePdf(5));
  const ProcessResult result = Count({file.string()});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, file.string() + ";5\n");
}

TEST(CountCli, FifoIsNeverOpenedWhetherNamedOrWalked) {
  TempDir dir;
  dir.Write("a.pdf", MakePdf(1));
  MakeFifo(dir.path() / "x.pdf");
  // Walked: a FIFO is a system entry and is not listed at all.
  const ProcessResult walked = Count({dir.str()}, ShortTimeout());
  EXPECT_EQ(walked.exit_status, 0);
  EXPECT_EQ(walked.out, dir.str() + "/a.pdf;1\n");
  // Named: it is a file the user asked for, reported as not regular.
  const ProcessResult named = Count({dir.str() + "/x.pdf"}, ShortTimeout());
  EXPECT_EQ(named.exit_status, 1);
  EXPECT_NE(named.err.find("/x.pdf: not a regular file"), std::string::npos) << named.err;
}

TEST(CountCli, LinkToAnAncestorDoesNotLoop) {
  TempDir dir;
  dir.Write("top/a.pdf", MakePdf(1));
  dir.Write("top/sub/b.pdf", MakePdf(2));
  fs::create_directory_symlink(dir.path() / "top", dir.path() / "top/sub/back");
  fs::create_directory_symlink("..", dir.path() / "top/sub/up");
  const ProcessResult result = Count({dir.str() + "/top"}, ShortTimeout());
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, dir.str() + "/top/a.pdf;1\n" + dir.str() + "/top/sub/b.pdf;2\n");
}

TEST(CountCli, NoProgressLineWhenStandardErrorIsNoTerminal) {
  TempDir dir;
  for (int i = 0; i < 50; ++i) dir.Write("f" + std::to_string(i) + ".pdf", MakePdf(1));
  const ProcessResult result = Count({dir.str()});
  EXPECT_EQ(result.err, "Counted 50 files, 50 pages.\n");
}

// --output: the target is replaced only by a complete file, and no temporary file is
// left behind, whatever goes wrong.
class OutputFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 200; ++i)
      dir_.Write("in/document-with-a-long-name-" + std::to_string(i) + ".pdf", MakePdf(1));
    target_ = dir_.Write("out/results.txt", "old results\r\n");
  }
  // Every entry of the target's folder.
  std::vector<std::string> OutFolder() const { return EntryNames(dir_.path() / "out"); }
  TempDir dir_;
  fs::path target_;
};

TEST_F(OutputFailure, WriteErrorLeavesTheOldFileAndNoTemporary) {
  const ProcessResult result =
      Count({"-o", target_.string(), dir_.str() + "/in"}, FileSizeLimit(4096));
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_NE(result.err.find("cannot write " + target_.string() + ": File too large"),
            std::string::npos)
      << result.err;
  EXPECT_EQ(ReadFileBytes(target_), "old results\r\n");
  EXPECT_EQ(OutFolder(), std::vector<std::string>{"results.txt"});
}

TEST_F(OutputFailure, TargetThatIsAFolderIsRefusedBeforeAnythingIsCounted) {
  const fs::path folder_target = dir_.MakeFolder("out/taken");
  dir_.Write("out/taken/keep.txt", "keep");
  const ProcessResult result = Count({"-o", folder_target.string(), dir_.str() + "/in"});
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_EQ(result.err,
            "foliotally-count: cannot write " + folder_target.string() + ": Is a directory\n");
  EXPECT_EQ(ReadFileBytes(folder_target / "keep.txt"), "keep");
  EXPECT_EQ(OutFolder(), (std::vector<std::string>{"results.txt", "taken"}));
}

TEST_F(OutputFailure, MissingFolderIsReportedBeforeAnythingIsCounted) {
  const ProcessResult result = Count({"-o", dir_.str() + "/nowhere/r.txt", dir_.str() + "/in"});
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_NE(result.err.find("No such file or directory"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("Counted"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_.path() / "nowhere"));
}

// --output onto what is not a plain file: a link's file is replaced and the link kept;
// a FIFO, a device and a descriptor are written directly and stay what they are.
TEST_F(OutputFailure, LinksAreFollowedAndStreamsWrittenDirectly) {
  const std::string in = dir_.str() + "/in/document-with-a-long-name-7.pdf";
  const std::string line = in + ";1\r\n";
  fs::create_symlink("results.txt", dir_.path() / "out/link.txt");
  EXPECT_EQ(Count({"-o", (dir_.path() / "out/link.txt").string(), in}).exit_status, 0);
  EXPECT_TRUE(fs::is_symlink(dir_.path() / "out/link.txt"));
  EXPECT_EQ(ReadFileBytes(target_), line);

  const fs::path fifo = dir_.path() / "out/fifo";
  MakeFifo(fifo);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(Count({"-o", fifo.string(), in}, ShortTimeout()).exit_status, 0);
  std::string got(4096, '\0');
  got.resize(static_cast<size_t>(std::max<ssize_t>(0, ::read(reader, got.data(), got.size()))));
  ::close(reader);
  EXPECT_EQ(got, line);
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);

  // /dev/stdout leads through /dev/fd/1 to the descriptor; lines end as in any file.
  const ProcessResult descriptor = Count({"-o", "/dev/fd/1", in});
  EXPECT_EQ(descriptor.exit_status, 0) << descriptor.err;
  EXPECT_EQ(descriptor.out, line);

  // Only an administrator may make a device node, and not in every container.
  std::vector<std::string> expected{"fifo", "link.txt", "results.txt"};
  const fs::path null_device = dir_.path() / "out/null";
  if (::mknod(null_device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
    EXPECT_EQ(Count({"-o", null_device.string(), in}).exit_status, 0);
    EXPECT_EQ(fs::status(null_device).type(), fs::file_type::character);
    expected.insert(expected.begin() + 2, "null");
  }
  EXPECT_EQ(OutFolder(), expected);  // no temporary file anywhere
}

TEST(CountCli, LogFormatRefusesNamesWithControlCharactersAndKeepsOthersByteForByte) {
  TempDir dir;
  dir.Write("line\nbreak.pdf", MakePdf(1));
  dir.Write("screen\x1b[2J.pdf", MakePdf(2));
  dir.Write("tab\t.pdf", MakePdf(3));
  dir.Write("z caf\xc3\xa9;\\ \"q\".pdf", MakePdf(4));  // ordinary, however odd
  const fs::path target = dir.path() / "out.txt";
  const ProcessResult result = Count({"-o", target.string(), dir.str()});
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(ReadFileBytes(target), dir.str() + "/z caf\xc3\xa9;\\ \"q\".pdf;4\r\n");
  const std::string refused = ": not listed: the log format cannot hold a name with a control";
  EXPECT_NE(result.err.find("/line?break.pdf" + refused), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("/screen?[2J.pdf" + refused), std::string::npos);
  EXPECT_NE(result.err.find("/tab?.pdf" + refused), std::string::npos);
  EXPECT_NE(result.err.find("Counted 4 files, 4 pages. 3 files could not be counted."),
            std::string::npos);
  EXPECT_EQ(result.err.find('\x1b'), std::string::npos);
}

// A program started with standard error closed must not write its messages into the
// first file it opens, which would take descriptor 2.
TEST(CountCli, ClosedStandardDescriptorsAreNeverTakenByTheOutput) {
  TempDir dir;
  dir.Write("in/a.pdf", MakePdf(1));
  dir.Write("in/bad.pdf", "not a PDF");
  const fs::path target = dir.path() / "out.txt";
  ProcessOptions closed;
  closed.closed_descriptors = {0, 2};
  const ProcessResult result = Count({"-o", target.string(), dir.str() + "/in"}, closed);
  EXPECT_EQ(result.exit_status, 1);
  EXPECT_EQ(ReadFileBytes(target), dir.str() + "/in/a.pdf;1\r\n");
}

}  // namespace
}  // namespace foliotally::test

namespace foliotally::test {
namespace {

// A file cut short is damaged: counted as a viewer shows it, but never as sound, and a file
// with a header and nothing else is no file of 0 pages.
TEST(CountCli, DamagedFilesAreMarkedAndFailTheRun) {
  TempDir dir;
  const std::string whole = MakePdf(3);
  dir.Write("cut.pdf", whole.substr(0, whole.find("xref")));
  dir.Write("empty.pdf", "%PDF-1.4\n");
  const ProcessResult result = Count({"--format", "csv", dir.str()});
  EXPECT_EQ(result.exit_status, 1);
  const std::string d = dir.str();
  EXPECT_NE(result.out.find(d + "/cut.pdf,3,recovered,file ends early after object"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find(d + "/empty.pdf,,damaged PDF,no page found"), std::string::npos)
      << result.out;
  EXPECT_NE(result.err.find("'" + d + "/cut.pdf': damaged file, 3 pages counted as a viewer"),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find("Counted 2 files, 3 pages. 1 damaged file counted as a viewer shows "
                            "it. 1 file could not be counted."),
            std::string::npos)
      << result.err;
  const ProcessResult strict = Count({"--strict", dir.str()});
  EXPECT_EQ(strict.exit_status, 1);
  EXPECT_EQ(strict.out, "");
  EXPECT_NE(strict.err.find("Counted 2 files, 0 pages. 2 files could not be counted."),
            std::string::npos)
      << strict.err;
}

}  // namespace
}  // namespace foliotally::test
