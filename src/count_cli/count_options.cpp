#include "count_cli/count_options.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>

#include "folder_browser/file_mask.h"

namespace foliotally::count_cli {
namespace {

int ParseJobs(const std::string& text) {
  int jobs = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, jobs);
  if (text.empty() || error != std::errc() || ptr != end || jobs < 1 || jobs > kMaxJobs)
    throw UsageError("--jobs wants a whole number from 1 to " + std::to_string(kMaxJobs) +
                     ", not '" + text + "'");
  return jobs;
}

// Seconds, a whole or decimal number, as milliseconds rounded up.
uint32_t ParseFileTimeout(const std::string& text) {
  double seconds = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, seconds);
  if (text.empty() || error != std::errc() || ptr != end || !(seconds > 0) ||
      seconds > kMaxFileTimeoutSeconds)
    throw UsageError("--file-timeout wants a number of seconds above 0 and at most " +
                     std::to_string(static_cast<int>(kMaxFileTimeoutSeconds)) + ", not '" + text +
                     "'");
  return static_cast<uint32_t>(std::ceil(seconds * 1000));
}

// An option that takes a value: its canonical name and what it does with the value.
struct ValueOption {
  std::string name;
  std::function<void(CountOptions&, const std::string&)> apply;
};

const std::vector<ValueOption>& ValueOptions() {
  static const std::vector<ValueOption> options = {
      {"--mask", [](CountOptions& o, const std::string& v) { o.masks = SplitMask(v); }},
      {"--jobs", [](CountOptions& o, const std::string& v) { o.jobs = ParseJobs(v); }},
      {"--format",
       [](CountOptions& o, const std::string& v) {
         const auto format = OutputFormatNamed(v);
         if (!format) throw UsageError("--format wants log, csv or json, not '" + v + "'");
         o.format = *format;
       }},
      {"--output",
       [](CountOptions& o, const std::string& v) {
         if (v.empty()) throw UsageError("--output wants a file name");
         o.output = v;
       }},
      {"--files-from",
       [](CountOptions& o, const std::string& v) {
         if (v.empty()) throw UsageError("--files-from wants a file name, or - for standard input");
         o.files_from = v;
       }},
      {"--file-timeout",
       [](CountOptions& o, const std::string& v) { o.file_timeout_ms = ParseFileTimeout(v); }},
      {"--size-box",
       [](CountOptions& o, const std::string& v) {
         if (v != "crop" && v != "trim")
           throw UsageError("--size-box wants crop or trim, not '" + v + "'");
         o.trim_box = v == "trim";
         o.size_box_given = true;
       }},
  };
  return options;
}

const ValueOption* FindValueOption(const std::string& name) {
  static const std::map<std::string, std::string> short_names = {
      {"-m", "--mask"}, {"-j", "--jobs"}, {"-f", "--format"}, {"-o", "--output"}};
  const auto alias = short_names.find(name);
  const std::string& canonical = alias == short_names.end() ? name : alias->second;
  for (const ValueOption& option : ValueOptions())
    if (option.name == canonical) return &option;
  return nullptr;
}

