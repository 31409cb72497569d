// Notice windows as built and shown: layout in a fixed font, wrapping, the buttons and
// their keys, and copying a notice to the clipboard.
#include "messages/notice_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "messages/notice_box.h"
#include "messages/notice_layout.h"
#include "support/modal_answerer.h"

namespace foliotally {
namespace {

using test::ModalAnswerer;

QFont FixedFont() {
  QFont font("DejaVu Sans");
  font.setPixelSize(12);
  return font;
}

struct Units {
  int w, h;
  int H(int n) const { return HorizontalUnits(n, w); }
  int V(int n) const { return VerticalUnits(n, h); }
};

Units UnitsOf(const QFont& font) {
  const QSize s = QFontMetrics(font).size(Qt::TextSingleLine,
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {s.width() / 52, s.height()};
}

int ScreenWidth() { return QGuiApplication::primaryScreen()->geometry().width(); }

TEST(NoticeForm, ErrorBoxLaidOutInUnitsOfItsFont) {
  const QFont font = FixedFont();
  const Units u = UnitsOf(font);
  auto form = BuildNoticeForm("Invalid pdf file.", NoticeKind::Error, NoticeButton::OK, font);
  EXPECT_EQ(form->windowTitle(), "Error");
  auto* image = form->findChild<QLabel*>("Image");
  auto* message = form->findChild<QLabel*>("Message");
  auto* ok = form->findChild<QPushButton*>("OK");
  ASSERT_TRUE(image && message && ok);
  EXPECT_EQ(image->geometry(), QRect(u.H(8), u.V(8), 32, 32));
  EXPECT_FALSE(image->pixmap().isNull());
  EXPECT_EQ(message->text(), "Invalid pdf file.");
  EXPECT_TRUE(message->wordWrap());

  const QFontMetrics fm(font);
  const QSize text =
      fm.boundingRect(QRect(0, 0, ScreenWidth() / 2, 0), Qt::TextWordWrap, "Invalid pdf file.")
          .size();
  EXPECT_EQ(message->geometry(), QRect(QPoint(u.H(8) + 32 + u.H(10), u.V(8)), text));
  const int blockWidth = text.width() + u.H(10) + 32;
  const int blockHeight = std::max(text.height(), 32);
  const int buttonWidth = std::max(u.H(50), fm.horizontalAdvance("OK") + 8);
  const QSize client(std::max(blockWidth, buttonWidth) + 2 * u.H(8),
                     blockHeight + u.V(14) + u.V(10) + 2 * u.V(8));
  EXPECT_EQ(form->size(), client);
  EXPECT_EQ(form->minimumSize(), client);
  EXPECT_EQ(form->maximumSize(), client);
  EXPECT_EQ(ok->geometry(), QRect((client.width() - buttonWidth) / 2,
                                  blockHeight + u.V(8) + u.V(10), buttonWidth, u.V(14)));
  EXPECT_TRUE(ok->isDefault());
  const Qt::WindowFlags flags = form->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST(NoticeForm, PlainBoxWithOneShortWordIsAsWideAsItsButton) {
  const QFont font = FixedFont();
  const Units u = UnitsOf(font);
  auto form = BuildNoticeForm("Hi", NoticeKind::Plain, NoticeButton::OK, font);
  EXPECT_EQ(form->windowTitle(), "Foliotally");
  EXPECT_EQ(form->findChild<QLabel*>("Image"), nullptr);
  EXPECT_EQ(form->width(), u.H(50) + 2 * u.H(8));
  EXPECT_EQ(form->findChild<QLabel*>("Message")->x(), u.H(8));
}

TEST(NoticeForm, LongMessageWrapsWithinHalfTheScreen) {
  const QFont font = FixedFont();
  const QString text = QString("some words that go on ").repeated(40);
  auto form = BuildNoticeForm(text, NoticeKind::Plain, NoticeButton::OK, font);
  auto* message = form->findChild<QLabel*>("Message");
  EXPECT_LE(message->width(), ScreenWidth() / 2);
  EXPECT_GT(message->width(), ScreenWidth() / 2 - 200);
  EXPECT_GE(message->height(), 4 * QFontMetrics(font).height());
  EXPECT_GT(form->height(), message->height());
  EXPECT_EQ(message->text(), text);
}

TEST(NoticeForm, EmptyMessageStillHasIconCaptionAndButton) {
  auto form = BuildNoticeForm("", NoticeKind::Error, NoticeButton::OK, FixedFont());
  EXPECT_EQ(form->windowTitle(), "Error");
  EXPECT_NE(form->findChild<QLabel*>("Image"), nullptr);
  EXPECT_EQ(form->findChild<QLabel*>("Message")->text(), "");
  EXPECT_GE(form->height(), 32);
}

TEST(NoticeForm, MessageIsShownAsPlainText) {
  auto form = BuildNoticeForm("<b>a.pdf</b>", NoticeKind::Error, NoticeButton::OK, FixedFont());
  EXPECT_EQ(form->findChild<QLabel*>("Message")->textFormat(), Qt::PlainText);
}

TEST(NoticeForm, ButtonsComeInTheirFixedOrder) {
  auto form = BuildNoticeForm("Go on?", NoticeKind::Plain,
                              NoticeButton::Help | NoticeButton::Cancel | NoticeButton::OK |
                                  NoticeButton::Yes | NoticeButton::NoToAll,
                              FixedFont());
  QStringList names;
  int lastLeft = -1;
  for (auto* b : form->findChildren<QPushButton*>()) {
    names << b->objectName();
    EXPECT_GT(b->x(), lastLeft);
    lastLeft = b->x();
  }
  EXPECT_EQ(names, QStringList({"Yes", "OK", "Cancel", "NoToAll", "Help"}));
  EXPECT_TRUE(form->findChild<QPushButton*>("OK")->isDefault());
}

TEST(NoticeBox, EnterEscAndCloseBoxAllClose) {
  {
    ModalAnswerer answer(Qt::Key_Return);
    EXPECT_EQ(ShowNoticeBox("Invalid pdf file.", NoticeKind::Error, NoticeButton::OK),
              NoticeResult::OK);
    ASSERT_EQ(answer.count(), 1);
    EXPECT_EQ(answer.boxes()[0].windowTitle, "Error");
    EXPECT_EQ(answer.boxes()[0].text, "Invalid pdf file.");
  }
  {
    ModalAnswerer answer(Qt::Key_Escape);  // OK is also the cancel button
    EXPECT_EQ(ShowNoticeBox("x", NoticeKind::Plain, NoticeButton::OK), NoticeResult::OK);
    EXPECT_EQ(answer.count(), 1);
  }
  {
    ModalAnswerer answer(Qt::Key_Return, true);
    EXPECT_EQ(ShowNoticeBox("x", NoticeKind::Plain, NoticeButton::OK), NoticeResult::Cancel);
    EXPECT_EQ(answer.count(), 1);
  }
  {
    ModalAnswerer answer(Qt::Key_Escape);  // with a Cancel button Esc presses that one
    EXPECT_EQ(ShowNoticeBox("x", NoticeKind::Plain, NoticeButton::OK | NoticeButton::Cancel),
              NoticeResult::Cancel);
  }
}

TEST(NoticeBox, PlainAndErrorBoxesShowTheirTextUnchanged) {
  ModalAnswerer answer;
  ShowPlainBox("some files encountered some errors");
  ShowErrorBox("Invalid pdf file.");
  ASSERT_EQ(answer.count(), 2);
  EXPECT_EQ(answer.boxes()[0].windowTitle, "Foliotally");
  EXPECT_EQ(answer.boxes()[0].text, "some files encountered some errors");
  EXPECT_EQ(answer.boxes()[1].windowTitle, "Error");
}

TEST(NoticeBox, WhileOpenOtherWindowsAreBlockedAndTheCursorIsAnArrow) {
  QWidget main;
  auto* edit = new QLineEdit(&main);
  main.show();
  QApplication::setActiveWindow(&main);
  edit->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), edit);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ModalAnswerer answer;
  bool blocked = false;
  Qt::CursorShape shape = Qt::BlankCursor;
  answer.OnBox([&](QWidget* box) {
    blocked =
        QApplication::activeModalWidget() == box && box->windowModality() == Qt::ApplicationModal;
    shape = QApplication::overrideCursor()->shape();
  });
  ShowErrorBox("Invalid pdf file.");
  EXPECT_TRUE(blocked);
  EXPECT_EQ(shape, Qt::ArrowCursor);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  QApplication::restoreOverrideCursor();
  // Activation reaches the window through the platform's event queue.
  EXPECT_TRUE(QTest::qWaitFor([&main] { return QApplication::activeWindow() == &main; }, 10000));
  EXPECT_EQ(QApplication::focusWidget(), edit);
}

const char kInvalidFileCopy[] =
    "---------------------------\r\n"
    "Error\r\n"
    "---------------------------\r\n"
    "Invalid pdf file.\r\n"
    "---------------------------\r\n"
    "OK   \r\n"
    "---------------------------\r\n";

TEST(NoticeCopy, CtrlCPutsTheSevenLineTextOnTheClipboard) {
  auto form = BuildNoticeForm("Invalid pdf file.", NoticeKind::Error, NoticeButton::OK);
  EXPECT_EQ(form->ClipboardText().toLatin1(), QByteArray(kInvalidFileCopy));
  EXPECT_EQ(form->ClipboardText().count("\r\n"), 7);
  form->show();
  QGuiApplication::clipboard()->setText("before");
  QTest::keyClick(form->findChild<QPushButton*>("OK"), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString(kInvalidFileCopy));
  EXPECT_TRUE(form->isVisible());  // copying does not close the box
}

TEST(NoticeCopy, OtherModifiersDoNotCopyAndAmpersandsAreDropped) {
  auto form = BuildNoticeForm("Go?", NoticeKind::Plain, NoticeButton::Yes | NoticeButton::NoToAll);
  QStringList copied;
  form->SetClipboardWriter([&](const QString& t) {
    copied << t;
    return true;
  });
  form->show();
  QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(form.get(), Qt::Key_C);
  EXPECT_TRUE(copied.isEmpty());
  QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
  ASSERT_EQ(copied.size(), 1);
  EXPECT_TRUE(copied[0].contains("\r\nYes   No to All   \r\n"));
  EXPECT_TRUE(copied[0].contains("\r\nFoliotally\r\n"));
}

TEST(NoticeCopy, ClipboardFailureGoesToTheErrorDisplay) {
  auto form = BuildNoticeForm("Invalid pdf file.", NoticeKind::Error, NoticeButton::OK);
  form->SetClipboardWriter([](const QString&) { return false; });
  form->show();
  ModalAnswerer answer;
  QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
  ASSERT_EQ(answer.count(), 1);
  EXPECT_EQ(answer.boxes()[0].text, "Cannot open clipboard.");
  EXPECT_EQ(answer.boxes()[0].windowTitle, "Foliotally");
  EXPECT_TRUE(form->isVisible());
}

}  // namespace
}  // namespace foliotally
