// Alphabetical order of names as the lists show them: by the user's locale, ignoring case.
#pragma once

#include <QCollator>
#include <QString>
#include <string>
#include <vector>

#include "folder_browser/drive_rows.h"
#include "folder_browser/name_rows_model.h"

namespace foliotally {

// Names as the system spells them (bytes) turned into text, and back.
QString DisplayName(const std::string& name);

// The text lower-cased by the user's locale.
QString LowerByLocale(const std::string& text);

// The text in the given letter case by the user's locale, as bytes again.
std::string InTextCase(const std::string& text, TTextCase text_case);

// Whether two texts are equal once both are lower-cased by the user's locale.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

class NameCollation {
 public:
  NameCollation();

  // Sorts rows by their display text; rows of equal texts keep their order. Each text is
  // turned into a sort key once, so a long list costs one key per row, not per comparison.
  void SortKeepingEqual(std::vector<NameRow>& rows) const;

  // Sorts names and drops each name that equals, ignoring case, one already kept (the first
  // of equal names in the given order stays).
  std::vector<std::string> SortedWithoutCaseDuplicates(std::vector<std::string> names) const;

 private:
  QCollatorSortKey KeyOf(const QString& text) const;
  QCollator collator_;
};

}  // namespace foliotally
