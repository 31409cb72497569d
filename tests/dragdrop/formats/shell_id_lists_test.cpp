#include "dragdrop/formats/shell_id_lists.h"

#include <gtest/gtest.h>

#include "dragdrop/formats/clipboard_format_pidl.h"
#include "dragdrop/formats/dragdrop_errors.h"
#include "test_data_object.h"

namespace foliotally::dragdrop {
namespace {

std::vector<uint8_t> Item(uint8_t kind, std::string_view text) {
  std::vector<uint8_t> content(text.begin(), text.end());
  content.insert(content.begin(), kind);
  return content;
}

std::optional<std::u16string> Resolve(const TIdList& list) {
  std::u16string path;
  if (!SHGetPathFromIDListW(list, path)) return std::nullopt;
  return path;
}

TEST(ShellIdLists, ItemsResolveToLocalPathsOrToNone) {
  EXPECT_EQ(Resolve(MakeLocalPathIdList("/home/ann/b\xC3\xA4r.pdf")), u"/home/ann/bär.pdf");
  std::vector<std::vector<uint8_t>> chain{Item('P', "/srv/"), Item('N', "a"), Item('N', "b")};
  EXPECT_EQ(Resolve(MakeIdList(chain)), u"/srv/a/b");
  EXPECT_EQ(Resolve(MakeUriIdList("sftp://host/x")), std::nullopt);
  EXPECT_EQ(Resolve(TIdList{0, 0}), std::nullopt);  // the desktop
  std::vector<std::vector<uint8_t>> orphan{Item('N', "a")};
  EXPECT_EQ(Resolve(MakeIdList(orphan)), std::nullopt);
  std::vector<std::vector<uint8_t>> slash{Item('P', "/a"), Item('N', "b/c")};
  EXPECT_EQ(Resolve(MakeIdList(slash)), std::nullopt);
  EXPECT_EQ(Resolve(MakeLocalPathIdList("/" + std::string(4096, 'x'))), std::nullopt);
  TIdList unterminated = MakeLocalPathIdList("/a");
  unterminated.pop_back();
  EXPECT_EQ(Resolve(unterminated), std::nullopt);
}

TEST(ShellIdLists, ItemsAreJoinedToTheirFolder) {
  std::vector<std::vector<uint8_t>> folder{Item('P', "/data")};
  std::vector<std::vector<uint8_t>> item{Item('N', "c.pdf")};
  std::vector<TIdList> items{MakeIdList(item), MakeUriIdList("x:")};
  TPIDLClipboardFormat format;
  ASSERT_TRUE(format.ReadData(MakeShellIdListArray(MakeIdList(folder), items)));
  TPIDLsToFilenamesStrings& names = format.PathNames();
  ASSERT_EQ(names.Count(), 2);
  EXPECT_EQ(names.Get(0), u"/data/c.pdf");
  EXPECT_EQ(names.Get(1), u"");
  EXPECT_THROW(names.Get(2), EListError);

  names.SetResolver([](std::span<const uint8_t>, std::u16string& path) {
    path = u"resolved";
    return true;
  });
  EXPECT_EQ(names.Get(1), u"resolved");
}

}  // namespace
}  // namespace foliotally::dragdrop
