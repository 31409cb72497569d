#include "colour/content_lexer.h"

#include "pagecount/pdf_parser.h"

namespace foliotally::colour {

namespace {

using pdf::IsPdfDelimiter;
using pdf::IsPdfRegular;
using pdf::IsPdfSpace;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'; }

// The value of a word such as "true" in an inline image's dictionary.
bool IsTrue(const Operand& o) { return o.kind == Operand::Kind::kOther && o.name == "true"; }

}  // namespace

void ContentLexer::SkipSpace() {
  while (!AtEnd()) {
    const char c = text_[pos_];
    if (IsPdfSpace(c)) {
      ++pos_;
    } else if (c == '%') {
      while (!AtEnd() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    } else {
      return;
    }
  }
}

double ContentLexer::ReadNumber() {
  // Content streams write plain decimals; a malformed one ("1.2.3", "--1") reads as far as
  // it makes sense, as renderers read it.
  bool negative = false;
  if (text_[pos_] == '+' || text_[pos_] == '-') negative = text_[pos_++] == '-';
  while (!AtEnd() && (text_[pos_] == '-' || text_[pos_] == '+')) ++pos_;
  double value = 0;
  double scale = 0;
  for (; !AtEnd() && IsPdfRegular(text_[pos_]); ++pos_) {
    const char c = text_[pos_];
    if (c >= '0' && c <= '9') {
      if (scale == 0) {
        value = value * 10 + (c - '0');
      } else {
        value += (c - '0') * scale;
        scale /= 10;
      }
    } else if (c == '.' && scale == 0) {
      scale = 0.1;
    }
  }
  return negative ? -value : value;
}

void ContentLexer::ReadName(std::string& out) {
  ++pos_;  // the slash
  const size_t start = pos_;
  while (!AtEnd() && IsPdfRegular(text_[pos_])) ++pos_;
  const std::string_view raw = text_.substr(start, pos_ - start);
  if (raw.find('#') == std::string_view::npos) {
    out.assign(raw);
    return;
  }
  out.clear();
  for (size_t i = 0; i < raw.size(); ++i) {
    const int hi = raw[i] == '#' && i + 2 < raw.size() ? HexValue(raw[i + 1]) : -1;
    const int lo = hi >= 0 ? HexValue(raw[i + 2]) : -1;
    if (lo >= 0) {
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += raw[i];
    }
  }
}

std::string_view ContentLexer::ReadWord() {
  const size_t start = pos_;
  while (!AtEnd() && IsPdfRegular(text_[pos_])) ++pos_;
  return text_.substr(start, pos_ - start);
}

void ContentLexer::SkipLiteralString() {
  ++pos_;  // the opening parenthesis
  int depth = 1;
  while (!AtEnd() && depth > 0) {
    const char c = text_[pos_++];
    if (c == '\\') {
      if (!AtEnd()) ++pos_;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    }
  }
}

void ContentLexer::SkipHexString() {
  const size_t end = text_.find('>', pos_);
  pos_ = end == std::string_view::npos ? text_.size() : end + 1;
}

void ContentLexer::SkipNested() {
  // Depth is counted, not recursed into: a hostile stream of a million "[" costs no stack.
  size_t depth = 0;
  do {
    SkipSpace();
    if (AtEnd()) return;
    const char c = text_[pos_];
    if (c == '(') {
      SkipLiteralString();
    } else if (c == '[') {
      ++depth;
      ++pos_;
    } else if (c == ']') {
      if (depth > 0) --depth;
      ++pos_;
    } else if (c == '<' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '<') {
      ++depth;
      pos_ += 2;
    } else if (c == '>' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '>') {
      if (depth > 0) --depth;
      pos_ += 2;
    } else if (c == '<') {
      SkipHexString();
    } else if (IsPdfRegular(c)) {
      ReadWord();
    } else {
      ++pos_;
    }
  } while (depth > 0);
}

bool ContentLexer::ReadOperand(Operand& out) {
  SkipSpace();
  if (AtEnd()) return false;
  const char c = text_[pos_];
  out.kind = Operand::Kind::kOther;
  if (StartsNumber(c)) {
    out.kind = Operand::Kind::kNumber;
    out.number = ReadNumber();
  } else if (c == '/') {
    out.kind = Operand::Kind::kName;
    ReadName(out.name);
  } else if (c == '(') {
    SkipLiteralString();
  } else if (c == '[' || (c == '<' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '<')) {
    SkipNested();
  } else if (c == '<') {
    SkipHexString();
  } else if (IsPdfDelimiter(c)) {
    ++pos_;  // a stray ")", "]", ">" or brace: renderers skip it too
  } else {
    const size_t start = pos_;
    const std::string_view word = ReadWord();
    if (word != "true" && word != "false" && word != "null") {
      pos_ = start;
      return false;
    }
    out.name.assign(word);
  }
  return true;
}

bool ContentLexer::Next(std::string_view& op, std::vector<Operand>& operands) {
  operands.clear();
  for (;;) {
    if (operands.size() == kMaxOperands) operands.erase(operands.begin());
    operands.emplace_back();
    if (ReadOperand(operands.back())) continue;
    operands.pop_back();
    SkipSpace();
    if (AtEnd()) return false;
    op = ReadWord();
    return true;
  }
}

bool ContentLexer::ReadInlineImage(InlineImage& image) {
  image = InlineImage{};
  Operand key, value;
  for (;;) {
    SkipSpace();
    if (AtEnd()) return false;
    if (text_[pos_] != '/') {
      const std::string_view word = ReadWord();
      if (word == "ID") break;
      if (word.empty()) ++pos_;
      continue;
    }
    ReadName(key.name);
    SkipSpace();
    if (AtEnd()) return false;
    const bool is_array = text_[pos_] == '[';
    if (!ReadOperand(value)) value = Operand{};
    if (key.name == "CS" || key.name == "ColorSpace") {
      image.colour_space = value.kind == Operand::Kind::kName ? value.name : std::string();
      image.colour_space_other = value.kind != Operand::Kind::kName || is_array;
    } else if (key.name == "IM" || key.name == "ImageMask") {
      image.image_mask = IsTrue(value);
    }
  }
  // One white-space byte ends "ID"; the data then runs to an "EI" that stands alone, with
  // white space before it and white space or the end after it.
  if (!AtEnd()) ++pos_;
  for (size_t at = text_.find("EI", pos_); at != std::string_view::npos;
       at = text_.find("EI", at + 1)) {
    const bool alone_before = at > 0 && IsPdfSpace(text_[at - 1]);
    const bool alone_after = at + 2 >= text_.size() || !IsPdfRegular(text_[at + 2]);
    if (alone_before && alone_after) {
      pos_ = at + 2;
      return true;
    }
  }
  pos_ = text_.size();
  return false;
}

}  // namespace foliotally::colour
