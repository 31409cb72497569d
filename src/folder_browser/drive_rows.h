// The rows of the drive selector, made from the volume table: which volumes are listed, in
// what order, and the text each row shows. Texts stay bytes as the system spells them; the
// selector turns them into display text.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/volume.h"

namespace foliotally {

// Letter case of the labels and network sources the drive selector shows. A volume's root
// path is always shown as it is: on this system a path in another case is another path.
enum class TTextCase { tcLowerCase, tcUpperCase };

// Puts a label or source into the selector's letter case. Casing follows the user's
// locale, which only the widget side knows, so the rows take it as a function.
using TextCaser = std::function<std::string(const std::string&)>;

struct DriveRow {
  std::string root;
  VolumeKind kind = VolumeKind::kFixed;
  std::string text;
};

// "[LABEL]" in the selector's case; "[]" for a volume without a label.
std::string VolumeText(const Volume& volume, const TextCaser& in_case);

// What a network volume is connected to ("//srv/share", "srv:/export") in the selector's
// case; the volume text when the table does not say.
std::string NetworkText(const Volume& volume, const TextCaser& in_case);

// The text of a volume's row: the root, then a space and the volume or network text. A
// removable volume without a label shows its root alone, so that an empty card reader is
// listed without anything being asked of it.
std::string DriveRowText(const Volume& volume, const TextCaser& in_case);

// One row per volume, sorted by root path (byte order), so the system's root comes first
// and the order does not depend on when each volume was mounted. Volumes without a root
// are left out.
std::vector<DriveRow> DriveRowsOf(const std::vector<Volume>& volumes, const TextCaser& in_case);

}  // namespace foliotally
