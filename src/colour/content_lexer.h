// Splits a content stream into operators and the operands before each. Only what a colour
// reading needs is kept: numbers as values and names as text; strings, arrays and
// dictionaries are skipped whole and stand as one operand of no kind. Inline images are
// read by the caller through ReadInlineImage once the lexer has handed out "BI".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace foliotally::colour {

struct Operand {
  enum class Kind : uint8_t { kNumber, kName, kOther };
  Kind kind = Kind::kOther;
  double number = 0;
  std::string name;  // decoded, without the slash
};

// The key and value pairs of an inline image's dictionary that decide its colour.
struct InlineImage {
  std::string colour_space;         // /CS or /ColorSpace, a name; empty when absent or not a name
  bool colour_space_other = false;  // /CS is given, but not as a name (an array)
  bool image_mask = false;          // /IM or /ImageMask true
};

class ContentLexer {
 public:
  explicit ContentLexer(std::string_view text) : text_(text) {}

  // Reads the operands up to the next operator and the operator itself; false at the end
  // of the text (operands without an operator are dropped). At most kMaxOperands are kept:
  // the last ones, which are those every operator reads.
  bool Next(std::string_view& op, std::vector<Operand>& operands);

  // After "BI": reads the dictionary up to "ID", then skips the image data through "EI".
  // False when the text ends first.
  bool ReadInlineImage(InlineImage& image);

  static constexpr size_t kMaxOperands = 40;

 private:
  void SkipSpace();
  bool AtEnd() const { return pos_ >= text_.size(); }
  double ReadNumber();
  void ReadName(std::string& out);
  std::string_view ReadWord();
  void SkipLiteralString();
  void SkipHexString();
  // Skips an array or a dictionary, whatever it holds, up to its matching end.
  void SkipNested();
  // Reads one operand at the current position into `out`; false when an operator stands
  // there (left unread) or the text ended.
  bool ReadOperand(Operand& out);

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace foliotally::colour
