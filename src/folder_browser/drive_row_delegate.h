// Draws a row of the drive selector's drop-down: the background, the volume's glyph two
// pixels from the left edge and the text after it on one line. Every row has the same
// height.
#pragma once

#include <QStyledItemDelegate>

namespace foliotally {

class DriveRowDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit DriveRowDelegate(QObject* parent);

  void SetRowHeight(int height) { row_height_ = height; }
  int RowHeight() const { return row_height_; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  int row_height_ = 16;
};

}  // namespace foliotally
