#include "count_cli/colour_report.h"

#include <algorithm>

#include "pagecount/paper_names.h"

namespace foliotally::count_cli {

namespace {

constexpr const char* kUnknownSize = "unknown size";

std::string Pages(int64_t n) { return std::to_string(n) + (n == 1 ? " page" : " pages"); }

}  // namespace

void ColourTotals::Add(const PageDetails& details) {
  for (size_t i = 0; i < details.colours.size(); ++i) {
    const char letter = details.colours[i];
    const size_t kind = letter == 'C' ? 0 : letter == 'G' ? 1 : 2;
    (kind == 0 ? colour : kind == 1 ? grey : unknown) += 1;
    if (details.papers.empty()) continue;
    const std::string& paper = i < details.papers.size() ? details.papers[i] : std::string();
    ++by_paper[paper.empty() ? kUnknownSize : paper][kind];
  }
  without_renderer += details.without_renderer;
}

std::vector<std::string> PaperNames(const std::vector<std::optional<pdf::PageSize>>& sizes) {
  std::vector<std::string> names;
  names.reserve(sizes.size());
  for (const auto& size : sizes) {
    if (!size) {
      names.emplace_back();
      continue;
    }
    const pdf::PaperName paper = pdf::NamePaper(size->width_pt, size->height_pt);
    names.push_back(paper.paper + " " + std::string(pdf::OrientationWord(paper.orientation)));
  }
  return names;
}

std::string ColourSummaryText(const ColourTotals& totals) {
  return "Colour: " + Pages(totals.colour) + ", black-and-white: " + Pages(totals.grey) +
         ", unknown: " + Pages(totals.unknown) + ".";
}

std::string ColourByPaperText(const ColourTotals& totals) {
  using Row = std::pair<std::string, std::array<int64_t, 3>>;
  std::vector<Row> rows(totals.by_paper.begin(), totals.by_paper.end());
  const auto sum = [](const Row& r) { return r.second[0] + r.second[1] + r.second[2]; };
  std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    const bool a_unknown = a.first == kUnknownSize, b_unknown = b.first == kUnknownSize;
    if (a_unknown != b_unknown) return b_unknown;
    return sum(a) > sum(b);
  });
  std::string text = "Colour and black-and-white pages by paper size:";
  for (const auto& [paper, counts] : rows) {
    text += "\n  " + paper + ": " + std::to_string(counts[0]) + " colour, " +
            std::to_string(counts[1]) + " black-and-white";
    if (counts[2] > 0) text += ", " + std::to_string(counts[2]) + " unknown";
  }
  return text;
}

std::string MissingRendererText(int64_t pages) {
  return Pages(pages) +
         " had to be drawn to tell their colour, but pdftoppm (package poppler-utils) is not "
         "installed: their colour is unknown";
}

}  // namespace foliotally::count_cli
