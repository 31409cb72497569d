// Pages drawn by the renderer: what only drawing can tell (a colour clipped away or painted
// over, grey pixels in a colour image, a layer that is off), a renderer that is missing,
// fails or hangs, and the pixels of a drawn page.
#include "colour/page_drawing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "colour/page_colours.h"
#include "colour/pixel_tally.h"
#include "colour_fixture.h"
#include "pagecount/unique_fd.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::test {
namespace {

using colour::PixelTally;
using colour::PixelVerdict;

std::string Ppm(int width, int height, const std::string& pixels) {
  return "P6\n# drawn\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n" +
         pixels;
}

std::string Pixels(int n, unsigned char r, unsigned char g, unsigned char b) {
  std::string out;
  for (int i = 0; i < n; ++i)
    out += {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
  return out;
}

TEST(PixelTally, HoldsPixelsToTheTolerance) {
  // 16 steps apart is still grey; 17 is a hue.
  PixelTally grey;
  grey.Feed(Ppm(4, 1, Pixels(4, 100, 116, 108)));
  EXPECT_EQ(grey.Verdict(), PixelVerdict::kNeutral);
  PixelTally colour;
  colour.Feed(Ppm(4, 1, Pixels(4, 100, 117, 100)));
  EXPECT_EQ(colour.Verdict(), PixelVerdict::kColour);
}

TEST(PixelTally, AFewStrayPixelsAreNoHue) {
  PixelTally few;
  few.Feed(Ppm(10, 1, Pixels(3, 255, 0, 0) + Pixels(7, 0, 0, 0)));
  EXPECT_EQ(few.Verdict(), PixelVerdict::kNeutral);
  PixelTally enough;
  enough.Feed(Ppm(10, 1, Pixels(4, 255, 0, 0) + Pixels(6, 0, 0, 0)));
  EXPECT_EQ(enough.Verdict(), PixelVerdict::kColour);
}

TEST(PixelTally, ReadsAnImageCutAnywhere) {
  // Pieces that split the header and pixels at every byte give the same answer.
  const std::string image = Ppm(3, 2, Pixels(2, 9, 9, 9) + Pixels(4, 0, 200, 0));
  for (size_t step = 1; step <= 7; ++step) {
    PixelTally tally;
    for (size_t at = 0; at < image.size(); at += step) tally.Feed(image.substr(at, step));
    EXPECT_EQ(tally.Verdict(), PixelVerdict::kColour) << step;
  }
}

TEST(PixelTally, AnImageCutShortOrNotAPpmIsNoVerdict) {
  PixelTally cut;
  cut.Feed(Ppm(4, 4, Pixels(5, 0, 0, 0)));
  EXPECT_EQ(cut.Verdict(), PixelVerdict::kIncomplete);
  for (const std::string bad : {"P5\n1 1\n255\n\x01", "P6\n0 1\n255\n", "P6\n1 1\n65535\n123456",
                                "P6\n99999999999 1\n255\n", "P6 1 1 255"}) {
    PixelTally tally;
    tally.Feed(bad);
    EXPECT_EQ(tally.Verdict(), PixelVerdict::kIncomplete) << bad;
  }
}

// Reads and draws `pdf` for real; skips when the renderer is not installed.
class Drawing : public testing::Test {
 protected:
  void SetUp() override {
    renderer_ = colour::FindRenderer();
    if (renderer_.empty()) GTEST_SKIP() << "pdftoppm is not installed";
  }
  std::string Colours(const std::string& pdf, int pages = 1, const std::string& renderer = {}) {
    const auto path = dir_.Write("page.pdf", pdf);
    const pdf::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    const colour::PageColours colours = colour::ReadOpenFileColours(
        fd.get(), pages, 20000, renderer.empty() ? renderer_ : renderer);
    return colours.letters;
  }
  std::string renderer_;
  TempDir dir_;
};

const char* kWhite = "1 g 0 0 200 200 re f\n";

TEST_F(Drawing, ColourThatDoesNotShowIsGrey) {
  // Read, each of these paints a hue; drawn, none shows.
  const std::string clipped = "0 0 1 1 re W n 1 0 0 rg 50 50 100 100 re f\n";
  const std::string painted_over = "1 0 0 rg 50 50 100 100 re f\n" + std::string(kWhite);
  const std::string white_on_white = "1 1 0.99 rg 0 0 200 200 re f\n";
  for (const std::string& content : {clipped, painted_over, white_on_white})
    EXPECT_EQ(Colours(OnePagePdf({content})), "G") << content;
  EXPECT_EQ(Colours(OnePagePdf({"1 0 0 rg 50 50 100 100 re f\n"})), "C");
}

TEST_F(Drawing, ColourImageOfGreyPixelsIsGrey) {
  PageParts page{"q 200 0 0 200 0 0 cm /Im0 Do Q\n",
                 "<< /XObject << /Im0 5 0 R >> >>",
                 "",
                 {StreamObject("/Subtype /Image /Width 2 /Height 1 /BitsPerComponent 8 "
                               "/ColorSpace /DeviceRGB",
                               "\x40\x40\x40\xc0\xc0\xc0")}};
  EXPECT_EQ(Colours(OnePagePdf(page)), "G");
  page.objects[0] =
      StreamObject("/Subtype /Image /Width 2 /Height 1 /BitsPerComponent 8 /ColorSpace /DeviceRGB",
                   "\x40\x40\x40\xc0\x20\x20");
  EXPECT_EQ(Colours(OnePagePdf(page)), "C");
}

TEST_F(Drawing, ColourInALayerThatIsOffIsGrey) {
  const std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R /OCProperties << /OCGs [5 0 R] /D << /OFF [5 0 R] >> >> >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R "
      "/Resources << /Properties << /L0 5 0 R >> >> >>",
      StreamObject("", "/OC /L0 BDC 1 0 0 rg 0 0 200 200 re f EMC\n"),
      "<< /Type /OCG /Name (Colour layer) >>"};
  EXPECT_EQ(Colours(MakePdfFromObjects(bodies)), "G");
}

TEST_F(Drawing, OnlyPagesReadingLeftAreDrawnAndInPageOrder) {
  // Three pages: colour, grey, colour; the renderer's images come back to their pages.
  std::vector<std::string> bodies = {"<< /Type /Catalog /Pages 2 0 R >>",
                                     "<< /Type /Pages /Kids [3 0 R 5 0 R 7 0 R] /Count 3 >>"};
  for (const char* colour : {"0 0 1 rg", "0.5 g", "0 1 0 rg"}) {
    const int page = static_cast<int>(bodies.size()) + 1;
    bodies.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents " +
                     std::to_string(page + 1) + " 0 R >>");
    bodies.push_back(StreamObject("", std::string(colour) + " 20 20 100 100 re f\n"));
  }
  EXPECT_EQ(Colours(MakePdfFromObjects(bodies), 3), "CGC");
}

