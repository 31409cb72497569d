// The results log's text model: appending, line counting, exact bytes and the capacity,
// for appends as well as for typing and pasting.
#include "main_window/results_log/rich_edit_log.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextCursor>

#include "errors/errors.h"

namespace foliotally {
namespace {

const char kExample[] = "C:\\Docs\\a.pdf;12\r\nC:\\Docs\\b.pdf;3\r\n";

// Fills the log with appended lines up to exactly `length` characters.
void FillTo(TRichEditLog& log, std::size_t length) {
  const std::string line(998, 'x');  // 1000 with its break
  while (log.TextLength() + 1000 <= length) log.AppendLogLine(line);
  const std::size_t rest = length - log.TextLength();
  if (rest >= 2) log.AppendLogLine(std::string(rest - 2, 'y'));
  ASSERT_EQ(log.TextLength(), length);
}

void TypeAtEnd(TRichEditLog& log, const QString& keys) {
  log.show();
  log.setFocus();
  log.moveCursor(QTextCursor::End);
  QTest::keyClicks(&log, keys);
}

TEST(RichEditLog, AppendedLinesGiveTheExampleBytes) {
  TRichEditLog log;
  EXPECT_EQ(log.LogicalLineCount(), 0);
  log.AppendLogLine("C:\\Docs\\a.pdf;12");
  EXPECT_EQ(log.LogicalLineCount(), 1);
  log.AppendLogLine("C:\\Docs\\b.pdf;3");
  EXPECT_EQ(log.LogText(), kExample);
  EXPECT_EQ(log.TextLength(), 35u);
  EXPECT_EQ(log.LogicalLineCount(), 2);
  EXPECT_EQ(log.textCursor().position(), log.document()->characterCount() - 1);
  EXPECT_EQ(log.lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST(RichEditLog, AppendAfterTypedTextPutsTheBreakFirst) {
  TRichEditLog log;
  log.AppendLogLine("/docs/a.pdf;12");
  TypeAtEnd(log, "xyz");
  EXPECT_EQ(log.LogicalLineCount(), 2);
  log.AppendLogLine("/docs/b.pdf;3");
  EXPECT_EQ(log.LogText(), "/docs/a.pdf;12\r\nxyz\r\n/docs/b.pdf;3");
  EXPECT_EQ(log.LogicalLineCount(), 3);
  log.AppendLogLine("/docs/c.pdf;1");
  EXPECT_EQ(log.LogText(), "/docs/a.pdf;12\r\nxyz\r\n/docs/b.pdf;3\r\n/docs/c.pdf;1");
}

TEST(RichEditLog, AppendMovesTheCaretToTheEndAndDropsTheSelection) {
  TRichEditLog log;
  log.AppendLogLine("a;1");
  log.AppendLogLine("b;2");
  log.selectAll();
  log.AppendLogLine("c;3");
  EXPECT_FALSE(log.textCursor().hasSelection());
  EXPECT_TRUE(log.textCursor().atEnd());
  EXPECT_EQ(log.LogText(), "a;1\r\nb;2\r\nc;3\r\n");
}

TEST(RichEditLog, AnyBytesComeBackExactly) {
  TRichEditLog log;
  const std::string odd[] = {
      "/tmp/\xff\xfe latin1 \xe9.pdf;3",  // not UTF-8
      "/tmp/cr\rlf\nin name.pdf;1",       // breaks inside a name stay inside the line
      "/tmp/nbsp\xc2\xa0sep\xe2\x80\xa8para\xe2\x80\xa9.pdf;2",
      "/tmp/\xf0\x9f\x93\x84 \xe6\x96\x87.pdf;4",
      "/tmp/cut\xe2\x80.pdf;5",
  };
  std::string expected;
  for (const std::string& line : odd) {
    log.AppendLogLine(line);
    expected += line + "\r\n";
  }
  EXPECT_EQ(log.LogText(), expected);
  EXPECT_EQ(log.TextLength(), expected.size());
  EXPECT_EQ(log.LogicalLineCount(), 5);
}

TEST(RichEditLog, ClearEmptiesTheLog) {
  TRichEditLog log;
  log.AppendLogLine("a;1");
  log.ClearLog();
  EXPECT_EQ(log.LogText(), "");
  EXPECT_EQ(log.TextLength(), 0u);
  EXPECT_EQ(log.LogicalLineCount(), 0);
}

TEST(RichEditLogCapacity, AppendUpToTheLimitThenFailWithEarlierTextIntact) {
  TRichEditLog log;
  FillTo(log, TRichEditLog::kCapacity - 10);
  log.AppendLogLine("/a/b.pdf");  // 8 + 2: exactly full
  EXPECT_EQ(log.TextLength(), TRichEditLog::kCapacity);
  const std::string before = log.LogText();
  try {
    log.AppendLogLine("z");
    FAIL() << "no insertion error";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "RichEdit line insertion error");
  }
  EXPECT_EQ(log.LogText(), before);
  EXPECT_EQ(log.TextLength(), TRichEditLog::kCapacity);
}

TEST(RichEditLogCapacity, ALineThatOnlyPartlyFitsLeavesNothing) {
  TRichEditLog log;
  FillTo(log, TRichEditLog::kCapacity - 5);
  const std::string before = log.LogText();
  EXPECT_THROW(log.AppendLogLine("abcd"), EOutOfResources);  // needs 6
  EXPECT_EQ(log.LogText(), before);
  log.AppendLogLine("abc");  // needs 5
  EXPECT_EQ(log.TextLength(), TRichEditLog::kCapacity);
}

TEST(RichEditLogCapacity, CountsMultiByteCharactersAsTheirBytes) {
  TRichEditLog log;
  FillTo(log, TRichEditLog::kCapacity - 4);
  EXPECT_THROW(log.AppendLogLine("\xe6\x96\x87"), EOutOfResources);  // 3 + 2
  log.AppendLogLine("\xc3\xa9");
  EXPECT_EQ(log.TextLength(), TRichEditLog::kCapacity);
}

TEST(RichEditLogCapacity, TypingStopsAtTheLimit) {
  TRichEditLog log;
  FillTo(log, TRichEditLog::kCapacity - 3);
  TypeAtEnd(log, "abcd");
  EXPECT_EQ(log.TextLength(), TRichEditLog::kCapacity);
  EXPECT_EQ(log.LogText().substr(log.LogText().size() - 5), "\r\nabc");
  QTest::keyClick(&log, Qt::Key_Return);
  EXPECT_EQ(log.TextLength(), TRichEditLog::kCapacity);
  // Replacing a selected character with one still works when full.
  QTest::keyClick(&log, Qt::Key_Left, Qt::ShiftModifier);
  QTest::keyClicks(&log, "Z");
  EXPECT_EQ(log.LogText().substr(log.LogText().size() - 3), "abZ");
  QTest::keyClick(&log, Qt::Key_Backspace);
  QTest::keyClick(&log, Qt::Key_Return);  // the freed character is not room for a break
  EXPECT_EQ(log.LogText().substr(log.LogText().size() - 2), "ab");
}

TEST(RichEditLogCapacity, PasteIsCutToWhatFits) {
  TRichEditLog log;
  FillTo(log, TRichEditLog::kCapacity - 6);
  log.show();
  log.moveCursor(QTextCursor::End);
  QApplication::clipboard()->setText("ab\r\ncd\r\nef");
  log.paste();
  EXPECT_EQ(log.TextLength(), TRichEditLog::kCapacity);
  EXPECT_EQ(log.LogText().substr(log.LogText().size() - 6), "ab\r\ncd");
  EXPECT_EQ(log.LogicalLineCount(), 68);  // 66 filled lines, then "ab" and "cd"
}

TEST(RichEditLog, ShiftEnterTypesAnOrdinaryBreak) {
  TRichEditLog log;
  TypeAtEnd(log, "a");
  QTest::keyClick(&log, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClicks(&log, "b");
  EXPECT_EQ(log.LogText(), "a\r\nb");
  EXPECT_EQ(log.LogicalLineCount(), 2);
}

TEST(RichEditLog, UndoCannotBringBackTextPastTheLimit) {
  TRichEditLog log;
  log.AppendLogLine(std::string(30000, 'a'));
  TypeAtEnd(log, "");
  log.selectAll();
  QTest::keyClick(&log, Qt::Key_Delete);
  FillTo(log, TRichEditLog::kCapacity);
  log.undo();
  EXPECT_LE(log.TextLength(), TRichEditLog::kCapacity);
}

}  // namespace
}  // namespace foliotally
