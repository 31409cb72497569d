// The default error display: the period rule, the texts of different error kinds and the
// box itself.
#include "messages/error_display.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "errors/errors.h"
#include "support/modal_answerer.h"

namespace foliotally {
namespace {

TEST(PeriodRule, AppendsAfterLettersDigitsAndOtherLateCharacters) {
  EXPECT_EQ(WithFinalPeriod("Integer overflow"), "Integer overflow.");
  EXPECT_EQ(WithFinalPeriod("I/O error 5"), "I/O error 5.");
  EXPECT_EQ(WithFinalPeriod("Why?"), "Why?.");
  EXPECT_EQ(WithFinalPeriod("path/"), "path/.");  // "/" is 47
  EXPECT_EQ(WithFinalPeriod("Fehler \xC3\xBC"), "Fehler \xC3\xBC.");
}

TEST(PeriodRule, LeavesTextEndingAtOrBeforeThePeriodAlone) {
  EXPECT_EQ(WithFinalPeriod("List index out of bounds (-1)"), "List index out of bounds (-1)");
  for (const char* text : {"Done.", "a ", "Stop!", "a-", "a,", ""})
    EXPECT_EQ(WithFinalPeriod(text), text);
}

TEST(ErrorText, EveryKindOfErrorGivesAText) {
  EXPECT_EQ(ErrorMessageOf(std::make_exception_ptr(EIntOverflow())), "Integer overflow");
  EXPECT_EQ(ErrorMessageOf(std::make_exception_ptr(std::runtime_error("boom"))), "boom");
  EXPECT_EQ(ErrorMessageOf(std::make_exception_ptr(42)), "Unknown error");
  EXPECT_EQ(ErrorMessageOf(nullptr), "Unknown error");
  EXPECT_TRUE(IsSilentAbort(std::make_exception_ptr(EAbort())));
  EXPECT_FALSE(IsSilentAbort(std::make_exception_ptr(EIntOverflow())));
}

TEST(ErrorDisplay, ShowsTheTextWithTitleStopIconAndOneOk) {
  test::ModalAnswerer answer;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  answer.OnBox([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    icon = box->icon();
    buttons = box->buttons().size();
  });
  ReportUnhandledError(std::make_exception_ptr(EIntOverflow()));
  ReportUnhandledError(EListError("List index out of bounds (-1)"));
  ASSERT_EQ(answer.count(), 2);
  EXPECT_EQ(answer.boxes()[0].windowTitle, "Foliotally");
  EXPECT_EQ(answer.boxes()[0].text, "Integer overflow.");
  EXPECT_EQ(answer.boxes()[1].text, "List index out of bounds (-1)");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(buttons, 1);
}

TEST(ErrorDisplay, EmptyMessageShowsAnEmptyBox) {
  test::ModalAnswerer answer;
  QString text = "not seen";
  answer.OnBox([&](QWidget* w) { text = qobject_cast<QMessageBox*>(w)->text(); });
  ReportUnhandledError(EOutOfResources(""));
  ASSERT_EQ(answer.count(), 1);
  EXPECT_EQ(text, "");
}

TEST(ErrorDisplay, SilentAbortShowsNothing) {
  test::ModalAnswerer answer;
  ReportUnhandledError(std::make_exception_ptr(EAbort()));
  ReportUnhandledError(EAbort());
  QApplication::processEvents();
  EXPECT_EQ(answer.count(), 0);
}

TEST(ErrorDisplay, EndsAMouseGrabFirst) {
  QPushButton button("held");
  button.show();
  button.grabMouse();
  ASSERT_EQ(QWidget::mouseGrabber(), &button);
  test::ModalAnswerer answer;
  ReportUnhandledError(EIntOverflow());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

}  // namespace
}  // namespace foliotally