// A stand-in renderer: a shell script that starts a child of its own and never ends.
std::string HangingRenderer(const TempDir& dir, const std::string& child_pid_file) {
  const auto path =
      dir.Write("hang.sh", "#!/bin/sh\nsleep 300 &\necho $! > " + child_pid_file + "\nwait\n");
  ::chmod(path.c_str(), 0755);
  return path.string();
}

// Running: neither gone nor a zombie that nobody has reaped yet (where no init process
// reaps orphans, as in some containers, a killed orphan stays one).
bool ProcessAlive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  const size_t paren = line.rfind(')');
  return paren != std::string::npos && paren + 2 < line.size() && line[paren + 2] != 'Z';
}

TEST(DrawingBounds, ARendererThatHangsIsStoppedWithEverythingItStarted) {
  const TempDir dir;
  const std::string pid_file = (dir.path() / "child.pid").string();
  const std::string renderer = HangingRenderer(dir, pid_file);
  const auto pdf = dir.Write("page.pdf", OnePagePdf({"1 0 0 rg 0 0 9 9 re f\n"}));
  const pdf::UniqueFd fd(::open(pdf.c_str(), O_RDONLY | O_CLOEXEC));
  const auto start = std::chrono::steady_clock::now();
  const colour::PageColours colours = colour::ReadOpenFileColours(fd.get(), 1, 1500, renderer);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(colours.letters, "?");
  EXPECT_LT(took, std::chrono::seconds(10));  // far above 1.5 s: only a hang would fail it
  std::ifstream in(pid_file);
  pid_t child = 0;
  ASSERT_TRUE(in >> child);
  // The child is killed with the script's process group; give the kernel a moment to reap.
  for (int i = 0; i < 100 && ProcessAlive(child); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(ProcessAlive(child));
}

TEST(DrawingBounds, WithoutARendererPagesToDrawAreUnknownAndCounted) {
  const TempDir dir;
  const auto pdf = dir.Write("page.pdf", OnePagePdf({"1 0 0 rg 0 0 9 9 re f\n"}));
  const pdf::UniqueFd fd(::open(pdf.c_str(), O_RDONLY | O_CLOEXEC));
  const colour::PageColours colours = colour::ReadOpenFileColours(fd.get(), 1, 5000, "");
  EXPECT_EQ(colours.letters, "?");
  EXPECT_EQ(colours.without_renderer, 1);
  // A renderer that fails: unknown, but not for want of a renderer.
  const colour::PageColours failed = colour::ReadOpenFileColours(fd.get(), 1, 5000, "/bin/false");
  EXPECT_EQ(failed.letters, "?");
  EXPECT_EQ(failed.without_renderer, 0);
}

}  // namespace
}  // namespace foliotally::test
