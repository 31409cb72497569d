#include "pagecount/pdf_parser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <system_error>

#include "pagecount/limits.h"

namespace foliotally::pdf {

namespace {

// The value of each byte as a hex digit, -1 for bytes that are none; hex strings such as a
// trailer's /ID are skipped byte by byte.
constexpr auto kHexValue = [] {
  std::array<int8_t, 256> table{};
  table.fill(-1);
  for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<int8_t>(i);
  for (int i = 0; i < 6; ++i) {
    table['a' + i] = static_cast<int8_t>(10 + i);
    table['A' + i] = static_cast<int8_t>(10 + i);
  }
  return table;
}();

int HexValue(char c) { return kHexValue[static_cast<unsigned char>(c)]; }

// Parses a run of decimal digits with an optional sign into `out`; false when it is not a
// plain integer or does not fit.
bool ParseInteger(std::string_view word, int64_t& out) {
  if (word.empty()) return false;
  size_t i = 0;
  bool negative = false;
  if (word[0] == '+' || word[0] == '-') {
    negative = word[0] == '-';
    i = 1;
  }
  if (i == word.size()) return false;
  int64_t value = 0;
  for (; i < word.size(); ++i) {
    const char c = word[i];
    if (c < '0' || c > '9') return false;
    if (value > (INT64_MAX - 9) / 10) return false;
    value = value * 10 + (c - '0');
  }
  out = negative ? -value : value;
  return true;
}

bool LooksLikeReal(std::string_view word) {
  size_t i = (!word.empty() && (word[0] == '+' || word[0] == '-')) ? 1 : 0;
  bool digit = false, dot = false;
  for (; i < word.size(); ++i) {
    if (word[i] >= '0' && word[i] <= '9') {
      digit = true;
    } else if (word[i] == '.' && !dot) {
      dot = true;
    } else {
      return false;
    }
  }
  return digit;
}

// The value of a word LooksLikeReal accepted. A value beyond a double's range is infinite,
// which every reader of numbers here refuses.
double RealValue(std::string_view word) {
  const bool negative = word[0] == '-';
  if (word[0] == '+' || word[0] == '-') word.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Too small rounds to zero; too large is infinite. Only digits before a dot can be large.
    const size_t dot = word.find('.');
    const bool large = word.substr(0, dot).find_first_not_of('0') != std::string_view::npos;
    value = large ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (error != std::errc() || end != word.data() + word.size()) {
    value = 0;
  }
  return negative ? -value : value;
}

}  // namespace

void Parser::SkipSpace() {
  while (pos_ < text_.size()) {
    const char c = text_[pos_];
    if (IsPdfSpace(c)) {
      ++pos_;
    } else if (c == '%') {
      while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    } else {
      break;
    }
  }
}

ParseStatus Parser::Word(std::string_view& word) {
  SkipSpace();
  const size_t start = pos_;
  while (pos_ < text_.size() && IsPdfRegular(text_[pos_])) ++pos_;
  // A word that runs to the end of the window may go on in the next bytes.
  if (pos_ == text_.size() && !complete_) return ParseStatus::kNeedMore;
  word = text_.substr(start, pos_ - start);
  return word.empty() ? (AtEnd() ? End() : ParseStatus::kBad) : ParseStatus::kOk;
}

ParseStatus Parser::Keyword(std::string_view keyword) {
  const size_t start = pos_;
  std::string_view word;
  const ParseStatus st = Word(word);
  if (st != ParseStatus::kOk) {
    pos_ = start;
    return st;
  }
  if (word != keyword) {
    pos_ = start;
    return ParseStatus::kBad;
  }
  return ParseStatus::kOk;
}

ParseStatus Parser::Integer(int64_t& out) {
  const size_t start = pos_;
  if (PlainInteger(out)) return ParseStatus::kOk;
  std::string_view word;
  const ParseStatus st = Word(word);
  if (st != ParseStatus::kOk) {
    pos_ = start;
    return st;
  }
  if (!ParseInteger(word, out) || out < 0) {
    pos_ = start;
    return ParseStatus::kBad;
  }
  return ParseStatus::kOk;
}

ParseStatus Parser::Generation(int64_t& gen) {
  // Integer(), with the word read once: this runs after every number the parser meets.
  const size_t start = pos_;
  if (PlainInteger(gen)) return ParseStatus::kOk;
  std::string_view word;
  const ParseStatus st = Word(word);
  if (st != ParseStatus::kOk) {
    pos_ = start;
    return st;
  }
  if (ParseInteger(word, gen) && gen >= 0) return ParseStatus::kOk;
  if (word.find_first_not_of("0123456789") == std::string_view::npos) {
    gen = kOverflowedGeneration;
    overflowed_generation_ = true;
    return ParseStatus::kOk;
  }
  pos_ = start;
  return ParseStatus::kBad;
}

ParseStatus Parser::IndirectHeader(int64_t& num, int64_t& gen) {
  ParseStatus st = Integer(num);
  if (st != ParseStatus::kOk) return st;
  st = Generation(gen);
  if (st != ParseStatus::kOk) return st;
  // Every object fetched passes here: "obj" standing whole in the window is taken at once.
  const size_t start = pos_;
  SkipSpace();
  constexpr std::string_view kObj = "obj";
  if (pos_ + kObj.size() < text_.size() && text_.substr(pos_, kObj.size()) == kObj &&
      !IsPdfRegular(text_[pos_ + kObj.size()])) {
    pos_ += kObj.size();
    return ParseStatus::kOk;
  }
  pos_ = start;
  return Keyword(kObj);
}

ParseStatus Parser::StreamKeyword(bool& found) {
  found = false;
  SkipSpace();
  if (AtEnd()) return complete_ ? ParseStatus::kOk : ParseStatus::kNeedMore;
  constexpr std::string_view kStream = "stream";
  if (text_.size() - pos_ < kStream.size() + 2 && !complete_) return ParseStatus::kNeedMore;
  if (text_.substr(pos_, kStream.size()) != kStream) return ParseStatus::kOk;
  pos_ += kStream.size();
  // The keyword ends with CR LF or LF; a lone CR is tolerated as some writers use it.
  if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  found = true;
  return ParseStatus::kOk;
}

ParseStatus Parser::Value(Object* out, int depth) {
  if (depth > limits::kMaxNesting) return ParseStatus::kBad;
  SkipSpace();
  if (AtEnd()) return End();
  const char c = text_[pos_];
  switch (c) {
    case '/':
      if (out) out->kind = Object::Kind::kName;
      return Name(out ? &out->name : nullptr);
    case '(':
      if (out) out->kind = Object::Kind::kString;
      return LiteralString();
    case '[':
      return Array(out, depth);
    case '<':
      if (pos_ + 1 >= text_.size()) return End();
      if (text_[pos_ + 1] == '<') return Dict(out, depth, {}, nullptr);
      if (out) out->kind = Object::Kind::kString;
      return HexString();
    default:
      break;
  }
  if (IsPdfDelimiter(c)) return ParseStatus::kBad;
  if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') return Number(out);
  std::string_view word;
  const ParseStatus st = Word(word);
  if (st != ParseStatus::kOk) return st;
  if (word == "null") {
    if (out) out->kind = Object::Kind::kNull;
  } else if (word == "true" || word == "false") {
    if (out) {
      out->kind = Object::Kind::kBool;
      out->value = word == "true";
    }
  } else {
    return ParseStatus::kBad;
  }
  return ParseStatus::kOk;
}

bool Parser::ShortDigits(size_t& p, int64_t& value) const {
  const size_t start = p;
  value = 0;
  while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9') {
    if (p - start == 18) return false;
    value = value * 10 + (text_[p++] - '0');
  }
  return p > start && p < text_.size() && !IsPdfRegular(text_[p]);
}

