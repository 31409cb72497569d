#include <gtest/gtest.h>

#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/code_page.h"
#include "dragdrop/formats/data_format_files.h"
#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/dragdrop_module.h"
#include "dragdrop/formats/little_endian.h"
#include "dragdrop/formats/shell_id_lists.h"
#include "test_data_object.h"

namespace foliotally::dragdrop {
namespace {

const uint16_t kIdList = RegisteredFormatId("Shell IDList Array");
const uint16_t kFileName = RegisteredFormatId("FileName");
const uint16_t kFileNameW = RegisteredFormatId("FileNameW");
const uint16_t kFileNameMap = RegisteredFormatId("FileNameMap");
const uint16_t kFileNameMapW = RegisteredFormatId("FileNameMapW");

// A DROPFILES payload of UTF-8 names, written as UTF-16 when `wide`.
std::vector<uint8_t> DropFiles(const std::vector<std::string>& names, bool wide = true) {
  std::vector<uint8_t> payload(20);
  WriteUInt32LE(payload, 0, 20);
  WriteUInt32LE(payload, 16, wide ? 1 : 0);
  for (const std::string& name : names) {
    std::vector<uint8_t> bytes = wide ? Utf16Bytes(SystemCodePageToUtf16(name)) : Bytes(name);
    payload.insert(payload.end(), bytes.begin(), bytes.end());
    payload.insert(payload.end(), wide ? 2 : 1, 0);
  }
  payload.insert(payload.end(), wide ? 2 : 1, 0);
  return payload;
}

std::vector<uint8_t> IdListArray(const std::vector<TIdList>& items) {
  const uint8_t desktop[] = {0, 0};
  return MakeShellIdListArray(desktop, items);
}

class FileFormats : public ::testing::Test {
 protected:
  void SetUp() override {
    DragDropShutDown();
    DragDropStartUp();
  }
  void TearDown() override { DragDropShutDown(); }

