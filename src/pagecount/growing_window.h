// Parses an object whose length is not known before it is parsed: the window of text starts
// small and grows fourfold while the parser runs out of it, up to the largest object the
// reader accepts. Most objects fit the first window; a hostile one cannot make it unbounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pagecount/block_reader.h"
#include "pagecount/limits.h"
#include "pagecount/pdf_parser.h"

namespace foliotally::pdf {

// `window(len, complete)` returns up to `len` bytes and sets `complete` when they reach the
// end of the data; `parse(parser)` parses them. Returns kOk or kBad, never kNeedMore.
template <typename Window, typename Parse>
ParseStatus ParseInGrowingWindow(size_t first_len, Window&& window, Parse&& parse) {
  for (size_t len = first_len;; len *= 4) {
    bool complete = false;
    const std::string_view text = window(len, complete);
    Parser parser(text, complete);
    const ParseStatus status = parse(parser, text);
    if (status != ParseStatus::kNeedMore) return status;
    if (complete || len >= limits::kMaxObjectBytes) return ParseStatus::kBad;
  }
}

// The same over the file, starting at `offset`; the text lives in `scratch`, or with
// `in_place` (for a `parse` that reads nothing else from `reader`) in the reader's blocks.
template <typename Parse>
ParseStatus ParseInFile(BlockReader& reader, uint64_t offset, size_t first_len,
                        std::string& scratch, Parse&& parse, bool in_place = false) {
  return ParseInGrowingWindow(
      first_len,
      [&](size_t len, bool& complete) {
        const std::string_view text =
            in_place ? reader.ReadInPlace(offset, len, scratch) : reader.Read(offset, len, scratch);
        complete = offset + text.size() >= reader.size();
        return text;
      },
      parse);
}

}  // namespace foliotally::pdf
