#include "dragdrop/formats/clipboard_format_ids.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "dragdrop/formats/dragdrop_errors.h"

namespace foliotally::dragdrop {
namespace {

// Registered names in id order: names_[i] has the id kFirstRegisteredFormat + i.
struct FormatNameRegistry {
  std::mutex mutex;
  std::vector<std::string> names;
};

FormatNameRegistry& Registry() {
  static FormatNameRegistry registry;
  return registry;
}

bool SameName(std::string_view a, std::string_view b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
  return std::ranges::equal(a, b, [&](char x, char y) {
    return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
  });
}

// Names of the standard ids 1 to 18.
constexpr std::array<std::string_view, 18> kStandardNames = {
    "CF_TEXT",        "CF_BITMAP",      "CF_METAFILEPICT", "CF_SYLK",    "CF_DIF",   "CF_TIFF",
    "CF_OEMTEXT",     "CF_DIB",         "CF_PALETTE",      "CF_PENDATA", "CF_RIFF",  "CF_WAVE",
    "CF_UNICODETEXT", "CF_ENHMETAFILE", "CF_HDROP",        "CF_LOCALE",  "CF_DIBV5", "CF_MAX_XP"};

std::string_view DisplayOnlyName(uint32_t id) {
  switch (id) {
    case 128:
      return "CF_OWNERDISPLAY";
    case 129:
      return "CF_DSPTEXT";
    case 130:
      return "CF_DSPBITMAP";
    case 131:
      return "CF_DSPMETAFILEPICT";
    case 142:
      return "CF_DSPENHMETAFILE";
    default:
      return {};
  }
}

}  // namespace

uint32_t RegisterClipboardFormatA(std::string_view name) {
  if (name.empty()) return 0;
  FormatNameRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  auto& names = registry.names;
  auto found = std::ranges::find_if(names, [&](const std::string& n) { return SameName(n, name); });
  if (found != names.end()) {
    return kFirstRegisteredFormat + static_cast<uint32_t>(found - names.begin());
  }
  if (names.size() > kLastRegisteredFormat - kFirstRegisteredFormat) return 0;
  names.emplace_back(name);
  return kFirstRegisteredFormat + static_cast<uint32_t>(names.size() - 1);
}

std::string GetClipboardFormatNameA(uint32_t id, size_t max_length) {
  FormatNameRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  if (id < kFirstRegisteredFormat || id - kFirstRegisteredFormat >= registry.names.size()) {
    return {};
  }
  return registry.names[id - kFirstRegisteredFormat].substr(0, max_length);
}

std::string ClipboardFormatDisplayName(uint32_t id) {
  if (id >= 1 && id <= kStandardNames.size()) return std::string(kStandardNames[id - 1]);
  std::string_view display_only = DisplayOnlyName(id);
  if (!display_only.empty()) return std::string(display_only);
  return GetClipboardFormatNameA(id);
}

uint16_t RegisteredFormatId(std::string_view name) {
  uint32_t id = RegisterClipboardFormatA(name);
  if (id > 0xFFFF) throw ERangeError();
  return static_cast<uint16_t>(id);
}

}  // namespace foliotally::dragdrop
