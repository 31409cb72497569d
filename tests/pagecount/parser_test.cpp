// The parser's byte classes and its keep-only dictionary read, which the trailer relies on.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "pagecount/pdf_parser.h"

namespace foliotally::pdf {
namespace {

TEST(Parser, ByteClasses) {
  constexpr std::string_view spaces("\0\t\n\f\r ", 6);
  constexpr std::string_view delimiters = "()<>[]{}/%";
  int space_count = 0, delimiter_count = 0;
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const bool space = spaces.find(c) != std::string_view::npos;
    const bool delimiter = delimiters.find(c) != std::string_view::npos;
    EXPECT_EQ(IsPdfSpace(c), space) << b;
    EXPECT_EQ(IsPdfDelimiter(c), delimiter) << b;
    EXPECT_EQ(IsPdfRegular(c), !space && !delimiter) << b;
    space_count += IsPdfSpace(c);
    delimiter_count += IsPdfDelimiter(c);
  }
  EXPECT_EQ(space_count, 6);
  EXPECT_EQ(delimiter_count, 10);
}

TEST(Parser, HexDigitsInStringsAndNames) {
  Object o;
  EXPECT_EQ(Parser("<09aF Bc>", true).ParseObject(&o), ParseStatus::kOk);
  EXPECT_EQ(o.kind, Object::Kind::kString);
  EXPECT_EQ(Parser("<09aG>", true).ParseObject(&o), ParseStatus::kBad);
  EXPECT_EQ(Parser("<0:>", true).ParseObject(&o), ParseStatus::kBad);
  o = Object{};
  ASSERT_EQ(Parser("/A#20b#2Fc#4a#zz ", true).ParseObject(&o), ParseStatus::kOk);
  EXPECT_TRUE(o.IsName("A b/cJ#zz"));
  // A "#" too near the end of the name is itself, whether the name or the data ends there.
  for (const char* text : {"/x#4", "/x#4/", "/x#4 "}) {
    o = Object{};
    ASSERT_EQ(Parser(text, true).ParseObject(&o), ParseStatus::kOk) << text;
    EXPECT_TRUE(o.IsName("x#4")) << text;
  }
  EXPECT_EQ(Parser("/x#41", false).ParseObject(&o), ParseStatus::kNeedMore);
}

TEST(Parser, DictKeepingKeepsOnlyTheNamedKeys) {
  constexpr std::array<std::string_view, 2> keep = {"Root", "Size"};
  const std::string_view text =
      "<< /Size 7 /ID [<00ff> <ab12>] /Info << /A (x) >> /Root 1 0 R /Size 9 >>";
  Object dict;
  Parser p(text, true);
  ASSERT_EQ(p.ParseDictKeeping(dict, keep), ParseStatus::kOk);
  EXPECT_EQ(p.pos(), text.size());  // read to its end, though both keys came early
  ASSERT_EQ(dict.entries.size(), 3u);
  EXPECT_EQ(dict.Find("Size")->value, 7);
  EXPECT_TRUE(dict.Find("Root")->IsRef());
  EXPECT_EQ(dict.Find("ID"), nullptr);
  EXPECT_EQ(dict.Find("Info"), nullptr);
}

TEST(Parser, DictKeepingWantsTheWholeDictionary) {
  constexpr std::array<std::string_view, 1> keep = {"Root"};
  const std::string_view cut = "<< /Root 1 0 R /ID [<00ff>";
  Object dict;
  EXPECT_EQ(Parser(cut, false).ParseDictKeeping(dict, keep), ParseStatus::kNeedMore);
  dict = Object{};
  EXPECT_EQ(Parser(cut, true).ParseDictKeeping(dict, keep), ParseStatus::kBad);
  dict = Object{};
  EXPECT_EQ(Parser("[1 2]", true).ParseDictKeeping(dict, keep), ParseStatus::kBad);
}

// Arrays of references take a quicker path; these cases sit on its edges, where it must
// hand over to the general parse and agree with it.
TEST(Parser, ArraysOfReferences) {
  const auto items = [](std::string_view text, bool complete = true) {
    Object o;
    const ParseStatus st = Parser(text, complete).ParseObject(&o);
    std::string shape;
    for (const Object& item : o.items)
      shape += item.IsRef() ? std::to_string(item.value) + "R" + std::to_string(item.gen) + " "
                            : std::to_string(item.value) + " ";
    return st == ParseStatus::kOk ? shape : st == ParseStatus::kBad ? "bad" : "more";
  };
  EXPECT_EQ(items("[3 0 R 14 2 R\n5\r\n0\tR]"), "3R0 14R2 5R0 ");
  EXPECT_EQ(items("[1 2 3 R 7]"), "1 2R3 7 ");
  EXPECT_EQ(items("[-1 0 R]"), "bad");
  EXPECT_EQ(items("[1 0 R R]"), "bad");
  EXPECT_EQ(items("[1 0R]"), "bad");
  EXPECT_EQ(items("[1 +0 R 2 0 R%c\n]"), "1R0 2R0 ");
  EXPECT_EQ(items("[1 0 Rx]"), "bad");
  EXPECT_EQ(items("[1 0 R/N 2 0 R]"), "1R0 0 2R0 ");
  EXPECT_EQ(items("[1 0 R]1 0 R"), "1R0 ");
  EXPECT_EQ(items("[12345678901234567890 0 R]"), "bad");
  EXPECT_EQ(items("[1 99999999999 R]"), "1R4294967295 ");
  EXPECT_EQ(items("[1 0 R", false), "more");
  EXPECT_EQ(items("[1 0 R 2 0", false), "more");
  EXPECT_EQ(items("[1 0 R 2 0 R", true), "bad");
  // One level too deep for items: even a reference is refused, as any item would be.
  const auto nested = [](size_t levels) {
    return std::string(levels, '[') + "1 0 R" + std::string(levels, ']');
  };
  EXPECT_NE(items(nested(64)), "bad");
  EXPECT_EQ(items(nested(65)), "bad");
}

// An object written out the same way whatever took it apart, for comparing two reads.
std::string Shape(const Object& o) {
  switch (o.kind) {
    case Object::Kind::kInt:
      return std::to_string(o.value);
    case Object::Kind::kReal:
      return std::to_string(*o.Number()) + "r";
    case Object::Kind::kRef:
      return std::to_string(o.value) + "R" + std::to_string(o.gen);
    case Object::Kind::kName:
      return "/" + o.name;
    case Object::Kind::kArray: {
      std::string out = "[";
      for (const Object& item : o.items) out += Shape(item) + " ";
      return out + "]";
    }
    case Object::Kind::kDict: {
      std::string out = "<<";
      for (const auto& [key, value] : o.entries) out += "/" + key + " " + Shape(value) + " ";
      return out + ">>";
    }
    default:
      return "?";
  }
}

std::string Read(std::string_view text, bool complete = true) {
  Object o;
  const ParseStatus st = Parser(text, complete).ParseObject(&o);
  return st == ParseStatus::kOk ? Shape(o) : st == ParseStatus::kBad ? "bad" : "more";
}

// Each cut of `text` must ask `read` for more or give `whole`, what the whole text gives.
template <typename ReadCut>
void ExpectEveryCutAsksForMoreOrGives(std::string_view text, const std::string& whole,
                                      ReadCut read) {
  for (size_t cut = 1; cut < text.size(); ++cut) {
    const std::string part = read(text.substr(0, cut));
    if (part != "more") {
      EXPECT_EQ(part, whole) << "cut at " << cut << " of " << text;
    }
  }
}

// Plain numbers and references take a quicker path than signed, real or long ones, and
// names without "#" one quicker than escaped ones; the answers must be the same.
TEST(Parser, NumbersReferencesAndNames) {
  EXPECT_EQ(Read("[0 0 612 792]"), "[0 0 612 792 ]");
  EXPECT_EQ(Read("[0 0 612.5 -3 +4]"), "[0 0 612.500000r -3 4 ]");
  EXPECT_EQ(Read("<< /A 1 +5 R /B 2 0 R >>"), "<</A 1R5 /B 2R0 >>");
  EXPECT_EQ(Read("<< /A 1 0 %c\nR >>"), "<</A 1R0 >>");
  EXPECT_EQ(Read("<< /A 1 0 Rx >>"), "bad");
  EXPECT_EQ(Read("<< /A 12 0 obj >>"), "bad");
  EXPECT_EQ(Read("<< /A 1 2 /R 3 0 R >>"), "bad");  // two values for one key
  EXPECT_EQ(Read("[1 2/R 3]"), "[1 2 /R 3 ]");
  EXPECT_EQ(Read("[7(x)8<00>9]"), "[7 ? 8 ? 9 ]");
  EXPECT_EQ(Read("[1234567890123456789 0 R]"), "[1234567890123456789R0 ]");
  EXPECT_EQ(Read("[123456789012345678 1234567890123456789 R]"), "[123456789012345678R4294967295 ]");
  EXPECT_EQ(Read("<< /K#65y 1 /#41 /B#43 >>"), "<</Key 1 /A /BC >>");
  constexpr std::array<std::string_view, 1> wanted = {"Key"};
  Object dict;
  bool stopped_early = false;
  ASSERT_EQ(
      Parser("<< /Other /K#65y /K#65y 5 /X 1 >>", true).ParseDictFor(dict, wanted, stopped_early),
      ParseStatus::kOk);
  EXPECT_EQ(Shape(dict), "<</Key 5 >>");
  EXPECT_TRUE(stopped_early);
}

// A window may end anywhere in an object: each cut must ask for more or give what the whole
// text gives, never a shorter number, a reference taken for an integer or the reverse.
TEST(Parser, EveryCutAsksForMoreOrAgrees) {
  for (const std::string_view text :
       {"<< /Contents 20003 0 R /MediaBox [ 0 0 612 792 ] /Type /Page >> ",
        "[1 0 R 2 0 R 30 4 5 0 R] ", "<< /A 1 0 Rx /B 2 >> ", "[12 34 56 7 8 R] ",
        "<< /K#65y 1 2 R /L [3 4 R%c\n5 6 R] >> ", "<< /A 1 0 %c\nR /B 3 >> ",
        "[ 0 0 612.5 -792 ] "}) {
    ExpectEveryCutAsksForMoreOrGives(text, Read(text),
                                     [](std::string_view cut) { return Read(cut, false); });
  }
}

// Reads `text` keeping only /Keep, which skips every other value; and reads it whole, then
// drops all but /Keep. Both must give the same answer, and end at the same byte.
std::string KeptAndWhole(std::string_view text, bool complete) {
  constexpr std::array<std::string_view, 1> keep = {"Keep"};
  Parser kept_parser(text, complete);
  Object kept;
  const ParseStatus kept_status = kept_parser.ParseDictKeeping(kept, keep);
  Parser whole_parser(text, complete);
  Object whole;
  const ParseStatus whole_status = whole_parser.ParseObject(&whole);
  std::erase_if(whole.entries, [](const DictEntry& e) { return e.first != "Keep"; });
  const auto answer = [](ParseStatus st, const Object& o, size_t pos) {
    return st == ParseStatus::kOk    ? Shape(o) + " at " + std::to_string(pos)
           : st == ParseStatus::kBad ? std::string("bad")
                                     : std::string("more");
  };
  const std::string a = answer(kept_status, kept, kept_parser.pos());
  const std::string b = answer(whole_status, whole, whole_parser.pos());
  return a == b ? "same" : a + " / " + b;
}

// Unwanted values take a quicker way when they are written plainly; every other value, and
// every value cut short by the window, must come out as the general way reads it.
TEST(Parser, SkippedValuesEndWhereTheGeneralWayEnds) {
  for (const std::string_view text :
       {"<< /Contents 20003 0 R /MediaBox [ 0 0 612 792 ] /Parent 2 0 R /Resources << "
        "/Font << /F1 20004 0 R >> /ProcSet 20005 0 R >> /Keep /Page >> ",
        "<< /A [1 2 3 R [/N] <</B 4>>] /Keep 5 /C << /D >> /E <</F [ ] >> >> ",
        "<< /A 1 0 %c\nR /B 1 0%c\nR /Keep 2 /C 3 %x\n >> ",
        "<< /A +1 /B 1 -0 R /C 1.5 /D 1234567890123456789 /Keep 7 /E 1 0 Rx >> ",
        "<< /A (a ) b) /B <0a> /C true /D null /Keep [1] /E 12 0 obj >> ",
        "<< /A [1 0 R R] /Keep 1 >> ", "<< /A << /B 1 /C >> /Keep 1 >> ",
        "<< /A << 1 2 >> /Keep 1 >> ", "<< /A [ /B ] ] /Keep 1 >> ", "<< /A R /Keep 1 >> ",
        "<< /A#20 [1#2] /Keep /K#65 >> ", "<< /A\0[\t1\f2\r3\n] /Keep 1 >> "}) {
    EXPECT_EQ(KeptAndWhole(text, true), "same") << text;
    for (size_t cut = 1; cut < text.size(); ++cut)
      EXPECT_EQ(KeptAndWhole(text.substr(0, cut), false), "same") << cut << " of " << text;
  }
}

// However deep an unwanted value goes, the bound on nesting holds as it does for a value
// read whole: one level past it makes the object bad, whether or not comments break up the
// plainly written levels.
TEST(Parser, SkippedValuesKeepTheNestingBound) {
  for (const std::string_view gap : {" ", " %c\n"}) {
    for (size_t levels = 55; levels <= 66; ++levels) {
      std::string text = "<< /Keep 1 /A";
      for (size_t i = 0; i < levels; ++i) text += std::string(" <<") + std::string(gap) + "/A";
      text += levels % 2 ? " [1 2 0 R]" : " 1";
      for (size_t i = 0; i < levels; ++i) text += " >>";
      text += " >>";
      EXPECT_EQ(KeptAndWhole(text, true), "same") << levels;
      EXPECT_EQ(KeptAndWhole(std::string(text) + "\n", false), "same") << levels;
    }
  }
}

// Arrays of numbers alone take a quicker way; a comment after the "[" sends the same items
// the general way. Both must read the same values (a cut window is checked with the others
// above).
TEST(Parser, NumberArraysReadAsTheGeneralWayReadsThem) {
  for (const std::string_view items : {"0 0 612 792",
                                       " -0 00012 -.5 5. 0.0 595.276 841.89 ",
                                       "1 2 R",
                                       "1 2 3 R",
                                       "123456789012345678 -123456789012345678",
                                       "1234567890123456789 -1234567890123456789",
                                       "99999999999999999999 -99999999999999999999.5",
                                       "1e3",
                                       "-",
                                       ".",
                                       "-.",
                                       "1.2.3",
                                       "1-2",
                                       "--1",
                                       "+4 5",
                                       "1 /N 2",
                                       "1 [2] 3",
                                       "1(x)",
                                       "0.000000000000000000000000000001",
                                       "",
                                       "\t7\r\n8\f\0009"}) {
    const std::string text = "[" + std::string(items) + "]";
    EXPECT_EQ(Read(text), Read("[%c\n" + std::string(items) + "]")) << text;
  }
  EXPECT_EQ(Read("[ 0 0 612.5 -792 ] "), "[0 0 612.500000r -792 ]");
}

// Every object's header is read this way; "obj" must stand whole as a word, and a window
// that ends in it or just after it asks for more.
TEST(Parser, IndirectHeaders) {
  const auto header = [](std::string_view text, bool complete) {
    Parser parser(text, complete);
    int64_t num = 0, gen = 0;
    const ParseStatus st = parser.IndirectHeader(num, gen);
    return st == ParseStatus::kOk ? std::to_string(num) + " " + std::to_string(gen) + " at " +
                                        std::to_string(parser.pos())
           : st == ParseStatus::kBad ? std::string("bad")
                                     : std::string("more");
  };
  EXPECT_EQ(header("12 3 obj<<", true), "12 3 at 8");
  EXPECT_EQ(header("12 3\r\nobj\n", true), "12 3 at 9");
  EXPECT_EQ(header("12 3 %c\nobj ", true), "12 3 at 11");
  EXPECT_EQ(header("12 3 obj", true), "12 3 at 8");
  EXPECT_EQ(header("12 3 objx ", true), "bad");
  EXPECT_EQ(header("12 3 ob ", true), "bad");
  EXPECT_EQ(header("12 3 R ", true), "bad");
  ExpectEveryCutAsksForMoreOrGives("7 0 obj\n<< >>", "7 0 at 7",
                                   [&](std::string_view cut) { return header(cut, false); });
  EXPECT_EQ(header("7 0 obj", false), "more");
}

}  // namespace
}  // namespace foliotally::pdf