bool Parser::PlainInteger(int64_t& out) {
  const size_t start = pos_;
  SkipSpace();
  size_t p = pos_;
  int64_t value = 0;
  if (!ShortDigits(p, value)) {
    pos_ = start;
    return false;
  }
  out = value;
  pos_ = p;
  return true;
}

bool Parser::PlainNumber(Object* out) {
  size_t p = pos_;
  int64_t value = 0;
  if (!ShortDigits(p, value)) return false;
  // What follows decides between an integer and a reference: white space, then the
  // generation's digits and "R", or anything else. A comment, a sign or the window's end
  // is left to the general way.
  size_t q = p;
  while (q < text_.size() && IsPdfSpace(text_[q])) ++q;
  if (q >= text_.size() || text_[q] == '%' || text_[q] == '+' || text_[q] == '-') return false;
  bool ref = false;
  int64_t gen = 0;
  if (q > p && text_[q] >= '0' && text_[q] <= '9') {
    if (!ShortDigits(q, gen)) return false;
    while (q < text_.size() && IsPdfSpace(text_[q])) ++q;
    if (q + 1 >= text_.size() || text_[q] == '%') return false;
    ref = text_[q] == 'R' && !IsPdfRegular(text_[q + 1]);
  }
  if (out) {
    out->kind = ref ? Object::Kind::kRef : Object::Kind::kInt;
    out->value = value;
    if (ref) out->gen = static_cast<uint32_t>(std::min<int64_t>(gen, UINT32_MAX));
  }
  pos_ = ref ? q + 1 : p;
  return true;
}

