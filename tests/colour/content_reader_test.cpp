// Each rule of the content reader: what it proves black-and-white by reading alone ("G"),
// and what it must leave to the renderer (drawn, which the stand-in renderer answers "C").
#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

#include "colour_fixture.h"
#include "support/pdf_writer.h"

namespace foliotally::test {
namespace {

constexpr const char* kRead = "G";
constexpr const char* kDrawn = "C";

std::string Rect(const std::string& colour, const std::string& paint = "f") {
  return colour + " 10 10 50 50 re " + paint + "\n";
}

std::string Text(const std::string& before) {
  return "BT /F1 12 Tf " + before + " 20 20 Td (Hello) Tj ET\n";
}

const char* kFont = "<< /Font << /F1 5 0 R >> >>";
const char* kHelvetica = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";

struct Case {
  const char* name;
  PageParts page;
  const char* expected;
};

// Shown by gtest for the case under test, in place of the bytes of its pointers.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ReadingRules : public testing::TestWithParam<Case> {};

TEST_P(ReadingRules, DecideOrDraw) {
  const Case& c = GetParam();
  const ReadOutcome outcome = ReadWithoutDrawing(OnePagePdf(c.page));
  EXPECT_EQ(outcome.letters, c.expected) << c.name;
  // A page proved by reading is never drawn.
  EXPECT_EQ(outcome.runs.empty(), std::string(c.expected) == kRead) << c.name;
}

const Case kCases[] = {
    {"grey fill and stroke", {Rect("0.5 g") + Rect("0.2 G", "S")}, kRead},
    {"neutral rgb", {Rect("0.3 0.3 0.3 rg") + Rect("0.5 0.51 0.5 RG", "S")}, kRead},
    {"rgb just outside the tolerance", {Rect("0.5 0.58 0.5 rg")}, kDrawn},
    {"neutral cmyk: equal inks with black",
     {Rect("0.2 0.2 0.2 0.5 k") + Rect("0 0 0 1 K", "S")},
     kRead},
    {"colour cmyk", {Rect("0 1 1 0 k")}, kDrawn},
    {"colour set but never painted",
     {"1 0 0 rg 0 0 1 RG\n" + Rect("0 g") + "0 0 m 10 10 l n\n"},
     kRead},
    {"colour restored away by Q", {"q 1 0 0 rg Q\n" + Rect("")}, kRead},
    {"colour kept across q", {"1 0 0 rg q\n" + Rect("") + "Q\n"}, kDrawn},
    {"colour stroke only", {Rect("0 g 1 0 0 RG", "S")}, kDrawn},
    {"fill of a colour stroke is neutral", {Rect("0 g 1 0 0 RG", "f")}, kRead},
    {"colour text", {Text("1 0 0 rg"), kFont, "", {kHelvetica}}, kDrawn},
    {"invisible colour text", {Text("1 0 0 rg 3 Tr"), kFont, "", {kHelvetica}}, kRead},
    {"stroked colour text", {Text("0 g 0 0 1 RG 1 Tr"), kFont, "", {kHelvetica}}, kDrawn},
    {"text in a type 3 font",
     {Text("0 g"), kFont, "", {"<< /Type /Font /Subtype /Type3 /CharProcs << >> >>"}},
     kDrawn},
    {"separation of black",
     {"/CS0 cs 1 sc\n" + Rect(""),
      "<< /ColorSpace << /CS0 [/Separation /Black /DeviceCMYK 5 0 R] >> >>",
      "",
      {"<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 0 0 1] /N 1 >>"}},
     kRead},
    {"spot colour",
     {"/CS0 cs 1 sc\n" + Rect(""),
      "<< /ColorSpace << /CS0 [/Separation /PANTONE#20185 /DeviceCMYK 5 0 R] >> >>",
      "",
      {"<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 1 1 0] /N 1 >>"}},
     kDrawn},
    {"spot colour at no tint",
     {"/CS0 cs 0 sc\n" + Rect(""),
      "<< /ColorSpace << /CS0 [/Separation /Red /DeviceCMYK 5 0 R] >> >>",
      "",
      {"<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0 0] /C1 [0 1 1 0] /N 1 >>"}},
     kRead},
    {"spot colour drawn through grey",
     {"/CS0 cs 1 sc\n" + Rect(""),
      "<< /ColorSpace << /CS0 [/Separation /Silver /DeviceGray 5 0 R] >> >>",
      "",
      {"<< /FunctionType 2 /Domain [0 1] /C0 [1] /C1 [0.4] /N 1 >>"}},
     kRead},
    {"one-channel icc profile",
     {"/CS0 cs 0.4 sc\n" + Rect(""),
      "<< /ColorSpace << /CS0 [/ICCBased 5 0 R] >> >>",
      "",
      {StreamObject("/N 1", "")}},
     kRead},
    {"three-channel icc profile, neutral value",
     {"/CS0 cs 0.4 0.4 0.4 scn\n" + Rect(""),
      "<< /ColorSpace << /CS0 [/ICCBased 5 0 R] >> >>",
      "",
      {StreamObject("/N 3", "")}},
     kRead},
    {"three-channel icc profile, colour value",
     {"/CS0 cs 0.1 0.4 0.9 scn\n" + Rect(""),
      "<< /ColorSpace << /CS0 [/ICCBased 5 0 R] >> >>",
      "",
      {StreamObject("/N 3", "")}},
     kDrawn},
    {"lab grey and lab red",
     {"/CS0 cs 50 0 0 sc\n" + Rect("") + "/CS0 cs 50 60 40 sc\n" + Rect(""),
      "<< /ColorSpace << /CS0 [/Lab << /WhitePoint [0.95 1 1.09] >>] >> >>"},
     kDrawn},
    {"grey image",
     {"q 50 0 0 50 0 0 cm /Im0 Do Q\n",
      "<< /XObject << /Im0 5 0 R >> >>",
      "",
      {StreamObject("/Type /XObject /Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8 "
                    "/ColorSpace /DeviceGray",
                    "A")}},
     kRead},
    {"rgb image, perhaps of grey pixels",
     {"/Im0 Do\n",
      "<< /XObject << /Im0 5 0 R >> >>",
      "",
      {StreamObject("/Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8 /ColorSpace /DeviceRGB",
                    "AAA")}},
     kDrawn},
    {"grey palette image",
     {"/Im0 Do\n",
      "<< /XObject << /Im0 5 0 R >> >>",
      "",
      {StreamObject("/Subtype /Image /Width 1 /Height 1 /BitsPerComponent 8 /ColorSpace [/Indexed "
                    "/DeviceGray 1 <00FF>]",
                    "A")}},
     kRead},
    {"stencil image in colour",
     {"1 0 0 rg /Im0 Do\n",
      "<< /XObject << /Im0 5 0 R >> >>",
      "",
      {StreamObject("/Subtype /Image /Width 8 /Height 1 /ImageMask true", "A")}},
     kDrawn},
    {"inline grey image with EI in its data",
     {"BI /W 4 /H 1 /CS /G /BPC 8 ID \nEIEI EI\n" + Rect("0 g")},
     kRead},
    {"inline rgb image", {"BI /W 1 /H 1 /CS /RGB /BPC 8 ID abc EI\n"}, kDrawn},
    {"colour inside a form",
     {"/Fm0 Do\n",
      "<< /XObject << /Fm0 5 0 R >> >>",
      "",
      {StreamObject("/Subtype /Form /BBox [0 0 100 100]", Rect("0 0 1 rg"))}},
     kDrawn},
    {"colour two forms deep",
     {"/Fm0 Do\n",
      "<< /XObject << /Fm0 5 0 R >> >>",
      "",
      {StreamObject("/Subtype /Form /BBox [0 0 100 100] /Resources << /XObject << /Fm1 6 0 R >> >>",
                    "/Fm1 Do"),
       StreamObject("/Subtype /Form /BBox [0 0 100 100]", Rect("0 1 0 rg"))}},
     kDrawn},
    {"form painted in the caller's colour",
     {"0 0 1 rg /Fm0 Do\n",
      "<< /XObject << /Fm0 5 0 R >> >>",
      "",
      {StreamObject("/Subtype /Form /BBox [0 0 100 100]", Rect(""))}},
     kDrawn},
    {"form that paints itself",
     {"/Fm0 Do\n",
      "<< /XObject << /Fm0 5 0 R >> >>",
      "",
      {StreamObject("/Subtype /Form /BBox [0 0 100 100] /Resources << /XObject << /Fm0 5 0 R >> >>",
                    Rect("0.5 g") + "/Fm0 Do")}},
     kRead},
    {"neutral transparency group with a soft mask",
     {"/GS0 gs /Fm0 Do\n",
      "<< /XObject << /Fm0 5 0 R >> /ExtGState << /GS0 << /SMask << /S /Luminosity /G 5 0 R >> /BM "
      "/Multiply /ca 0.5 >> >> >>",
      "",
      {StreamObject(
          "/Subtype /Form /BBox [0 0 100 100] /Group << /S /Transparency /CS /DeviceRGB >>",
          Rect("0.7 0.7 0.7 rg"))}},
     kRead},
    {"colour transparency group",
     {"/Fm0 Do\n",
      "<< /XObject << /Fm0 5 0 R >> >>",
      "",
      {StreamObject("/Subtype /Form /BBox [0 0 100 100] /Group << /S /Transparency /K true >>",
                    Rect("1 0.5 0 rg"))}},
     kDrawn},
    {"transfer function per channel",
     {"/GS0 gs\n" + Rect("0.5 g"),
      "<< /ExtGState << /GS0 << /TR [5 0 R 5 0 R 5 0 R 5 0 R] >> >> >>",
      "",
      {"<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>"}},
     kDrawn},
    {"colour tiling pattern",
     {"/Pattern cs /P0 scn\n" + Rect(""),
      "<< /Pattern << /P0 5 0 R >> >>",
      "",
      {StreamObject(
          "/PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] /XStep 10 /YStep 10",
          Rect("1 0 0 rg"))}},
     kDrawn},
    {"grey tiling pattern",
     {"/Pattern cs /P0 scn\n" + Rect(""),
      "<< /Pattern << /P0 5 0 R >> >>",
      "",
      {StreamObject(
          "/PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 10 10] /XStep 10 /YStep 10",
          Rect("0.2 g"))}},
     kRead},
    {"uncoloured pattern in colour",
     {"/CS0 cs 1 0 0 /P0 scn\n" + Rect(""),
      "<< /Pattern << /P0 5 0 R >> /ColorSpace << /CS0 [/Pattern /DeviceRGB] >> >>",
      "",
      {StreamObject(
          "/PatternType 1 /PaintType 2 /TilingType 1 /BBox [0 0 10 10] /XStep 10 /YStep 10",
          Rect(""))}},
     kDrawn},
    {"uncoloured pattern in grey",
     {"/CS0 cs 0.5 0.5 0.5 /P0 scn\n" + Rect(""),
      "<< /Pattern << /P0 5 0 R >> /ColorSpace << /CS0 [/Pattern /DeviceRGB] >> >>",
      "",
      {StreamObject(
          "/PatternType 1 /PaintType 2 /TilingType 1 /BBox [0 0 10 10] /XStep 10 /YStep 10",
          Rect(""))}},
     kRead},
    {"grey shading",
     {"/Sh0 sh\n",
      "<< /Shading << /Sh0 << /ShadingType 2 /ColorSpace /DeviceGray /Coords [0 0 1 1] /Function 5 "
      "0 R >> >> >>",
      "",
      {"<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>"}},
     kRead},
    {"rgb shading",
     {"/Sh0 sh\n",
      "<< /Shading << /Sh0 << /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 1 1] /Function 5 "
      "0 R >> >> >>",
      "",
      {"<< /FunctionType 2 /Domain [0 1] /C0 [0 0 0] /C1 [1 1 1] /N 1 >>"}},
     kDrawn},
    {"colour shading pattern",
     {"/Pattern cs /P0 scn\n" + Rect(""),
      "<< /Pattern << /P0 << /PatternType 2 /Shading << /ShadingType 2 /ColorSpace /DeviceCMYK >> "
      ">> >> >>"},
     kDrawn},
    {"colour annotation appearance",
     {Rect("0 g"),
      "<< >>",
      "/Annots [5 0 R]",
      {"<< /Type /Annot /Subtype /Square /Rect [0 0 50 50] /AP << /N 6 0 R >> >>",
       StreamObject("/Subtype /Form /BBox [0 0 50 50]", Rect("1 0 0 RG", "S"))}},
     kDrawn},
    {"hidden colour annotation",
     {Rect("0 g"),
      "<< >>",
      "/Annots [5 0 R]",
      {"<< /Type /Annot /Subtype /Square /F 2 /Rect [0 0 50 50] /AP << /N 6 0 R >> >>",
       StreamObject("/Subtype /Form /BBox [0 0 50 50]", Rect("1 0 0 RG", "S"))}},
     kRead},
    {"appearance state that is grey",
     {"",
      "<< >>",
      "/Annots [5 0 R]",
      {"<< /Type /Annot /Subtype /Widget /Rect [0 0 50 50] /AS /Off /AP << /N << /On 6 0 R /Off 7 "
       "0 R >> >> >>",
       StreamObject("/Subtype /Form /BBox [0 0 50 50]", Rect("0 0 1 rg")),
       StreamObject("/Subtype /Form /BBox [0 0 50 50]", Rect("0.9 g"))}},
     kRead},
    {"annotation without an appearance",
     {"",
      "<< >>",
      "/Annots [5 0 R]",
      {"<< /Type /Annot /Subtype /Square /Rect [0 0 50 50] /C [1 0 0] >>"}},
     kDrawn},
    {"link with a colour border",
     {"",
      "<< >>",
      "/Annots [5 0 R]",
      {"<< /Type /Annot /Subtype /Link /Rect [0 0 50 50] /C [1 0 0] >>"}},
     kDrawn},
    {"link with a colour border of no width",
     {"",
      "<< >>",
      "/Annots [5 0 R]",
      {"<< /Type /Annot /Subtype /Link /Rect [0 0 50 50] /Border [0 0 0] /C [0 1 1] >>"}},
     kRead},
    {"link with a black border",
     {"",
      "<< >>",
      "/Annots [5 0 R]",
      {"<< /Type /Annot /Subtype /Link /Rect [0 0 50 50] /C [0 0 0] >>"}},
     kRead},
    {"operators inside strings and comments",
     {"0 g (1 0 0 rg 0 0 9 9 re f) Tj % 1 0 0 rg f\n[(a) 1 0 0 rg (b)] TJ\n" + Rect(""),
      kFont,
      "",
      {kHelvetica}},
     kRead},
};

// Each case is named for its rule, so that a failure and ctest's list name it.
std::string RuleName(const testing::TestParamInfo<Case>& info) {
  std::string name;
  for (const char* c = info.param.name; *c != '\0'; ++c)
    name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Rules, ReadingRules, testing::ValuesIn(kCases), RuleName);

TEST(ContentReader, ContentStreamsOfAPageAreReadAsOne) {
  // An operator's operands in one part and the operator in the next: the colour carries.
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /Contents [4 0 R 5 0 R] >>", StreamObject("", "1 0"),
      StreamObject("", "0 rg 0 0 5 5 re f")};
  EXPECT_EQ(ReadWithoutDrawing(MakePdfFromObjects(bodies)).letters, kDrawn);
}

TEST(ContentReader, CompressedContentIsRead) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
      StreamObject("/Filter /FlateDecode", Deflate(Rect("0.1 0.9 0.1 rg")))};
  EXPECT_EQ(ReadWithoutDrawing(MakePdfFromObjects(bodies)).letters, kDrawn);
  bodies[3] = StreamObject("/Filter /FlateDecode", Deflate(Rect("0.5 g")));
  EXPECT_EQ(ReadWithoutDrawing(MakePdfFromObjects(bodies)).letters, kRead);
}

