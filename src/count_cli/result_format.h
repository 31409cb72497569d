// The three ways a counted file is written: the results-log line of the main window
// ("path;pages"), CSV and JSON Lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "count_cli/file_to_count.h"
#include "count_cli/page_details.h"
#include "count_cli/size_report.h"

namespace foliotally::count_cli {

enum class OutputFormat { kLog, kCsv, kJson };

// Parses "log", "csv" or "json".
std::optional<OutputFormat> OutputFormatNamed(std::string_view name);

// The reason a negative page count stands for: "unreadable", "not a regular file", "not a
// PDF file", "damaged PDF", "encrypted"; any other negative value gives "not a valid PDF
// file (code N)".
std::string ReasonOf(int32_t count);

// The status word of a result: "ok" for a sound count, "recovered" for a damaged file read
// as a viewer shows it, "timed out", or the reason of a negative count (ReasonOf).
std::string StatusOf(const FileCount& count);

// Whether a result is counted: its pages go into the totals and the log.
inline bool IsCounted(const FileCount& count) { return count.pages >= 0; }

// Writes results in one format with one line ending.
class ResultFormatter {
 public:
  // `with_sizes`: csv has a "sizes" column (json records carry "sizes" when given some).
  // `colours`: csv and json carry each file's colour and black-and-white pages too.
  ResultFormatter(OutputFormat format, std::string_view line_end, bool with_sizes = false,
                  bool colours = false)
      : format_(format), line_end_(line_end), with_sizes_(with_sizes), colours_(colours) {}

  // What comes before the first result: the CSV header line, nothing otherwise.
  std::string Header() const;

  // The output for one file. The log has a line only for counted files (recovered ones
  // included), as the main window's log has; CSV and JSON have a line for every file, with
  // its status and, when it is not sound, the reason.
  // With `sizes` (--sizes), a csv line fills its "sizes" column and a json record gains
  // "sizes"; `details` give the colours (--color). The log line is the same.
  std::string Result(std::string_view path, const FileCount& count,
                     const FileSizes* sizes = nullptr, const PageDetails* details = nullptr) const;

  // Whether a line of this format can hold `path` unchanged. The log has neither quoting
  // nor escapes, so that its lines stay the bytes the window saves; a control character
  // (a line break, ESC...) would split the record or reach the terminal raw.
  bool Carries(std::string_view path) const;

 private:
  void AppendColours(std::string& line, bool counted, const PageDetails* details) const;

  OutputFormat format_;
  std::string line_end_;
  bool with_sizes_;
  bool colours_ = false;
};

}  // namespace foliotally::count_cli
