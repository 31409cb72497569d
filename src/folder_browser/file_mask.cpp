#include "folder_browser/file_mask.h"

#include <algorithm>

namespace foliotally {

std::vector<std::string> MaskPatterns(std::string_view mask) {
  std::vector<std::string> patterns;
  size_t start = 0;
  while (start <= mask.size()) {
    size_t end = mask.find(';', start);
    if (end == std::string_view::npos) end = mask.size();
    if (end > start) patterns.emplace_back(mask.substr(start, end - start));
    start = end + 1;
  }
  return patterns;
}

FileMasks::FileMasks(const std::vector<std::string>& patterns) {
  patterns_.reserve(patterns.size());
  for (const std::string& pattern : patterns) patterns_.emplace_back(pattern);
}

bool FileMasks::Matches(const std::string& name) const {
  return std::any_of(patterns_.begin(), patterns_.end(),
                     [&](const WildcardPattern& pattern) { return pattern.Matches(name); });
}

}  // namespace foliotally
