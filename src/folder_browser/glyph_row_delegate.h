// Draws a row of the file or directory list: the background, the row's glyph at its indent
// and the text after it. Every row has the same height.
#pragma once

#include <QStyledItemDelegate>

#include "folder_browser/folder_glyphs.h"

namespace foliotally {

class GlyphRowDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  GlyphRowDelegate(const FolderGlyphSet& glyphs, QObject* parent);

  void SetShowGlyphs(bool show) { show_glyphs_ = show; }
  void SetRowHeight(int height) { row_height_ = height; }
  int RowHeight() const { return row_height_; }
  // Gap between the glyph and the text.
  void SetTextGap(int gap) { text_gap_ = gap; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  const FolderGlyphSet& glyphs_;
  bool show_glyphs_ = true;
  int row_height_ = 16;
  int text_gap_ = 4;
};

}  // namespace foliotally
