#include "folder_browser/drive_rows.h"

#include <algorithm>

namespace foliotally {

std::string VolumeText(const Volume& volume, const TextCaser& in_case) {
  // Appended rather than "[" + label: GCC 12 at -O3 warns falsely (-Wrestrict) about the
  // copy inside operator+(const char*, std::string&&).
  std::string text = "[";
  text += in_case(volume.label);
  text += ']';
  return text;
}

std::string NetworkText(const Volume& volume, const TextCaser& in_case) {
  return volume.source.empty() ? VolumeText(volume, in_case) : in_case(volume.source);
}

std::string DriveRowText(const Volume& volume, const TextCaser& in_case) {
  switch (volume.kind) {
    case VolumeKind::kRemovable:
      if (volume.label.empty()) return volume.root;
      break;
    case VolumeKind::kNetwork:
      return volume.root + ' ' + NetworkText(volume, in_case);
    default:
      break;
  }
  return volume.root + ' ' + VolumeText(volume, in_case);
}

std::vector<DriveRow> DriveRowsOf(const std::vector<Volume>& volumes, const TextCaser& in_case) {
  std::vector<DriveRow> rows;
  for (const Volume& volume : volumes) {
    if (volume.root.empty()) continue;
    rows.push_back({volume.root, volume.kind, DriveRowText(volume, in_case)});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const DriveRow& a, const DriveRow& b) { return a.root < b.root; });
  return rows;
}

}  // namespace foliotally
