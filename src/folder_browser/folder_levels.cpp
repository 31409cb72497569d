#include "folder_browser/folder_levels.h"

#include "folder_browser/path_functions.h"

namespace foliotally {
namespace {

// Position (0-based) of the `nth` (1-based) path delimiter of `text`, stepping over
// double-byte characters whole; npos when there are fewer.
size_t NthDelimiter(std::string_view text, int nth, const PathStyle& style) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (style.IsLeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    if (text[i] == style.delimiter && --nth == 0) return i;
  }
  return std::string_view::npos;
}

// Drops the first folder level of a folder part such as "\docs\pdf\" or ".../pdf/".
std::string DropFirstLevel(std::string_view folder, const PathStyle& style) {
  const std::string delimiter(1, style.delimiter);
  if (folder == delimiter) return {};
  std::string lead;
  if (folder.starts_with(style.delimiter)) {
    lead = delimiter;
    folder.remove_prefix(1);
  }
  // The "..." an earlier pass put in front is not a level of its own. Only that exact mark
  // is taken away, so a folder whose name begins with a dot (".cache") loses just itself.
  const std::string mark = "..." + delimiter;
  if (folder.starts_with(mark)) folder.remove_prefix(mark.size());
  const size_t end = NthDelimiter(folder, 1, style);
  if (end == std::string_view::npos) return lead;
  return lead + mark + std::string(folder.substr(end + 1));
}

}  // namespace

LevelRows LevelRowsOf(std::string_view directory, const PathStyle& style) {
  LevelRows rows;
  const std::string root = DrivePartOf(directory, style) + style.delimiter;
  std::string rest(directory);
  int added = 0;
  if (root.size() >= 2 && root[1] == style.delimiter) {
    rows.texts.push_back(root);
    ++added;
    rest.erase(0, std::min(root.size(), rest.size()));
  }
  if (!rest.empty()) {
    if (rest.back() != style.delimiter) {
      for (size_t end = NthDelimiter(rest, 1, style); end != std::string::npos;
           end = NthDelimiter(rest, 1, style)) {
        std::string part = rest.substr(0, end);
        if (added == 0) part += style.delimiter;
        rest.erase(0, end + 1);
        rows.texts.push_back(std::move(part));
        ++added;
      }
    }
    rows.texts.push_back(rest);
    rows.current_row = static_cast<int>(rows.texts.size()) - 1;
  }
  return rows;
}

std::string LevelPathOf(std::string_view directory, int row, const PathStyle& style) {
  const std::string drive = DrivePartOf(directory, style);
  if (row <= 0) return drive + style.delimiter;
  const std::string_view rest = directory.substr(drive.size());
  const size_t end = NthDelimiter(rest, row + 1, style);
  if (end == std::string_view::npos) return std::string(directory);
  return drive + std::string(rest.substr(0, end));
}

std::string ShortenPath(std::string_view path,
                        const std::function<int(std::string_view)>& text_width, int width,
                        const PathStyle& style) {
  const std::string delimiter(1, style.delimiter);
  std::string result(path);
  std::string folder = PathPartOf(path, style);
  const std::string name = NamePartOf(path, style);
  std::string drive;
  if (style.has_drives && folder.size() >= 2 && folder[1] == ':') {
    drive = folder.substr(0, 2);
    folder.erase(0, 2);
  }
  while ((!folder.empty() || !drive.empty()) && text_width(result) > width) {
    if (folder == delimiter + "..." + delimiter) {
      drive.clear();
      folder = "..." + delimiter;
    } else if (!folder.empty()) {
      folder = DropFirstLevel(folder, style);
    } else {
      drive.clear();
    }
    result = drive + folder + name;
  }
  return result;
}

}  // namespace foliotally
