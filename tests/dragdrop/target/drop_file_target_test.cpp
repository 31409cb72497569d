// The drop target on the test data object: effects, refusals, what OnDrop sees, what is
// written back, scrolling and the asynchronous transfer.
#include "dragdrop/target/drop_file_target.h"

#include <gtest/gtest.h>

#include <thread>

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/dragdrop_module.h"
#include "dragdrop/target/async_operation.h"
#include "dragdrop/target/fake_drop_platform.h"
#include "test_data_object.h"

namespace foliotally::dragdrop {
namespace {

constexpr uint32_t kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
constexpr uint32_t kCtrl = MK_LBUTTON | MK_CONTROL;
constexpr uint32_t kShift = MK_LBUTTON | MK_SHIFT;

std::vector<uint8_t> DropFiles(std::initializer_list<std::u16string> names) {
  TFileClipboardFormat format;
  for (const auto& name : names) format.Names().Add(name);
  std::vector<uint8_t> block(static_cast<size_t>(format.GetDataSize()));
  format.WriteData(block);
  return block;
}

uint16_t IdOf(const TClipboardFormat& format) { return format.FormatEtc().cfFormat; }

// The values written back under `format`, in order.
std::vector<uint32_t> Written(TestDataObject& data, uint16_t format) {
  std::vector<uint32_t> values;
  for (auto& written : data.written) {
    TPerformedDropEffectClipboardFormat value;
    if (written.format.cfFormat == format && value.ReadMedium(data, written.medium))
      values.push_back(value.Value());
  }
  return values;
}

class DropFileTargetTest : public ::testing::Test {
 protected:
  DropFileTargetTest() {
    DragDropStartUp();
    list.client = {0, 0, 100, 200};
    platform.under = &list;
    target = std::make_unique<TDropFileTarget>(platform);
    target->SetTarget(list.Id());
    target->OnDrop = [this](TCustomDropTarget&, TShiftState, TPoint, uint32_t& effect) {
      dropEffects.push_back(effect);
      for (int32_t i = 0; i < target->Files().Count(); ++i)
        dropped.push_back(target->Files().Get(i));
      if (raiseInDrop) throw std::runtime_error("the folder cannot be entered");
    };
  }
  ~DropFileTargetTest() override {
    target.reset();
    DragDropShutDown();
  }

  std::shared_ptr<TestDataObject> Files(std::initializer_list<std::u16string> names) {
    auto data = std::make_shared<TestDataObject>();
    data->Offer(CF_HDROP, DropFiles(names));
    return data;
  }

  // Enter, one move and the drop at `at`; gives the drop's result and effect.
  std::pair<HResult, uint32_t> DragAndDrop(std::shared_ptr<IDataObject> data, uint32_t keys,
                                           uint32_t offered = kAll, TPoint at = {50, 100}) {
    uint32_t effect = offered;
    target->DragEnter(data, keys, at, effect);
    effect = offered;
    target->DragOver(keys, at, effect);
    effect = offered;
    const HResult result = target->Drop(data, keys, at, effect);
    return {result, effect};
  }

  uint32_t EnterEffect(uint32_t keys, uint32_t offered) {
    uint32_t effect = offered;
    target->DragEnter(Files({u"/a"}), keys, {50, 100}, effect);
    target->DragLeave();
    return effect;
  }

