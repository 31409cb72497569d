// Splitting a list of names read in blocks of any size.
#include "count_cli/name_list.h"

#include <gtest/gtest.h>

#include "count_cli/text_escaping.h"

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

TEST(NameSplitter, ANameTooLongIsRefusedAsItIsReadAndTheNextNameIsKept) {
  std::vector<std::string> names;
  std::vector<std::string> refused;
  NameSplitter splitter(
      '\n', [&](std::string_view start) { refused.emplace_back(start); }, 8);
  const auto add = [&](std::string name) { names.push_back(std::move(name)); };
  // A name of exactly the bound passes; one byte more is refused once, however many
  // blocks the rest of it spans.
  splitter.Feed("12345678\nabcde", add);
  splitter.Feed("fghij", add);
  for (int i = 0; i < 1000; ++i) splitter.Feed("klmnopqrstuvwxyz", add);
  splitter.Feed("z\nnext\nlast-one-too-long", add);
  splitter.Finish(add);
  EXPECT_EQ(names, (std::vector<std::string>{"12345678", "next"}));
  EXPECT_EQ(refused, (std::vector<std::string>{"abcdefghi", "last-one-"}));
}

TEST(NameForMessage, KeepsEightyCharactersAndWholeUtf8Sequences) {
  EXPECT_EQ(NameForMessage("short.pdf"), "short.pdf");
  EXPECT_EQ(NameForMessage(std::string(80, 'a')), std::string(80, 'a'));
  EXPECT_EQ(NameForMessage(std::string(81, 'a')), std::string(80, 'a') + "...");
  std::string accented;
  for (int i = 0; i < 100; ++i) accented += "\xC3\xA9";  // e with an acute accent
  EXPECT_EQ(NameForMessage(accented), accented.substr(0, 160) + "...");
}

}  // namespace
}  // namespace foliotally::count_cli
