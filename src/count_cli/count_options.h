// The command line of foliotally-count.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "count_cli/result_format.h"

namespace foliotally::count_cli {

inline constexpr int kMaxJobs = 1024;
inline constexpr double kMaxFileTimeoutSeconds = 86400;

struct CountOptions {
  std::vector<std::string> masks{"*.pdf"};  // wildcard patterns a walked file must match
  bool recurse = true;
  int jobs = 1;
  OutputFormat format = OutputFormat::kLog;
  std::optional<std::string> output;      // write here (atomically) instead of stdout
  std::vector<std::string> paths;         // files and folders; empty means the current folder
  std::optional<std::string> files_from;  // a list of files to count instead ("-": stdin)
  bool null_separated = false;            // the list's names end in NUL, not in LF
  bool strict = false;                    // a recovered (damaged) file is not counted
  uint32_t file_timeout_ms = 0;           // time one file may take; 0: the library's bound
  bool sizes = false;                     // measure pages by size (--sizes)
  bool trim_box = false;                  // sizes from the trim box (--size-box trim)
  bool size_box_given = false;
  bool colours = false;  // --color: each page's colour, read or drawn
  bool show_help = false;
  bool show_version = false;
};

// A command line that cannot be run; the message says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits a mask such as "*.pdf;*.ai" at ";", dropping empty parts. Throws UsageError when
// nothing is left or a part holds a path delimiter (a mask matches names, not paths).
std::vector<std::string> SplitMask(const std::string& mask);

// Parses the arguments after the program name. `default_jobs` is used without --jobs.
// Long options take their value as "--name value" or "--name=value", short ones as "-j 4"
// or "-j4"; "--" ends the options. A list of files (--files-from) replaces the PATH
// arguments. Throws UsageError.
CountOptions ParseCountOptions(const std::vector<std::string>& args, int default_jobs);

// The text of --help.
std::string UsageText();

}  // namespace foliotally::count_cli
