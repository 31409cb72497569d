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

int HorizontalUnits(int n, int charWidth) { return MulDivRounded(n, charWidth, 4); }
int VerticalUnits(int n, int charHeight) { return MulDivRounded(n, charHeight, 8); }

NoticeLayout ComputeNoticeLayout(const NoticeMetrics& m) {
  const int hMargin = HorizontalUnits(8, m.charWidth);
  const int vMargin = VerticalUnits(8, m.charHeight);
  const int hSpacing = HorizontalUnits(10, m.charWidth);
  const int vSpacing = VerticalUnits(10, m.charHeight);
  const int buttonSpacing = HorizontalUnits(4, m.charWidth);

  NoticeLayout out;
  out.buttonWidth = HorizontalUnits(50, m.charWidth);
  if (m.buttonCount > 0) out.buttonWidth = std::max(out.buttonWidth, m.widestCaption + 8);
  out.buttonHeight = VerticalUnits(14, m.charHeight);

  int blockWidth = m.text.width();
  int blockHeight = m.text.height();
  if (m.hasIcon) {
    blockWidth += hSpacing + kNoticeIconSize;
    blockHeight = std::max(blockHeight, kNoticeIconSize);
  }
  const int groupWidth =
      m.buttonCount == 0 ? 0
                         : m.buttonCount * out.buttonWidth + (m.buttonCount - 1) * buttonSpacing;

  out.client = QSize(std::max(blockWidth, groupWidth) + 2 * hMargin,
                     blockHeight + out.buttonHeight + vSpacing + 2 * vMargin);
  if (m.hasIcon) out.icon = QRect(hMargin, vMargin, kNoticeIconSize, kNoticeIconSize);

  int textLeft = blockWidth - m.text.width() + hMargin;
  if (m.rightToLeft) textLeft = out.client.width() - textLeft - m.text.width();
  out.message = QRect(QPoint(textLeft, vMargin), m.text);

  int left = (out.client.width() - groupWidth) / 2;
  const int top = blockHeight + vMargin + vSpacing;
  for (int i = 0; i < m.buttonCount; ++i) {
    out.buttons.emplace_back(left, top, out.buttonWidth, out.buttonHeight);
    left += out.buttonWidth + buttonSpacing;
  }

  out.position = m.screen.topLeft() + QPoint((m.screen.width() - out.client.width()) / 2,
                                             (m.screen.height() - out.client.height()) / 2);
  return out;
}

}  // namespace foliotally
