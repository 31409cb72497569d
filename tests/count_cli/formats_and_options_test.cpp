// The output formats (quoting, escaping, line ends) and the command line.
#include <gtest/gtest.h>

#include <cstdio>

#include "count_cli/count_options.h"
#include "count_cli/count_run.h"
#include "count_cli/damage_report.h"
#include "count_cli/result_format.h"
#include "count_cli/text_escaping.h"
#include "pagecount/foliotally.h"

namespace foliotally::count_cli {
namespace {

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(CsvField("/a/b c;d.pdf"), "/a/b c;d.pdf");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("line\nbreak"), "\"line\nbreak\"");
  EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
  EXPECT_EQ(CsvField(""), "");
}

TEST(JsonString, EscapesQuotesBackslashesAndEveryControlCharacter) {
  EXPECT_EQ(JsonString("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
  EXPECT_EQ(JsonString("\b\f\n\r\t"), "\"\\b\\f\\n\\r\\t\"");
  EXPECT_EQ(JsonString(std::string("\x00\x01\x1f\x7f", 4)), "\"\\u0000\\u0001\\u001f\\u007f\"");
}

TEST(JsonString, KeepsWellFormedUtf8AndReplacesEveryStrayByte) {
  EXPECT_EQ(JsonString("caf\xC3\xA9 \xF0\x9F\x93\x84"), "\"caf\xC3\xA9 \xF0\x9F\x93\x84\"");
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(JsonString("a\xFF"
                       "b"),
            "\"a" + replacement + "b\"");
  // Overlong "/", a UTF-16 surrogate, a value above U+10FFFF, a cut-off sequence.
  EXPECT_EQ(JsonString("\xC0\xAF"), "\"" + replacement + replacement + "\"");
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"" + replacement + replacement + replacement + "\"");
  EXPECT_EQ(JsonString("\xF4\x90\x80\x80").size(), 2 + 4 * replacement.size());
  EXPECT_EQ(JsonString("x\xE2\x82"), "\"x" + replacement + replacement + "\"");
  EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9"));
  EXPECT_FALSE(IsValidUtf8("caf\xE9"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
}

TEST(ResultFormatter, LogHasLinesForCountedFilesOnly) {
  const ResultFormatter log(OutputFormat::kLog, "\r\n");
  EXPECT_EQ(log.Header(), "");
  EXPECT_EQ(log.Result("/Docs/a;b.pdf", CountOf(12)), "/Docs/a;b.pdf;12\r\n");
  EXPECT_EQ(log.Result("/Docs/empty.pdf", CountOf(0)), "/Docs/empty.pdf;0\r\n");
  EXPECT_EQ(log.Result("/Docs/bad.pdf", CountOf(FOLIOTALLY_DAMAGED)), "");
}

TEST(ResultFormatter, CsvAndJsonListEveryFileWithItsStatus) {
  const ResultFormatter csv(OutputFormat::kCsv, "\n");
  EXPECT_EQ(csv.Header(), "path,pages,status,reason\n");
  EXPECT_EQ(csv.Result("/d/a,b.pdf", CountOf(3)), "\"/d/a,b.pdf\",3,ok,\n");
  EXPECT_EQ(csv.Result("/d/e.pdf", CountOf(FOLIOTALLY_ENCRYPTED)), "/d/e.pdf,,encrypted,\n");
  const ResultFormatter json(OutputFormat::kJson, "\n");
  EXPECT_EQ(json.Header(), "");
  EXPECT_EQ(json.Result("/d/a.pdf", CountOf(7)),
            "{\"path\":\"/d/a.pdf\",\"pages\":7,\"status\":\"ok\"}\n");
  EXPECT_EQ(json.Result("/d/f", CountOf(FOLIOTALLY_NOT_REGULAR)),
            "{\"path\":\"/d/f\",\"pages\":null,\"status\":\"not a regular file\"}\n");
  EXPECT_EQ(json.Result("/d/\xFF", CountOf(1)),
            "{\"path\":\"/d/\xEF\xBF\xBD\",\"path_hex\":\"2f642fff\",\"pages\":1,"
            "\"status\":\"ok\"}\n");
}

TEST(ResultFormatter, DamagedFilesCarryStatusAndReason) {
  FileCount recovered = CountOf(4);
  recovered.verdict = FOLIOTALLY_RECOVERED;
  std::snprintf(recovered.reason, sizeof recovered.reason, "file ends early after object 12");
  // The log has no room for a reason: a recovered file is listed as the window lists it.
  EXPECT_EQ(ResultFormatter(OutputFormat::kLog, "\n").Result("/d/r.pdf", recovered),
            "/d/r.pdf;4\n");
  EXPECT_EQ(ResultFormatter(OutputFormat::kCsv, "\n").Result("/d/r.pdf", recovered),
            "/d/r.pdf,4,recovered,file ends early after object 12\n");
  EXPECT_EQ(ResultFormatter(OutputFormat::kJson, "\n").Result("/d/r.pdf", recovered),
            "{\"path\":\"/d/r.pdf\",\"pages\":4,\"status\":\"recovered\","
            "\"reason\":\"file ends early after object 12\"}\n");
  FileCount damaged = CountOf(FOLIOTALLY_DAMAGED);
  std::snprintf(damaged.reason, sizeof damaged.reason, "no page found, \"quoted\"");
  EXPECT_EQ(ResultFormatter(OutputFormat::kCsv, "\n").Result("/d/x.pdf", damaged),
            "/d/x.pdf,,damaged PDF,\"no page found, \"\"quoted\"\"\"\n");
  EXPECT_EQ(ResultFormatter(OutputFormat::kLog, "\n").Result("/d/x.pdf", damaged), "");
}

TEST(DamageMessage, QuotesAtMostEightyCharactersOfAName) {
  EXPECT_EQ(QuotedName("/d/a.pdf"), "'/d/a.pdf'");
  const std::string long_name = "/" + std::string(100, 'x') + ".pdf";
  EXPECT_EQ(QuotedName(long_name), "'/" + std::string(79, 'x') + "...'");
  // Cut between characters, never inside one.
  std::string accents = "/";
  for (int i = 0; i < 90; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(QuotedName(accents).size(), std::string("'/...'").size() + 79 * 2);
}

TEST(ResultFormatter, EveryNegativeValueHasAReason) {
  EXPECT_EQ(ReasonOf(FOLIOTALLY_UNREADABLE), "unreadable");
  EXPECT_EQ(ReasonOf(FOLIOTALLY_NOT_PDF), "not a PDF file");
  EXPECT_EQ(ReasonOf(-77), "not a valid PDF file (code -77)");
}

TEST(LineEnds, OnlyFilesInLogOrCsvFormatGetCrLf) {
  EXPECT_EQ(LineEndFor(OutputFormat::kLog, true), "\r\n");
  EXPECT_EQ(LineEndFor(OutputFormat::kCsv, true), "\r\n");
  EXPECT_EQ(LineEndFor(OutputFormat::kJson, true), "\n");
  EXPECT_EQ(LineEndFor(OutputFormat::kLog, false), "\n");
}

TEST(Summary, NamesFailuresOnlyWhenThereAreAny) {
  EXPECT_EQ(SummaryText(4, 10, 0), "Counted 4 files, 10 pages.");
  EXPECT_EQ(SummaryText(1, 0, 1), "Counted 1 file, 0 pages. 1 file could not be counted.");
  EXPECT_EQ(SummaryText(2, 1, 0), "Counted 2 files, 1 page.");
  // Totals are 64-bit: far beyond what a 32-bit page total could hold.
  EXPECT_EQ(SummaryText(3, 6'442'450'941, 2),
            "Counted 3 files, 6442450941 pages. 2 files could not be counted.");
  EXPECT_EQ(SummaryText(5, 9, 1, 2),
            "Counted 5 files, 9 pages. 2 damaged files counted as a viewer shows them. 1 file "
            "could not be counted.");
}

TEST(ParseCountOptions, DefaultsAndEverySpelling) {
  const CountOptions defaults = ParseCountOptions({}, 6);
  EXPECT_EQ(defaults.masks, std::vector<std::string>{"*.pdf"});
  EXPECT_TRUE(defaults.recurse);
  EXPECT_EQ(defaults.jobs, 6);
  EXPECT_EQ(defaults.format, OutputFormat::kLog);
  EXPECT_FALSE(defaults.output);
  EXPECT_TRUE(defaults.paths.empty());

  const CountOptions o = ParseCountOptions({"a", "--mask=*.pdf;;*.ai", "-j3", "--format", "json",
                                            "-o", "r.json", "--no-recurse", "--", "--jobs", "-"},
                                           1);
  EXPECT_EQ(o.masks, (std::vector<std::string>{"*.pdf", "*.ai"}));
  EXPECT_EQ(o.jobs, 3);
  EXPECT_EQ(o.format, OutputFormat::kJson);
  EXPECT_EQ(o.output, "r.json");
  EXPECT_FALSE(o.recurse);
  EXPECT_EQ(o.paths, (std::vector<std::string>{"a", "--jobs", "-"}));
  EXPECT_EQ(ParseCountOptions({}, 0).jobs, 1);
}

TEST(ParseCountOptions, RejectsWhatCannotBeRun) {
  const std::vector<std::vector<std::string>> bad = {{"--jobs", "0"},
                                                     {"--jobs", "many"},
                                                     {"-j", "2x"},
                                                     {"--jobs=5000"},
                                                     {"--format", "xml"},
                                                     {"--mask", ";;"},
                                                     {"-m", "a/*.pdf"},
                                                     {"--output="},
                                                     {"--output"},
                                                     {"--recurse"},
                                                     {"-x"}};
  for (const auto& args : bad) EXPECT_THROW(ParseCountOptions(args, 2), UsageError) << args[0];
}

}  // namespace
}  // namespace foliotally::count_cli
