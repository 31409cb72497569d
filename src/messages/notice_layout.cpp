#include "messages/notice_layout.h"

#include <algorithm>

namespace foliotally {
namespace {

// The rounding of Windows' MulDiv for the non-negative values used here.
int MulDivRounded(int n, int base, int divisor) {
  const long long product = static_cast<long long>(n) * base;
  const long long rounded = (2 * product + (product >= 0 ? divisor : -divisor)) / (2 * divisor);
  return static_cast<int>(rounded);
}

}  // namespace

int HorizontalUnits(int n, int char_width) { return MulDivRounded(n, char_width, 4); }
int VerticalUnits(int n, int char_height) { return MulDivRounded(n, char_height, 8); }

NoticeLayout ComputeNoticeLayout(const NoticeMetrics& m) {
  const int h_margin = HorizontalUnits(8, m.charWidth);
  const int v_margin = VerticalUnits(8, m.charHeight);
  const int h_spacing = HorizontalUnits(10, m.charWidth);
  const int v_spacing = VerticalUnits(10, m.charHeight);
  const int button_spacing = HorizontalUnits(4, m.charWidth);

  NoticeLayout out;
  out.buttonWidth = HorizontalUnits(50, m.charWidth);
  if (m.buttonCount > 0) out.buttonWidth = std::max(out.buttonWidth, m.widestCaption + 8);
  out.buttonHeight = VerticalUnits(14, m.charHeight);

  int block_width = m.text.width();
  int block_height = m.text.height();
  if (m.hasIcon) {
    block_width += h_spacing + kNoticeIconSize;
    block_height = std::max(block_height, kNoticeIconSize);
  }
  const int group_width =
      m.buttonCount == 0 ? 0
                         : m.buttonCount * out.buttonWidth + (m.buttonCount - 1) * button_spacing;

  out.client = QSize(std::max(block_width, group_width) + 2 * h_margin,
                     block_height + out.buttonHeight + v_spacing + 2 * v_margin);
  if (m.hasIcon) out.icon = QRect(h_margin, v_margin, kNoticeIconSize, kNoticeIconSize);

  int text_left = block_width - m.text.width() + h_margin;
  if (m.rightToLeft) text_left = out.client.width() - text_left - m.text.width();
  out.message = QRect(QPoint(text_left, v_margin), m.text);

  int left = (out.client.width() - group_width) / 2;
  const int top = block_height + v_margin + v_spacing;
  for (int i = 0; i < m.buttonCount; ++i) {
    out.buttons.emplace_back(left, top, out.buttonWidth, out.buttonHeight);
    left += out.buttonWidth + button_spacing;
  }

  out.position = m.screen.topLeft() + QPoint((m.screen.width() - out.client.width()) / 2,
                                             (m.screen.height() - out.client.height()) / 2);
  return out;
}

}  // namespace foliotally
