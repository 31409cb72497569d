#include "dragdrop/formats/unicode_strings.h"

#include <gtest/gtest.h>

#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/string_list.h"

namespace foliotally::dragdrop {
namespace {

// Counts the hook calls of a list.
struct HookCounter {
  explicit HookCounter(TUnicodeStrings& list) {
    list.OnChanging = [this](TUnicodeStrings&) { ++changing; };
    list.OnChange = [this](TUnicodeStrings&) { ++changed; };
  }
  int changing = 0;
  int changed = 0;
};

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return "no error";
}

TEST(UnicodeStringList, GrowsBy4Then16ThenAQuarter) {
  TUnicodeStringList list;
  std::vector<int32_t> capacities{list.Capacity()};
  for (int i = 0; i < 77; ++i) {
    list.Add(u"x");
    if (list.Capacity() != capacities.back()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int32_t>{0, 4, 8, 12, 28, 44, 60, 76, 95}));
}

TEST(UnicodeStringList, IndexErrorsNameTheIndexAndLeaveTheListAlone) {
  TUnicodeStringList list;
  EXPECT_EQ(ErrorText([&] { list.Get(0); }), "List index out of bounds (0)");
  list.Add(u"a");
  list.Insert(1, u"b");  // at the count: appends
  EXPECT_EQ(ErrorText([&] { list.Insert(3, u"c"); }), "List index out of bounds (3)");
  EXPECT_EQ(ErrorText([&] { list.Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ErrorText([&] { list.Exchange(0, 2); }), "List index out of bounds (2)");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(1), u"b");
}

TEST(UnicodeStringList, ClearKeepsCapacityAndAlwaysNotifies) {
  TUnicodeStringList list;
  HookCounter hooks(list);
  list.Clear();
  EXPECT_EQ(hooks.changing, 1);
  EXPECT_EQ(hooks.changed, 1);
  for (int i = 0; i < 100; ++i) list.Add(u"name");
  const int32_t capacity = list.Capacity();
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), capacity);
}

TEST(UnicodeStringList, EditsKeepOrder) {
  TUnicodeStringList list;
  for (auto text : {u"a", u"b", u"c", u"b", u"d"}) list.Add(text);
  EXPECT_EQ(list.IndexOf(u"b"), 3);
  EXPECT_EQ(list.IndexOf(u"B"), -1);
  list.Exchange(0, 2);
  list.Delete(3);
  list.Move(0, 3);
  std::u16string joined;
  for (int32_t i = 0; i < list.Count(); ++i) joined += list.Get(i);
  EXPECT_EQ(joined, u"badc");
}

TEST(UnicodeStringList, AssignIsOneChangeAndKeepsEmptyStrings) {
  TUnicodeStringList source;
  for (int i = 0; i < 50; ++i) source.Add(i % 7 == 0 ? u"" : u"n");
  TUnicodeStringList target;
  target.Add(u"old");
  HookCounter hooks(target);
  target.Assign(source);
  EXPECT_EQ(hooks.changing, 1);
  EXPECT_EQ(hooks.changed, 1);
  ASSERT_EQ(target.Count(), 50);
  EXPECT_EQ(target.Get(7), u"");
  EXPECT_EQ(target.Get(8), u"n");

  target.Assign(target);  // onto itself: nothing lost
  EXPECT_EQ(target.Count(), 50);
}

TEST(UnicodeStringList, ConvertsWithTheSystemCodePageBothWays) {
  TStringList narrow;
  narrow.Add("caf\xC3\xA9");
  narrow.Add("bad\xFF");  // a byte that starts no UTF-8 character
  TUnicodeStringList wide;
  wide.Assign(narrow);
  EXPECT_EQ(wide.Get(0), u"café");
  EXPECT_EQ(wide.Get(1), u"bad\uFFFD");

  wide.Add(std::u16string(u"x") + char16_t(0xD800) + u"y");  // an unpaired surrogate
  TStringList back;
  back.Assign(wide);
  EXPECT_EQ(back.Get(0), "caf\xC3\xA9");
  EXPECT_EQ(back.Get(2), "x?y");
}

TEST(UnicodeStringsAdapter, ConvertsOnEveryAccess) {
  TStringList narrow;
  TUnicodeStringsAdapter adapter(narrow);
  adapter.Add(u"é");
  adapter.Insert(0, u"a");
  EXPECT_EQ(narrow.Get(1), "\xC3\xA9");
  EXPECT_EQ(adapter.Get(1), u"é");
  adapter.Delete(0);
  EXPECT_EQ(adapter.Count(), 1);
}

TEST(UnicodeStringList, RefusesUnrelatedPartners) {
  struct Other : TPersistent {
    std::string_view ClassName() const override { return "TOther"; }
  } other;
  TUnicodeStringList list;
  EXPECT_EQ(ErrorText([&] { list.Assign(other); }),
            "Cannot assign a TOther to a TUnicodeStringList");
}

}  // namespace
}  // namespace foliotally::dragdrop
