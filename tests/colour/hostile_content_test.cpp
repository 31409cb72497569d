// Content made to hurt a reader: each is answered (read, or left to the renderer) quickly,
// without a crash, and within the bounds on operators, nesting and decoded bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colour/content_lexer.h"
#include "colour_fixture.h"
#include "support/pdf_writer.h"

namespace foliotally::test {
namespace {

using colour::ContentLexer;
using colour::Operand;

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

std::string Letters(const std::string& content) {
  return ReadWithoutDrawing(OnePagePdf({content})).letters;
}

TEST(HostileContent, AMillionOperatorsAreReadAndMoreAreDrawn) {
  EXPECT_EQ(Letters(Repeat("0 g\n", 1000000)), "G");
  EXPECT_EQ(Letters(Repeat("0 g\n", 1100000) + "1 0 0 rg 0 0 5 5 re f"), "C");
  // Past the bound nothing more is read: the page is drawn even where all of it is grey.
  EXPECT_EQ(Letters(Repeat("0 g\n", 1100000)), "C");
}

TEST(HostileContent, NestingIsBounded) {
  EXPECT_EQ(Letters(Repeat("q ", 100000)), "C");            // graphics states
  EXPECT_EQ(Letters(Repeat("[", 1000000) + " 0 g"), "G");   // arrays, without recursion
  EXPECT_EQ(Letters(Repeat("<<", 1000000) + " 0 g"), "G");  // dictionaries
  // Forms a hundred deep: each calls the next.
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>",
                                     "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                     "<< /Type /Page /Parent 2 0 R /Contents 4 0 R "
                                     "/Resources << /XObject << /F 5 0 R >> >> >>",
                                     StreamObject("", "/F Do")};
  for (int i = 0; i < 100; ++i)
    bodies.push_back(StreamObject("/Subtype /Form /BBox [0 0 1 1] /Resources << /XObject << /F " +
                                      std::to_string(6 + i) + " 0 R >> >>",
                                  "/F Do"));
  EXPECT_EQ(ReadWithoutDrawing(MakePdfFromObjects(bodies)).letters, "C");
}

TEST(HostileContent, ContentThatNeverEndsIsCut) {
  // 48 MB of white space in 48 kB: past the bound on decoded content, the page is drawn.
  const std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
      StreamObject("/Filter /FlateDecode", Deflate(std::string(48u << 20, ' ')))};
  EXPECT_EQ(ReadWithoutDrawing(MakePdfFromObjects(bodies)).letters, "C");
}

TEST(HostileContent, BrokenTokensEndTheReadingCleanly) {
  for (const std::string& content :
       std::vector<std::string>{"0 g (never closed", "0 g <abc", "0 g /", "BI /CS /G ID no end",
                                "BI /W 1", "0 g )))]]]>>", "0 g 1.2.3.4 --5 +-. rg",
                                "0 g /N#zz#4 cs", "0 g 1e308 99999999999999999999999 g",
                                std::string("0 g\0\xff\x01 f", 8), "0 g %comment without end"}) {
    const std::string letters = Letters(content);
    EXPECT_EQ(letters.size(), 1u) << content;
  }
}

TEST(HostileContent, PagesOfAnUnreadableTreeAreLeftToTheRenderer) {
  // The page count came from elsewhere (the library's repair); no page here is reachable.
  const std::string letters = ReadWithoutDrawing("%PDF-1.4\ngarbage", 3).letters;
  EXPECT_EQ(letters, "CCC");
}

std::vector<std::string> Operators(const std::string& text,
                                   std::vector<std::vector<Operand>>* all = nullptr) {
  ContentLexer lexer(text);
  std::vector<std::string> ops;
  std::vector<Operand> operands;
  std::string_view op;
  while (lexer.Next(op, operands)) {
    ops.emplace_back(op);
    if (all) all->push_back(operands);
  }
  return ops;
}

TEST(ContentLexer, SplitsOperatorsFromTheirOperands) {
  std::vector<std::vector<Operand>> operands;
  const auto ops =
      Operators("/Na#6De cs -.5 +3 1.25 sc [(a\\)b) <41> [1]] 0 d << /K (v) >> BDC", &operands);
  ASSERT_EQ(ops, (std::vector<std::string>{"cs", "sc", "d", "BDC"}));
  EXPECT_EQ(operands[0][0].name, "Name");
  ASSERT_EQ(operands[1].size(), 3u);
  EXPECT_DOUBLE_EQ(operands[1][0].number, -0.5);
  EXPECT_DOUBLE_EQ(operands[1][1].number, 3);
  EXPECT_DOUBLE_EQ(operands[1][2].number, 1.25);
  ASSERT_EQ(operands[2].size(), 2u);  // the dash array is one operand
  EXPECT_EQ(operands[2][0].kind, Operand::Kind::kOther);
}

TEST(ContentLexer, InlineImageDataIsSkippedToAnEiStandingAlone) {
  ContentLexer lexer("BI /CS /RGB /IM false ID \x01 EIX\nEI2 EI\n0 g");
  std::vector<Operand> operands;
  std::string_view op;
  ASSERT_TRUE(lexer.Next(op, operands));
  ASSERT_EQ(op, "BI");
  colour::InlineImage image;
  ASSERT_TRUE(lexer.ReadInlineImage(image));
  EXPECT_EQ(image.colour_space, "RGB");
  EXPECT_FALSE(image.image_mask);
  ASSERT_TRUE(lexer.Next(op, operands));
  EXPECT_EQ(op, "g");
}

}  // namespace
}  // namespace foliotally::test
