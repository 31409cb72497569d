#include <gtest/gtest.h>

#include "dragdrop/formats/class_stream.h"
#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/data_format_feedback.h"
#include "dragdrop/formats/dragdrop_module.h"
#include "dragdrop/formats/stream_adapter.h"
#include "test_data_object.h"

namespace foliotally::dragdrop {
namespace {

const uint16_t kPreferred = RegisteredFormatId("Preferred DropEffect");

std::vector<uint8_t> Value(uint32_t value) {
  return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

// A destination that takes at most `limit` bytes per write.
class Sink : public TestStream {
 public:
  Sink(std::map<TestCall, int>& calls, uint32_t limit) : TestStream({}, {}, calls), limit_(limit) {}
  HResult Write(std::span<const uint8_t> bytes, uint32_t& written) override {
    writes.push_back(bytes.size());
    return TestStream::Write(bytes.first(std::min<size_t>(bytes.size(), limit_)), written);
  }
  std::vector<size_t> writes;

 private:
  uint32_t limit_;
};

TEST(FeedbackFormats, ReadsAValueOrNothing) {
  TestDataObject data;
  data.Offer(kPreferred, Value(5), TYMED_ISTREAM);
  TPreferredDropEffectClipboardFormat preferred;
  ASSERT_TRUE(preferred.GetData(data));
  EXPECT_EQ(preferred.Value(), 5u);

  TestDataObject none;
  EXPECT_FALSE(preferred.GetData(none));
  EXPECT_EQ(preferred.Value(), 0u);

  TestDataObject shortPayload;
  shortPayload.Offer(kPreferred, {1, 0, 0});
  EXPECT_FALSE(preferred.GetData(shortPayload));
}

TEST(FeedbackFormats, ClassIdsOfSixteenBytesOnly) {
  TTargetCLSIDClipboardFormat target;
  EXPECT_FALSE(target.ReadData(std::vector<uint8_t>(15, 1)));
  EXPECT_FALSE(target.ReadData(std::vector<uint8_t>(17, 1)));
  EXPECT_FALSE(target.HasData());
  EXPECT_TRUE(target.ReadData(std::vector<uint8_t>(16, 1)));
  EXPECT_TRUE(target.HasData());
}

TEST(FeedbackFormats, AWrittenValueIsAStreamThatReadsFromItsStartWithoutSeeking) {
  TestDataObject data;
  TPerformedDropEffectClipboardFormat performed;
  performed.SetValue(0x80000001u);
  TStgMedium medium;
  ASSERT_TRUE(performed.SetData(data, performed.FormatEtc(), medium));
  ASSERT_EQ(data.written.size(), 1u);
  EXPECT_EQ(data.written[0].format, performed.FormatEtc());
  IStream* stream = data.written[0].medium.Stream();
  ASSERT_NE(stream, nullptr);

  std::vector<uint8_t> bytes(8);
  uint32_t read = 0;
  ASSERT_EQ(stream->Read(std::span(bytes).first(2), read), S_OK);
  ASSERT_EQ(stream->Read(std::span(bytes).subspan(2), read), S_OK);
  EXPECT_EQ(read, 2u);
  bytes.resize(4);
  EXPECT_EQ(bytes, Value(0x80000001u));
}

TEST(FeedbackFormats, AByteBlockWhenAnyMediumWillDoAndARefusalReleasesTheMedium) {
  TestDataObject data;
  TPasteSucceededClipboardFormat paste;
  paste.SetValue(1);
  TFormatEtc anyMedium = paste.FormatEtc();
  anyMedium.tymed = TYMED_ANY;
  TStgMedium medium;
  ASSERT_TRUE(paste.SetData(data, anyMedium, medium));
  EXPECT_EQ(data.written[0].medium.Global(), Value(1));

  data.acceptSetData = false;
  EXPECT_FALSE(paste.SetData(data, paste.FormatEtc(), medium));
  EXPECT_TRUE(medium.IsEmpty());
  TFormatEtc otherAspect = paste.FormatEtc();
  otherAspect.dwAspect = 4;
  EXPECT_FALSE(paste.SetData(data, otherAspect, medium));
  EXPECT_EQ(data.Calls(TestCall::SetData), 2);
}

TEST(FeedbackFormats, CopyToRewindsAtTheEndAndStopsAtAShortWrite) {
  std::map<TestCall, int> calls;
  TFixedStreamAdapter value(std::make_unique<TBytesStream>(Value(7)));
  value.Seek(0, STREAM_SEEK_END, nullptr);
  Sink all(calls, UINT32_MAX);
  uint64_t read = 0;
  uint64_t written = 0;
  EXPECT_EQ(value.CopyTo(all, -1, &read, &written), S_OK);
  EXPECT_EQ(written, 4u);

  std::vector<uint8_t> big(3 * 1024 * 1024 + 5, 0xAB);
  TFixedStreamAdapter large(std::make_unique<TBytesStream>(big));
  Sink pieces(calls, UINT32_MAX);
  EXPECT_EQ(large.CopyTo(pieces, -1, &read, &written), S_OK);
  EXPECT_EQ(pieces.writes, (std::vector<size_t>{1 << 20, 1 << 20, 1 << 20, 5}));

  large.Seek(0, STREAM_SEEK_SET, nullptr);
  Sink choking(calls, 100);
  EXPECT_EQ(large.CopyTo(choking, -1, &read, &written), E_FAIL);
  EXPECT_EQ(read, 1u << 20);
  EXPECT_EQ(written, 100u);
}

class FeedbackDataFormat : public ::testing::Test {
 protected:
  void SetUp() override {
    DragDropShutDown();
    DragDropStartUp();
  }
  void TearDown() override { DragDropShutDown(); }
};

TEST_F(FeedbackDataFormat, GathersTheValuesAndClearsThemAll) {
  TestDataObject data;
  data.Offer(kPreferred, Value(2));
  data.Offer(RegisteredFormatId("Paste Succeeded"), Value(1), TYMED_ISTREAM);
  data.Offer(RegisteredFormatId("InShellDragLoop"), Value(0));
  auto format =
      TCustomDataFormat::CreateFormat(TFeedbackDataFormat::Class(), TDataDirection::ddRead);
  auto& feedback = static_cast<TFeedbackDataFormat&>(*format);
  ASSERT_TRUE(feedback.GetData(data));
  EXPECT_EQ(feedback.PreferredDropEffect, 2u);
  EXPECT_EQ(feedback.PasteSucceeded, 1u);
  EXPECT_TRUE(feedback.GotInShellDragLoop);
  EXPECT_FALSE(feedback.InShellDragLoop);
  feedback.Clear();
  EXPECT_FALSE(feedback.HasData());
}

}  // namespace
}  // namespace foliotally::dragdrop
