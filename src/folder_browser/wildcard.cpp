#include "folder_browser/wildcard.h"

#include <fnmatch.h>

namespace foliotally {
namespace {

std::string ToFnmatchForm(std::string_view pattern) {
  std::string out;
  out.reserve(pattern.size() + 4);
  for (char c : pattern) {
    if (c == '[' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

}  // namespace

bool HasWildcards(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

WildcardPattern::WildcardPattern(std::string_view pattern) {
  matches_all_ = pattern == "*" || pattern == "*.*";
  pattern_ = ToFnmatchForm(pattern);
  has_dot_star_ = pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*";
  if (has_dot_star_) without_dot_star_ = ToFnmatchForm(pattern.substr(0, pattern.size() - 2));
}

bool WildcardPattern::Matches(const std::string& name) const {
  if (matches_all_) return true;
  if (fnmatch(pattern_.c_str(), name.c_str(), FNM_CASEFOLD) == 0) return true;
  return has_dot_star_ && fnmatch(without_dot_star_.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

}  // namespace foliotally
