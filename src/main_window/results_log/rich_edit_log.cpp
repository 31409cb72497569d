#include "main_window/results_log/rich_edit_log.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "errors/errors.h"
#include "main_window/results_log/log_text_codec.h"

namespace foliotally {
namespace {

// Line breaks of pasted text as the one break the document knows.
QString WithPlainBreaks(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  text.replace(QChar(0x2028), QLatin1Char('\n'));
  text.replace(QChar(0x2029), QLatin1Char('\n'));
  return text;
}

// The longest prefix of `text` (breaks as "\n") whose log length is at most `room`.
QString PrefixThatFits(const QString& text, std::size_t room) {
  std::size_t used = 0;
  qsizetype end = 0;
  while (end < text.size()) {
    const qsizetype step =
        text[end].isHighSurrogate() && end + 1 < text.size() && text[end + 1].isLowSurrogate() ? 2
                                                                                               : 1;
    const QStringView unit = QStringView(text).mid(end, step);
    const std::size_t size = unit == u"\n" ? 2 : EncodedLogSize(unit);
    if (used + size > room) break;
    used += size;
    end += step;
  }
  return text.left(end);
}

}  // namespace

TRichEditLog::TRichEditLog(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(document(), &QTextDocument::contentsChanged, this, [this] {
    if (!appending_) length_.reset();
  });
}

std::size_t TRichEditLog::TextLength() const {
  if (!length_) length_ = EncodedLogSize(document()->toRawText());
  return *length_;
}

int TRichEditLog::LogicalLineCount() const {
  const QTextDocument* doc = document();
  const bool lastEmpty = doc->lastBlock().length() <= 1;
  return doc->blockCount() - (lastEmpty ? 1 : 0);
}

std::string TRichEditLog::LogText() const { return EncodeLogText(document()->toRawText()); }

void TRichEditLog::ClearLog() {
  clear();
  length_ = 0;
}

void TRichEditLog::AppendLogLine(const std::string& line) {
  const std::size_t length = TextLength();
  if (line.size() + 2 > kCapacity - length) throw EOutOfResources("RichEdit line insertion error");
  // The last line holds characters only after the user typed without a final break.
  const bool endsWithBreak = document()->lastBlock().length() <= 1;
  const QString text = DecodeLogBytes(line);

  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  appending_ = true;
  cursor.beginEditBlock();
  if (endsWithBreak) {
    cursor.insertText(text);
    cursor.insertBlock();
  } else {
    cursor.insertBlock();
    cursor.insertText(text);
  }
  cursor.endEditBlock();
  appending_ = false;
  length_ = length + line.size() + 2;
  setTextCursor(cursor);
  // Undoing an earlier user edit could otherwise push the text past its capacity.
  document()->clearUndoRedoStacks();
}

std::size_t TRichEditLog::RoomForReplacingSelection() const {
  const std::size_t selected = EncodedLogSize(textCursor().selectedText());
  return kCapacity - (TextLength() - selected);
}

void TRichEditLog::keyPressEvent(QKeyEvent* event) {
  const bool isBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const QString text = event->text();
  const bool inserts =
      isBreak || (!text.isEmpty() && (text.at(0).isPrint() || text.at(0) == QLatin1Char('\t')));
  if (!isReadOnly() && inserts && !(event->modifiers() & Qt::ControlModifier)) {
    const std::size_t size = isBreak ? 2 : EncodedLogSize(text);
    if (size > RoomForReplacingSelection()) {
      QApplication::beep();
      event->accept();
      return;
    }
    if (isBreak && (event->modifiers() & Qt::ShiftModifier)) {
      // Shift+Enter would put a soft line separator in the text; the log knows one break.
      QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                      event->text(), event->isAutoRepeat(), event->count());
      QPlainTextEdit::keyPressEvent(&plain);
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TRichEditLog::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty() &&
      EncodedLogSize(event->commitString()) > RoomForReplacingSelection()) {
    QApplication::beep();
    event->setCommitString(QString());
  }
  QPlainTextEdit::inputMethodEvent(event);
}

void TRichEditLog::insertFromMimeData(const QMimeData* source) {
  if (source == nullptr || !source->hasText() || isReadOnly()) return;
  const QString text = WithPlainBreaks(source->text());
  const QString fits = PrefixThatFits(text, RoomForReplacingSelection());
  if (fits.size() < text.size()) QApplication::beep();
  QTextCursor cursor = textCursor();
  cursor.insertText(fits);
  setTextCursor(cursor);
}

}  // namespace foliotally
