// The unit arithmetic of the notice window with chosen font measures (W 6, H 13 unless a
// case says otherwise), worked out by hand.
#include "messages/notice_layout.h"

#include <gtest/gtest.h>

namespace foliotally {
namespace {

NoticeMetrics Metrics(QSize text, bool icon, int buttons, int widestCaption = 20) {
  NoticeMetrics m;
  m.charWidth = 6;
  m.charHeight = 13;
  m.text = text;
  m.hasIcon = icon;
  m.buttonCount = buttons;
  m.widestCaption = widestCaption;
  m.screen = QRect(0, 0, 1280, 1024);
  return m;
}

TEST(NoticeUnits, RoundToNearestWithHalvesUp) {
  EXPECT_EQ(HorizontalUnits(8, 6), 12);
  EXPECT_EQ(HorizontalUnits(10, 5), 13);  // 12.5
  EXPECT_EQ(HorizontalUnits(50, 7), 88);  // 87.5
  EXPECT_EQ(VerticalUnits(10, 13), 16);   // 16.25
  EXPECT_EQ(VerticalUnits(14, 13), 23);   // 22.75
  EXPECT_EQ(VerticalUnits(14, 12), 21);
  EXPECT_EQ(VerticalUnits(0, 13), 0);
}

TEST(NoticeLayoutArithmetic, ErrorBoxPutsTextRightOfTheIcon) {
  const NoticeLayout l = ComputeNoticeLayout(Metrics(QSize(83, 13), true, 1));
  EXPECT_EQ(l.icon, QRect(12, 13, 32, 32));
  EXPECT_EQ(l.message, QRect(59, 13, 83, 13));  // 12 + 32 + 15
  EXPECT_EQ(l.client, QSize(154, 97));          // 83+15+32+24, 32+23+16+26
  ASSERT_EQ(l.buttons.size(), 1u);
  EXPECT_EQ(l.buttons[0], QRect(39, 61, 75, 23));
  EXPECT_EQ(l.position, QPoint(563, 463));
}

TEST(NoticeLayoutArithmetic, ShortPlainTextTakesTheButtonRowWidth) {
  const NoticeLayout l = ComputeNoticeLayout(Metrics(QSize(12, 13), false, 1));
  EXPECT_TRUE(l.icon.isNull());
  EXPECT_EQ(l.client, QSize(75 + 24, 13 + 23 + 16 + 26));
  EXPECT_EQ(l.message, QRect(12, 13, 12, 13));
  EXPECT_EQ(l.buttons[0].left(), 12);
}

TEST(NoticeLayoutArithmetic, TallTextGrowsTheBoxAndWideCaptionWidensButtons) {
  const NoticeLayout l = ComputeNoticeLayout(Metrics(QSize(600, 65), true, 3, 80));
  EXPECT_EQ(l.buttonWidth, 88);  // caption 80 + 8 beats 75
  EXPECT_EQ(l.client, QSize(600 + 15 + 32 + 24, 65 + 23 + 16 + 26));
  ASSERT_EQ(l.buttons.size(), 3u);
  const int group = 3 * 88 + 2 * 6;
  EXPECT_EQ(l.buttons[0].left(), (671 - group) / 2);
  EXPECT_EQ(l.buttons[1].left(), l.buttons[0].left() + 88 + 6);
  EXPECT_EQ(l.buttons[2].top(), 65 + 13 + 16);
}

TEST(NoticeLayoutArithmetic, NoButtonsAndEmptyText) {
  const NoticeLayout l = ComputeNoticeLayout(Metrics(QSize(0, 0), true, 0));
  EXPECT_TRUE(l.buttons.empty());
  EXPECT_EQ(l.client, QSize(15 + 32 + 24, 32 + 23 + 16 + 26));
  EXPECT_EQ(l.buttonWidth, 75);
}

TEST(NoticeLayoutArithmetic, RightToLeftMirrorsTheText) {
  NoticeMetrics m = Metrics(QSize(83, 13), true, 1);
  m.rightToLeft = true;
  const NoticeLayout l = ComputeNoticeLayout(m);
  EXPECT_EQ(l.message.left(), 154 - 59 - 83);
}

TEST(NoticeLayoutArithmetic, CentredOnAScreenAwayFromTheOrigin) {
  NoticeMetrics m = Metrics(QSize(83, 13), true, 1);
  m.screen = QRect(1280, 100, 1921, 1080);
  const NoticeLayout l = ComputeNoticeLayout(m);
  EXPECT_EQ(l.position, QPoint(1280 + (1921 - 154) / 2, 100 + (1080 - 97) / 2));
}

}  // namespace
}  // namespace foliotally
