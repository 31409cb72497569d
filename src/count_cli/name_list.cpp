#include "count_cli/name_list.h"

namespace foliotally::count_cli {

void NameSplitter::Feed(std::string_view block, const Name& name) {
  while (!block.empty()) {
    const size_t end = block.find(separator_);
    if (end == std::string_view::npos) {
      partial_.append(block);
      return;
    }
    partial_.append(block.substr(0, end));
    block.remove_prefix(end + 1);
    if (!partial_.empty()) name(std::move(partial_));
    partial_.clear();
  }
}

void NameSplitter::Finish(const Name& name) {
  if (!partial_.empty()) name(std::move(partial_));
  partial_.clear();
}

}  // namespace foliotally::count_cli