ParseStatus Parser::Number(Object* out) {
  // Most numbers are short unsigned integers and references written plainly: read in one
  // pass over their bytes, with the same result as the general way below.
  if (PlainNumber(out)) return ParseStatus::kOk;
  std::string_view word;
  ParseStatus st = Word(word);
  if (st != ParseStatus::kOk) return st;
  int64_t value = 0;
  if (!ParseInteger(word, value)) {
    if (!LooksLikeReal(word)) return ParseStatus::kBad;
    if (out) out->SetReal(RealValue(word));
    return ParseStatus::kOk;
  }
  if (out) {
    out->kind = Object::Kind::kInt;
    out->value = value;
  }
  if (value < 0) return ParseStatus::kOk;
  // "num gen R" is a reference: look two tokens ahead.
  const size_t after = pos_;
  int64_t gen = 0;
  st = Generation(gen);
  if (st == ParseStatus::kNeedMore) return st;
  if (st == ParseStatus::kOk) {
    SkipSpace();
    if (pos_ + 1 >= text_.size() && !complete_) return ParseStatus::kNeedMore;
    if (pos_ < text_.size() && text_[pos_] == 'R' &&
        (pos_ + 1 == text_.size() || !IsPdfRegular(text_[pos_ + 1]))) {
      ++pos_;
      if (out) {
        out->kind = Object::Kind::kRef;
        out->gen = static_cast<uint32_t>(std::min<int64_t>(gen, UINT32_MAX));
      }
      return ParseStatus::kOk;
    }
  }
  pos_ = after;
  return ParseStatus::kOk;
}

namespace {

constexpr size_t kNotPlain = std::string_view::npos;
// How deep SkipPlain goes before it leaves a value to the general way: a page's
// /Resources is two or three levels deep.
constexpr int kPlainLevels = 8;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The position after the white space at `p`.
size_t SkipWhite(std::string_view text, size_t p) {
  while (p < text.size() && IsPdfSpace(text[p])) ++p;
  return p;
}

// The position after a run of 1 to 18 digits at `p` that ends inside the window on a byte
// that is not regular, as Parser::ShortDigits takes it; kNotPlain for anything else.
size_t PlainDigits(std::string_view text, size_t p) {
  const size_t start = p;
  while (p < text.size() && IsDigit(text[p])) {
    if (p - start == 18) return kNotPlain;
    ++p;
  }
  return p > start && p < text.size() && !IsPdfRegular(text[p]) ? p : kNotPlain;
}

}  // namespace

