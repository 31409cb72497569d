#include "corpus.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace foliotally::test {

std::string CorpusDir() {
  for (const char* dir : {FOLIOTALLY_CORPUS_DIR, FOLIOTALLY_CORPUS_DIR_ALT}) {
    if (std::filesystem::exists(std::filesystem::path(dir) / "expected.tsv")) return dir;
  }
  return {};
}

std::vector<CorpusRow> LoadCorpus() {
  std::vector<CorpusRow> rows;
  const std::string dir = CorpusDir();
  if (dir.empty()) return rows;
  std::ifstream in(std::filesystem::path(dir) / "expected.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string file, expected;
    std::getline(fields, file, '\t');
    std::getline(fields, expected, '\t');
    CorpusRow row;
    row.path = dir + "/" + file;
    std::string numbers = expected;
    if (expected == "unknown") {
      row.kind = CorpusRow::Kind::kUnknown;
      numbers.clear();
    } else if (expected.rfind("any:", 0) == 0) {
      row.kind = CorpusRow::Kind::kAnyOf;
      numbers = expected.substr(4);
    } else if (expected.rfind("password:", 0) == 0) {
      row.kind = CorpusRow::Kind::kPassword;
      numbers = expected.substr(9);
    } else {
      row.kind = CorpusRow::Kind::kExact;
    }
    std::istringstream list(numbers);
    std::string n;
    while (std::getline(list, n, ',')) row.counts.push_back(std::stoi(n));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace foliotally::test
