// The about box as a user meets it: its controls, texts and places, the fixed frame, the
// same box shown again and again, and the link that opens the guide's page while it shows
// the guide's home address.
#include "about/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <vector>

#include "about/bevel_panel.h"
#include "about/clickable_label.h"
#include "support/modal_answerer.h"

namespace foliotally {
namespace {

// Addresses that differ in more than their section, so a mix-up cannot pass unseen.
WebAddresses TestAddresses() {
  return {QUrl("file:///opt/guide/index.html"), QUrl("file:///opt/guide/index.html#counting")};
}

struct RecordingOpener {
  std::vector<QUrl> opened;
  UrlOpener Opener() {
    return [this](const QUrl& url) {
      opened.push_back(url);
      return true;
    };
  }
};

TEST(AboutBox, ShowsItsTextsInTheirStyles) {
  TAboutBox box(WebLinks(TestAddresses(), nullptr));
  EXPECT_EQ(box.windowTitle(), "Foliotally ");
  // The authors as the package's copyright file names them.
  EXPECT_EQ(box.Label3->text(), "Developed by: The Foliotally developers");
  EXPECT_TRUE(box.Label3->font().bold());
  EXPECT_EQ(box.Version->text(), "Version: 1.1");
  EXPECT_TRUE(box.Version->font().bold());
  EXPECT_EQ(box.Label2->text(), "Count pdf pages without Acrobat installed");
  EXPECT_FALSE(box.Label2->font().bold());
  EXPECT_EQ(box.Label5->text(), "This program is provided 'as is'. Use at your own risk.");
  EXPECT_EQ(box.Label5->font().pixelSize(), 9);
  EXPECT_EQ(box.OKButton->text(), "OK");
  EXPECT_TRUE(box.OKButton->isDefault());

  // The link: the home address, blue, bold, underlined, 10 points.
  EXPECT_EQ(box.Label1->text(), "file:///opt/guide/index.html");
  EXPECT_EQ(box.Label1->palette().color(QPalette::WindowText), QColor(Qt::blue));
  EXPECT_TRUE(box.Label1->font().bold());
  EXPECT_TRUE(box.Label1->font().underline());
  EXPECT_EQ(box.Label1->font().pointSize(), 10);

  EXPECT_FALSE(box.ProgramIcon->pixmap().isNull()) << "the logo did not load";
}

TEST(AboutBox, MemoHoldsExactlyItsSevenLines) {
  TAboutBox box(WebLinks(TestAddresses(), nullptr));
  const QStringList expected = {
      "No need for installing acrobar reader to use this ",
      "program.",
      "",
      "Application supports drag and drop from the file ",
      "manager onto the folder list for quickly setting the ",
      "starting folder.",
      "",
  };
  ASSERT_EQ(box.Memo1->document()->blockCount(), 7);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(box.Memo1->document()->findBlockByNumber(i).text(), expected[i]) << "line " << i;
  EXPECT_TRUE(box.Memo1->isReadOnly());
  EXPECT_TRUE(box.Memo1->font().bold());
  EXPECT_EQ(box.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

TEST(AboutBox, ControlsSitWhereTheLayoutPutsThem) {
  TAboutBox box(WebLinks(TestAddresses(), nullptr));
  EXPECT_EQ(box.size(), QSize(352, 421));
  EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "the box must not be resizable";
  EXPECT_EQ(box.Panel1->geometry(), QRect(8, 8, 329, 241));
  EXPECT_EQ(box.ProgramIcon->geometry(), QRect(8, 16, 313, 105));
  EXPECT_EQ(box.Label1->geometry(), QRect(170, 184, 154, 16));
  EXPECT_EQ(box.Memo1->geometry(), QRect(16, 256, 321, 121));
  EXPECT_EQ(box.OKButton->geometry(), QRect(143, 384, 75, 25));
  EXPECT_EQ(box.Label3->pos(), QPoint(8, 4));
  EXPECT_EQ(box.Version->pos(), QPoint(8, 120));
  EXPECT_EQ(box.Label2->pos(), QPoint(8, 168));
  EXPECT_EQ(box.Label5->pos(), QPoint(8, 216));
  // The seven controls of the plate are its children, not the box's.
  for (QWidget* inside : std::initializer_list<QWidget*>{box.Label3, box.ProgramIcon, box.Version,
                                                         box.Label2, box.Label1, box.Label5})
    EXPECT_EQ(inside->parentWidget(), box.Panel1) << inside->objectName().toStdString();
  for (const char* name : {"Panel1", "Label3", "ProgramIcon", "Version", "Label2", "Label1",
                           "Label5", "Memo1", "OKButton"})
    EXPECT_NE(box.findChild<QWidget*>(name), nullptr) << name;

  const Qt::WindowFlags flags = box.windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
}

TEST(AboutBox, TheSameBoxIsShownEachTimeAndOnlyHidden) {
  QWidget owner;
  auto* box = new TAboutBox(WebLinks(TestAddresses(), nullptr), &owner);
  EXPECT_FALSE(box->isVisible());
  QPointer<TAboutBox> alive(box);

  test::ModalAnswerer answerer;  // presses Enter in each box
  EXPECT_EQ(box->exec(), QDialog::Accepted);
  EXPECT_FALSE(box->isVisible());
  EXPECT_EQ(box->exec(), QDialog::Accepted);
  ASSERT_EQ(answerer.count(), 2);
  EXPECT_EQ(answerer.boxes()[0].windowTitle, "Foliotally ");
  EXPECT_EQ(answerer.boxes()[1].windowTitle, "Foliotally ");
  EXPECT_TRUE(alive) << "closing must not delete the box";
  EXPECT_EQ(owner.findChildren<TAboutBox*>().size(), 1);
}

TEST(AboutBox, OpensCentredOnTheScreenWithOkFocused) {
  QWidget owner;
  owner.setGeometry(0, 0, 200, 100);  // an owner far from the centre does not pull it away
  TAboutBox box(WebLinks(TestAddresses(), nullptr), &owner);
  box.show();
  const QPoint screenCentre = box.screen()->geometry().center();
  EXPECT_LE((box.frameGeometry().center() - screenCentre).manhattanLength(), 2);
  EXPECT_EQ(box.size(), QSize(352, 421));
  EXPECT_EQ(box.focusWidget(), box.OKButton);
}

TEST(AboutBox, OkButtonAndCloseBoxHideIt) {
  TAboutBox box(WebLinks(TestAddresses(), nullptr));
  {
    test::ModalAnswerer answerer;
    answerer.OnBox([](QWidget* shown) {
      auto* ok = shown->findChild<QPushButton*>("OKButton");
      ASSERT_NE(ok, nullptr);
      QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_EQ(box.exec(), QDialog::Accepted);
  }
  {
    test::ModalAnswerer closer(Qt::Key_Return, /*close=*/true);
    EXPECT_EQ(box.exec(), QDialog::Rejected);
    EXPECT_EQ(closer.count(), 1);
  }
  EXPECT_FALSE(box.isVisible());
}

TEST(AboutBox, LinkAndLogoOpenThePageNotTheHomeTheLinkShows) {
  RecordingOpener recorder;
  TAboutBox box(WebLinks(TestAddresses(), recorder.Opener()));
  box.show();
  QTest::mouseClick(box.Label1, Qt::LeftButton);
  ASSERT_EQ(recorder.opened.size(), 1u);
  EXPECT_EQ(recorder.opened[0], QUrl("file:///opt/guide/index.html#counting"));
  EXPECT_EQ(box.Label1->text(), "file:///opt/guide/index.html");

  QTest::mouseClick(box.ProgramIcon, Qt::LeftButton);
  ASSERT_EQ(recorder.opened.size(), 2u);
  EXPECT_EQ(recorder.opened[1], QUrl("file:///opt/guide/index.html#counting"));

  // A press that leaves the label before the release is no click; a right click neither.
  QTest::mousePress(box.Label1, Qt::LeftButton);
  QTest::mouseRelease(box.Label1, Qt::LeftButton, {}, QPoint(-5, -5));
  QTest::mouseClick(box.Label1, Qt::RightButton);
  EXPECT_EQ(recorder.opened.size(), 2u);
}

TEST(AboutBox, AnAddressNothingCanOpenIsSaidInABox) {
  TAboutBox box(WebLinks(TestAddresses(), [](const QUrl&) { return false; }));
  box.show();
  test::ModalAnswerer answerer;
  QTest::mouseClick(box.Label1, Qt::LeftButton);
  QTest::mouseClick(box.ProgramIcon, Qt::LeftButton);
  ASSERT_EQ(answerer.count(), 2);
  EXPECT_EQ(answerer.boxes()[0].windowTitle, "Error");
  EXPECT_TRUE(answerer.boxes()[0].text.contains("file:///opt/guide/index.html#counting"));
  EXPECT_TRUE(answerer.boxes()[0].text.contains("no web browser"));
  EXPECT_TRUE(box.isVisible());
}

}  // namespace
}  // namespace foliotally
