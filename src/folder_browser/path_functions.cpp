#include "folder_browser/path_functions.h"

namespace foliotally {
namespace {

// Walks `text` from its start and calls `visit(position)` for every byte that is a
// character of its own (not part of a double-byte pair). Positions are 1-based.
template <typename Visit>
void ForEachSingleByte(std::string_view text, const PathStyle& style, Visit visit) {
  size_t i = 0;
  while (i < text.size()) {
    if (style.IsLeadByte(static_cast<unsigned char>(text[i]))) {
      i += 2;  // the pair, or a lead byte cut off at the end of the text
      continue;
    }
    visit(i + 1);
    ++i;
  }
}

bool IsSingleByteAt(std::string_view text, size_t position, const PathStyle& style) {
  if (position == 0 || position > text.size()) return false;
  if (!style.is_lead_byte) return true;
  size_t i = 0;
  while (i < position - 1) {
    i += style.IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  }
  return i == position - 1 && !style.IsLeadByte(static_cast<unsigned char>(text[i]));
}

}  // namespace

size_t LastDelimiterIn(std::string_view delimiters, std::string_view text, const PathStyle& style) {
  size_t last = 0;
  ForEachSingleByte(text, style, [&](size_t position) {
    if (delimiters.find(text[position - 1]) != std::string_view::npos) last = position;
  });
  return last;
}

bool IsDelimiterAt(std::string_view delimiters, std::string_view text, size_t position,
                   const PathStyle& style) {
  return IsSingleByteAt(text, position, style) &&
         delimiters.find(text[position - 1]) != std::string_view::npos;
}

bool IsPathDelimiterAt(std::string_view text, size_t position, const PathStyle& style) {
  return IsDelimiterAt(std::string_view(&style.delimiter, 1), text, position, style);
}

std::string PathPartOf(std::string_view path, const PathStyle& style) {
  return std::string(path.substr(0, LastDelimiterIn(style.DelimiterSet(), path, style)));
}

std::string FolderPartOf(std::string_view path, const PathStyle& style) {
  const std::string_view set = style.DelimiterSet();
  size_t i = LastDelimiterIn(set, path, style);
  // Drop the trailing delimiter unless it belongs to a root (C:\, \, //).
  if (i > 1 && IsPathDelimiterAt(path, i, style) && !IsDelimiterAt(set, path, i - 1, style)) --i;
  return std::string(path.substr(0, i));
}

std::string DrivePartOf(std::string_view path, const PathStyle& style) {
  if (!style.has_drives) return {};
  if (IsDelimiterAt(":", path, 2, style)) return std::string(path.substr(0, 2));
  if (!IsPathDelimiterAt(path, 1, style) || !IsPathDelimiterAt(path, 2, style)) return {};
  // \\server\share: stop on the delimiter after the share name, or at the end.
  size_t i = 3;
  int delimiters_seen = 0;
  while (i < path.size() && delimiters_seen < 2) {
    if (IsPathDelimiterAt(path, i, style)) ++delimiters_seen;
    if (delimiters_seen < 2) ++i;
  }
  if (IsPathDelimiterAt(path, i, style)) --i;
  return std::string(path.substr(0, i));
}

std::string NamePartOf(std::string_view path, const PathStyle& style) {
  return std::string(path.substr(LastDelimiterIn(style.DelimiterSet(), path, style)));
}

std::string ExtensionPartOf(std::string_view path, const PathStyle& style) {
  const size_t i = LastDelimiterIn(style.ExtensionDelimiterSet(), path, style);
  if (i == 0 || path[i - 1] != '.') return {};
  return std::string(path.substr(i - 1));
}

std::string WithTrailingDelimiter(std::string_view text, const PathStyle& style) {
  std::string result(text);
  if (!IsPathDelimiterAt(text, text.size(), style)) result += style.delimiter;
  return result;
}

std::string JoinFolderAndName(std::string_view folder, std::string_view name,
                              const PathStyle& style) {
  if (folder.empty()) return std::string(name);
  std::string result;
  result.reserve(folder.size() + 1 + name.size());  // one allocation, not one per part
  result.append(folder);
  if (!IsPathDelimiterAt(folder, folder.size(), style)) result += style.delimiter;
  result += name;
  return result;
}

}  // namespace foliotally
