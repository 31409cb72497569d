// Files built to hurt a reader: loops, lies, bombs, truncation, and things that are not
// files at all. Each must get a quick answer: the true count where the file still holds
// one, a negative value otherwise; never a crash or a hang.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "pagecount/byte_source.h"
#include "pagecount/count_bytes.h"
#include "pagecount/foliotally.h"
#include "pagecount/page_counter.h"
#include "support/pdf_writer.h"
#include "support/temp_dir.h"

namespace foliotally::pdf {
namespace {

using test::MakePdf;
using test::MakePdfFromObjects;

CountResult Read(const std::string& bytes) {
  MemoryByteSource source(bytes);
  return ReadPageCount(source);
}

const std::string kPage = "<< /Type /Page /Parent 2 0 R >>";

TEST(Hostile, PageTreeCyclesAndSharedKidsCountEachPageOnce) {
  // 2 -> [3, 4, 2]; 3 -> [5, 2, 3]: loops back to the root and to itself, and 5 twice.
  const std::string pdf = MakePdfFromObjects({
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R 4 0 R 2 0 R] /Count -1 >>",
      "<< /Type /Pages /Kids [5 0 R 2 0 R 3 0 R 5 0 R] >>",
      kPage,
      kPage,
  });
  const CountResult r = Read(pdf);
  EXPECT_EQ(r.verdict, Verdict::kCounted);
  EXPECT_EQ(r.pages, 2);
}

TEST(Hostile, DeepPageTreeIsWalkedWithoutRecursion) {
  std::vector<std::string> objs = {"<< /Type /Catalog /Pages 2 0 R >>"};
  const int depth = 20000;
  for (int i = 0; i < depth; ++i)
    objs.push_back("<< /Type /Pages /Count 99999999 /Kids [" + std::to_string(i + 3) + " 0 R] >>");
  objs.push_back(kPage);
  const CountResult r = Read(MakePdfFromObjects(objs));
  EXPECT_EQ(r.verdict, Verdict::kCounted);
  EXPECT_EQ(r.pages, 1);
}

TEST(Hostile, DeeplyNestedArraysAreRejected) {
  const std::string pdf = MakePdfFromObjects({
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids " + std::string(100000, '[') + " /Count 1 >>",
  });
  EXPECT_EQ(Read(pdf).verdict, Verdict::kDamaged);
  EXPECT_LT(CountPdfBytes(pdf), 1);
}

TEST(Hostile, PrevLoopsEnd) {
  // The newest section points back at itself, and the object it lacks is nowhere.
  std::string pdf = MakePdfFromObjects({"<< /Type /Catalog /Pages 5 0 R >>"});
  const size_t xref = pdf.find("xref\n");
  pdf.insert(pdf.find(">>\nstartxref"), "/Prev " + std::to_string(xref) + " ");
  const CountResult r = Read(pdf);
  EXPECT_NE(r.verdict, Verdict::kCounted);
  EXPECT_LT(CountPdfBytes(pdf), 1);
}

TEST(Hostile, OffsetsPastTheEndAreDamageThatQpdfRepairs) {
  std::string pdf = MakePdf(3);
  const size_t entry = pdf.find(" 00000 n", pdf.find("xref")) - 10;
  pdf.replace(entry, 10, "9999999999");
  EXPECT_EQ(Read(pdf).verdict, Verdict::kDamaged);
  EXPECT_EQ(CountPdfBytes(pdf), 3);  // qpdf rebuilds the table from the objects
  std::string far = MakePdf(3);
  far.replace(far.rfind("startxref\n") + 10, std::string::npos, "18446744073709551615\n%%EOF\n");
  EXPECT_EQ(Read(far).verdict, Verdict::kDamaged);
}

TEST(Hostile, TruncatedFilesNeverGainPages) {
  test::PdfOptions o;
  o.pages = 4;
  o.xref = test::PdfOptions::Xref::kStream;
  o.object_streams = true;
  const std::string whole = test::MakePdfWith(o);
  for (size_t len = 0; len < whole.size(); len += 7) {
    const int32_t got = CountPdfBytes(whole.substr(0, len));
    EXPECT_LE(got, 4) << "truncated at " << len;
  }
}

TEST(Hostile, HeaderAfterTheFirstKilobyteIsNoHeader) {
  const std::string pdf = std::string(2000, 'x') + MakePdf(2);
  EXPECT_EQ(Read(pdf).verdict, Verdict::kNotPdf);
  EXPECT_EQ(Read(std::string(2000, 'x')).verdict, Verdict::kNotPdf);
  EXPECT_EQ(CountPdfBytes(std::string(5000, '\0')), FOLIOTALLY_NOT_PDF);
}

// Deflated data that inflates to `head` followed by `mib` MiB of zeros. Each MiB is
// flushed so that the compressed block for it is self-contained and can be repeated.
std::string Bomb(const std::string& head, int mib) {
  z_stream zs{};
  deflateInit(&zs, 9);
  std::string out(1 << 20, '\0');
  auto run = [&](const std::string& in, int flush) {
    std::string produced;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    do {
      zs.next_out = reinterpret_cast<Bytef*>(out.data());
      zs.avail_out = static_cast<uInt>(out.size());
      deflate(&zs, flush);
      produced.append(out.data(), out.size() - zs.avail_out);
    } while (zs.avail_out == 0);
    return produced;
  };
  std::string bomb = run(head, Z_FULL_FLUSH);
  const std::string block = run(std::string(1 << 20, '\0'), Z_FULL_FLUSH);
  for (int i = 0; i < mib; ++i) bomb += block;
  deflateEnd(&zs);
  return bomb;  // no end: the data simply runs out, as in a truncated stream
}

// A file whose catalog (object 2) lies in object stream 1 at `offset` after /First.
std::string FileWithObjectStream(const std::string& data, int first) {
  std::string pdf = "%PDF-1.5\n";
  const size_t stm = pdf.size();
  pdf += "1 0 obj\n<< /Type /ObjStm /N 1 /First " + std::to_string(first) +
         " /Filter /FlateDecode /Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
         "\nendstream\nendobj\n";
  const size_t xref = pdf.size();
  std::string rows;
  auto row = [&](int type, uint32_t a, uint16_t b) {
    rows += static_cast<char>(type);
    for (int s = 24; s >= 0; s -= 8) rows += static_cast<char>((a >> s) & 0xff);
    rows += static_cast<char>(b >> 8);
    rows += static_cast<char>(b & 0xff);
  };
  row(0, 0, 65535);
  row(1, static_cast<uint32_t>(stm), 0);
  row(2, 1, 0);
  row(1, static_cast<uint32_t>(xref), 0);
  pdf += "3 0 obj\n<< /Type /XRef /W [1 4 2] /Size 4 /Root 2 0 R /Length " +
         std::to_string(rows.size()) + " >>\nstream\n" + rows + "\nendstream\nendobj\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

TEST(Hostile, CompressionBombIsCutOff) {
  // The pair says object 2 starts 60 MiB in: the zeros before it are inflated, then the
  // object (more zeros, no end) is looked for until the stream limit stops it.
  const std::string head = "2 62914560      ";
  const CountResult r = Read(FileWithObjectStream(Bomb(head, 200), 16));
  EXPECT_EQ(r.verdict, Verdict::kDamaged);
  // An object placed beyond the limit is refused without inflating anything.
  const CountResult far = Read(FileWithObjectStream(Bomb("2 999999999     ", 1), 16));
  EXPECT_EQ(far.verdict, Verdict::kDamaged);
}

TEST(Hostile, ObjectInFrontOfABombIsReadWithoutTheRest) {
  // 100 MiB of zeros follow the catalog: more than a stream may decode, so only a reader
  // that inflates no further than the object it wants can count this file.
  const std::string catalog =
      "<< /Type /Catalog /Pages << /Type /Pages /Count 1 /Kids [<< /Type /Page >>] >> >>";
  const CountResult r = Read(FileWithObjectStream(Bomb("2 0 " + catalog + "    ", 100), 4));
  EXPECT_EQ(r.verdict, Verdict::kCounted);
  EXPECT_EQ(r.pages, 1);
}

std::string Regression(const std::string& name) {
  return test::ReadFileBytes(std::string(FOLIOTALLY_REGRESSIONS_DIR) + "/" + name);
}

TEST(Hostile, StatementsOutsideThePageTreeAreTrustedOnlyWhereTheyHold) {
  // Linearization parameters speak for the file only while it has its stated length: an
  // update appended since may have added or removed pages.
  const std::string linearized = Regression("damaged-encrypted-linearized.pdf");
  EXPECT_EQ(CountPdfBytes(linearized), 7);
  EXPECT_LT(CountPdfBytes(linearized + "\n% appended\n"), 0);
  // Page objects without any catalog count in a PDF file, not in bytes that only hold some.
  std::string loose = Regression("damaged-no-catalog.pdf");
  EXPECT_EQ(CountPdfBytes(loose), 2);
  loose.replace(0, 5, "%XYZ-");
  EXPECT_LE(CountPdfBytes(loose), 0);
}

class HostileFiles : public ::testing::Test {
 protected:
  test::TempDir dir_;
};

TEST_F(HostileFiles, ThingsThatAreNotRegularFilesAreRefusedAtOnce) {
  const std::string fifo = (dir_.path() / "x.pdf").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(GetFoliotally(fifo.c_str()), FOLIOTALLY_NOT_REGULAR);  // and does not block
  EXPECT_EQ(GetFoliotally(dir_.MakeFolder("folder.pdf").c_str()), FOLIOTALLY_NOT_REGULAR);
  EXPECT_EQ(GetFoliotally("/dev/null"), FOLIOTALLY_NOT_REGULAR);
  const std::string link = (dir_.path() / "dangling.pdf").string();
  ASSERT_EQ(::symlink("/nonexistent/target.pdf", link.c_str()), 0);
  EXPECT_EQ(GetFoliotally(link.c_str()), FOLIOTALLY_UNREADABLE);
}

TEST_F(HostileFiles, MissingEmptyAndNamelessFilesAreNegative) {
  EXPECT_EQ(GetFoliotally(""), FOLIOTALLY_UNREADABLE);
  EXPECT_EQ(GetFoliotally(nullptr), FOLIOTALLY_UNREADABLE);
  EXPECT_EQ(GetFoliotally((dir_.path() / "missing.pdf").c_str()), FOLIOTALLY_UNREADABLE);
  EXPECT_EQ(GetFoliotally(dir_.Write("empty.pdf", "").c_str()), FOLIOTALLY_NOT_PDF);
}

TEST_F(HostileFiles, RegularFilesAndLinksToThemAreCounted) {
  const auto file = dir_.Write("five.pdf", MakePdf(5));
  EXPECT_EQ(GetFoliotally(file.c_str()), 5);
  const std::string link = (dir_.path() / "link.pdf").string();
  ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
  EXPECT_EQ(GetFoliotally(link.c_str()), 5);
}

TEST_F(HostileFiles, HugeSparseFilesAnswerWithoutReadingThemThrough) {
  for (const std::string head : {"", "%PDF-1.7\n1 0 obj\n<< /Type /Catalog >>\nendobj\n"}) {
    const auto path = dir_.Write("sparse.pdf", head);
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);
    ::close(fd);
    EXPECT_LT(GetFoliotally(path.c_str()), 0);
  }
}

}  // namespace
}  // namespace foliotally::pdf
