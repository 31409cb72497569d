// Splitting a list of names read in blocks of any size.
#include "count_cli/name_list.h"

#include <gtest/gtest.h>

namespace foliotally::count_cli {
namespace {

std::vector<std::string> Split(char separator, const std::vector<std::string>& blocks) {
  std::vector<std::string> names;
  NameSplitter splitter(separator);
  const auto add = [&](std::string name) { names.push_back(std::move(name)); };
  for (const std::string& block : blocks) splitter.Feed(block, add);
  splitter.Finish(add);
  return names;
}

TEST(NameSplitter, NamesSpanBlocksAndKeepEveryByteButTheirEnd) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(Split('\n', {"a b.pdf\r\n/x/y", ".pdf\n\n", "last"}),
            (Names{"a b.pdf\r", "/x/y.pdf", "last"}));
  EXPECT_EQ(Split('\0', {std::string("one\ntwo\0", 8), std::string("\0th", 3), "ree"}),
            (Names{"one\ntwo", "three"}));
  EXPECT_EQ(Split('\n', {}), Names{});
  EXPECT_EQ(Split('\n', {"\n\n"}), Names{});
}

}  // namespace
}  // namespace foliotally::count_cli
