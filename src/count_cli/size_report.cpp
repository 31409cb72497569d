#include "count_cli/size_report.h"

#include <algorithm>
#include <charconv>

#include "pagecount/paper_names.h"

namespace foliotally::count_cli {

using pdf::NamePaper;
using pdf::OrientationWord;

std::string PointsText(double points) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, points);
  return error == std::errc() ? std::string(text, end) : "0";
}

std::string SizesJson(const FileSizes& sizes) {
  std::string out = "[";
  for (const FoliotallyPageSize& g : sizes.groups) {
    const pdf::PaperName paper = NamePaper(g.width_pt, g.height_pt);
    if (out.size() > 1) out += ",";
    out += "{\"width_pt\":" + PointsText(g.width_pt) + ",\"height_pt\":" + PointsText(g.height_pt) +
           ",\"pages\":" + std::to_string(g.pages) + ",\"paper\":\"" + paper.paper +
           "\",\"orientation\":\"" + std::string(OrientationWord(paper.orientation)) + "\"}";
  }
  if (sizes.unknown > 0) {
    if (out.size() > 1) out += ",";
    out += "{\"width_pt\":null,\"height_pt\":null,\"pages\":" + std::to_string(sizes.unknown) +
           ",\"paper\":null,\"orientation\":null}";
  }
  return out + "]";
}

std::string SizesCsv(const FileSizes& sizes) {
  std::string out;
  for (const FoliotallyPageSize& g : sizes.groups) {
    const pdf::PaperName paper = NamePaper(g.width_pt, g.height_pt);
    if (!out.empty()) out += "; ";
    out += std::to_string(g.pages) + " " + paper.paper + " " +
           std::string(OrientationWord(paper.orientation)) + " " + PointsText(g.width_pt) + "x" +
           PointsText(g.height_pt) + " pt";
  }
  if (sizes.unknown > 0) {
    if (!out.empty()) out += "; ";
    out += std::to_string(sizes.unknown) + " unknown";
  }
  return out;
}

void PaperTally::Add(const FileSizes& sizes) {
  for (const FoliotallyPageSize& g : sizes.groups) {
    const pdf::PaperName paper = NamePaper(g.width_pt, g.height_pt);
    pages_[{paper.paper, std::string(OrientationWord(paper.orientation))}] += g.pages;
  }
  unknown_ += sizes.unknown;
}

std::string PaperTally::Text() const {
  if (pages_.empty() && unknown_ == 0) return {};
  std::vector<std::pair<const std::pair<std::string, std::string>*, int64_t>> rows;
  for (const auto& [key, pages] : pages_) rows.emplace_back(&key, pages);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  std::string text = "Pages by paper size:\n";
  for (const auto& [key, pages] : rows)
    text += "  " + key->first + " " + key->second + ": " + std::to_string(pages) + "\n";
  if (unknown_ > 0) text += "  unknown size: " + std::to_string(unknown_) + "\n";
  text.pop_back();
  return text;
}

}  // namespace foliotally::count_cli
