// The JPEG decoder on the program's own pictures, on JPEG files made here with libjpeg's
// encoder (grey, progressive, CMYK), and on damaged input: cut short at every length, bytes
// overwritten, not a JPEG at all, a header claiming a gigantic picture.
#include "about/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace foliotally {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadPicture(const std::string& name) {
  const std::string text = test::ReadFileBytes(std::string(FOLIOTALLY_PICTURES_DIR) + "/" + name);
  return Bytes(text.begin(), text.end());
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct EncodeOptions {
  int width = 24;
  int height = 16;
  int components = 3;
  J_COLOR_SPACE space = JCS_RGB;
  bool progressive = false;
};

// Encodes a small test pattern with libjpeg: a horizontal ramp in the first channel and a
// vertical one in the others.
Bytes Encode(const EncodeOptions& options) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = options.width;
  info.image_height = options.height;
  info.input_components = options.components;
  info.in_color_space = options.space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (options.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(options.width * options.components));
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < options.width; ++x)
      for (int c = 0; c < options.components; ++c)
        row[x * options.components + c] =
            static_cast<JSAMPLE>(c == 0 ? x * 255 / options.width : info.next_scanline * 8);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// Offset of the first start-of-frame marker's height field (FF C0..C2, length, precision).
std::size_t FrameSizeOffset(const Bytes& jpeg) {
  for (std::size_t i = 0; i + 9 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xC0 && jpeg[i + 1] <= 0xC2) return i + 5;
  return 0;
}

TEST(JpegDecoder, DecodesTheProgramsPictures) {
  const JpegDecodeResult banner = DecodeJpeg(ReadPicture("banner.jpg"));
  ASSERT_TRUE(banner.ok()) << banner.error;
  EXPECT_EQ(banner.picture->width, 209);
  EXPECT_EQ(banner.picture->height, 33);
  EXPECT_EQ(banner.picture->rgb.size(), 209u * 33u * 3u);
  // The banner's background is a dark blue; its far right edge shows only that.
  const std::uint8_t* edge = &banner.picture->rgb[(5 * 209 + 207) * 3];
  EXPECT_GT(edge[2], edge[0] + 40)
      << "expected blue, got " << int(edge[0]) << "," << int(edge[1]) << "," << int(edge[2]);

  const JpegDecodeResult logo = DecodeJpeg(ReadPicture("logo.jpg"));
  ASSERT_TRUE(logo.ok()) << logo.error;
  EXPECT_EQ(logo.picture->width, 313);
  EXPECT_EQ(logo.picture->height, 105);
}

TEST(JpegDecoder, GreyAndProgressivePicturesComeOutAsRgb) {
  const JpegDecodeResult grey = DecodeJpeg(Encode({.components = 1, .space = JCS_GRAYSCALE}));
  ASSERT_TRUE(grey.ok()) << grey.error;
  ASSERT_EQ(grey.picture->rgb.size(), 24u * 16u * 3u);
  for (std::size_t i = 0; i < grey.picture->rgb.size(); i += 3) {
    EXPECT_EQ(grey.picture->rgb[i], grey.picture->rgb[i + 1]);
    EXPECT_EQ(grey.picture->rgb[i], grey.picture->rgb[i + 2]);
  }
  // The ramp runs left to right: the last pixel of a row is brighter than the first.
  EXPECT_GT(grey.picture->rgb[23 * 3], grey.picture->rgb[0] + 150);

  const JpegDecodeResult baseline = DecodeJpeg(Encode({}));
  const JpegDecodeResult progressive = DecodeJpeg(Encode({.progressive = true}));
  ASSERT_TRUE(baseline.ok()) << baseline.error;
  ASSERT_TRUE(progressive.ok()) << progressive.error;
  ASSERT_EQ(progressive.picture->rgb.size(), baseline.picture->rgb.size());
  for (std::size_t i = 0; i < baseline.picture->rgb.size(); ++i)
    EXPECT_NEAR(progressive.picture->rgb[i], baseline.picture->rgb[i], 8) << "byte " << i;
}

