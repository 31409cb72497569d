// foliotally-count --color as a user runs it: the fields and columns it adds, the totals,
// and what it says when the renderer is missing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "count_cli/count_process.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

// A page filled with `colour` ("1 0 0 rg", "0.5 g"...).
std::string PageIn(const std::string& colour) {
  const std::string content = colour + " 0 0 200 200 re f\n";
  return MakePdfFromObjects(
      {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
       "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R >>",
       "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream"});
}

class ColourRun : public testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("a-grey.pdf", PageIn("0.5 g"));
    dir_.Write("b-red.pdf", PageIn("1 0 0 rg"));
    dir_.Write("c-blank.pdf", MakePdf(3));
    dir_.Write("d-broken.pdf", "no PDF");
  }
  // Whether pdftoppm is found on the PATH the tests run with.
  static bool HaveRenderer() { return std::system("command -v pdftoppm > /dev/null 2>&1") == 0; }
  TempDir dir_;
};

TEST_F(ColourRun, JsonCarriesEachPagesColourAndTheTotalsFollowTheSummary) {
  if (!HaveRenderer()) GTEST_SKIP() << "pdftoppm is not installed";
  for (const char* spelling : {"--color", "--colour"}) {
    const ProcessResult result = RunCount({spelling, "-f", "json", "-j", "3", dir_.str()});
    const std::string d = dir_.str();
    EXPECT_EQ(result.out,
              "{\"path\":\"" + d +
                  "/a-grey.pdf\",\"pages\":1,\"status\":\"ok\",\"color_pages\":0,"
                  "\"page_colors\":\"G\"}\n"
                  "{\"path\":\"" +
                  d +
                  "/b-red.pdf\",\"pages\":1,\"status\":\"ok\",\"color_pages\":1,"
                  "\"page_colors\":\"C\"}\n"
                  "{\"path\":\"" +
                  d +
                  "/c-blank.pdf\",\"pages\":3,\"status\":\"ok\",\"color_pages\":0,"
                  "\"page_colors\":\"GGG\"}\n"
                  "{\"path\":\"" +
                  d +
                  "/d-broken.pdf\",\"pages\":null,\"status\":\"not a PDF file\","
                  "\"reason\":\"no PDF header\",\"color_pages\":null,\"page_colors\":null}\n")
        << spelling;
    EXPECT_NE(result.err.find("Counted 4 files, 5 pages. 1 file could not be counted.\n"
                              "Colour: 1 page, black-and-white: 4 pages, unknown: 0 pages.\n"),
              std::string::npos)
        << result.err;
  }
}

TEST_F(ColourRun, CsvGainsTwoColumnsAndTheLogStaysAsItIs) {
  if (!HaveRenderer()) GTEST_SKIP() << "pdftoppm is not installed";
  const std::string d = dir_.str();
  const ProcessResult csv = RunCount({"--color", "-f", "csv", dir_.str()});
  EXPECT_EQ(csv.out, "path,pages,status,reason,color_pages,bw_pages\n" + d +
                         "/a-grey.pdf,1,ok,,0,1\n" + d + "/b-red.pdf,1,ok,,1,0\n" + d +
                         "/c-blank.pdf,3,ok,,0,3\n" + d +
                         "/d-broken.pdf,,not a PDF file,no PDF header,,\n");
  const ProcessResult log = RunCount({"--color", dir_.str()});
  const ProcessResult plain = RunCount({dir_.str()});
  EXPECT_EQ(log.out, plain.out);
  EXPECT_EQ(plain.err.find("Colour:"), std::string::npos);
}

TEST_F(ColourRun, WithoutTheRendererPagesToDrawAreUnknownAndTheRunSaysWhy) {
  // A PATH without pdftoppm; the program itself is named by its full path.
  ProcessOptions options;
  options.environment = {"PATH=/nonexistent"};
  const ProcessResult result = RunCount({"--color", "-f", "json", dir_.str()}, options);
  EXPECT_NE(result.out.find("b-red.pdf\",\"pages\":1,\"status\":\"ok\",\"color_pages\":0,"
                            "\"page_colors\":\"?\"}"),
            std::string::npos)
      << result.out;
  // Pages reading decides need no renderer.
  EXPECT_NE(result.out.find("\"page_colors\":\"GGG\""), std::string::npos);
  EXPECT_NE(result.err.find("Colour: 0 pages, black-and-white: 4 pages, unknown: 1 page.\n"
                            "foliotally-count: 1 page had to be drawn to tell their colour, but "
                            "pdftoppm (package poppler-utils) is not installed"),
            std::string::npos)
      << result.err;
  // An unknown colour is no failure to count: the exit status is that of the counts.
  EXPECT_EQ(result.exit_status, 1);  // for d-broken.pdf
}

}  // namespace
}  // namespace foliotally::test

namespace foliotally::test {
namespace {

TEST(ColourBySize, TheEndOfARunGivesColourAndBlackAndWhitePagesPerPaper) {
  if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "pdftoppm is not installed";
  TempDir dir;
  // An A4 page in colour, an A4 page in grey, and a grey Letter page.
  const auto page = [](const char* box, const char* colour) {
    const std::string content = std::string(colour) + " 0 0 100 100 re f\n";
    return MakePdfFromObjects(
        {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
         std::string("<< /Type /Page /Parent 2 0 R /MediaBox ") + box + " /Contents 4 0 R >>",
         "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
             "\nendstream"});
  };
  dir.Write("a.pdf", page("[0 0 595.276 841.89]", "0 0 1 rg"));
  dir.Write("b.pdf", page("[0 0 595 842]", "0.3 g"));
  dir.Write("c.pdf", page("[0 0 612 792]", "0 g"));
  const ProcessResult result = RunCount({"--color", "--sizes", "-o", "/dev/null", dir.str()});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_NE(result.err.find("Colour: 1 page, black-and-white: 2 pages, unknown: 0 pages.\n"
                            "Colour and black-and-white pages by paper size:\n"
                            "  A4 portrait: 1 colour, 1 black-and-white\n"
                            "  Letter portrait: 0 colour, 1 black-and-white\n"),
            std::string::npos)
      << result.err;
  // Without --sizes there is no table by paper.
  EXPECT_EQ(RunCount({"--color", "-o", "/dev/null", dir.str()}).err.find("by paper size"),
            std::string::npos);
}

}  // namespace
}  // namespace foliotally::test
