// The notice window: a small fixed-size dialog with an optional error icon, a word-wrapped
// message and a row of buttons, laid out in units of the message font.
#pragma once

#include <QDialog>
#include <QFlags>
#include <QFont>
#include <QString>
#include <functional>
#include <memory>

class QKeyEvent;

namespace foliotally {

enum class NoticeKind { Error, Plain };

// The buttons a notice can carry; they are always laid out in this order.
enum class NoticeButton : unsigned {
  Yes = 1u << 0,
  No = 1u << 1,
  OK = 1u << 2,
  Cancel = 1u << 3,
  Abort = 1u << 4,
  Retry = 1u << 5,
  Ignore = 1u << 6,
  All = 1u << 7,
  NoToAll = 1u << 8,
  YesToAll = 1u << 9,
  Help = 1u << 10,
};
Q_DECLARE_FLAGS(NoticeButtons, NoticeButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(NoticeButtons)

// What closed a notice. A close box or an application quit gives Cancel.
enum class NoticeResult {
  None = 0,
  OK = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7,
  All = 8,
  NoToAll = 9,
  YesToAll = 10,
};

// Puts text on the clipboard; false when the clipboard could not take it.
using ClipboardWriter = std::function<bool(const QString&)>;

class TMessageForm : public QDialog {
  Q_OBJECT
 public:
  explicit TMessageForm(QWidget* parent = nullptr);

  // The text Ctrl+C copies: caption, message and button captions between hyphen lines.
  QString ClipboardText() const;
  void SetClipboardWriter(ClipboardWriter writer) { clipboard_ = std::move(writer); }
  NoticeResult Result() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CopyToClipboard();
  ClipboardWriter clipboard_;
};

// The font message boxes use on this platform.
QFont MessageFont();
QString ApplicationTitle();

// A new, not yet shown notice window laid out for `text`.
std::unique_ptr<TMessageForm> BuildNoticeForm(const QString& text, NoticeKind kind,
                                              NoticeButtons buttons,
                                              const QFont& font = MessageFont());

}  // namespace foliotally
