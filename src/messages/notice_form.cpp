#include "messages/notice_form.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <array>

#include "errors/errors.h"
#include "messages/active_screen.h"
#include "messages/error_display.h"
#include "messages/notice_layout.h"

namespace foliotally {
namespace {

struct ButtonSpec {
  NoticeButton button;
  const char* name;
  const char* caption;
  NoticeResult result;
};

// Layout order of the buttons, with their object names, captions and results.
constexpr std::array<ButtonSpec, 11> kButtons{{
    {NoticeButton::Yes, "Yes", "&Yes", NoticeResult::Yes},
    {NoticeButton::No, "No", "&No", NoticeResult::No},
    {NoticeButton::OK, "OK", "OK", NoticeResult::OK},
    {NoticeButton::Cancel, "Cancel", "Cancel", NoticeResult::Cancel},
    {NoticeButton::Abort, "Abort", "&Abort", NoticeResult::Abort},
    {NoticeButton::Retry, "Retry", "&Retry", NoticeResult::Retry},
    {NoticeButton::Ignore, "Ignore", "&Ignore", NoticeResult::Ignore},
    {NoticeButton::All, "All", "&All", NoticeResult::All},
    {NoticeButton::NoToAll, "NoToAll", "N&o to All", NoticeResult::NoToAll},
    {NoticeButton::YesToAll, "YesToAll", "Yes to &All", NoticeResult::YesToAll},
    {NoticeButton::Help, "Help", "&Help", NoticeResult::None},
}};

bool WriteSystemClipboard(const QString& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  clipboard->setText(text);
  return clipboard->text() == text;
}

// The cancel button: Cancel, else No, else OK; the default button: OK, else Yes.
QPushButton* PickButton(TMessageForm& form, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (auto* b = form.findChild<QPushButton*>(name, Qt::FindDirectChildrenOnly)) return b;
  return nullptr;
}

}  // namespace

TMessageForm::TMessageForm(QWidget* parent) : QDialog(parent), clipboard_(WriteSystemClipboard) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setSizeGripEnabled(false);
}

NoticeResult TMessageForm::Result() const {
  const int r = result();
  return r == QDialog::Rejected ? NoticeResult::Cancel : static_cast<NoticeResult>(r);
}

QString TMessageForm::ClipboardText() const {
  const QString line = QString(27, QLatin1Char('-')) + QStringLiteral("\r\n");
  QString captions;
  for (const QPushButton* b : findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
    captions += QString(b->text()).remove(QLatin1Char('&')) + QStringLiteral("   ");
  const auto* message = findChild<QLabel*>("Message", Qt::FindDirectChildrenOnly);
  const QString text = message != nullptr ? message->text() : QString();
  return line + windowTitle() + QStringLiteral("\r\n") + line + text + QStringLiteral("\r\n") +
         line + captions + QStringLiteral("\r\n") + line;
}

void TMessageForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_C && event->modifiers() == Qt::ControlModifier) {
    CopyToClipboard();
    return;
  }
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    // Esc presses the cancel button, so it yields that button's result.
    if (auto* cancel = PickButton(*this, {"Cancel", "No", "OK"})) {
      cancel->click();
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

void TMessageForm::CopyToClipboard() {
  QApplication::beep();
  // The failure is reported here rather than thrown: a key handler must not let an error
  // run back into the toolkit.
  if (!clipboard_(ClipboardText()))
    ReportUnhandledError(EClipboardException("Cannot open clipboard"));
}

QFont MessageFont() { return QApplication::font("QMessageBox"); }

QString ApplicationTitle() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("Foliotally") : name;
}

std::unique_ptr<TMessageForm> BuildNoticeForm(const QString& text, NoticeKind kind,
                                              NoticeButtons buttons, const QFont& font) {
  auto form = std::make_unique<TMessageForm>();
  form->setFont(font);
  const QFontMetrics fm(font);
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const QSize letter_size = fm.size(Qt::TextSingleLine, letters);
  QScreen* screen = ActiveScreen();
  const QRect screen_rect = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);

  NoticeMetrics m;
  m.charWidth = letter_size.width() / 52;
  m.charHeight = letter_size.height();
  m.hasIcon = kind == NoticeKind::Error;
  m.screen = screen_rect;
  m.rightToLeft = QApplication::isRightToLeft();
  const QRect wrap_rect(0, 0, screen_rect.width() / 2, 0);
  m.text = fm.boundingRect(wrap_rect, Qt::TextWordWrap | Qt::TextExpandTabs | Qt::AlignLeft, text)
               .size();
  for (const ButtonSpec& button_spec : kButtons) {
    if (!buttons.testFlag(button_spec.button)) continue;
    ++m.buttonCount;
    const int width =
        fm.size(Qt::TextSingleLine | Qt::TextShowMnemonic, QString::fromLatin1(button_spec.caption))
            .width();
    m.widestCaption = std::max(m.widestCaption, width);
  }
  const NoticeLayout layout = ComputeNoticeLayout(m);

  form->setWindowTitle(kind == NoticeKind::Error ? QStringLiteral("Error") : ApplicationTitle());
  form->setFixedSize(layout.client);
  if (m.hasIcon) {
    auto* image = new QLabel(form.get());
    image->setObjectName("Image");
    const QIcon icon =
        form->style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, form.get());
    image->setPixmap(icon.pixmap(QSize(kNoticeIconSize, kNoticeIconSize)));
    image->setGeometry(layout.icon);
  }
  auto* message = new QLabel(form.get());
  message->setObjectName("Message");
  message->setTextFormat(Qt::PlainText);
  message->setWordWrap(true);
  message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  message->setText(text);
  message->setGeometry(layout.message);

  size_t next = 0;
  for (const ButtonSpec& button_spec : kButtons) {
    if (!buttons.testFlag(button_spec.button)) continue;
    auto* b = new QPushButton(QString::fromLatin1(button_spec.caption), form.get());
    b->setObjectName(button_spec.name);
    b->setGeometry(layout.buttons[next++]);
    b->setAutoDefault(false);
    TMessageForm* f = form.get();
    if (button_spec.result != NoticeResult::None)
      QObject::connect(b, &QPushButton::clicked, f,
                       [f, r = button_spec.result] { f->done(static_cast<int>(r)); });
  }
  if (QPushButton* def = PickButton(*form, {"OK", "Yes"})) {
    def->setDefault(true);
    def->setFocus();
  }
  form->move(layout.position);
  return form;
}

}  // namespace foliotally
