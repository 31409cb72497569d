// Small one-page PDF files for the colour tests, and the reading of them with a stand-in for
// the renderer that records which pages reading left to be drawn.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace foliotally::test {

// Objects 1 to 4 are the catalog, the page tree, the page and its content; `objects` are
// numbered from 5 on, so that `resources`, `page_extra` and the content can refer to them.
struct PageParts {
  std::string content{};
  std::string resources = "<< >>";
  std::string page_extra{};  // more entries of the page dictionary, such as "/Annots [5 0 R]"
  std::vector<std::string> objects{};
};

std::string OnePagePdf(const PageParts& page);

// A stream object with the entries `dict` (without << >>) and the data `data`, uncompressed.
std::string StreamObject(const std::string& dict, const std::string& data);

struct ReadOutcome {
  std::string letters;                    // 'G' for pages reading proved, 'C' for drawn ones
  std::vector<std::pair<int, int>> runs;  // the page runs handed to the renderer
};

// Reads the pages of `pdf` (whose page count is `pages`) with a renderer that draws every
// page it is given as colour.
ReadOutcome ReadWithoutDrawing(const std::string& pdf, int pages = 1);

}  // namespace foliotally::test
