// Wildcard patterns of the directory search: "*" stands for any run of characters, "?" for
// one, letters match in any case, and a pattern ending in ".*" also matches names without
// that dot ("*.*" matches every name). No other character is special: a name such as
// "report[1].pdf" matches itself.
#pragma once

#include <string>
#include <string_view>

namespace foliotally {

// Whether a text holds "*" or "?".
bool HasWildcards(std::string_view text);

class WildcardPattern {
 public:
  explicit WildcardPattern(std::string_view pattern);
  bool Matches(const std::string& name) const;

 private:
  bool matches_all_ = false;
  std::string pattern_;           // in fnmatch(3) form, brackets and backslashes escaped
  bool has_dot_star_ = false;     // the pattern ends in ".*"
  std::string without_dot_star_;  // then: the pattern without it
};

}  // namespace foliotally
