// A file-name mask: one or more wildcard patterns separated by ";", as the file list and
// foliotally-count's --mask take it ("*.pdf;*.ai").
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folder_browser/wildcard.h"

namespace foliotally {

// The patterns of a mask in their order, empty ones left out: "*.pdf;;*.ai" gives "*.pdf"
// and "*.ai"; an empty mask gives none.
std::vector<std::string> MaskPatterns(std::string_view mask);

// Several patterns at once: a name matches when any of them matches it.
class FileMasks {
 public:
  explicit FileMasks(const std::vector<std::string>& patterns);
  bool Matches(const std::string& name) const;

 private:
  std::vector<WildcardPattern> patterns_;
};

}  // namespace foliotally
