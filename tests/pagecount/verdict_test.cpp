// The verdict a count carries out of the reader and through the library's export: what is
// recovered, what is not countable, and the reason a C caller reads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pagecount/byte_source.h"
#include "pagecount/count_report.h"
#include "pagecount/decide.h"
#include "pagecount/repair_process.h"
#include "support/pdf_writer.h"

namespace foliotally::pdf {
namespace {

CountResult DecideWith(const std::string& bytes, CountResult qpdf_answer) {
  MemoryByteSource source(bytes);
  return Decide(source, Deadline(), [&] { return qpdf_answer; });
}

TEST(Verdict, ReportGivesTheCodeVerdictAndReasonInTheCallersStorage) {
  FoliotallyCount out{};
  EXPECT_EQ(Report({Verdict::kCounted, 7}, &out), 7);
  EXPECT_EQ(out.verdict, FOLIOTALLY_SOUND);
  EXPECT_STREQ(out.reason, "");
  CountResult cut{Verdict::kCounted, 3, "file ends early after object", true, 12};
  EXPECT_EQ(Report(cut, &out), 3);
  EXPECT_EQ(out.verdict, FOLIOTALLY_RECOVERED);
  EXPECT_STREQ(out.reason, "file ends early after object 12");
  EXPECT_EQ(Report({Verdict::kTimedOut, 0, "time limit reached in repair"}, &out),
            FOLIOTALLY_DAMAGED);
  EXPECT_EQ(out.verdict, FOLIOTALLY_TIMED_OUT);
  EXPECT_STREQ(out.reason, "timed out");
  CountResult without_helper{Verdict::kDamaged, 0, "no page found"};
  without_helper.repair_helper_missing = true;
  EXPECT_EQ(Report(without_helper, &out), FOLIOTALLY_DAMAGED);
  EXPECT_EQ(out.verdict, FOLIOTALLY_NOT_COUNTABLE);
  EXPECT_EQ(std::string(out.reason), std::string("no page found; ") + kRepairHelperCouldNotRun);
  // A reason longer than the buffer is cut and stays terminated; no storage, no write.
  std::string long_reason(300, 'x');
  EXPECT_EQ(Report({Verdict::kDamaged, 0, long_reason.c_str()}, &out), FOLIOTALLY_DAMAGED);
  EXPECT_EQ(std::strlen(out.reason), sizeof out.reason - 1);
  EXPECT_EQ(Report({Verdict::kCounted, 2}, nullptr), 2);
}

TEST(Verdict, NoDamagedFileCountsZeroPages) {
  // qpdf finding no page in a file the reader cannot read is no count, nor is a header alone.
  EXPECT_EQ(DecideWith("%PDF-1.4\n", {Verdict::kCounted, 0}).verdict, Verdict::kDamaged);
  const std::string whole = test::MakePdf(2);
  const CountResult repaired =
      DecideWith(whole.substr(0, whole.find("xref")), {Verdict::kCounted, 2});
  EXPECT_EQ(repaired.verdict, Verdict::kCounted);
  EXPECT_TRUE(repaired.recovered);
  EXPECT_STREQ(repaired.why, "file ends early after object");
  EXPECT_EQ(repaired.why_object, 4);
  // A sound file of no pages is the one file that counts 0.
  const CountResult empty = DecideWith(test::MakePdf(0), {Verdict::kDamaged, 0});
  EXPECT_EQ(empty.verdict, Verdict::kCounted);
  EXPECT_EQ(empty.pages, 0);
  EXPECT_FALSE(empty.recovered);
}

TEST(Verdict, RepairHelperThatCouldNotRunIsCarriedOut) {
  const std::string whole = test::MakePdf(2);
  const std::string cut = whole.substr(0, whole.find("xref"));
  const CountResult without = DecideWith(cut, {Verdict::kDamaged, 0, kRepairHelperCouldNotRun});
  EXPECT_TRUE(without.repair_helper_missing);
  EXPECT_TRUE(without.recovered);  // the scan still reads it
  EXPECT_FALSE(
      DecideWith(cut, {Verdict::kDamaged, 0, "damaged beyond repair"}).repair_helper_missing);
}

TEST(Verdict, SoundPathDamageMakesTheCountRecovered) {
  test::PdfOptions lying;
  lying.pages = 3;
  lying.root_count = "99999";
  const CountResult walked = DecideWith(test::MakePdfWith(lying), {Verdict::kDamaged, 0});
  EXPECT_EQ(walked.pages, 3);
  EXPECT_TRUE(walked.recovered);
  EXPECT_STREQ(walked.why, "page count no tree can hold replaced by a walk");
  // A sound file with an update says nothing of damage.
  test::PdfOptions updated;
  updated.pages = 2;
  updated.update_pages = 1;
  const CountResult sound = DecideWith(test::MakePdfWith(updated), {Verdict::kDamaged, 0});
  EXPECT_EQ(sound.pages, 3);
  EXPECT_FALSE(sound.recovered);
  // The same file cut inside its update is read as its older revision, and marked.
  const std::string bytes = test::MakePdfWith(updated);
  const size_t second_table = bytes.rfind("\nxref\n");
  const CountResult older = DecideWith(bytes.substr(0, second_table + 7), {Verdict::kDamaged, 0});
  EXPECT_TRUE(older.recovered);
  EXPECT_EQ(older.pages, 2);
}

}  // namespace
}  // namespace foliotally::pdf
