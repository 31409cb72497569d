#include "dragdrop/formats/shell_id_lists.h"

#include <algorithm>

#include "dragdrop/formats/dragdrop_errors.h"
#include "dragdrop/formats/file_name_text.h"
#include "dragdrop/formats/little_endian.h"

namespace foliotally::dragdrop {
namespace {

// Longer paths cannot be opened anyway (PATH_MAX on Linux).
constexpr size_t kMaxPathBytes = 4096;
constexpr size_t kMaxItemContent = 0xFFFF - 2;

bool HoldsNul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

// Applies one item to the path built so far; false when the list has no path.
bool ApplyItem(std::span<const uint8_t> content, std::string& path) {
  std::string_view text(reinterpret_cast<const char*>(content.data()) + 1, content.size() - 1);
  if (text.empty() || HoldsNul(text)) return false;
  if (content[0] == kIdItemLocalPath) {
    path.assign(text);
    return true;
  }
  if (content[0] == kIdItemName && !path.empty() && text.find('/') == std::string_view::npos) {
    if (path.back() != '/') path.push_back('/');
    path.append(text);
    return true;
  }
  return false;
}

}  // namespace

bool SHGetPathFromIDListW(std::span<const uint8_t> absolute_list, std::u16string& path) {
  const size_t size = IdListSize(absolute_list);
  std::string bytes;
  for (size_t at = 0; at + 2 < size;) {
    const uint16_t length = ReadUInt16LE(absolute_list, at);
    if (!ApplyItem(absolute_list.subspan(at + 2, length - 2u), bytes)) return false;
    if (bytes.size() > kMaxPathBytes) return false;
    at += length;
  }
  if (bytes.empty()) return false;
  // The bytes of a local name, each kept: the drop handler turns them back.
  path = FileNameToUtf16(bytes);
  return true;
}

TIdList MakeIdList(std::span<const std::vector<uint8_t>> item_contents) {
  TIdList list;
  for (const std::vector<uint8_t>& content : item_contents) {
    if (content.empty() || content.size() > kMaxItemContent) throw ERangeError();
    list.resize(list.size() + 2);
    WriteUInt16LE(list, list.size() - 2, static_cast<uint16_t>(content.size() + 2));
    list.insert(list.end(), content.begin(), content.end());
  }
  list.resize(list.size() + 2);  // the closing zero
  return list;
}

namespace {

TIdList OneItemList(uint8_t kind, std::string_view text) {
  std::vector<uint8_t> content(1 + text.size());
  content[0] = kind;
  std::ranges::copy(text, content.begin() + 1);
  return MakeIdList(std::span(&content, 1));
}

}  // namespace

TIdList MakeLocalPathIdList(std::string_view path) { return OneItemList(kIdItemLocalPath, path); }

// The URI is kept for display only, so an overlong one is cut to fit one item.
TIdList MakeUriIdList(std::string_view uri) {
  return OneItemList(kIdItemUri, uri.substr(0, kMaxItemContent - 1));
}

std::vector<uint8_t> MakeShellIdListArray(std::span<const uint8_t> folder,
                                          std::span<const TIdList> items) {
  const size_t header = 4 + 4 * (items.size() + 1);
  std::vector<uint8_t> payload(header);
  WriteUInt32LE(payload, 0, static_cast<uint32_t>(items.size()));
  auto append = [&](size_t k, std::span<const uint8_t> list) {
    WriteUInt32LE(payload, 4 + 4 * k, static_cast<uint32_t>(payload.size()));
    payload.insert(payload.end(), list.begin(), list.end());
  };
  append(0, folder);
  for (size_t k = 0; k < items.size(); ++k) append(k + 1, items[k]);
  return payload;
}

}  // namespace foliotally::dragdrop
