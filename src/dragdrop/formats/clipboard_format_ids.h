// Format ids: the standard ids below 0xC000, and a process-wide registry that gives every
// other format name a stable id from 0xC000 up for the life of the process, as the
// platform's RegisterClipboardFormatA does. Names compare without regard to ASCII case.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace foliotally::dragdrop {

inline constexpr uint16_t CF_TEXT = 1;
inline constexpr uint16_t CF_UNICODETEXT = 13;
inline constexpr uint16_t CF_HDROP = 15;
inline constexpr uint16_t CF_LOCALE = 16;

inline constexpr uint32_t kFirstRegisteredFormat = 0xC000;
inline constexpr uint32_t kLastRegisteredFormat = 0xFFFF;

// The id of a format name, registering the name on first use. The same name always gives
// the same id. 0 when the name is empty or the id range is used up. Thread-safe.
uint32_t RegisterClipboardFormatA(std::string_view name);

// The registered name of an id, cut to at most `max_length` characters (the platform's
// buffer holds 255 and a NUL); empty for an id nobody registered.
std::string GetClipboardFormatNameA(uint32_t id, size_t max_length = 255);

// A display name for any id: the standard names "CF_TEXT" to "CF_DSPENHMETAFILE" for the
// standard ids, else the registered name (empty when unknown).
std::string ClipboardFormatDisplayName(uint32_t id);

// The id of a registered format as the 16 bits a descriptor holds; a range error when the
// registry handed out an id that does not fit.
uint16_t RegisteredFormatId(std::string_view name);

}  // namespace foliotally::dragdrop
