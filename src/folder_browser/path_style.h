// The two ways of writing paths the path functions understand: POSIX ("/", no drives; the
// one this program runs with) and Windows ("\" and ":", drive letters, \\server\share
// roots, and double-byte code pages whose second bytes may look like a backslash).
#pragma once

#include <string_view>

namespace foliotally {

// Tells whether a byte begins a double-byte character in the code page in use.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Lead bytes of code page 932 (Shift-JIS): 0x81-0x9F and 0xE0-0xFC.
bool IsCodePage932LeadByte(unsigned char byte);

struct PathStyle {
  char delimiter = '/';
  bool has_drives = false;                   // ':' after a drive letter, \\server\share roots
  LeadBytePredicate is_lead_byte = nullptr;  // none: every byte is a character of its own

  static constexpr PathStyle Posix() { return PathStyle{'/', false, nullptr}; }
  static constexpr PathStyle Windows(LeadBytePredicate lead_bytes = nullptr) {
    return PathStyle{'\\', true, lead_bytes};
  }
  // The style of the system the program runs on.
  static constexpr PathStyle Native() { return Posix(); }

  // The characters that end a folder level: "\:" on Windows, "/" on POSIX.
  constexpr std::string_view DelimiterSet() const { return has_drives ? "\\:" : "/"; }
  // The set that ends an extension: the dot and the delimiter set.
  constexpr std::string_view ExtensionDelimiterSet() const { return has_drives ? ".\\:" : "./"; }
  bool IsLeadByte(unsigned char byte) const { return is_lead_byte && is_lead_byte(byte); }
};

}  // namespace foliotally
