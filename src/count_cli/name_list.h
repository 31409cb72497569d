// The list of file names that --files-from reads: each name ends in a line feed, or in a
// NUL byte for a list written by find -print0 (the only byte no file name can hold).
#pragma once

#include <climits>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace foliotally::count_cli {

// The longest name a list may hold: one more byte and no system call would take it.
inline constexpr size_t kMaxListedName = PATH_MAX - 1;

// Splits the list as it is read, block by block, into names. Empty names are skipped; the
// last name may lack its ending. A line feed is part of a name in a NUL-separated list,
// and nothing else is taken out of a name (no spaces trimmed, no CR dropped). A name longer
// than `max_name` is refused as soon as it is that long: `refused` gets its start, and the
// rest of it is skipped as it is read, so a list without separators is never held whole.
class NameSplitter {
 public:
  using Name = std::function<void(std::string name)>;
  using Refused = std::function<void(std::string_view start)>;
  explicit NameSplitter(char separator, Refused refused = nullptr, size_t max_name = kMaxListedName)
      : separator_(separator), refused_(std::move(refused)), max_name_(max_name) {}
  // Calls `name` for each name the block completes.
  void Feed(std::string_view block, const Name& name);
  // The end of the list: passes on a last name without its ending.
  void Finish(const Name& name);

 private:
  void Take(std::string_view part);

  char separator_;
  Refused refused_;
  size_t max_name_;
  std::string partial_;
  bool skipping_ = false;  // the rest of a name that was refused
};

}  // namespace foliotally::count_cli
