#include "folder_browser/name_rows_model.h"

namespace foliotally {

int NameRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : Size();
}

QVariant NameRowsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || index.row() >= Size()) return {};
  const NameRow& row = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return row.display;
    case kGlyphRole:
      return static_cast<int>(row.glyph);
    case kIndentRole:
      return row.indent;
    default:
      return {};
  }
}

void NameRowsModel::SetRows(std::vector<NameRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

}  // namespace foliotally
