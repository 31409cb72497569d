// The pictures shipped inside the program, the QImage made from decoded pixels, damaged or
// missing picture files, and the button glyphs.
#include "about/pictures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QIcon>

#include "about/button_glyphs.h"
#include "support/temp_dir.h"

namespace foliotally {
namespace {

QString Q(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

TEST(Pictures, BannerAndLogoAreBuiltIntoTheProgram) {
  const QPixmap banner = BannerPicture();
  ASSERT_FALSE(banner.isNull());
  EXPECT_EQ(banner.size(), QSize(209, 33));
  const QPixmap logo = LogoPicture();
  ASSERT_FALSE(logo.isNull());
  EXPECT_EQ(logo.size(), QSize(313, 105));
}

// The image's rows are padded to four bytes where the decoder's are packed: a width of
// 209 (627 bytes a row) shows any row misplacement as a skewed picture.
TEST(Pictures, ImageRowsMatchTheDecodedPixels) {
  const QImage image = LoadJpegPicture(":/pictures/banner.jpg");
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.format(), QImage::Format_RGB888);
  // The right edge is plain background on every row; a skew would bring the page stack or
  // the text of the left edge of the next row into it.
  for (int y = 2; y < 31; ++y) {
    const QColor edge = image.pixelColor(207, y);
    EXPECT_GT(edge.blue(), edge.red() + 40) << "row " << y;
    EXPECT_LT(edge.red(), 100) << "row " << y;
  }
  // The page stack near the top-left is white paper.
  EXPECT_GT(image.pixelColor(12, 22).lightness(), 200);
}

TEST(Pictures, DamagedOrMissingFilesGiveAnEmptyPicture) {
  test::TempDir dir;
  const std::string good = test::ReadFileBytes(std::string(FOLIOTALLY_PICTURES_DIR) + "/logo.jpg");
  ASSERT_FALSE(LoadJpegPicture(Q(dir.Write("good.jpg", good))).isNull());

  EXPECT_TRUE(LoadJpegPicture(Q(dir.Write("cut.jpg", good.substr(0, good.size() / 3)))).isNull());
  EXPECT_TRUE(LoadJpegPicture(Q(dir.Write("text.jpg", "not a picture at all"))).isNull());
  EXPECT_TRUE(LoadJpegPicture(Q(dir.Write("empty.jpg", ""))).isNull());
  EXPECT_TRUE(LoadJpegPicture(Q(dir.path() / "missing.jpg")).isNull());
  EXPECT_TRUE(LoadJpegPicture(Q(dir.MakeFolder("folder.jpg"))).isNull());
  EXPECT_TRUE(LoadJpegPicture(":/pictures/no-such.jpg").isNull());
  // A FIFO is never opened: opening it would wait for a writer forever.
  const auto fifo = dir.Make("fifo.jpg");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_TRUE(LoadJpegPicture(Q(fifo)).isNull());

  QString error;
  EXPECT_TRUE(JpegToImage(QByteArray("%PDF-1.7"), &error).isNull());
  EXPECT_TRUE(error.contains("Not a JPEG file")) << error.toStdString();
}

TEST(ButtonGlyphs, EveryRoleHasAGlyphAndUnknownRolesNone) {
  for (const char* role : {"save", "stop", "count-selected", "count-all", "close", "ok"})
    EXPECT_FALSE(ButtonGlyph(role).isNull()) << role;
  EXPECT_TRUE(ButtonGlyph("").isNull());
  EXPECT_TRUE(ButtonGlyph("Save").isNull());
  EXPECT_TRUE(ButtonGlyph("print").isNull());
}

}  // namespace
}  // namespace foliotally
