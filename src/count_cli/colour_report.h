// Colours in foliotally-count's output (--color): the run's totals, by paper with --sizes,
// and the warning for pages that could not be drawn.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "count_cli/page_details.h"
#include "pagecount/page_geometry.h"

namespace foliotally::count_cli {

// Pages of each colour verdict in a run.
struct ColourTotals {
  int64_t colour = 0;
  int64_t grey = 0;
  int64_t unknown = 0;
  int64_t without_renderer = 0;  // of the unknown: pages that could not be drawn
  // Colour, black-and-white and unknown pages of each paper ("A4 portrait"; "unknown size").
  std::map<std::string, std::array<int64_t, 3>> by_paper;

  void Add(const PageDetails& details);
};

// The paper and orientation of each page, as --sizes names them; empty where the size is
// unknown.
std::vector<std::string> PaperNames(const std::vector<std::optional<pdf::PageSize>>& sizes);

// "Colour: C pages, black-and-white: G pages, unknown: U pages."
std::string ColourSummaryText(const ColourTotals& totals);
// "Colour and black-and-white pages by paper size:" and a line for each paper, most pages
// first, pages of unknown size last: "  A4 portrait: 3 colour, 10 black-and-white".
std::string ColourByPaperText(const ColourTotals& totals);
// The warning for pages that had to be drawn without a renderer.
std::string MissingRendererText(int64_t pages);

}  // namespace foliotally::count_cli