  // The names a file drop takes from `data`, fetched as the drop target fetches them.
  std::vector<std::u16string> Files(TestDataObject& data) {
    auto format = TCustomDataFormat::CreateFormat(TFileDataFormat::Class(), TDataDirection::ddRead);
    auto& files = static_cast<TFileDataFormat&>(*format);
    fetched = files.GetData(data);
    std::vector<std::u16string> names;
    for (int32_t i = 0; i < files.Files().Count(); ++i) names.push_back(files.Files().Get(i));
    return names;
  }
  bool fetched = false;
};

using Names = std::vector<std::u16string>;

TestStreamBehaviour Pieces(uint32_t largest) {
  TestStreamBehaviour stream;
  stream.largestPiece = largest;
  return stream;
}

TestStreamBehaviour Reporting(uint64_t size) {
  TestStreamBehaviour stream;
  stream.reportedSize = size;
  return stream;
}

TestStreamBehaviour FailingRead(int at) {
  TestStreamBehaviour stream;
  stream.failReadAt = at;
  return stream;
}

TEST_F(FileFormats, DropFilesGiveEveryNameAsSpelledInOrder) {
  TestDataObject folder;
  folder.Offer(CF_HDROP, DropFiles({"/home/ann/Reports/"}));
  EXPECT_EQ(Files(folder), Names{u"/home/ann/Reports/"});

  TestDataObject several;
  several.Offer(CF_HDROP, DropFiles({"/b", "/a", "/b", "/caf\xC3\xA9.pdf"}, false));
  EXPECT_EQ(Files(several), (Names{u"/b", u"/a", u"/b", u"/café.pdf"}));
}

TEST_F(FileFormats, TheFirstFormatWithNamesEndsTheSearch) {
  TestDataObject both;
  both.Offer(CF_HDROP, DropFiles({"/x"}));
  both.Offer(kIdList, IdListArray({MakeLocalPathIdList("/y")}));
  EXPECT_EQ(Files(both), Names{u"/x"});
  EXPECT_EQ(both.Fetches(kIdList), 0);

  // Items without a path still count as names, so "FileName" is not read.
  TestDataObject pathless;
  pathless.Offer(kIdList, IdListArray({MakeUriIdList("sftp://host/a"), MakeUriIdList("b:")}));
  pathless.Offer(kFileName, Bytes("/z"));
  EXPECT_EQ(Files(pathless), (Names{u"", u""}));
  EXPECT_EQ(pathless.Fetches(kFileName), 0);
}

TEST_F(FileFormats, PayloadsWithoutNamesLetTheNextFormatBeTried) {
  std::vector<uint8_t> header20(20);
  WriteUInt32LE(header20, 0, 20);
  std::vector<uint8_t> startsWithNul = DropFiles({});
  std::vector<uint8_t> pastTheEnd = DropFiles({"/x"});
  WriteUInt32LE(pastTheEnd, 0, 1000);
  std::vector<uint8_t> noItems = IdListArray({});
  for (const auto& dropFiles : {std::vector<uint8_t>(), header20, startsWithNul, pastTheEnd}) {
    TestDataObject data;
    data.Offer(CF_HDROP, dropFiles);
    data.Offer(kIdList, noItems);
    data.Offer(kFileName, Bytes("/fallback"));
    EXPECT_EQ(Files(data), Names{u"/fallback"});
    EXPECT_EQ(data.Fetches(kIdList), 1);
  }
}

TEST_F(FileFormats, SingleNameFormatsCutOrKeepTheirNul) {
  TestDataObject narrow;
  narrow.Offer(kFileName, Bytes(std::string("/a/b.pdf\0junk", 13)));
  EXPECT_EQ(Files(narrow), Names{u"/a/b.pdf"});

  TestDataObject wide;
  std::vector<uint8_t> payload = Utf16Bytes(std::u16string(u"/a\0", 3));
  payload.push_back('x');  // an odd last byte forms no character
  wide.Offer(kFileNameW, payload);
  EXPECT_EQ(Files(wide), Names{std::u16string(u"/a\0", 3)});

  TestDataObject empty;
  empty.Offer(kFileName, Bytes(std::string("\0", 1)));
  empty.Offer(kFileNameW, {'x'});
  EXPECT_EQ(Files(empty), Names{});
  EXPECT_FALSE(fetched);
}

TEST_F(FileFormats, TheNarrowNameMapIsPreferred) {
  TestDataObject data;
  data.Offer(kFileNameMapW, Utf16Bytes(std::u16string(u"wide\0\0", 6)));
  data.Offer(kFileNameMap, Bytes(std::string("Kopie von b\xC3\xA4r\0\0", 17)));
  auto format =
      TCustomDataFormat::CreateFormat(TFileMapDataFormat::Class(), TDataDirection::ddRead);
  auto& maps = static_cast<TFileMapDataFormat&>(*format);
  ASSERT_TRUE(maps.GetData(data));
  ASSERT_EQ(maps.NameMappings().Count(), 1);
  EXPECT_EQ(maps.NameMappings().Get(0), u"Kopie von bär");
  EXPECT_EQ(data.Fetches(kFileNameMapW), 0);
}

TEST_F(FileFormats, AFormatOnAMediumOutsideTheMaskIsSkipped) {
  TestDataObject data;
  data.Offer(CF_HDROP, DropFiles({"/x"}), TYMED_FILE);
  data.Offer(kFileNameW, Utf16Bytes(u"/w"));
  TFileClipboardFormat drop;
  EXPECT_FALSE(drop.HasValidFormats(data));
  EXPECT_EQ(Files(data), Names{u"/w"});
  // Asked with no medium at all, the data object has nothing to hand over.
  ASSERT_FALSE(data.requests.empty());
  EXPECT_EQ(data.requests[0].cfFormat, CF_HDROP);
  EXPECT_EQ(data.requests[0].tymed, TYMED_NULL);
}

TEST_F(FileFormats, AFailingDataObjectGivesNoNames) {
  TestDataObject data;
  data.Offer(CF_HDROP, DropFiles({"/x"}));
  data.failing = {TestCall::GetData};
  EXPECT_EQ(Files(data), Names{});
  EXPECT_FALSE(fetched);
  // Every format is asked for once, also those whose probe found no medium.
  EXPECT_EQ(data.Calls(TestCall::GetData), 4);

  data.failing = {TestCall::QueryGetData};
  TFileClipboardFormat drop;
  EXPECT_FALSE(drop.HasValidFormats(data));
}

TEST_F(FileFormats, StreamsAreReadInPiecesOfAtMostOneMebibyte) {
  std::string longName = "/" + std::string(3 * 1024 * 1024, 'n');
  TestDataObject data;
  data.Offer(CF_HDROP, DropFiles({longName, "/second"}, false), TYMED_ISTREAM, Pieces(700 * 1024));
  Names names = Files(data);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].size(), longName.size());
  EXPECT_EQ(names[1], u"/second");
  ASSERT_EQ(data.streams.size(), 1u);
  EXPECT_GE(data.streams[0]->readRequests.size(), 5u);
  for (size_t request : data.streams[0]->readRequests) EXPECT_LE(request, 1024u * 1024u);
}

