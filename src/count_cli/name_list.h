// The list of file names that --files-from reads: each name ends in a line feed, or in a
// NUL byte for a list written by find -print0 (the only byte no file name can hold).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace foliotally::count_cli {

// Splits the list as it is read, block by block, into names. Empty names are skipped; the
// last name may lack its ending. A line feed is part of a name in a NUL-separated list,
// and nothing else is taken out of a name (no spaces trimmed, no CR dropped).
class NameSplitter {
 public:
  using Name = std::function<void(std::string name)>;
  explicit NameSplitter(char separator) : separator_(separator) {}
  // Calls `name` for each name the block completes.
  void Feed(std::string_view block, const Name& name);
  // The end of the list: passes on a last name without its ending.
  void Finish(const Name& name);

 private:
  char separator_;
  std::string partial_;
};

}  // namespace foliotally::count_cli
