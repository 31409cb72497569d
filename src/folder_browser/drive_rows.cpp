#include "folder_browser/drive_rows.h"

#include <QLocale>
#include <algorithm>

#include "folder_browser/name_collation.h"

namespace foliotally {
namespace {

QString InCase(const std::string& text, TTextCase text_case) {
  const QString shown = DisplayName(text);
  return text_case == TTextCase::tcUpperCase ? QLocale().toUpper(shown) : QLocale().toLower(shown);
}

}  // namespace

QString VolumeText(const Volume& volume, TTextCase text_case) {
  return QStringLiteral("[%1]").arg(InCase(volume.label, text_case));
}

QString NetworkText(const Volume& volume, TTextCase text_case) {
  return volume.source.empty() ? VolumeText(volume, text_case) : InCase(volume.source, text_case);
}

QString DriveRowText(const Volume& volume, TTextCase text_case) {
  const QString root = DisplayName(volume.root);
  switch (volume.kind) {
    case VolumeKind::kRemovable:
      if (volume.label.empty()) return root;
      break;
    case VolumeKind::kNetwork:
      return root + QLatin1Char(' ') + NetworkText(volume, text_case);
    default:
      break;
  }
  return root + QLatin1Char(' ') + VolumeText(volume, text_case);
}

std::vector<DriveRow> DriveRowsOf(const std::vector<Volume>& volumes, TTextCase text_case) {
  std::vector<DriveRow> rows;
  for (const Volume& volume : volumes) {
    if (volume.root.empty()) continue;
    rows.push_back({volume.root, volume.kind, DriveRowText(volume, text_case)});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const DriveRow& a, const DriveRow& b) { return a.root < b.root; });
  return rows;
}

}  // namespace foliotally
