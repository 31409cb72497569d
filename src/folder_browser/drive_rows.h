// The rows of the drive selector, made from the volume table: which volumes are listed, in
// what order, and the text each row shows.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "platform/volume.h"

namespace foliotally {

// Letter case of the labels and network sources the drive selector shows. A volume's root
// path is always shown as it is: on this system a path in another case is another path.
enum class TTextCase { tcLowerCase, tcUpperCase };

struct DriveRow {
  std::string root;
  VolumeKind kind = VolumeKind::kFixed;
  QString text;
};

// "[LABEL]" in the given case; "[]" for a volume without a label.
QString VolumeText(const Volume& volume, TTextCase text_case);

// What a network volume is connected to ("//srv/share", "srv:/export") in the given case;
// the volume text when the table does not say.
QString NetworkText(const Volume& volume, TTextCase text_case);

// The text of a volume's row: the root, then a space and the volume or network text. A
// removable volume without a label shows its root alone, so that an empty card reader is
// listed without anything being asked of it.
QString DriveRowText(const Volume& volume, TTextCase text_case);

// One row per volume, sorted by root path (byte order), so the system's root comes first
// and the order does not depend on when each volume was mounted. Volumes without a root
// are left out.
std::vector<DriveRow> DriveRowsOf(const std::vector<Volume>& volumes, TTextCase text_case);

}  // namespace foliotally
