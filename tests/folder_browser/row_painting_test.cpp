// Where the folder browser's rows put their text: the file and directory lists from the
// row's top, cut off at the right edge; the drive selector centred vertically, starting a
// glyph's width and a 6-pixel gap from the row's left edge.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>

#include "folder_browser/drive_row_delegate.h"
#include "folder_browser/glyph_row_delegate.h"
#include "folder_browser/name_rows_model.h"

namespace foliotally {
namespace {

// One row painted by `delegate` on white; a pixel darker than mid grey is ink.
class PaintedRow {
 public:
  PaintedRow(const QStyledItemDelegate& delegate, const QString& text, QSize size)
      : image_(size, QImage::Format_RGB32) {
    model_.appendRow(new QStandardItem(text));
    model_.setData(model_.index(0, 0), 2, NameRowsModel::kIndentRole);
    model_.setData(model_.index(0, 0), static_cast<int>(FolderGlyph::kNone),
                   NameRowsModel::kGlyphRole);
    QStyleOptionViewItem option;
    option.rect = QRect(QPoint(0, 0), size);
    option.font = QApplication::font();
    option.fontMetrics = QFontMetrics(option.font);
    option.palette = QApplication::palette();
    option.palette.setColor(QPalette::Text, Qt::black);
    option.state = QStyle::State_Enabled;
    image_.fill(Qt::white);
    QPainter painter(&image_);
    delegate.paint(&painter, option, model_.index(0, 0));
  }
  bool Ink(int x, int y) const { return qGray(image_.pixel(x, y)) < 128; }
  // The smallest rectangle holding all ink in `area` (empty when there is none).
  QRect InkIn(const QRect& area) const {
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (Ink(x, y)) ink |= QRect(x, y, 1, 1);
    return ink;
  }
  QRect Ink() const { return InkIn(image_.rect()); }

 private:
  QStandardItemModel model_;
  QImage image_;
};

TEST(RowPainting, FolderListTextStartsAtTheRowsTopAndIsCutNotShortened) {
  FolderGlyphSet glyphs;
  GlyphRowDelegate delegate(glyphs, nullptr);
  const int height = 60;
  const QFontMetrics fm(QApplication::font());
  // Tall letters all along: cut off, the last columns still hold their full height; made
  // shorter with "…", they would hold only the dots on the base line.
  const PaintedRow row(delegate, QString(200, QLatin1Char('l')), QSize(120, height));
  const int top = row.Ink().top();
  EXPECT_GE(top, 0);
  EXPECT_LT(top, fm.height() / 2);  // centred, it would begin near 25
  EXPECT_FALSE(row.InkIn(QRect(112, top, 7, fm.ascent() / 2)).isEmpty());
}

TEST(RowPainting, DriveTextStartsAGlyphAndAGapFromTheLeftEdgeCentredVertically) {
  DriveRowDelegate delegate(nullptr);
  const QFontMetrics fm(QApplication::font());
  const int height = fm.height() + 20;
  const PaintedRow row(delegate, "I:", QSize(200, height));
  // 16 for the glyph, 6 for the gap; an "I" has little or no bearing.
  EXPECT_GE(row.Ink().left(), 22);
  EXPECT_LE(row.Ink().left(), 23);
  EXPECT_GE(row.Ink().top(), 10);
}

}  // namespace
}  // namespace foliotally