TEST_F(FileFormats, AStreamThatDeliversLessThanItReportsGivesWhatArrived) {
  TestDataObject data;
  data.Offer(kFileName, Bytes("/short"), TYMED_ISTREAM, Reporting(0x7FFFFFFF));
  EXPECT_EQ(Files(data), Names{u"/short"});
  for (size_t request : data.streams[0]->readRequests) EXPECT_LE(request, 1024u * 1024u);

  TestDataObject failing;
  failing.Offer(CF_HDROP, DropFiles({"/x"}), TYMED_ISTREAM, FailingRead(0));
  failing.Offer(kFileNameW, Utf16Bytes(u"/next"));
  EXPECT_EQ(Files(failing), Names{u"/next"});
}

TEST_F(FileFormats, AStreamSizeBeyond31BitsIsARangeErrorAndTheMediumIsReleased) {
  TestDataObject data;
  data.Offer(CF_HDROP, DropFiles({"/x"}), TYMED_ISTREAM, Reporting(0x80000000u));
  EXPECT_THROW(Files(data), ERangeError);
  ASSERT_EQ(data.streams.size(), 1u);
  EXPECT_EQ(data.streams[0].use_count(), 1);
}

TEST_F(FileFormats, NamesAreNeverReadPastThePayload) {
  TestDataObject unterminated;
  std::vector<uint8_t> cut = DropFiles({"/kept", "/cut"});
  cut.resize(cut.size() - 4);  // the last NUL and the closing one are gone
  unterminated.Offer(CF_HDROP, cut);
  EXPECT_EQ(Files(unterminated), Names{u"/kept"});

  std::vector<uint8_t> badOffset = IdListArray({MakeLocalPathIdList("/a")});
  WriteUInt32LE(badOffset, 8, static_cast<uint32_t>(badOffset.size()));
  std::vector<uint8_t> hugeCount = IdListArray({MakeLocalPathIdList("/a")});
  WriteUInt32LE(hugeCount, 0, 0xFFFFFFFF);
  std::vector<uint8_t> overlongItem = IdListArray({MakeLocalPathIdList("/a")});
  WriteUInt16LE(overlongItem, overlongItem.size() - 7, 0x7FFF);
  for (const auto& payload : {badOffset, hugeCount, overlongItem}) {
    TestDataObject data;
    data.Offer(kIdList, payload);
    EXPECT_EQ(Files(data), Names{});
  }
}

}  // namespace
}  // namespace foliotally::dragdrop
