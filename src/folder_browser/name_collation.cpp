#include "folder_browser/name_collation.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace foliotally {

QString DisplayName(const std::string& name) {
  return QFile::decodeName(
      QByteArray::fromRawData(name.data(), static_cast<qsizetype>(name.size())));
}

QString LowerByLocale(const std::string& text) { return QLocale().toLower(DisplayName(text)); }

std::string InTextCase(const std::string& text, TTextCase text_case) {
  const QString shown = DisplayName(text);
  return QFile::encodeName(text_case == TTextCase::tcUpperCase ? QLocale().toUpper(shown)
                                                               : QLocale().toLower(shown))
      .toStdString();
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return a == b || LowerByLocale(a) == LowerByLocale(b);
}

NameCollation::NameCollation() : collator_(QLocale()) {
  collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

// Case is folded before the key is made: the collator of the plain "C" locale makes keys
// that still tell upper from lower case.
QCollatorSortKey NameCollation::KeyOf(const QString& text) const {
  return collator_.sortKey(text.toCaseFolded());
}

void NameCollation::SortKeepingEqual(std::vector<NameRow>& rows) const {
  std::vector<QCollatorSortKey> keys;
  keys.reserve(rows.size());
  for (const NameRow& row : rows) keys.push_back(KeyOf(row.display));
  std::vector<size_t> order(rows.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&keys](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
  std::vector<NameRow> sorted;
  sorted.reserve(rows.size());
  for (size_t i : order) sorted.push_back(std::move(rows[i]));
  rows = std::move(sorted);
}

std::vector<std::string> NameCollation::SortedWithoutCaseDuplicates(
    std::vector<std::string> names) const {
  std::vector<NameRow> rows;
  rows.reserve(names.size());
  for (std::string& name : names) {
    NameRow row;
    row.display = DisplayName(name);
    row.text = std::move(name);
    rows.push_back(std::move(row));
  }
  SortKeepingEqual(rows);
  std::vector<std::string> kept;
  kept.reserve(rows.size());
  QString last_folded;
  for (size_t i = 0; i < rows.size(); ++i) {
    // Equal names ignoring case sort next to each other, first-come first.
    const QString folded = QLocale().toLower(rows[i].display);
    if (i > 0 && folded == last_folded) continue;
    last_folded = folded;
    kept.push_back(std::move(rows[i].text));
  }
  return kept;
}

}  // namespace foliotally