TEST(JpegDecoder, RefusesWhatIsNotAJpegWithAMessage) {
  const JpegDecodeResult empty = DecodeJpeg({});
  EXPECT_FALSE(empty.ok());
  EXPECT_EQ(empty.error, "No picture data");

  for (const std::string& text :
       {std::string("%PDF-1.4\n1 0 obj << >> endobj\n%%EOF\n"), std::string("\x89PNG\r\n\x1a\n"),
        std::string("x"), std::string("\xFF\xD8")}) {
    const JpegDecodeResult result = DecodeJpeg(FromText(text));
    EXPECT_FALSE(result.ok()) << text;
    EXPECT_FALSE(result.error.empty()) << text;
  }
  EXPECT_NE(DecodeJpeg(FromText("%PDF-1.4")).error.find("Not a JPEG file"), std::string::npos);

  // libjpeg cannot turn CMYK into RGB: a clear error rather than a wrong picture.
  const JpegDecodeResult cmyk = DecodeJpeg(Encode({.components = 4, .space = JCS_CMYK}));
  EXPECT_FALSE(cmyk.ok());
  EXPECT_FALSE(cmyk.error.empty());
}

// libjpeg fills missing data with grey and only warns; a cut file must fail instead, at
// whatever length it was cut.
TEST(JpegDecoder, AFileCutShortAtAnyLengthFails) {
  const Bytes banner = ReadPicture("banner.jpg");
  ASSERT_GT(banner.size(), 1000u);
  for (std::size_t length = 0; length < banner.size(); ++length) {
    const JpegDecodeResult result = DecodeJpeg(std::span(banner.data(), length));
    ASSERT_FALSE(result.ok()) << "cut to " << length << " bytes";
    ASSERT_FALSE(result.error.empty()) << "cut to " << length << " bytes";
  }
  EXPECT_NE(DecodeJpeg(std::span(banner.data(), banner.size() / 2)).error.find("Premature end"),
            std::string::npos);
}

TEST(JpegDecoder, OverwrittenBytesNeverCrashTheDecoder) {
  const Bytes banner = ReadPicture("banner.jpg");
  std::mt19937 random(20240611);
  std::uniform_int_distribution<std::size_t> where(0, banner.size() - 1);
  std::uniform_int_distribution<int> value(0, 255);
  int failures = 0;
  for (int round = 0; round < 400; ++round) {
    Bytes damaged = banner;
    for (int n = 0; n < 4; ++n) damaged[where(random)] = static_cast<std::uint8_t>(value(random));
    const JpegDecodeResult result = DecodeJpeg(damaged);
    if (result.ok()) {
      EXPECT_EQ(result.picture->rgb.size(),
                std::size_t(result.picture->width) * result.picture->height * 3);
    } else {
      EXPECT_FALSE(result.error.empty());
      ++failures;
    }
  }
  EXPECT_GT(failures, 0);  // the damage is seen, not silently decoded to grey every time
}

TEST(JpegDecoder, RefusesGiganticPicturesBeforeTakingMemory) {
  Bytes huge = ReadPicture("banner.jpg");
  const std::size_t at = FrameSizeOffset(huge);
  ASSERT_NE(at, 0u);
  huge[at] = huge[at + 2] = 0xEA;  // 60000 x 60000, within libjpeg's own limit
  huge[at + 1] = huge[at + 3] = 0x60;
  const JpegDecodeResult result = DecodeJpeg(huge);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.error, "Picture dimensions out of range");

  const JpegDecodeResult capped = DecodeJpeg(ReadPicture("banner.jpg"), 209 * 33 - 1);
  EXPECT_FALSE(capped.ok());
  EXPECT_TRUE(DecodeJpeg(ReadPicture("banner.jpg"), 209 * 33).ok());
}

}  // namespace
}  // namespace foliotally
