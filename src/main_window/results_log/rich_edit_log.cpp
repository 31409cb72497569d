#include "main_window/results_log/rich_edit_log.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

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
  flushTimer_ = new QTimer(this);
  flushTimer_->setSingleShot(true);
  flushTimer_->setInterval(0);
  connect(flushTimer_, &QTimer::timeout, this, &TRichEditLog::FlushAppended);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(document(), &QTextDocument::contentsChanged, this, [this] {
    if (appending_) return;
    length_.reset();
    unsaved_ = true;
  });
}

std::size_t TRichEditLog::TextLength() const {
  if (!length_) length_ = EncodedLogSize(document()->toRawText()) + EncodedLogSize(appended_);
  return *length_;
}

int TRichEditLog::LogicalLineCount() const {
  const QTextDocument* doc = document();
  const int breaks = static_cast<int>(appended_.count(QChar::ParagraphSeparator));
  const bool last_empty = appended_.isEmpty() ? doc->lastBlock().length() <= 1
                                              : appended_.back() == QChar::ParagraphSeparator;
  return doc->blockCount() + breaks - (last_empty ? 1 : 0);
}

std::string TRichEditLog::LogText() const {
  return EncodeLogText(document()->toRawText()) + EncodeLogText(appended_);
}

void TRichEditLog::ClearLog() {
  flushTimer_->stop();
  appended_.clear();
  clear();
  length_ = 0;
  unsaved_ = false;
}

bool TRichEditLog::HasUnsavedText() const { return unsaved_ && TextLength() > 0; }

void TRichEditLog::MarkSaved() { unsaved_ = false; }

void TRichEditLog::AppendLogLine(const std::string& line) {
  const std::size_t length = TextLength();
  if (line.size() + 2 > RoomLeft()) throw EOutOfResources("RichEdit line insertion error");
  // The last line holds characters only after the user typed without a final break.
  const bool ends_with_break = appended_.isEmpty() ? document()->lastBlock().length() <= 1
                                                   : appended_.back() == QChar::ParagraphSeparator;
  const QString text = DecodeLogBytes(line);
  // Undoing an earlier user edit could otherwise push the text past its capacity.
  if (appended_.isEmpty()) document()->clearUndoRedoStacks();
  if (ends_with_break)
    appended_ += text + QChar::ParagraphSeparator;
  else
    appended_ += QChar::ParagraphSeparator + text;
  length_ = length + line.size() + 2;
  unsaved_ = true;
  // The caret goes to the end now, the selection is dropped; the text put at the end
  // later carries the caret along.
  const QTextCursor caret = textCursor();
  if (caret.hasSelection() || !caret.atEnd()) moveCursor(QTextCursor::End);
  if (!flushTimer_->isActive()) flushTimer_->start();
}

void TRichEditLog::FlushAppended() {
  flushTimer_->stop();
  if (appended_.isEmpty()) return;
  // A selection the user made since the last append ends, at the latest, where the text
  // ends now; it must not grow over lines the user has not seen.
  const int anchor = textCursor().anchor();
  const int position = textCursor().position();
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  appending_ = true;
  cursor.insertText(appended_);
  appending_ = false;
  appended_.clear();
  if (anchor != position) {
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
  } else if (textCursor().atEnd()) {
    ensureCursorVisible();
  }
  document()->clearUndoRedoStacks();  // appends are not the user's to undo
}

std::size_t TRichEditLog::RoomLeft(std::size_t replaced) const {
  // The limit may have been lowered below what the log already holds.
  const std::size_t kept = TextLength() - std::min(replaced, TextLength());
  return kept < Capacity() ? Capacity() - kept : 0;
}

std::size_t TRichEditLog::RoomForReplacingSelection() const {
  return RoomLeft(EncodedLogSize(textCursor().selectedText()));
}

void TRichEditLog::contextMenuEvent(QContextMenuEvent* event) {
  FlushAppended();
  QPlainTextEdit::contextMenuEvent(event);
}

void TRichEditLog::keyPressEvent(QKeyEvent* event) {
  FlushAppended();
  const bool is_break = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const QString text = event->text();
  const bool inserts =
      is_break || (!text.isEmpty() && (text.at(0).isPrint() || text.at(0) == QLatin1Char('\t')));
  if (!isReadOnly() && inserts && !(event->modifiers() & Qt::ControlModifier)) {
    const std::size_t size = is_break ? 2 : EncodedLogSize(text);
    if (size > RoomForReplacingSelection()) {
      QApplication::beep();
      event->accept();
      return;
    }
    if (is_break && (event->modifiers() & Qt::ShiftModifier)) {
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
  FlushAppended();
  if (!event->commitString().isEmpty() &&
      EncodedLogSize(event->commitString()) > RoomForReplacingSelection()) {
    QApplication::beep();
    event->setCommitString(QString());
  }
  QPlainTextEdit::inputMethodEvent(event);
}

void TRichEditLog::insertFromMimeData(const QMimeData* source) {
  FlushAppended();
  if (source == nullptr || !source->hasText() || isReadOnly()) return;
  const QString text = WithPlainBreaks(source->text());
  const QString fits = PrefixThatFits(text, RoomForReplacingSelection());
  if (fits.size() < text.size()) QApplication::beep();
  QTextCursor cursor = textCursor();
  cursor.insertText(fits);
  setTextCursor(cursor);
}

}  // namespace foliotally
