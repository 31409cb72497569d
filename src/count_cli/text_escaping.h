// Quoting of paths for the machine-readable output formats. Paths are bytes as the file
// system spells them; nothing here assumes they are valid text.
#pragma once

#include <string>
#include <string_view>

namespace foliotally::count_cli {

// One CSV field (RFC 4180): quoted when it holds a comma, a double quote, CR or LF, with
// each double quote doubled; otherwise unchanged.
std::string CsvField(std::string_view text);

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view text);

// A JSON string literal, quotes included. Quote, backslash and every control character are
// escaped (the short forms \b \f \n \r \t where they exist, \u00XX otherwise, DEL too).
// Each byte that is not part of a well-formed UTF-8 sequence becomes U+FFFD, so the result
// is always valid JSON and valid Unicode.
std::string JsonString(std::string_view text);

// The start of a name for a message: at most its first 80 characters (a UTF-8 sequence is
// kept whole), with "..." when more was cut off.
std::string NameForMessage(std::string_view name);

// The bytes of `text` as lower-case hexadecimal, two digits a byte.
std::string HexBytes(std::string_view text);

}  // namespace foliotally::count_cli
