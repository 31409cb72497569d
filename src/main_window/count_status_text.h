// The status bar's words for a count: a number with its noun in the singular or plural,
// and the line that says how a count ended.
#pragma once

#include <cstdint>
#include <string>

namespace foliotally {

// "1 file", "0 files", "12 files"; the same for "page".
std::string CountOf(int64_t number, const std::string& noun);

// How a count of `files` files ended, `invalid` of them not countable: "Counted 12 files."
// or, after Stop, "Stopped after 5 files."; invalid files are named after it ("Counted 12
// files; 2 were not valid PDF files.").
std::string CountEndedText(int32_t files, int32_t invalid, bool stopped);

}  // namespace foliotally
