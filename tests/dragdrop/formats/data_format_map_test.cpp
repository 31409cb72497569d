#include <gtest/gtest.h>

#include "dragdrop/formats/clipboard_format_filename.h"
#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/clipboard_format_pidl.h"
#include "dragdrop/formats/data_format_feedback.h"
#include "dragdrop/formats/data_format_files.h"
#include "dragdrop/formats/data_format_registry.h"
#include "dragdrop/formats/debug_log.h"
#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/dragdrop_module.h"

namespace foliotally::dragdrop {
namespace {

// A clipboard format of the tests' own; the id does not matter to the Map().
class TestFormat : public TClipboardFormat {
 public:
  TestFormat() : TClipboardFormat(TYMED_HGLOBAL) {}
  uint16_t GetClipboardFormat() const override { return 0xC0DE; }
  void Clear() override {}
};

class NotImplementedFormat : public TClipboardFormat {
 public:
  NotImplementedFormat() : TClipboardFormat(TYMED_HGLOBAL) {}
  void Clear() override {}
};

const TClipboardFormatClass kClipX("TClipX", &TClipboardFormat::Class(),
                                   &Construct<TestFormat, TClipboardFormat>);
const TClipboardFormatClass kClipY("TClipY", &kClipX, &Construct<TestFormat, TClipboardFormat>);
const TClipboardFormatClass kClipZ("TClipZ", &TClipboardFormat::Class(),
                                   &Construct<TestFormat, TClipboardFormat>,
                                   TDataDirections::Both());
const TDataFormatClass kDataA("TDataA", &TCustomDataFormat::Class(), nullptr);
const TDataFormatClass kDataB("TDataB", &kDataA, nullptr);
const TDataFormatClass kDataC("TDataC", &TCustomDataFormat::Class(), nullptr);

constexpr TDataDirections kRead = TDataDirection::ddRead;
constexpr TDataDirections kWrite = TDataDirection::ddWrite;
const TDataDirections kBoth = TDataDirections::Both();

// Every test starts on an empty map and leaves the module shut down.
class DataFormatMap : public ::testing::Test {
 protected:
  void SetUp() override {
    DragDropShutDown();
    StartUpFormatRegistries();
  }
  void TearDown() override { DragDropShutDown(); }

  static TDataFormatMap& Map() { return TDataFormatMap::Instance(); }