size_t Parser::SkipPlain(size_t p, int levels) const {
  if (levels < 0) return kNotPlain;
  const std::string_view text = text_;
  p = SkipWhite(text, p);
  if (p >= text.size()) return kNotPlain;
  const char c = text[p];
  if (c == '/') {
    ++p;
    while (p < text.size() && IsPdfRegular(text[p])) ++p;
    return p < text.size() ? p : kNotPlain;
  }
  if (IsDigit(c)) {
    // PlainNumber's way: an integer, or "num gen R"; what it leaves to the general way,
    // so does this.
    p = PlainDigits(text, p);
    if (p == kNotPlain) return kNotPlain;
    size_t q = SkipWhite(text, p);
    if (q >= text.size() || text[q] == '%' || text[q] == '+' || text[q] == '-') return kNotPlain;
    if (q == p || !IsDigit(text[q])) return p;
    q = PlainDigits(text, q);
    if (q == kNotPlain) return kNotPlain;
    q = SkipWhite(text, q);
    if (q + 1 >= text.size() || text[q] == '%') return kNotPlain;
    return text[q] == 'R' && !IsPdfRegular(text[q + 1]) ? q + 1 : p;
  }
  if (levels == 0) return kNotPlain;
  if (c == '[') {
    for (++p;;) {
      p = SkipWhite(text, p);
      if (p >= text.size()) return kNotPlain;
      if (text[p] == ']') return p + 1;
      p = SkipPlain(p, levels - 1);
      if (p == kNotPlain) return kNotPlain;
    }
  }
  if (c != '<' || p + 1 >= text.size() || text[p + 1] != '<') return kNotPlain;
  for (p += 2;;) {
    p = SkipWhite(text, p);
    if (p + 1 >= text.size()) return kNotPlain;
    if (text[p] == '>' && text[p + 1] == '>') return p + 2;
    if (text[p] != '/') return kNotPlain;
    for (++p; p < text.size() && IsPdfRegular(text[p]);) ++p;
    p = SkipWhite(text, p);
    if (p + 1 >= text.size()) return kNotPlain;
    if (text[p] == '>' && text[p + 1] == '>') continue;  // a key without a value
    p = SkipPlain(p, levels - 1);
    if (p == kNotPlain) return kNotPlain;
  }
}

ParseStatus Parser::NameView(std::string_view& raw, bool& escaped) {
  ++pos_;  // the slash
  const size_t start = pos_;
  escaped = false;
  while (pos_ < text_.size() && IsPdfRegular(text_[pos_])) escaped |= text_[pos_++] == '#';
  raw = text_.substr(start, pos_ - start);
  return pos_ == text_.size() && !complete_ ? ParseStatus::kNeedMore : ParseStatus::kOk;
}

void Parser::DecodeName(std::string_view raw, std::string& out) {
  // "#" and two hex digits stand for one byte; any other "#" is itself.
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '#' && i + 2 < raw.size() && HexValue(raw[i + 1]) >= 0 && HexValue(raw[i + 2]) >= 0) {
      c = static_cast<char>(HexValue(raw[i + 1]) * 16 + HexValue(raw[i + 2]));
      i += 2;
    }
    out.push_back(c);
  }
}

ParseStatus Parser::Name(std::string* out) {
  std::string_view raw;
  bool escaped = false;
  const ParseStatus status = NameView(raw, escaped);
  if (!out) return status;
  if (escaped) {
    DecodeName(raw, *out);
  } else {
    out->append(raw);
  }
  return status;
}

ParseStatus Parser::LiteralString() {
  ++pos_;  // the opening parenthesis
  size_t open = 1;
  while (pos_ < text_.size()) {
    const char c = text_[pos_++];
    if (c == '\\') {
      ++pos_;  // whatever is escaped cannot open or close the string
    } else if (c == '(') {
      ++open;
    } else if (c == ')' && --open == 0) {
      return ParseStatus::kOk;
    }
  }
  return End();
}

ParseStatus Parser::HexString() {
  ++pos_;
  while (pos_ < text_.size()) {
    const char c = text_[pos_++];
    if (c == '>') return ParseStatus::kOk;
    if (HexValue(c) < 0 && !IsPdfSpace(c)) return ParseStatus::kBad;
  }
  return End();
}

