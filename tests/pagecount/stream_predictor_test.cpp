// The stream decoder's PNG predictors, checked against a row encoder written from the PNG
// rules (filter types 0-4, each row choosing its own), and the decode parameters it refuses.
// Cross-reference streams depend on these bytes: one wrong byte moves an object's offset.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "pagecount/byte_source.h"
#include "pagecount/pdf_parser.h"
#include "pagecount/stream_decoder.h"
#include "pagecount/verdict.h"
#include "support/pdf_writer.h"

namespace foliotally::pdf {
namespace {

using Bytes = std::vector<uint8_t>;

uint8_t PaethOf(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return static_cast<uint8_t>(a);
  return static_cast<uint8_t>(pb <= pc ? b : c);
}

// Encodes `rows` (each `row_bytes` long) with one filter type per row, `bpp` bytes a pixel.
std::string EncodeRows(const std::vector<Bytes>& rows, const std::vector<int>& types, size_t bpp) {
  std::string out;
  Bytes prior(rows.empty() ? 0 : rows[0].size(), 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    const Bytes& row = rows[r];
    out += static_cast<char>(types[r]);
    for (size_t i = 0; i < row.size(); ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0, b = prior[i], c = i >= bpp ? prior[i - bpp] : 0;
      const int predicted = types[r] == 1   ? a
                            : types[r] == 2 ? b
                            : types[r] == 3 ? (a + b) / 2
                            : types[r] == 4 ? PaethOf(a, b, c)
                                            : 0;
      out += static_cast<char>(static_cast<uint8_t>(row[i] - predicted));
    }
    prior = row;
  }
  return out;
}

std::string Joined(const std::vector<Bytes>& rows) {
  std::string s;
  for (const Bytes& row : rows) s.append(row.begin(), row.end());
  return s;
}

std::vector<Bytes> RandomRows(size_t count, size_t row_bytes, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<Bytes> rows(count, Bytes(row_bytes));
  for (Bytes& row : rows)
    for (uint8_t& b : row) b = static_cast<uint8_t>(random() % 4 == 0 ? 255 : random());
  return rows;
}

StreamFormat Predicted(int colors, int columns, bool flate = false, int predictor = 15) {
  StreamFormat format;
  format.flate = flate;
  format.predictor = predictor;
  format.colors = colors;
  format.columns = columns;
  return format;
}

// Decodes the whole stream; asking for one byte more than `expected` shows extra output.
std::string Decode(const std::string& data, const StreamFormat& format, size_t expected,
                   size_t step = 0) {
  MemoryByteSource source(data);
  BlockReader reader(source);
  uint64_t budget = 1u << 24;
  StreamDecoder decoder(reader, 0, data.size(), format, budget);
  for (size_t n = step; step > 0 && n < expected; n += step) {
    EXPECT_GE(decoder.Ensure(n), n);
  }
  decoder.Ensure(expected + 1);
  EXPECT_TRUE(decoder.finished());
  return std::string(decoder.data());
}

Verdict FailureOf(const std::string& data, const StreamFormat& format, size_t want,
                  uint64_t budget = 1u << 24) {
  MemoryByteSource source(data);
  BlockReader reader(source);
  StreamDecoder decoder(reader, 0, data.size(), format, budget);
  try {
    decoder.Ensure(want);
  } catch (const ReadFailure& failure) {
    return failure.verdict;
  }
  return Verdict::kCounted;  // no failure
}

TEST(StreamPredictor, EveryFilterTypeForEveryPixelWidth) {
  for (int colors = 1; colors <= 4; ++colors) {
    for (int type = 0; type <= 4; ++type) {
      const auto rows = RandomRows(6, static_cast<size_t>(colors) * 7, 100 + type);
      const std::string encoded =
          EncodeRows(rows, std::vector<int>(rows.size(), type), static_cast<size_t>(colors));
      EXPECT_EQ(Decode(encoded, Predicted(colors, 7), Joined(rows).size()), Joined(rows))
          << "colors " << colors << ", type " << type;
    }
  }
}

TEST(StreamPredictor, RowsChooseTheirOwnTypeWhateverPredictorTheDictionaryNames) {
  // 10 to 15 only say which types the encoder may have used; the tag byte of each row rules.
  const auto rows = RandomRows(25, 12, 7);
  std::vector<int> types;
  for (size_t r = 0; r < rows.size(); ++r) types.push_back(static_cast<int>((r * 3 + 1) % 5));
  const std::string encoded = EncodeRows(rows, types, 3);
  for (int predictor = 10; predictor <= 15; ++predictor)
    EXPECT_EQ(Decode(encoded, Predicted(3, 4, false, predictor), Joined(rows).size()), Joined(rows))
        << predictor;
}

TEST(StreamPredictor, PaethTiesPreferLeftThenAbove) {
  // Written out by hand. Second row, byte 1: left 0, above 30, upper-left 10 give
  // p = 20, equally near above and upper-left: above (30) is taken. Byte 3: left 30,
  // above 0, upper-left 10, equally near left and upper-left: left (30) is taken.
  const std::string encoded{0, 10, 30, 10, 0, 4, char(246), 47, char(209), 25};
  const std::string decoded{10, 30, 10, 0, 0, 77, 30, 55};
  EXPECT_EQ(Decode(encoded, Predicted(1, 4), 8), decoded);
  EXPECT_EQ(EncodeRows({{10, 30, 10, 0}, {0, 77, 30, 55}}, {0, 4}, 1), encoded);
}

TEST(StreamPredictor, ACrossReferenceStreamInflatedInSmallSteps) {
  // Rows of five bytes (W [1 3 1]) as a writer compresses them, read a few bytes at a time
  // so that rows and inflate steps split at every place.
  const auto rows = RandomRows(3000, 5, 11);
  std::vector<int> types(rows.size(), 2);
  types[0] = 1;
  const std::string deflated = test::Deflate(EncodeRows(rows, types, 1));
  const std::string expected = Joined(rows);
  EXPECT_EQ(Decode(deflated, Predicted(1, 5, true, 12), expected.size()), expected);
  EXPECT_EQ(Decode(deflated, Predicted(1, 5, true, 12), expected.size(), 7), expected);
}

TEST(StreamPredictor, APartRowAtTheEndIsLeftOut) {
  const auto rows = RandomRows(4, 6, 3);
  std::string encoded = EncodeRows(rows, {0, 1, 2, 3}, 2);
  encoded += encoded.substr(0, 4);  // a tag and three of six bytes
  EXPECT_EQ(Decode(encoded, Predicted(2, 3), Joined(rows).size()), Joined(rows));
}

TEST(StreamPredictor, AnUnknownRowTagIsDamage) {
  const auto rows = RandomRows(3, 4, 5);
  std::string encoded = EncodeRows(rows, {0, 0, 0}, 1);
  encoded[5] = 5;
  EXPECT_EQ(FailureOf(encoded, Predicted(1, 4), 12), Verdict::kDamaged);
}

TEST(StreamPredictor, DecodedBytesCountAgainstTheBudget) {
  const std::string deflated = test::Deflate(std::string(100000, 'x'));
  EXPECT_EQ(FailureOf(deflated, StreamFormat{.flate = true}, 100000, 50000), Verdict::kDamaged);
}

// The zlib header is read by the decoder itself (the data is inflated raw): it must end a
// stream where zlib would, and a bad trailer must still leave the whole data.
TEST(StreamInflate, HeaderEndsTheStreamWhereZlibWouldAndTheTrailerIsNotNeeded) {
  const std::string text = "BT /F1 12 Tf (a page) Tj ET\n";
  const std::string deflated = test::Deflate(text);
  const StreamFormat flate{.flate = true};
  EXPECT_EQ(Decode(deflated, flate, text.size()), text);
  std::string bad_trailer = deflated;
  bad_trailer.back() = static_cast<char>(bad_trailer.back() ^ 1);
  EXPECT_EQ(Decode(bad_trailer, flate, text.size()), text);
  // A header with method byte `method` and the flag bits `flags`, its check bits made right.
  const auto headed = [&](unsigned method, unsigned flags) {
    flags &= 0xe0;
    flags += (31 - (method * 256 + flags) % 31) % 31;
    return std::string{static_cast<char>(method), static_cast<char>(flags)} + deflated.substr(2);
  };
  EXPECT_EQ(Decode(headed(0x78, 0x80), flate, text.size()), text);  // another level
  EXPECT_EQ(Decode(headed(0x18, 0), flate, text.size()), text);     // a smaller window
  EXPECT_EQ(Decode(headed(0x88, 0), flate, 0), "");                 // too large a window
  EXPECT_EQ(Decode(headed(0x79, 0), flate, 0), "");                 // not deflate
  EXPECT_EQ(Decode(headed(0x78, 0x20), flate, 0), "");              // a preset dictionary
  std::string bad_check = deflated;
  bad_check[1] = static_cast<char>(bad_check[1] + 1);
  EXPECT_EQ(Decode(bad_check, flate, 0), "");
  EXPECT_EQ(Decode(deflated.substr(0, 1), flate, 0), "");
}

StreamFormat FormatOf(const std::string& dict) {
  Object o;
  EXPECT_EQ(Parser(dict + " ", true).ParseObject(&o), ParseStatus::kOk) << dict;
  return StreamFormatOf(o);
}

bool Refused(const std::string& dict) {
  try {
    FormatOf(dict);
  } catch (const ReadFailure& failure) {
    return failure.verdict == Verdict::kDamaged;
  }
  return false;
}

TEST(StreamFormat, DecodeParametersReadAndDefaulted) {
  const StreamFormat plain = FormatOf("<< /Length 5 >>");
  EXPECT_FALSE(plain.flate);
  EXPECT_EQ(plain.predictor, 1);
  const StreamFormat bare = FormatOf("<< /Filter /FlateDecode >>");
  EXPECT_TRUE(bare.flate);
  EXPECT_EQ(bare.predictor, 1);
  EXPECT_EQ(bare.columns, 1);
  const StreamFormat xref =
      FormatOf("<< /Filter [/FlateDecode] /DecodeParms [<< /Predictor 12 /Columns 5 >>] >>");
  EXPECT_EQ(xref.predictor, 12);
  EXPECT_EQ(xref.colors, 1);
  EXPECT_EQ(xref.columns, 5);
  EXPECT_EQ(xref.bits_per_component, 8);
  EXPECT_EQ(FormatOf("<< /Filter /Fl /DecodeParms << /Predictor 15 /Colors 4 /Columns 65536 "
                     ">> >>")
                .colors,
            4);
  // Parameters without a filter decode nothing.
  EXPECT_EQ(FormatOf("<< /DecodeParms << /Predictor 2 >> >>").predictor, 1);
}

TEST(StreamFormat, ParametersTheDecoderCannotHonourAreDamage) {
  for (const char* parms : {
           "/Predictor 2 /BitsPerComponent 16",  // TIFF, two bytes a sample
           "/Predictor 9",
           "/Predictor 16",                       // no such predictor
           "/Predictor 12 /BitsPerComponent 16",  // two bytes a sample
           "/Predictor 12 /BitsPerComponent 4",   // two samples a byte
           "/Predictor 12 /BitsPerComponent 1",   //
           "/Predictor 12 /Colors 0",
           "/Predictor 12 /Colors 5",  //
           "/Predictor 12 /Columns 0",
           "/Predictor 12 /Columns 65537",
       }) {
    EXPECT_TRUE(Refused(std::string("<< /Filter /FlateDecode /DecodeParms << ") + parms + " >> >>"))
        << parms;
  }
  EXPECT_TRUE(Refused("<< /Filter [/FlateDecode /ASCIIHexDecode] >>"));
  EXPECT_TRUE(Refused("<< /Filter /LZWDecode >>"));
}

}  // namespace
}  // namespace foliotally::pdf