  // The clipboard format classes of `cls`'s rows, in map order.
  std::vector<std::string_view> Order(const TDataFormatClass& cls) {
    std::vector<std::string_view> names;
    for (const TDataFormatMapRow& row : Map().Rows()) {
      if (row.dataFormat == &cls) names.push_back(row.clipboardFormat->ClassName());
    }
    return names;
  }
};

TEST_F(DataFormatMap, LowerPriorityFirstAndTheLatestFirstAmongEquals) {
  Map().Add(kDataC, kClipZ, 5, kBoth);  // another class's rows stay where they are
  Map().Add(kDataA, kClipX, 1, kBoth);
  Map().Add(kDataA, kClipY, 0, kBoth);
  Map().Add(kDataA, kClipZ, 0, kBoth);
  EXPECT_EQ(Order(kDataA), (std::vector<std::string_view>{"TClipZ", "TClipY", "TClipX"}));
  EXPECT_EQ(Map().Rows().front().dataFormat, &kDataC);
}

TEST_F(DataFormatMap, SamePairTwiceIsOneRowWithBothDirectionsReplaced) {
  Map().Add(kDataA, kClipZ, 1, kWrite);
  Map().Add(kDataA, kClipX, 2, kWrite);
  Map().Add(kDataA, kClipZ, 3, kBoth);
  ASSERT_EQ(Map().Rows().size(), 2u);
  EXPECT_EQ(Order(kDataA), (std::vector<std::string_view>{"TClipX", "TClipZ"}));
  EXPECT_EQ(Map().Rows().back().directions, kBoth);
  EXPECT_EQ(Map().Rows().back().priority, 3);
}

TEST_F(DataFormatMap, OnlyAWritingRegistrationSetsThePriority) {
  Map().Add(kDataA, kClipX, 7, kRead);
  EXPECT_EQ(Map().Rows()[0].priority, 0);
  RegisterDataConversion(kClipZ, kDataA);  // the short form: largest priority, read
  EXPECT_EQ(Map().Rows()[Map().Find(kDataA, kClipZ)].priority, 0);
}

TEST_F(DataFormatMap, BasePairUpdatesTheDescendantsRow) {
  Map().Add(kDataB, kClipY, 4, kWrite);
  Map().Add(kDataA, kClipX, 4, kRead);
  ASSERT_EQ(Map().Rows().size(), 1u);
  EXPECT_EQ(Map().Rows()[0].dataFormat, &kDataB);
  EXPECT_EQ(Map().Rows()[0].directions, kBoth);
  EXPECT_EQ(Map().Find(kDataA, kClipX), 0);
  EXPECT_EQ(Map().Find(kDataC, kClipX), -1);
}

TEST_F(DataFormatMap, CompatibleFormatsFollowDirectionsAndClassDefaults) {
  Map().Add(kDataB, kClipX, 0, kWrite);  // writes by its row
  Map().Add(kDataA, kClipZ, 0, kRead);   // writes by its class
  Map().Add(kDataA, kClipY, 0, kRead);   // reads only
  Map().Add(kDataC, kClipY, 0, kBoth);   // another data format
  TClipboardFormats formats(nullptr, true);
  Map().GetCompatibleFormats(kDataA, formats, TDataDirection::ddWrite);
  EXPECT_EQ(formats.Count(), 2);
  Map().GetCompatibleFormats(kDataB, formats, TDataDirection::ddRead);
  EXPECT_EQ(formats.Count(), 1);
}

TEST_F(DataFormatMap, FileFormatOrderDoesNotDependOnModuleOrder) {
  RegisterFileFormatsModule();
  RegisterPIDLFormatsModule();
  RegisterFeedbackFormatsModule();
  auto files = Order(TFileDataFormat::Class());
  auto maps = Order(TFileMapDataFormat::Class());
  auto feedback = Order(TFeedbackDataFormat::Class());

  DragDropShutDown();
  StartUpFormatRegistries();
  TUnicodeFilenameClipboardFormat::Class().RegisterFormat();
  TAnsiFilenameClipboardFormat::Class().RegisterFormat();
  RegisterFeedbackFormatsModule();
  RegisterFileFormatsModule();
  EXPECT_EQ(files, Order(TFileDataFormat::Class()));
  EXPECT_EQ(maps, Order(TFileMapDataFormat::Class()));
  EXPECT_EQ(feedback, Order(TFeedbackDataFormat::Class()));
  EXPECT_EQ(files, (std::vector<std::string_view>{"TFileClipboardFormat", "TPIDLClipboardFormat",
                                                  "TAnsiFilenameClipboardFormat",
                                                  "TUnicodeFilenameClipboardFormat"}));
  EXPECT_EQ(maps, (std::vector<std::string_view>{"TAnsiFilenameMapClipboardFormat",
                                                 "TUnicodeFilenameMapClipboardFormat"}));
}

TEST_F(DataFormatMap, ShutDownStopsRegistrationsAndReportsRecreation) {
  std::vector<std::string> log;
  TDebugSink previous = SetDebugSink([&](std::string_view text) { log.emplace_back(text); });
  DragDropShutDown();
  RegisterDataFormat(TFileDataFormat::Class());
  RegisterCompatibleFormat(kDataA, kClipX, 0, kBoth);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(TDataFormatMap::Instance().Rows().empty());
  EXPECT_EQ(TDataFormatClasses::Instance().Count(), 0);
  SetDebugSink(previous);
  EXPECT_EQ(log,
            (std::vector<std::string>{"DragDrop.TDataFormatMap recreated during shutdown",
                                      "DragDrop.TDataFormatClasses recreated during shutdown"}));
}

TEST(ClipboardFormats, ErrorTextsOfMisuse) {
  auto text = [](const std::function<void()>& action) -> std::string {
    try {
      action();
    } catch (const Exception& error) {
      return error.Message();
    }
    return "no error";
  };
  TFileDataFormat files(nullptr);
  TClipboardFormats formats(&files, true);
  formats.Add(std::make_unique<TFileClipboardFormat>());
  EXPECT_EQ(formats.Items(0).DataFormat, &files);
  EXPECT_EQ(&formats.FormatByClass(TCustomSimpleClipboardFormat::Class()), &formats.Items(0));
  EXPECT_EQ(text([&] { formats.FormatByClass(TPIDLClipboardFormat::Class()); }),
            "Clipboard format TPIDLClipboardFormat does not exist in TFileDataFormat's list "
            "of copatible formats");
  NotImplementedFormat bare;
  EXPECT_EQ(text([&] { bare.FormatEtc(); }),
            "Internal error: TClipboardFormat.GetClipboardFormat needs implementation");
  EXPECT_EQ(text([&] { formats.Items(0).SetClipboardFormatName("x"); }),
            "TFileClipboardFormat.ClipboardFormat is read-only");
  EXPECT_EQ(text([&] { files.CompatibleFormats(); }), "Assertion failure (DragDrop)");
}

TEST(FormatIds, RegisteredNamesAreStableAndDisplayed) {
  const uint32_t id = RegisterClipboardFormatA("Foliotally Test Format");
  EXPECT_GE(id, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormatA("FOLIOTALLY test format"), id);
  EXPECT_NE(RegisterClipboardFormatA("Foliotally Other Format"), id);
  EXPECT_EQ(ClipboardFormatDisplayName(id), "Foliotally Test Format");
  EXPECT_EQ(GetClipboardFormatNameA(id, 4), "Foli");
  EXPECT_EQ(ClipboardFormatDisplayName(CF_HDROP), "CF_HDROP");
  EXPECT_EQ(ClipboardFormatDisplayName(18), "CF_MAX_XP");
  EXPECT_EQ(ClipboardFormatDisplayName(142), "CF_DSPENHMETAFILE");
  EXPECT_EQ(ClipboardFormatDisplayName(19), "");
  EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
}

}  // namespace
}  // namespace foliotally::dragdrop
