#include "count_cli/name_list.h"

namespace foliotally::count_cli {

void NameSplitter::Take(std::string_view part) {
  if (skipping_) return;
  if (partial_.size() + part.size() <= max_name_) {
    partial_.append(part);
    return;
  }
  partial_.append(part.substr(0, max_name_ + 1 - partial_.size()));
  if (refused_) refused_(partial_);
  partial_.clear();
  partial_.shrink_to_fit();
  skipping_ = true;
}

void NameSplitter::Feed(std::string_view block, const Name& name) {
  while (!block.empty()) {
    const size_t end = block.find(separator_);
    if (end == std::string_view::npos) {
      Take(block);
      return;
    }
    Take(block.substr(0, end));
    block.remove_prefix(end + 1);
    if (!partial_.empty()) name(std::move(partial_));
    partial_.clear();
    skipping_ = false;
  }
}

void NameSplitter::Finish(const Name& name) {
  if (!partial_.empty()) name(std::move(partial_));
  partial_.clear();
  skipping_ = false;
}

}  // namespace foliotally::count_cli
