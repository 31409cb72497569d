#include "pagecount/linearization.h"

#include <string>

#include "pagecount/block_reader.h"
#include "pagecount/limits.h"
#include "pagecount/pdf_parser.h"

namespace foliotally::pdf {

namespace {

std::optional<int32_t> ReadLinearizedPageCount(ByteSource& source) {
  BlockReader reader(source);
  std::string scratch;
  // The parameters must be the first object, within the first kilobyte after the header.
  const std::string_view head = reader.Read(0, 2 * limits::kHeaderSearch, scratch);
  const size_t header = head.find("%PDF-");
  if (header == std::string_view::npos || header > limits::kHeaderSearch) return std::nullopt;
  Parser p(head, head.size() == reader.size(), header + 5);
  // Past the version and the binary-marker comment: the next token is the object's header.
  while (p.pos() < head.size() && !IsPdfSpace(head[p.pos()])) p.set_pos(p.pos() + 1);
  int64_t num = 0, gen = 0;
  Object params;
  if (p.IndirectHeader(num, gen) != ParseStatus::kOk || p.ParseObject(&params) != ParseStatus::kOk)
    return std::nullopt;
  const Object* linearized = params.Find("Linearized");
  const Object* length = params.Find("L");
  const Object* pages = params.Find("N");
  if (!linearized || !IsIntIn(length, 0, INT64_MAX) ||
      static_cast<uint64_t>(length->value) != reader.size() || !IsIntIn(pages, 0, INT32_MAX))
    return std::nullopt;
  // A page takes an object of at least a few bytes: a larger /N is no count.
  if (static_cast<uint64_t>(pages->value) > reader.size() / 8) return std::nullopt;
  return static_cast<int32_t>(pages->value);
}

}  // namespace

std::optional<int32_t> LinearizedPageCount(ByteSource& source) {
  try {
    return ReadLinearizedPageCount(source);
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace foliotally::pdf
