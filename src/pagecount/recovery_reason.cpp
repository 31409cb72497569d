#include "pagecount/recovery_reason.h"

#include <string>
#include <string_view>

#include "pagecount/block_reader.h"
#include "pagecount/limits.h"
#include "pagecount/pdf_parser.h"

namespace foliotally::pdf {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number in the last "num gen obj" header of `text`, or -1.
int64_t LastObjectIn(std::string_view text) {
  for (size_t at = text.rfind("obj"); at != std::string_view::npos && at > 0;
       at = text.rfind("obj", at - 1)) {
    size_t i = at;
    auto skip = [&](auto pred) {
      const size_t end = i;
      while (i > 0 && pred(text[i - 1])) --i;
      return i < end;
    };
    if (!skip(IsPdfSpace) || !skip(IsDigit) || !skip(IsPdfSpace)) continue;
    const size_t num_end = i;
    if (!skip(IsDigit) || num_end - i > 12) continue;
    int64_t num = 0;
    for (size_t k = i; k < num_end; ++k) num = num * 10 + (text[k] - '0');
    return num;
  }
  return -1;
}

std::string_view Tail(BlockReader& reader, std::string& scratch) {
  const uint64_t len = limits::kLongTailRead;
  const uint64_t start = reader.size() > len ? reader.size() - len : 0;
  return reader.Read(start, len, scratch);
}

}  // namespace

bool HasEnd(ByteSource& source) {
  try {
    BlockReader reader(source);
    std::string scratch;
    return Tail(reader, scratch).find("startxref") != std::string_view::npos;
  } catch (...) {
    return false;
  }
}

CountResult RecoveredFrom(ByteSource& source, CountResult found, const char* how,
                          int64_t last_object) {
  found = Recovered(found, how);
  if (found.verdict != Verdict::kCounted || HasEnd(source)) return found;
  if (last_object < 0) {
    try {
      BlockReader reader(source);
      std::string scratch;
      last_object = LastObjectIn(Tail(reader, scratch));
    } catch (...) {
      last_object = -1;
    }
  }
  found.why = last_object >= 0 ? "file ends early after object" : "file ends early";
  found.why_object = last_object;
  return found;
}

}  // namespace foliotally::pdf