bool Parser::PlainRef(int64_t& num, int64_t& gen) {
  const auto digits = [&](size_t& p, int64_t& value) {
    const size_t start = p;
    value = 0;
    while (p < text_.size() && text_[p] >= '0' && text_[p] <= '9' && p - start < 18)
      value = value * 10 + (text_[p++] - '0');
    // Ended by white space, or it is no plain integer token (a longer number, "0R", "1.5").
    return p > start && p < text_.size() && IsPdfSpace(text_[p]);
  };
  size_t p = pos_;
  while (p < text_.size() && IsPdfSpace(text_[p])) ++p;
  if (!digits(p, num)) return false;
  while (p < text_.size() && IsPdfSpace(text_[p])) ++p;
  if (!digits(p, gen)) return false;
  while (p < text_.size() && IsPdfSpace(text_[p])) ++p;
  // The byte after "R" must be in the window to tell that the token ends there.
  if (p + 1 >= text_.size() || text_[p] != 'R' || IsPdfRegular(text_[p + 1])) return false;
  pos_ = p + 1;
  return true;
}

bool Parser::PlainNumberArray(Object* out) {
  const std::string_view text = text_;
  const size_t first_item = out ? out->items.size() : 0;
  const auto refuse = [&] {
    if (out) out->items.resize(first_item);
    return false;
  };
  size_t p = pos_ + 1;
  for (;;) {
    p = SkipWhite(text, p);
    if (p >= text.size()) return refuse();
    if (text[p] == ']') break;
    // A word of digits with at most one dot and a leading minus, ended by white space or
    // the "]": an integer of up to 18 digits (a longer one may not fit), or a real. A
    // reference has an "R", which ends no such word.
    const size_t word_start = p;
    const bool negative = text[p] == '-';
    if (negative) ++p;
    int64_t value = 0;
    size_t digits = 0;
    bool dot = false;
    for (; p < text.size(); ++p) {
      const char c = text[p];
      if (IsDigit(c)) {
        if (++digits <= 18) value = value * 10 + (c - '0');
      } else if (c == '.' && !dot) {
        dot = true;
      } else {
        break;
      }
    }
    if (p >= text.size() || (!IsPdfSpace(text[p]) && text[p] != ']') || digits == 0 ||
        (!dot && digits > 18))
      return refuse();
    if (!out) continue;
    Object& item = out->items.emplace_back();
    if (dot) {
      item.SetReal(RealValue(text.substr(word_start, p - word_start)));
    } else {
      item.kind = Object::Kind::kInt;
      item.value = negative ? -value : value;
    }
  }
  pos_ = p + 1;
  return true;
}

ParseStatus Parser::Array(Object* out, int depth) {
  const bool items_allowed = depth + 1 <= limits::kMaxNesting;
  if (out) {
    out->kind = Object::Kind::kArray;
    out->items.reserve(4);  // a box, a matrix's first half: most arrays read are this short
  }
  if (items_allowed && PlainNumberArray(out)) return ParseStatus::kOk;
  ++pos_;
  // Kept while the items read are references: an array of numbers (a box) is read the
  // general way at once rather than tried as references item by item.
  bool refs = true;
  for (;;) {
    // A long /Kids array is references only: each is taken in one pass over its bytes.
    // Anything else (a comment, a signed or real number, a token at the window's end) is
    // left to the general parse below, which gives the same result more slowly.
    int64_t num = 0, gen = 0;
    while (refs && items_allowed && PlainRef(num, gen)) {
      if (!out) continue;
      // A long run of references is a /Kids array: room for all of them at once, as many
      // as fit before the next "]" ("1 0 R" and a space take six bytes at least), spares
      // the copies and fresh pages of a vector that doubles its way up.
      if (out->items.size() == out->items.capacity()) {
        const size_t close = text_.find(']', pos_);
        const size_t room = (close == std::string_view::npos ? text_.size() : close) - pos_;
        out->items.reserve(out->items.size() + 1 + room / 6);
      }
      Object& ref = out->items.emplace_back();
      ref.kind = Object::Kind::kRef;
      ref.value = num;
      ref.gen = static_cast<uint32_t>(std::min<int64_t>(gen, UINT32_MAX));
    }
    SkipSpace();
    if (AtEnd()) return End();
    if (text_[pos_] == ']') {
      ++pos_;
      return ParseStatus::kOk;
    }
    Object* item = nullptr;
    if (out) item = &out->items.emplace_back();
    const ParseStatus st = Value(item, depth + 1);
    if (st != ParseStatus::kOk) return st;
    if (item) refs = item->IsRef();
  }
}

