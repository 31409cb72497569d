// Parses PDF objects out of a window of bytes. The window may end before the object does;
// then the parser says "need more" so that the caller can read a longer window, unless the
// window already reaches the end of the data, in which case the object is bad.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "pagecount/pdf_object.h"

namespace foliotally::pdf {

enum class ParseStatus : uint8_t { kOk, kNeedMore, kBad };

class Parser {
 public:
  // `complete`: the window holds everything up to the end of the data.
  Parser(std::string_view text, bool complete, size_t pos = 0)
      : text_(text), complete_(complete), pos_(pos) {}

  size_t pos() const { return pos_; }
  void set_pos(size_t pos) { pos_ = pos; }

  // Skips white space and comments.
  void SkipSpace();
  // Skips white space, then consumes `keyword` if it stands there as a whole token.
  ParseStatus Keyword(std::string_view keyword);
  // Reads "num gen obj". A generation too long for 64 bits is read as kOverflowedGeneration.
  ParseStatus IndirectHeader(int64_t& num, int64_t& gen);
  static constexpr int64_t kOverflowedGeneration = INT64_MAX;
  // Reads a non-negative integer token (used for cross-reference headers and pairs).
  ParseStatus Integer(int64_t& out);
  // Reads one object into `out`; with `out` null, skips it.
  ParseStatus ParseObject(Object* out) { return Value(out, 0); }
  // Reads a dictionary but keeps only the entries named in `wanted`, and stops as soon as
  // all of them are found (`stopped_early` then true), so that a long /Kids array behind a
  // /Count is never read.
  ParseStatus ParseDictFor(Object& out, std::span<const std::string_view> wanted,
                           bool& stopped_early);
  // Reads a whole dictionary but keeps only the entries named in `keep`.
  ParseStatus ParseDictKeeping(Object& out, std::span<const std::string_view> keep);
  // Whether a generation too long for 64 bits was read (in a header or a reference).
  bool overflowed_generation() const { return overflowed_generation_; }
  // After an object: consumes "stream" and its end of line; pos() is then the first data byte.
  ParseStatus StreamKeyword(bool& found);

 private:
  ParseStatus Value(Object* out, int depth);
  ParseStatus Dict(Object* out, int depth, std::span<const std::string_view> wanted,
                   bool* stopped_early);
  ParseStatus Array(Object* out, int depth);
  // Reads an array of numbers alone (a box, a matrix) written plainly: integers and reals
  // without "+", between white space, closed inside the window. False, with nothing
  // consumed, for anything else, which the general way then reads; what this reads, the
  // general way reads the same.
  bool PlainNumberArray(Object* out);
  ParseStatus Number(Object* out);
  // Number() for an unsigned integer of up to 18 digits, or a reference made of two such,
  // standing whole inside the window; false (nothing consumed) for anything else.
  bool PlainNumber(Object* out);
  // Integer() for white space and up to 18 digits standing whole inside the window; false
  // (nothing consumed) for anything else.
  bool PlainInteger(int64_t& out);
  // Reads a run of 1 to 18 digits at `p`, ended by a byte inside the window that is not
  // regular; false otherwise.
  bool ShortDigits(size_t& p, int64_t& value) const;
  // Skips the value at `p` (white space before it included) when it is written plainly:
  // names, plain integers and references as PlainNumber reads them, and arrays and
  // dictionaries of these, at most `levels` deep, every token ended inside the window.
  // Returns the position after it, or npos for anything else (a comment, a string, a real,
  // a keyword, a token at the window's end), which the general way then reads: what this
  // skips, the general way accepts and ends at the same byte.
  size_t SkipPlain(size_t p, int levels) const;
  ParseStatus Name(std::string* out);
  // Reads a name as written, without its slash; `escaped` when it holds a "#".
  ParseStatus NameView(std::string_view& raw, bool& escaped);
  // Appends the bytes a name written as `raw` stands for.
  static void DecodeName(std::string_view raw, std::string& out);
  ParseStatus LiteralString();
  ParseStatus HexString();
  ParseStatus Word(std::string_view& word);
  // Integer(), except that a run of digits too long for 64 bits is kOverflowedGeneration: a
  // viewer reads such an object or reference by its number alone.
  ParseStatus Generation(int64_t& gen);
  // Consumes "num gen R" written plainly (digits and white space only, the whole reference
  // inside the window) and says whether it did; leaves everything else alone.
  bool PlainRef(int64_t& num, int64_t& gen);
  ParseStatus End() const { return complete_ ? ParseStatus::kBad : ParseStatus::kNeedMore; }
  bool AtEnd() const { return pos_ >= text_.size(); }

  std::string_view text_;
  bool complete_;
  size_t pos_;
  bool overflowed_generation_ = false;
};

namespace detail {
// The class of every byte, looked up rather than compared: the parser asks for each byte.
inline constexpr uint8_t kSpace = 1, kDelimiter = 2;
inline constexpr auto kCharClass = [] {
  std::array<uint8_t, 256> table{};
  for (unsigned char c : {' ', '\n', '\r', '\t', '\f', '\0'}) table[c] = kSpace;
  for (unsigned char c : {'(', ')', '<', '>', '[', ']', '{', '}', '/', '%'}) table[c] = kDelimiter;
  return table;
}();
}  // namespace detail

inline bool IsPdfSpace(char c) {
  return detail::kCharClass[static_cast<unsigned char>(c)] == detail::kSpace;
}
inline bool IsPdfDelimiter(char c) {
  return detail::kCharClass[static_cast<unsigned char>(c)] == detail::kDelimiter;
}
// Neither white space nor a delimiter: a byte that continues a name, number or keyword.
inline bool IsPdfRegular(char c) { return detail::kCharClass[static_cast<unsigned char>(c)] == 0; }

}  // namespace foliotally::pdf
