#include "size_window/paper_colours.h"

#include <fcntl.h>

#include "colour/page_colours.h"
#include "count_cli/colour_report.h"
#include "pagecount/foliotally.h"
#include "pagecount/unique_fd.h"

namespace foliotally {

namespace {

// The key of a table row: paper and orientation as the page names join them.
std::string RowKey(const SizeTable::Cell& paper, const SizeTable::Cell& orientation) {
  const auto* p = std::get_if<std::string>(&paper);
  const auto* o = std::get_if<std::string>(&orientation);
  if (!p) return {};
  return o && !o->empty() ? *p + " " + *o : *p;
}

}  // namespace

int32_t PaperColours::ReadFile(const std::string& path, const std::string& renderer,
                               std::vector<std::string>& papers, std::string& letters) {
  const pdf::UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) return FOLIOTALLY_UNREADABLE;
  const int32_t pages = GetFoliotallyFd(file.get(), 0);
  if (pages < 0) return pages;
  colour::PageColours colours =
      colour::ReadOpenFileColours(file.get(), pages, 0, renderer, pdf::SizeBox::kCrop);
  papers = count_cli::PaperNames(colours.sizes);
  letters = std::move(colours.letters);
  return pages;
}

PaperColours::PaperColours(std::vector<std::string> files, Read read)
    : files_(std::move(files)), read_(std::move(read)), worker_([this] { Gather(); }) {}

PaperColours::~PaperColours() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

size_t PaperColours::FilesRead() const {
  const std::lock_guard lock(mutex_);
  return read_files_;
}

void PaperColours::Gather() {
  for (const std::string& path : files_) {
    if (stop_) break;
    std::vector<std::string> papers;
    std::string letters;
    int32_t count = -1;
    try {
      count = read_(path, papers, letters);
    } catch (...) {
      count = -1;  // out of memory: the file is left out, the others are still read
    }
    const std::lock_guard lock(mutex_);
    for (size_t i = 0; count >= 0 && i < letters.size(); ++i) {
      const std::string& paper = i < papers.size() ? papers[i] : std::string();
      const size_t kind = letters[i] == 'C' ? 0 : letters[i] == 'G' ? 1 : 2;
      ++pages_[paper.empty() ? std::string(kUnknownPaper) : paper][kind];
    }
    ++read_files_;
  }
  done_ = true;
}

void PaperColours::AddColumns(SizeTable& table) const {
  const std::lock_guard lock(mutex_);
  bool unknown = false;
  for (const auto& [paper, counts] : pages_) unknown = unknown || counts[2] > 0;
  table.headers.push_back("Colour");
  table.headers.push_back("B&W");
  if (unknown) table.headers.push_back("Unknown colour");
  for (auto& row : table.rows) {
    const auto found = row.size() >= 2 ? pages_.find(RowKey(row[0], row[1])) : pages_.end();
    const std::array<int64_t, 3> counts =
        found == pages_.end() ? std::array<int64_t, 3>{} : found->second;
    row.emplace_back(counts[0]);
    row.emplace_back(counts[1]);
    if (unknown) row.emplace_back(counts[2]);
  }
}

}  // namespace foliotally