ParseStatus Parser::ParseDictFor(Object& out, std::span<const std::string_view> wanted,
                                 bool& stopped_early) {
  stopped_early = false;
  SkipSpace();
  if (pos_ + 1 >= text_.size()) return End();
  if (text_[pos_] != '<' || text_[pos_ + 1] != '<') return ParseStatus::kBad;
  return Dict(&out, 0, wanted, &stopped_early);
}

ParseStatus Parser::ParseDictKeeping(Object& out, std::span<const std::string_view> keep) {
  SkipSpace();
  if (pos_ + 1 >= text_.size()) return End();
  if (text_[pos_] != '<' || text_[pos_ + 1] != '<') return ParseStatus::kBad;
  return Dict(&out, 0, keep, nullptr);
}

ParseStatus Parser::Dict(Object* out, int depth, std::span<const std::string_view> wanted,
                         bool* stopped_early) {
  pos_ += 2;
  if (out) {
    out->kind = Object::Kind::kDict;
    // The object's own dictionary gets room for the usual handful of entries at once, rather
    // than growing one by one; nested ones (possibly many, in a hostile array) grow as needed.
    if (depth == 0) out->entries.reserve(wanted.empty() ? 8 : wanted.size());
  }
  size_t found = 0;
  std::string decoded;  // a key written with "#" escapes
  for (;;) {
    SkipSpace();
    if (pos_ + 1 >= text_.size()) return End();
    if (text_[pos_] == '>' && text_[pos_ + 1] == '>') {
      pos_ += 2;
      return ParseStatus::kOk;
    }
    if (text_[pos_] != '/') return ParseStatus::kBad;
    // The key is looked at where it stands; only a kept one is copied.
    std::string_view key;
    bool escaped = false;
    ParseStatus st = NameView(key, escaped);
    if (st != ParseStatus::kOk) return st;
    if (escaped && out) {
      decoded.clear();
      DecodeName(key, decoded);
      key = decoded;
    }
    // Most keys are not wanted: their length or first byte tells at once.
    const bool keep =
        out &&
        (wanted.empty() || std::any_of(wanted.begin(), wanted.end(), [&](std::string_view w) {
           return w.size() == key.size() && (key.empty() || w[0] == key[0]) && w == key;
         }));
    SkipSpace();
    if (pos_ + 1 >= text_.size()) return End();
    if (text_[pos_] == '>' && text_[pos_ + 1] == '>') {
      // A key without a value: the value is null.
      if (keep) out->entries.push_back({std::string(key), Object{}});
      continue;
    }
    if (keep) {
      Object& value = out->entries.emplace_back(DictEntry{std::string(key), Object{}}).second;
      st = Value(&value, depth + 1);
    } else {
      // Most unwanted values are plain: skipped in one pass, without the general way's
      // tokens. The levels are kept within what the general way allows at this depth.
      const size_t after = SkipPlain(pos_, std::min(kPlainLevels, limits::kMaxNesting - depth - 2));
      if (after != kNotPlain) {
        pos_ = after;
        st = ParseStatus::kOk;
      } else {
        st = Value(nullptr, depth + 1);
      }
    }
    if (st != ParseStatus::kOk) return st;
    if (keep && !wanted.empty() && ++found == wanted.size() && stopped_early) {
      *stopped_early = true;
      return ParseStatus::kOk;
    }
  }
}

}  // namespace foliotally::pdf