  FakeDropPlatform platform;
  FakeControl list;
  std::unique_ptr<TDropFileTarget> target;
  std::vector<uint32_t> dropEffects;
  std::vector<std::u16string> dropped;
  bool raiseInDrop = false;
};

TEST_F(DropFileTargetTest, CopyUnlessCtrlAndShiftAskForLinkAndNeverMove) {
  EXPECT_EQ(EnterEffect(MK_LBUTTON, kAll), DROPEFFECT_COPY);
  EXPECT_EQ(EnterEffect(kCtrl, kAll), DROPEFFECT_COPY);
  EXPECT_EQ(EnterEffect(kShift, kAll), DROPEFFECT_COPY);
  EXPECT_EQ(EnterEffect(kCtrl | kShift | MK_ALT, kAll), DROPEFFECT_LINK);
  EXPECT_EQ(EnterEffect(kCtrl | kShift, DROPEFFECT_COPY), DROPEFFECT_COPY);
}

TEST_F(DropFileTargetTest, SourceThatOffersOnlyMoveIsRefusedAndNothingIsDropped) {
  EXPECT_EQ(EnterEffect(MK_LBUTTON, DROPEFFECT_MOVE), DROPEFFECT_NONE);
  const auto [result, effect] = DragAndDrop(Files({u"/a"}), MK_LBUTTON, DROPEFFECT_MOVE);
  EXPECT_EQ(result, E_UNEXPECTED);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_TRUE(dropEffects.empty());
}

TEST_F(DropFileTargetTest, PlainTextIsRefusedAtEveryStepWithItsCodes) {
  auto text = std::make_shared<TestDataObject>();
  text->Offer(CF_UNICODETEXT, Utf16Bytes(u"/a"));
  uint32_t effect = kAll;
  EXPECT_EQ(target->DragEnter(text, MK_LBUTTON, {50, 100}, effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  effect = kAll;
  EXPECT_EQ(target->DragOver(MK_LBUTTON, {50, 100}, effect), DV_E_CLIPFORMAT);
  effect = kAll;
  EXPECT_EQ(target->Drop(text, MK_LBUTTON, {50, 100}, effect), E_UNEXPECTED);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_TRUE(dropEffects.empty());
}

TEST_F(DropFileTargetTest, OnDropSeesEveryNameInOrderThenTheListIsEmptiedAndCopyIsWritten) {
  auto data = Files({u"/docs", u"/scans/a.pdf"});
  uint32_t effect = kAll;
  target->DragEnter(data, MK_LBUTTON, {50, 100}, effect);
  EXPECT_EQ(target->Target(), list.Id());
  effect = kAll;
  target->DragOver(MK_LBUTTON, {51, 100}, effect);
  // Entering and moving read no data: they only probe.
  EXPECT_EQ(data->Calls(TestCall::GetData), 0);
  effect = kAll;
  EXPECT_EQ(target->Drop(data, MK_LBUTTON, {51, 100}, effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(dropped, (std::vector<std::u16string>{u"/docs", u"/scans/a.pdf"}));
  EXPECT_EQ(target->Files().Count(), 0);
  EXPECT_EQ(target->Target(), nullptr);
  EXPECT_EQ(Written(*data, IdOf(TPerformedDropEffectClipboardFormat())),
            std::vector<uint32_t>{DROPEFFECT_COPY});
}

TEST_F(DropFileTargetTest, MappedNamesAloneAreAcceptedWithNoFiles) {
  auto data = std::make_shared<TestDataObject>();
  data->Offer(RegisteredFormatId("FileNameMapW"), Utf16Bytes(std::u16string(u"b.pdf\0\0", 7)));
  std::vector<int32_t> mapped;
  target->OnDrop = [&](TCustomDropTarget&, TShiftState, TPoint, uint32_t&) {
    mapped = {target->Files().Count(), target->MappedNames().Count()};
  };
  EXPECT_EQ(DragAndDrop(data, MK_LBUTTON).first, S_OK);
  EXPECT_EQ(mapped, (std::vector<int32_t>{0, 1}));
}

TEST_F(DropFileTargetTest, OnDropThatRaisesEndsQuietlyWithNoneAndClearsTheNames) {
  raiseInDrop = true;
  auto data = Files({u"/gone"});
  const auto [result, effect] = DragAndDrop(data, MK_LBUTTON);
  EXPECT_EQ(result, E_UNEXPECTED);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(dropped.size(), 1u);
  EXPECT_EQ(target->Files().Count(), 0);
  EXPECT_TRUE(data->written.empty());
}

TEST_F(DropFileTargetTest, MoveIsReportedAsCopyOnlyWhereTheSourceTakesTheValue) {
  target->SetDragTypes({TDragType::dtCopy, TDragType::dtMove, TDragType::dtLink});
  auto data = Files({u"/a"});
  EXPECT_EQ(DragAndDrop(data, MK_LBUTTON).second, DROPEFFECT_COPY);
  EXPECT_EQ(dropEffects.back(), DROPEFFECT_MOVE);
  auto refusing = Files({u"/a"});
  refusing->acceptSetData = false;
  EXPECT_EQ(DragAndDrop(refusing, MK_LBUTTON).second, DROPEFFECT_MOVE);
}

TEST_F(DropFileTargetTest, DropInTheScrollMarginCarriesTheScrollFlagBackToTheSource) {
  list.bars.vertical = true;  // margin: 32 pixels at top and bottom
  auto data = Files({u"/a"});
  EXPECT_EQ(DragAndDrop(data, MK_LBUTTON, kAll, {50, 190}).second,
            DROPEFFECT_SCROLL | DROPEFFECT_COPY);
  EXPECT_EQ(dropEffects, std::vector<uint32_t>{DROPEFFECT_SCROLL | DROPEFFECT_COPY});
  EXPECT_EQ(Written(*data, IdOf(TPerformedDropEffectClipboardFormat())),
            std::vector<uint32_t>{DROPEFFECT_SCROLL | DROPEFFECT_COPY});
  EXPECT_EQ(DragAndDrop(Files({u"/a"}), MK_LBUTTON, kAll, {50, 100}).second, DROPEFFECT_COPY);
}

TEST_F(DropFileTargetTest, RestingInTheMarginScrollsOneLinePerTickWhileSlowAndWithinRange) {
  list.bars.vertical = true;
  list.vertical = {0, 99, 90, 8};  // two more lines fit below
  uint32_t effect = kAll;
  target->DragEnter(Files({u"/a"}), MK_LBUTTON, {50, 190}, effect);
  platform.now += 30;
  effect = kAll;
  target->DragOver(MK_LBUTTON, {50, 190}, effect);
  ASSERT_TRUE(platform.timer->enabled);
  EXPECT_EQ(platform.timer->interval, ScrollDelay);

  platform.cursor = {50, 190};
  int32_t offered = 0;
  target->OnScroll = [&](TCustomDropTarget&, TPoint, TScrollDirections& scroll, int32_t& interval) {
    EXPECT_TRUE(scroll.Contains(TScrollDirection::sdDown));
    offered = interval;
    interval = 200;
  };
  platform.now += 50;
  target->ScrollTimerTick();
  EXPECT_EQ(list.linesDown, 1);
  EXPECT_EQ(offered, ScrollInterval);
  EXPECT_EQ(platform.timer->interval, 200);
  EXPECT_TRUE(platform.timer->enabled);

  target->OnScroll = nullptr;
  platform.now += 200;
  target->ScrollTimerTick();
  platform.now += 50;
  target->ScrollTimerTick();  // position 10 + page 90 > 99: the end is reached
  EXPECT_EQ(list.linesDown, 2);
  EXPECT_FALSE(platform.timer->enabled);

  // Back in the margin the timer runs again, and keeps running while the pointer sweeps
  // through it faster than 20 pixels a second; a tick then scrolls nothing.
  list.vertical.pos = 0;
  platform.now += 1000;
  effect = kAll;
  target->DragOver(MK_LBUTTON, {50, 190}, effect);
  EXPECT_TRUE(platform.timer->enabled);
  platform.now += 10;
  effect = kAll;
  target->DragOver(MK_LBUTTON, {50, 170}, effect);
  EXPECT_TRUE(platform.timer->enabled);
  platform.cursor = {50, 170};
  target->ScrollTimerTick();
  EXPECT_EQ(list.linesDown, 2);
  EXPECT_TRUE(platform.timer->enabled);
  // Leaving the margin stops it as well.
  platform.now += 1000;
  effect = kAll;
  target->DragOver(MK_LBUTTON, {50, 100}, effect);
  EXPECT_FALSE(platform.timer->enabled);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
}

// A drag source sends no positions while the pointer rests: one position that arrived fast
// is the last the target hears, and the ticks alone must find that the pointer now rests.
TEST_F(DropFileTargetTest, PointerThatArrivesFastAndRestsScrollsWithNoFurtherPositions) {
  list.bars.vertical = true;
  uint32_t effect = kAll;
  target->DragEnter(Files({u"/a"}), MK_LBUTTON, {50, 100}, effect);
  platform.now += 15;
  effect = kAll;
  target->DragOver(MK_LBUTTON, {50, 190}, effect);  // 90 pixels in 15 ms
  ASSERT_TRUE(platform.timer->enabled);
  platform.cursor = {50, 190};
  for (int tick = 0; tick < 5; ++tick) {
    platform.now += 50;
    target->ScrollTimerTick();
    ASSERT_TRUE(platform.timer->enabled);
  }
  EXPECT_GE(list.linesDown, 2);
  target->DragLeave();
  EXPECT_FALSE(platform.timer->enabled);
}

TEST_F(DropFileTargetTest, PasteHandlesTheClipboardLikeACopyDropAndSaysSo) {
  auto clipboard = Files({u"/docs"});
  platform.clipboard = clipboard;
  EXPECT_EQ(target->PasteFromClipboard(), DROPEFFECT_COPY);
  EXPECT_EQ(dropped, std::vector<std::u16string>{u"/docs"});
  EXPECT_EQ(Written(*clipboard, IdOf(TPasteSucceededClipboardFormat())),
            std::vector<uint32_t>{DROPEFFECT_COPY});

  auto text = std::make_shared<TestDataObject>();
  text->Offer(CF_UNICODETEXT, Utf16Bytes(u"hello"));
  platform.clipboard = text;
  EXPECT_EQ(target->PasteFromClipboard(), DROPEFFECT_NONE);
  EXPECT_EQ(dropEffects.back(), DROPEFFECT_NONE);
  EXPECT_TRUE(text->written.empty());
}

TEST_F(DropFileTargetTest, ControlsKeepAncestorsBeforeDescendantsAndADestroyedOneLeaves) {
  FakeControl window;
  FakeControl panel;
  panel.parent = &window;
  FakeControl inner;
  inner.parent = &panel;
  target->SetMultiTarget(true);
  target->RegisterControl(inner.Id());
  target->RegisterControl(window.Id());
  target->RegisterControl(panel.Id());
  const TControlList& targets = target->Targets();
  ASSERT_EQ(targets.Count(), 4);
  EXPECT_EQ(targets.IndexOf(panel.Id()), targets.IndexOf(window.Id()) + 1);

  platform.Destroy(inner.Id());
  EXPECT_EQ(targets.IndexOf(inner.Id()), -1);
  target->SetTarget(list.Id());
  EXPECT_EQ(targets.Count(), 1);
  EXPECT_EQ(platform.registered, std::set<TWinControl*>{list.Id()});
  EXPECT_EQ(DragAndDrop(Files({u"/a"}), MK_LBUTTON).second, DROPEFFECT_COPY);
}

// A source that lets the target fetch after the drop, on a thread of its own.
class AsyncDataObject : public TestDataObject, public IAsyncOperation {
 public:
  HResult GetAsyncMode(bool& isAsync) override {
    isAsync = true;
    return S_OK;
  }
  HResult StartOperation() override { return S_OK; }
  HResult InOperation(bool& inAsyncOp) override {
    inAsyncOp = true;
    return S_OK;
  }
  HResult EndOperation(HResult result, uint32_t effect) override {
    ended = {result, effect};
    return S_OK;
  }
  std::optional<std::pair<HResult, uint32_t>> ended;
};

TEST_F(DropFileTargetTest, AsynchronousTransferFiresOnDropOnItsThreadAndRefusesNewDrags) {
  target->SetAllowAsyncTransfer(true);
  auto data = std::make_shared<AsyncDataObject>();
  data->Offer(CF_HDROP, DropFiles({u"/docs"}));
  std::thread::id dropThread;
  target->OnDrop = [&](TCustomDropTarget&, TShiftState, TPoint, uint32_t&) {
    dropThread = std::this_thread::get_id();
    dropped.push_back(target->Files().Get(0));
  };
  int ends = 0;
  target->OnEndAsyncTransfer = [&](TCustomDropTarget&) { ++ends; };
  EXPECT_EQ(DragAndDrop(data, MK_LBUTTON).first, S_OK);
  EXPECT_TRUE(target->Transferring());
  uint32_t effect = kAll;
  EXPECT_EQ(target->DragEnter(Files({u"/b"}), MK_LBUTTON, {50, 100}, effect), E_UNEXPECTED);

  platform.RunPosted();
  EXPECT_FALSE(target->Transferring());
  EXPECT_EQ(ends, 1);
  EXPECT_NE(dropThread, std::this_thread::get_id());
  EXPECT_EQ(dropped, std::vector<std::u16string>{u"/docs"});
  ASSERT_TRUE(data->ended.has_value());
  EXPECT_EQ(data->ended->first, S_OK);
  EXPECT_EQ(data->ended->second, DROPEFFECT_COPY);
  EXPECT_EQ(target->Files().Count(), 0);
}

}  // namespace
}  // namespace foliotally::dragdrop
