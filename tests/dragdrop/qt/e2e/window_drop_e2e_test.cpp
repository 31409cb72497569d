// Real drags and pastes between processes onto the whole window: a drop during "Count
// All", a file dropped on the log and on the file list, addresses with a host part or with
// bytes that are not UTF-8, and pastes of a file manager's copied files, a typed path and
// an address holding a NUL. Run under xvfb-run with no window manager.
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <iostream>

#include "dragdrop/qt/e2e/drop_e2e_fixture.h"

namespace foliotally::test {
namespace {

// A PDF of `pages` pages, with a correct cross-reference table.
QByteArray PdfOf(int pages) {
  QByteArray pdf = "%PDF-1.4\n";
  QList<qsizetype> offsets;
  const auto object = [&](const QByteArray& body) {
    offsets.append(pdf.size());
    pdf += QByteArray::number(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  QByteArray kids;
  for (int i = 0; i < pages; ++i) kids += QByteArray::number(3 + i) + " 0 R ";
  object("<< /Type /Catalog /Pages 2 0 R >>");
  object("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>");
  for (int i = 0; i < pages; ++i) object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
  const qsizetype xref = pdf.size();
  pdf += "xref\n0 " + QByteArray::number(offsets.size() + 1) + "\n0000000000 65535 f \n";
  for (qsizetype at : offsets)
    pdf += QByteArray::number(at).rightJustified(10, '0') + " 00000 n \n";
  pdf += "trailer\n<< /Size " + QByteArray::number(offsets.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
  return pdf;
}

class WindowDropE2E : public DropE2E {
 protected:
  void WritePdf(const QString& relative, int pages) {
    QFile file(root.filePath(relative));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PdfOf(pages));
  }

  bool WaitForLine(const QString& wanted, int timeout_ms = 15000) {
    return probe->WaitFor([&](const QString& l) { return l == wanted; }, timeout_ms).has_value();
  }

  std::string LastFolder() {
    const std::string said = probe->Transcript();
    const size_t at = said.rfind("\nfolder ");
    if (at == std::string::npos) return {};
    return said.substr(at + 1, said.find('\n', at + 1) - at - 1);
  }

  QString LogText() {
    probe->Write("log");
    return probe->WaitFor([](const QString& l) { return l.startsWith("log "); }).value_or("?");
  }

  // A 10 MB text/uri-list whose first address is the folder Docs; gives its file's name.
  QString WriteTenMegabyteList() {
    QFile list(root.filePath("list.txt"));
    EXPECT_TRUE(list.open(QIODevice::WriteOnly));
    list.write((Uri("Docs") + "\r\n").toUtf8());
    const QByteArray line = (Uri("Scans") + "/a-rather-long-file-name-%1.pdf\r\n").toUtf8();
    for (int i = 0; list.size() < 10 * 1024 * 1024; ++i) list.write(QString(line).arg(i).toUtf8());
    return list.fileName();
  }

  // The longest time the window went without handling events since it was last asked.
  std::string LongestGap() {
    probe->Write("gap");
    const auto gap = probe->WaitFor([](const QString& l) { return l.startsWith("gap "); });
    EXPECT_TRUE(gap.has_value()) << probe->Transcript();
    return gap.value_or("gap ?").mid(4).toStdString();
  }

  // Puts `args` (--clip ...) on the clipboard through the drag source and pastes in the
  // window as Ctrl+V does.
  void PasteFrom(const QStringList& args) {
    StartSource(args);
    ASSERT_TRUE(source->WaitFor([](const QString& l) { return l == "clipboard"; }))
        << source->Transcript();
    probe->Write("paste");
  }
};

TEST_F(WindowDropE2E, DropDuringCountAllIsRefusedAndTheSourceIsToldNone) {
  for (int i = 0; i < 3; ++i) {
    QDir(root.path()).mkpath(QString("Tree/F%1").arg(i));
    WritePdf(QString("Tree/F%1/a.pdf").arg(i), 2);
  }
  const QString hold = root.filePath("hold");
  QFile(hold).open(QIODevice::WriteOnly);
  StartTarget(root.filePath("Tree"), {"--hold", hold});
  probe->Write("count");
  ASSERT_TRUE(probe->WaitFor([](const QString& l) { return l.startsWith("status Counting"); }))
      << probe->Transcript();
  StartSource({"--uri", Uri("Docs")});
  DragTo(ListCentre());
  EXPECT_TRUE(TargetSaid("answer over 0 none")) << probe->Transcript();
  EXPECT_EQ(Release(), "none");
  QFile::remove(hold);
  EXPECT_TRUE(
      probe->WaitFor([](const QString& l) { return l.startsWith("status Counted"); }, 60000))
      << probe->Transcript();
  Settle();
  EXPECT_FALSE(TargetSaid("folder " + Path("Docs"))) << probe->Transcript();
  EXPECT_EQ(LastFolder(), ("folder " + Path("Tree")).toStdString());
}

TEST_F(WindowDropE2E, FileDroppedOnTheLogIsNotWrittenIntoItAndEntersItsFolderAsCopy) {
  StartTarget(root.path());
  const QString before = LogText();
  StartSource({"--uri", Uri("Scans/a.pdf"), "--text", root.filePath("Scans/a.pdf")});
  DragTo(areas["log"].center());
  EXPECT_EQ(Release(), "copy");
  EXPECT_TRUE(WaitForLine("folder " + Path("Scans"))) << probe->Transcript();
  EXPECT_EQ(LogText(), before);
}

// Text is still the log's own: the window takes no text, and leaves it to the editor.
TEST_F(WindowDropE2E, TextDroppedOnTheLogIsInsertedThere) {
  StartTarget(root.path());
  StartSource({"--text", "note from elsewhere", "--actions", "copy"});
  DragTo(areas["log"].center());
  EXPECT_EQ(Release(), "copy");
  EXPECT_NE(LogText().indexOf("note from elsewhere"), -1) << probe->Transcript();
  EXPECT_EQ(FolderLines(), 1) << probe->Transcript();
}

TEST_F(WindowDropE2E, PdfDroppedOnTheFileListIsSelectedAndItsCountShown) {
  WritePdf("Scans/b.pdf", 3);
  StartTarget(root.path());
  StartSource({"--uri", Uri("Scans/b.pdf")});
  DragTo(areas["files"].center());
  EXPECT_EQ(Release(), "copy");
  EXPECT_TRUE(WaitForLine("folder " + Path("Scans"))) << probe->Transcript();
  EXPECT_TRUE(WaitForLine("status b.pdf has 3 pages")) << probe->Transcript();
}

TEST_F(WindowDropE2E, LocalhostAndThisMachinesNameAreLocal) {
  char host[256] = {};
  ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
  StartTarget(root.path());
  StartSource({"--data", "text/uri-list=file://localhost" + Path("Docs") + "\r\nfile://" + host +
                             Path("Scans") + "\r\n"});
  DragTo(ListCentre());
  EXPECT_EQ(Release(), "copy");
  EXPECT_TRUE(WaitForLine("folder " + Path("Docs"))) << probe->Transcript();
  // The machine's own name is local too: pasted alone, it enters its folder.
  PasteFrom({"--clip", QString("text/uri-list=file://") + host + Path("Scans")});
  EXPECT_TRUE(WaitForLine("folder " + Path("Scans"))) << probe->Transcript();
}

TEST_F(WindowDropE2E, AnotherMachinesFolderIsNotTakenForALocalOne) {
  StartTarget(root.path());
  // file://tmp/x/Docs names the folder /x/Docs on the machine "tmp".
  StartSource({"--data", "text/uri-list=file:/" + Path("Docs") + "\r\n"});
  DragTo(ListCentre());
  EXPECT_EQ(Release(), "none");
  Settle();
  EXPECT_EQ(FolderLines(), 1) << probe->Transcript();
}

TEST_F(WindowDropE2E, FolderWhoseNameIsNotUtf8IsEnteredByItsBytes) {
  const QByteArray latin1 = QFile::encodeName(Path("")) + "/caf\xE9";
  ASSERT_EQ(::mkdir(latin1.constData(), 0755), 0);
  // The temporary folder cannot remove a name that is not UTF-8: the test removes its own.
  const std::unique_ptr<const char, void (*)(const char*)> remove_latin1(
      latin1.constData(), [](const char* path) { ::rmdir(path); });
  StartTarget(root.path());
  StartSource({"--data", "text/uri-list=file://" + Path("") + "/caf%E9\r\n"});
  DragTo(ListCentre());
  EXPECT_EQ(Release(), "copy");
  EXPECT_TRUE(WaitForLine("folder " + Path("") + "/caf\\xE9")) << probe->Transcript();
}

TEST_F(WindowDropE2E, PastedAddressHoldingANulIsRefusedNotCut) {
  StartTarget(root.path());
  PasteFrom({"--clip", "text/uri-list=file://" + Path("Docs") + "%00/Gone"});
  Settle();
  EXPECT_EQ(FolderLines(), 1) << probe->Transcript();
  EXPECT_FALSE(TargetSaid("window ")) << probe->Transcript();
}

// The same for a path pasted as text, and for a file manager's copied files.
TEST_F(WindowDropE2E, PastedPathHoldingARawNulIsRefusedNotCut) {
  QFile text(root.filePath("text.txt"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write((Path("Docs") + QChar(0) + "/Gone").toUtf8());
  text.close();
  StartTarget(root.path());
  PasteFrom({"--clip-file", "text/plain=" + text.fileName()});
  Settle();
  PasteFrom({"--clip", "x-special/gnome-copied-files=copy\n" + Uri("Docs") + "%00/Gone"});
  Settle();
  EXPECT_EQ(FolderLines(), 1) << probe->Transcript();
}

TEST_F(WindowDropE2E, FileManagersCopiedFilesAloneArePasted) {
  StartTarget(root.path());
  PasteFrom({"--clip", "x-special/gnome-copied-files=copy\n" + Uri("Docs")});
  EXPECT_TRUE(WaitForLine("folder " + Path("Docs"))) << probe->Transcript();
}

TEST_F(WindowDropE2E, PastedPathOfAFileEntersItsFolderAndShowsItsCount) {
  WritePdf("Scans/b.pdf", 3);
  StartTarget(root.path());
  PasteFrom({"--clip", "text/plain=" + Path("Scans") + "/b.pdf\n"});
  EXPECT_TRUE(WaitForLine("folder " + Path("Scans"))) << probe->Transcript();
  EXPECT_TRUE(WaitForLine("status b.pdf has 3 pages")) << probe->Transcript();
}

// A measurement, not a check of speed: the longest time the window went without handling
// events while a 10 MB list was pasted, written to the test's output.
TEST_F(WindowDropE2E, MeasureTheLongestStallOfATenMegabytePaste) {
  const QString list = WriteTenMegabyteList();
  StartTarget(root.path());
  StartSource({"--clip-file", "text/uri-list=" + list});
  ASSERT_TRUE(source->WaitFor([](const QString& l) { return l == "clipboard"; }));
  Settle();
  LongestGap();
  QElapsedTimer clock;
  clock.start();
  probe->Write("paste");
  EXPECT_TRUE(WaitForLine("folder " + Path("Docs"), 60000)) << probe->Transcript();
  const qint64 paste_ms = clock.elapsed();
  Settle();
  const std::string gap_ms = LongestGap();
  std::cout << "10 MB paste: entered after " << paste_ms << " ms; longest stall " << gap_ms
            << " ms\n";
  RecordProperty("longest_stall_ms", gap_ms);
}

// The same for a 10 MB list dragged onto the folder list: the longest stall while the drag
// enters and moves over the window, and while it is dropped.
TEST_F(WindowDropE2E, MeasureTheLongestStallOfATenMegabyteDrag) {
  const QString list = WriteTenMegabyteList();
  StartTarget(root.path());
  StartSource({"--data-file", "text/uri-list=" + list});
  Settle();
  LongestGap();
  DragTo(ListCentre());
  Settle();
  const std::string over_ms = LongestGap();
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(Release(), "copy");
  EXPECT_TRUE(WaitForLine("folder " + Path("Docs"), 60000)) << probe->Transcript();
  const qint64 drop_ms = clock.elapsed();
  Settle();
  const std::string dropped_ms = LongestGap();
  std::cout << "10 MB drag: longest stall while over the window " << over_ms
            << " ms; dropped and entered after " << drop_ms << " ms, longest stall " << dropped_ms
            << " ms\n";
  RecordProperty("longest_stall_over_ms", over_ms);
  RecordProperty("longest_stall_drop_ms", dropped_ms);
}

}  // namespace
}  // namespace foliotally::test

namespace foliotally::test {
namespace {

// Files selected in the file list dragged onto another program: it is offered copy only,
// and gets their addresses.
TEST_F(WindowDropE2E, SelectedFileDraggedOutIsOfferedAsACopyOfItsAddress) {
  WritePdf("Scans/b.pdf", 3);
  StartTarget(root.filePath("Scans"));
  StartSource({"--accept", "1"}, "700,600");
  // A press on the file's row selects it; the drag starts from there.
  const QPoint row = areas["files"].topLeft() + QPoint(30, 6 + 13);
  MoveTo(row);
  Xdo({"mousedown", "1"});
  const auto is_offer = [](const QString& l) { return l.startsWith("offered "); };
  for (int step = 1; step <= 20; ++step) MoveTo(row + (sourceCentre - row) * step / 20);
  // The pointer rests on the other program until it has been offered the drag.
  const std::optional<QString> offered = source->WaitFor(is_offer);
  ASSERT_TRUE(offered.has_value()) << source->Transcript() << probe->Transcript();
  Xdo({"mouseup", "1"});
  const auto dropped = source->WaitFor([](const QString& l) { return l.startsWith("dropped "); });
  ASSERT_TRUE(dropped.has_value()) << source->Transcript() << probe->Transcript();
  EXPECT_EQ(*offered, "offered copy");
  EXPECT_EQ(*dropped, "dropped copy " + Uri("Scans/b.pdf"));
}

}  // namespace
}  // namespace foliotally::test
