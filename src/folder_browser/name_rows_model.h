// The rows of the file and directory lists: each a name as the system spells it (bytes),
// the text shown for it, a glyph and an indent. Filled in one go, so a folder of many
// thousand names costs one sort and one reset rather than one insertion each.
#pragma once

#include <QAbstractListModel>
#include <QString>
#include <string>
#include <vector>

#include "folder_browser/folder_glyphs.h"

namespace foliotally {

struct NameRow {
  std::string text;  // the item text: a name, "[name]", or a level of a path
  QString display;   // what the row shows
  FolderGlyph glyph = FolderGlyph::kNone;
  int indent = 2;  // pixels from the row's left edge to the glyph
};

class NameRowsModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum Role { kGlyphRole = Qt::UserRole + 1, kIndentRole };

  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void SetRows(std::vector<NameRow> rows);
  const std::vector<NameRow>& Rows() const { return rows_; }
  int Size() const { return static_cast<int>(rows_.size()); }

 private:
  std::vector<NameRow> rows_;
};

}  // namespace foliotally
