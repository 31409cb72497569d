// The results log: a plain-text area whose text is 8-bit with CR LF line breaks, held to a
// capacity (a line break counts two). Lines are appended at the end; the user may edit the
// text, and the edits are part of what is saved.
//
// Appended lines are part of the text at once (LogText, TextLength, LogicalLineCount) but
// reach the text area together, at the next turn of the event loop or before the user's
// next key, paste or menu: putting each line into the area on its own costs a layout per
// line, and a count of many files appends lines far faster than anyone can read them.
#pragma once

#include <QPlainTextEdit>
#include <cstddef>
#include <optional>
#include <string>

class QContextMenuEvent;
class QKeyEvent;
class QTimer;
class QInputMethodEvent;
class QMimeData;

namespace foliotally {

class TRichEditLog : public QPlainTextEdit {
  Q_OBJECT
 public:
  // The capacity a MaxLength of 0 selects: not a limit a user should ever meet, only a
  // safeguard against exhausting memory, with room for a million log lines.
  static constexpr std::size_t kDefaultCapacity = std::size_t{64} << 20;

  explicit TRichEditLog(QWidget* parent = nullptr);

  // The log's own limit in characters; 0 (the default) keeps kDefaultCapacity.
  std::size_t MaxLength() const { return max_length_; }
  void SetMaxLength(std::size_t length) { max_length_ = length; }
  std::size_t Capacity() const { return max_length_ == 0 ? kDefaultCapacity : max_length_; }

  // Appends one line at the end and moves the caret there. After text that ends without
  // a line break (typed by the user) the line is put after a CR LF instead of before one.
  // When the whole insertion does not fit, nothing of it is inserted and
  // EOutOfResources("RichEdit line insertion error") is raised.
  void AppendLogLine(const std::string& line);
  void ClearLog();
  // True while the log holds text that was appended or typed since it was last saved (or
  // cleared); an empty log has nothing to lose.
  bool HasUnsavedText() const;
  // The whole text as it is now has been written to a file.
  void MarkSaved();
  // The whole text as saved: the appended bytes, CR LF between lines.
  std::string LogText() const;
  // Number of lines, not counting an empty last line.
  int LogicalLineCount() const;
  // Length of LogText() in characters.
  std::size_t TextLength() const;

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  // Room left when `replaced` characters of the text give way to new ones.
  std::size_t RoomLeft(std::size_t replaced = 0) const;
  // Room left when the current selection is replaced.
  std::size_t RoomForReplacingSelection() const;
  // Puts the lines appended since the last time into the text area, the caret after them.
  void FlushAppended();

  mutable std::optional<std::size_t> length_;  // cached TextLength(); reset by edits
  bool appending_ = false;
  bool unsaved_ = false;
  // Lines appended but not yet in the text area, as area text (paragraph separators
  // between lines), to be put at its end.
  QString appended_;
  QTimer* flushTimer_ = nullptr;
  std::size_t max_length_ = 0;
};

}  // namespace foliotally
