// Geometry of a notice window, computed from measured font and text sizes. Kept apart from
// the widgets so the arithmetic can be checked with chosen numbers.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace foliotally {

// Side of the error icon in pixels.
inline constexpr int kNoticeIconSize = 32;

// n·base/4 and n·base/8 rounded to the nearest integer, halves away from zero.
int HorizontalUnits(int n, int char_width);
int VerticalUnits(int n, int char_height);

struct NoticeMetrics {
  int charWidth = 0;   // width of "A..Za..z" divided by 52 (integer division)
  int charHeight = 0;  // height of that same text
  QSize text;          // the message, word-wrapped within the wrapping width
  bool hasIcon = false;
  int buttonCount = 0;
  int widestCaption = 0;  // widest button caption on one line, without the "&" marks
  QRect screen;           // the screen the window is centred on
  bool rightToLeft = false;
};

struct NoticeLayout {
  QSize client;
  QRect icon;  // empty without icon
  QRect message;
  int buttonWidth = 0;
  int buttonHeight = 0;
  std::vector<QRect> buttons;  // left to right
  QPoint position;             // top-left of the window on the screen
};

NoticeLayout ComputeNoticeLayout(const NoticeMetrics& m);

}  // namespace foliotally
