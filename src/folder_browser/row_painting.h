// Painting shared by the folder browser's owner-drawn rows: the style's background and
// selection without its own text and icon, and the row text drawn where the row puts it.
#pragma once

#include <QRect>
#include <QStyleOptionViewItem>

class QPainter;

namespace foliotally {

// `option` must already hold the item's data (initStyleOption).
void PaintRowBackground(QPainter* painter, QStyleOptionViewItem option);

// Where a row's text goes in its rectangle and what happens to text too long for it.
enum class RowTextPlacement {
  kTopClipped,     // from the rectangle's top, cut off at its right edge (the folder lists)
  kCentredElided,  // centred vertically, shortened with "…" (the drive selector)
};

// Draws the row's display text on one line in `text_rect`, in the selection's colour when
// the row is selected. No character is taken as a mnemonic.
void PaintRowText(QPainter* painter, const QStyleOptionViewItem& option, const QString& text,
                  const QRect& text_rect, RowTextPlacement placement);

}  // namespace foliotally
