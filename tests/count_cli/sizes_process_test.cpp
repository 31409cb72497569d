// foliotally-count --sizes as a program: log lines unchanged, sizes in json, and the pages
// per paper on standard error after the summary.
#include <gtest/gtest.h>

#include "count_cli/count_process.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

class SizesRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("S/a.pdf", MakePdf(2));  // Letter pages
    dir_.Write("S/b.pdf", MakePdfFromObjects({
                              "<< /Type /Catalog /Pages 2 0 R >>",
                              "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                              "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Rotate 90 >>",
                              "<< /Type /Page /Parent 2 0 R >>",
                          }));
    dir_.Write("S/c.pdf", "not a PDF");
  }
  std::string S() const { return (dir_.path() / "S").string(); }
  TempDir dir_;
};

TEST_F(SizesRun, LogLinesStayAsTheyAreAndTheRunTallyFollowsTheSummary) {
  const ProcessResult plain = RunCount({S()});
  const ProcessResult sized = RunCount({"--sizes", S()});
  EXPECT_EQ(sized.out, plain.out);
  EXPECT_EQ(sized.out, S() + "/a.pdf;2\n" + S() + "/b.pdf;2\n");
  EXPECT_EQ(sized.exit_status, plain.exit_status);
  EXPECT_EQ(sized.err, plain.err +
                           "Pages by paper size:\n"
                           "  Letter portrait: 2\n"
                           "  A4 landscape: 1\n"
                           "  unknown size: 1\n");
}

TEST_F(SizesRun, JsonRecordsCarryTheSizesOfEachFile) {
  const ProcessResult result =
      RunCount({"--sizes", "--format=json", S() + "/b.pdf", S() + "/c.pdf"});
  EXPECT_EQ(result.out,
            "{\"path\":\"" + S() +
                "/b.pdf\",\"pages\":2,\"status\":\"ok\",\"sizes\":["
                "{\"width_pt\":842,\"height_pt\":595,\"pages\":1,\"paper\":\"A4\","
                "\"orientation\":\"landscape\"},{\"width_pt\":null,\"height_pt\":null,\"pages\":1,"
                "\"paper\":null,\"orientation\":null}]}\n"
                "{\"path\":\"" +
                S() +
                "/c.pdf\",\"pages\":null,\"status\":\"not a PDF file\","
                "\"reason\":\"no PDF header\",\"sizes\":null}\n");
  // Without --sizes the records are as they always were.
  const ProcessResult plain = RunCount({"--format=json", S() + "/b.pdf"});
  EXPECT_EQ(plain.out, "{\"path\":\"" + S() + "/b.pdf\",\"pages\":2,\"status\":\"ok\"}\n");
}

// With --sizes a file is read once for its count and its sizes: each record still says what
// the count alone says, damage and reasons included.
TEST_F(SizesRun, EachRecordSaysWhatTheCountAloneSays) {
  dir_.Write("S/d.pdf", MakePdfFromObjects({
                            "<< /Type /Catalog /Pages 2 0 R >>",
                            "<< /Type /Pages /Kids [3 0 R] /Count 1000000 >>",
                            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>",
                        }));
  const std::vector<std::string> files = {S() + "/a.pdf", S() + "/c.pdf", S() + "/d.pdf",
                                          S() + "/missing.pdf"};
  std::vector<std::string> plain_args = {"--format=json"},
                           sized_args = {"--sizes", "--format=json"};
  plain_args.insert(plain_args.end(), files.begin(), files.end());
  sized_args.insert(sized_args.end(), files.begin(), files.end());
  const ProcessResult plain = RunCount(plain_args);
  const ProcessResult sized = RunCount(sized_args);
  // Each sized record is the plain one with its "sizes" last.
  std::string without_sizes;
  for (size_t start = 0, end; start < sized.out.size(); start = end + 1) {
    end = sized.out.find('\n', start);
    const std::string line = sized.out.substr(start, end - start);
    without_sizes += line.substr(0, line.find(",\"sizes\":")) + "}\n";
  }
  EXPECT_EQ(without_sizes, plain.out);
  EXPECT_NE(plain.out.find("\"status\":\"recovered\""), std::string::npos) << plain.out;
  EXPECT_EQ(sized.exit_status, plain.exit_status);
}

}  // namespace
}  // namespace foliotally::test