TEST(ContentReader, ContentInAFilterNotReadHereIsDrawn) {
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>",
                                     "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                     "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>",
                                     StreamObject("/Filter /ASCIIHexDecode", "30206720>")};
  EXPECT_EQ(ReadWithoutDrawing(MakePdfFromObjects(bodies)).letters, kDrawn);
}

TEST(ContentReader, EncryptedStreamsAreDrawnNotReadAsNoise) {
  // The data of an encrypted file's streams means nothing without the key: reading it as
  // plain text would find no colour in a page full of it.
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /Contents 4 0 R >>", StreamObject("", "\x8f\x11\x02\xa0 noise"),
      "<< /Filter /Standard /V 2 /R 3 /Length 128 /O <00> /U <00> /P -4 >>"};
  EXPECT_EQ(
      ReadWithoutDrawing(MakePdfFromObjects(bodies, "/Encrypt 5 0 R /ID [<01> <01>]")).letters,
      kDrawn);
}

TEST(ContentReader, PagesReadingCannotDecideAreDrawnInRuns) {
  // Pages 1, 3 and 9 of ten need drawing: 1 and 3 go together (the page between is cheaper
  // to draw than a second start of the renderer), 9 alone.
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
  std::string kids;
  for (int i = 0; i < 10; ++i) {
    const int page = 3 + 2 * i;
    kids += std::to_string(page) + " 0 R ";
    bodies.push_back("<< /Type /Page /Parent 2 0 R /Contents " + std::to_string(page + 1) +
                     " 0 R >>");
    const bool colour = i == 0 || i == 2 || i == 8;
    bodies.push_back(StreamObject("", Rect(colour ? "1 0 0 rg" : "0 g")));
  }
  bodies[1] = "<< /Type /Pages /Kids [" + kids + "] /Count 10 >>";
  const ReadOutcome outcome = ReadWithoutDrawing(MakePdfFromObjects(bodies), 10);
  EXPECT_EQ(outcome.letters, "CGCGGGGGCG");
  EXPECT_EQ(outcome.runs, (std::vector<std::pair<int, int>>{{1, 3}, {9, 9}}));
}

}  // namespace
}  // namespace foliotally::test