// Applies a flag without a value; false when `arg` is no such flag.
bool ApplyFlag(const std::string& arg, CountOptions& options) {
  if (arg == "--no-recurse" || arg == "-n") {
    options.recurse = false;
  } else if (arg == "--null") {
    options.null_separated = true;
  } else if (arg == "--strict") {
    options.strict = true;
  } else if (arg == "--sizes") {
    options.sizes = true;
  } else if (arg == "--color" || arg == "--colour") {
    options.colours = true;
  } else if (arg == "--help" || arg == "-h") {
    options.show_help = true;
  } else if (arg == "--version" || arg == "-V") {
    options.show_version = true;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitMask(const std::string& mask) {
  std::vector<std::string> parts = MaskPatterns(mask);
  for (const std::string& part : parts)
    if (part.find('/') != std::string::npos)
      throw UsageError("a mask matches file names, so it cannot hold '/': '" + part + "'");
  if (parts.empty()) throw UsageError("--mask wants at least one pattern, such as *.pdf");
  return parts;
}

CountOptions ParseCountOptions(const std::vector<std::string>& args, int default_jobs) {
  CountOptions options;
  options.jobs = default_jobs < 1 ? 1 : (default_jobs > kMaxJobs ? kMaxJobs : default_jobs);
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      options.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    if (ApplyFlag(arg, options)) continue;

    // An option with a value, in one of its spellings: --name=value, --name value,
    // -xvalue, -x value.
    std::string name = arg;
    std::optional<std::string> value;
    if (arg.starts_with("--")) {
      if (const size_t equals = arg.find('='); equals != std::string::npos) {
        name = arg.substr(0, equals);
        value = arg.substr(equals + 1);
      }
    } else if (arg.size() > 2) {
      name = arg.substr(0, 2);
      value = arg.substr(2);
    }
    const ValueOption* option = FindValueOption(name);
    if (!option) throw UsageError("unknown option '" + arg + "'");
    if (!value) {
      if (i + 1 >= args.size()) throw UsageError(option->name + " wants a value");
      value = args[++i];
    }
    option->apply(options, *value);
  }
  if (options.files_from && !options.paths.empty())
    throw UsageError("--files-from counts the files of its list; give no PATH with it");
  if (options.null_separated && !options.files_from)
    throw UsageError("--null is for the list of --files-from");
  if (options.size_box_given && !options.sizes)
    throw UsageError("--size-box chooses the box of --sizes; give --sizes with it");
  return options;
}

std::string UsageText() {
  return R"(Usage: foliotally-count [OPTION]... [PATH]...
Count the pages of PDF files. Each PATH is a file, counted whatever its name, or a folder,
whose matching files are counted together with those of every folder below it. Without a
PATH the current folder is counted.

Folders are walked depth first: a folder's own files in alphabetical order (ignoring case)
before its subfolders, also in that order. Hidden and system entries, folders whose name
begins with a dot, and a folder walked already in this run (reached again through a link)
are skipped.

  -m, --mask=PATTERNS   file names to count in folders, several separated by ';'
                        (default *.pdf; letters match in any case)
  -n, --no-recurse      count only the files of the named folders themselves
  -j, --jobs=N          count on N threads (default: the number of processors)
  -f, --format=FORMAT   log (path;pages, the default), csv or json
  -o, --output=FILE     write the results to FILE, replacing it only when complete
      --files-from=LIST count the files named in LIST (one a line; - for standard
                        input) instead of PATHs, exactly those and in that order
      --null            names in LIST end in a NUL byte, as find -print0 writes them
      --file-timeout=SECONDS
                        time one file may take before it counts as timed out
                        (default: the page counter's own bound of a few seconds;
                        with --color, the colours get a minute and 0.1 s a page more)
      --strict          a damaged file is not counted, even where its pages can be
                        recovered as a viewer shows them
      --sizes           also measure the pages: sizes and paper names in csv and
                        json, pages per paper and orientation at the end
      --size-box=BOX    crop (the visible size, the default) or trim (the trim box
                        of print-ready files, else the visible size)
      --color, --colour tell colour pages from black-and-white ones; pages that
                        reading cannot decide are drawn with pdftoppm (poppler-utils);
                        with --sizes, colour and black-and-white pages per paper
  -h, --help            show this help and exit
  -V, --version         show the version and exit

Files that are not countable PDF files are reported on standard error with the reason,
and so are damaged files whose pages were recovered as a viewer shows them: these are
counted (status "recovered"), unless --strict is given. The log format lists counted
files only; csv and json list every file with its status and the reason.
With --color, json records gain "color_pages" and "page_colors" (a letter per page: C
colour, G black-and-white, ? unknown), csv rows gain color_pages and bw_pages, and the
totals of each kind follow the summary on standard error.
In log format a path holding a control character (a line break, a tab, ESC...) is not
written but reported as a file that could not be listed.

Exit status: 0 when every file was counted from a sound file, 1 when some file was
damaged (recovered or not countable) or some file or folder could not be read, 2 for a wrong command line, a PATH that does not exist or output that could not
be written, 130 when interrupted by a signal (SIGINT, SIGTERM, SIGHUP and the other
signals that end a terminal job).
)";
}

}  // namespace foliotally::count_cli
