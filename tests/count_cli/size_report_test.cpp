// --sizes in foliotally-count: the sizes in each format, the run's pages per paper, the
// options, and the hand-over of sizes between the counting threads and the output.
#include "count_cli/size_report.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "count_cli/count_options.h"
#include "count_cli/result_format.h"

namespace foliotally::count_cli {
namespace {

FileSizes Mixed() {
  FileSizes sizes;
  sizes.groups = {{595.276, 841.89, 3}, {792, 612, 1}, {595.3, 280.6, 2}};
  sizes.unknown = 1;
  return sizes;
}

TEST(SizeFormats, JsonRecordsGainASizesListThatAddsUpToThePages) {
  const ResultFormatter json(OutputFormat::kJson, "\n", true);
  const FileSizes sizes = Mixed();
  EXPECT_EQ(json.Result("/d/a.pdf", CountOf(7), &sizes),
            "{\"path\":\"/d/a.pdf\",\"pages\":7,\"status\":\"ok\",\"sizes\":["
            "{\"width_pt\":595.276,\"height_pt\":841.89,\"pages\":3,\"paper\":\"A4\","
            "\"orientation\":\"portrait\"},"
            "{\"width_pt\":792,\"height_pt\":612,\"pages\":1,\"paper\":\"Letter\","
            "\"orientation\":\"landscape\"},"
            "{\"width_pt\":595.3,\"height_pt\":280.6,\"pages\":2,\"paper\":\"210x99 mm\","
            "\"orientation\":\"landscape\"},"
            "{\"width_pt\":null,\"height_pt\":null,\"pages\":1,\"paper\":null,"
            "\"orientation\":null}]}\n");
  EXPECT_EQ(json.Result("/d/bad.pdf", CountOf(FOLIOTALLY_DAMAGED), &sizes),
            "{\"path\":\"/d/bad.pdf\",\"pages\":null,\"status\":\"damaged PDF\",\"sizes\":null}\n");
  const FileSizes none;
  EXPECT_EQ(json.Result("/d/empty.pdf", CountOf(0), &none),
            "{\"path\":\"/d/empty.pdf\",\"pages\":0,\"status\":\"ok\",\"sizes\":[]}\n");
}

TEST(SizeFormats, CsvHasOneSizesFieldSplittableAtSemicolons) {
  const ResultFormatter csv(OutputFormat::kCsv, "\r\n", true);
  EXPECT_EQ(csv.Header(), "path,pages,status,reason,sizes\r\n");
  const FileSizes sizes = Mixed();
  EXPECT_EQ(csv.Result("/d/a.pdf", CountOf(7), &sizes),
            "/d/a.pdf,7,ok,,3 A4 portrait 595.276x841.89 pt; 1 Letter landscape 792x612 pt; "
            "2 210x99 mm landscape 595.3x280.6 pt; 1 unknown\r\n");
  EXPECT_EQ(csv.Result("/d/e.pdf", CountOf(FOLIOTALLY_ENCRYPTED), nullptr),
            "/d/e.pdf,,encrypted,,\r\n");
  // The log line is the same with sizes or without.
  const ResultFormatter log(OutputFormat::kLog, "\r\n", true);
  EXPECT_EQ(log.Result("/d/a.pdf", CountOf(7), &sizes), "/d/a.pdf;7\r\n");
}

TEST(SizeFormats, RunTallyIsLargestFirstWithUnknownLast) {
  PaperTally tally;
  EXPECT_EQ(tally.Text(), "");
  tally.Add(Mixed());
  FileSizes more;
  more.groups = {{612, 792, 2}, {612.4, 792.2, 2}, {841.89, 595.276, 1}};
  tally.Add(more);
  EXPECT_EQ(tally.Text(),
            "Pages by paper size:\n"
            "  Letter portrait: 4\n"
            "  A4 portrait: 3\n"
            "  210x99 mm landscape: 2\n"
            "  A4 landscape: 1\n"
            "  Letter landscape: 1\n"
            "  unknown size: 1");
}

TEST(SizeOptions, SizeBoxNeedsSizesAndAKnownBox) {
  const CountOptions plain = ParseCountOptions({"a.pdf"}, 1);
  EXPECT_FALSE(plain.sizes);
  const CountOptions trim = ParseCountOptions({"--sizes", "--size-box=trim", "a.pdf"}, 1);
  EXPECT_TRUE(trim.sizes);
  EXPECT_TRUE(trim.trim_box);
  EXPECT_FALSE(ParseCountOptions({"--sizes", "--size-box", "crop"}, 1).trim_box);
  EXPECT_THROW(ParseCountOptions({"--size-box=trim"}, 1), UsageError);
  EXPECT_THROW(ParseCountOptions({"--sizes", "--size-box=bleed"}, 1), UsageError);
}

TEST(SizeMeasure, AskesAgainWithRoomForEveryGroup) {
  // 20 groups: more than the first array holds.
  int calls = 0;
  FileSizes sizes;
  const int32_t count = MeasureSizes(
      [&](FoliotallyPageSize* groups, int32_t capacity, int32_t* unknown) {
        ++calls;
        for (int32_t i = 0; i < std::min(capacity, 20); ++i) groups[i] = {100.0 + i, 200, 2};
        *unknown = 3;
        return 20;
      },
      sizes);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(count, 43);
  ASSERT_EQ(sizes.groups.size(), 20u);
  EXPECT_EQ(sizes.groups[19].width_pt, 119);
  FileSizes failed;
  EXPECT_EQ(MeasureSizes(
                [](FoliotallyPageSize*, int32_t, int32_t* unknown) {
                  *unknown = 0;
                  return FOLIOTALLY_NOT_PDF;
                },
                failed),
            FOLIOTALLY_NOT_PDF);
  EXPECT_TRUE(failed.groups.empty());
}

}  // namespace
}  // namespace foliotally::count_cli
