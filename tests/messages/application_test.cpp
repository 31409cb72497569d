// Errors escaping event handlers are caught by the application object, reported, and the
// program goes on.
#include "messages/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "errors/errors.h"
#include "messages/error_display.h"
#include "support/modal_answerer.h"

namespace foliotally {
namespace {

TApplication& App() { return *qobject_cast<TApplication*>(QCoreApplication::instance()); }

// Captures reports for one test and puts the real display back afterwards.
class CapturedReports : public ::testing::Test {
 protected:
  void SetUp() override {
    App().SetErrorReporter([this](std::exception_ptr e) { reports.push_back(ErrorMessageOf(e)); });
  }
  void TearDown() override {
    App().SetErrorReporter([](std::exception_ptr e) { ReportUnhandledError(e); });
  }
  std::vector<std::string> reports;
};

TEST_F(CapturedReports, ErrorFromAClickHandlerIsReportedAndTheProgramGoesOn) {
#if defined(__SANITIZE_ADDRESS__)
  // The error unwinds through the toolkit's own frames, which are built without cleanups:
  // the few bytes they held (the mouse event's points, a guard pointer's count) are never
  // freed. That is the price of the application object's last-resort catch, not a leak of
  // ours.
  __lsan::ScopedDisabler toolkit_locals;
#endif
  QPushButton button("Selected");
  int before = 0, after = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] {
    ++before;
    if (before == 1) throw EIntOverflow();
    ++after;
  });
  button.show();
  QTest::mouseClick(&button, Qt::LeftButton);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "Integer overflow");
  EXPECT_EQ(after, 0);  // the steps after the failure were not done
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(before, 2);
  EXPECT_EQ(after, 1);
  EXPECT_EQ(reports.size(), 1u);
}

class ThrowingKeyWidget : public QWidget {
 protected:
  void keyPressEvent(QKeyEvent*) override { throw std::runtime_error("key failed"); }
};

TEST_F(CapturedReports, ErrorsFromKeysTimersAndUnknownThrowsAreAllReported) {
  ThrowingKeyWidget widget;
  widget.show();
  QTest::keyClick(&widget, Qt::Key_A);
  QTimer::singleShot(0, [] { throw 7; });
  QTimer::singleShot(0, [] { throw EListError("List index out of bounds (-1)"); });
  ASSERT_TRUE(QTest::qWaitFor([this] { return reports.size() >= 3; }, 10000));
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0], "key failed");
  EXPECT_EQ(reports[1], "Unknown error");
  EXPECT_EQ(reports[2], "List index out of bounds (-1)");
}

TEST_F(CapturedReports, CallReportingErrorsUsesTheSameReporter) {
  EXPECT_TRUE(CallReportingErrors([] {}));
  EXPECT_FALSE(CallReportingErrors([] { throw EOutOfResources("Failed to Save Stream"); }));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "Failed to Save Stream");
}

TEST(Application, ReporterThatFailsDoesNotEndTheProgram) {
  bool asked = false;
  App().SetErrorReporter([&asked](std::exception_ptr) {
    asked = true;
    throw std::bad_alloc();
  });
  QTimer::singleShot(0, [] { throw EIntOverflow(); });
  EXPECT_TRUE(QTest::qWaitFor([&asked] { return asked; }, 10000));
  App().SetErrorReporter([](std::exception_ptr e) { ReportUnhandledError(e); });
}

TEST(Application, DefaultReporterShowsTheErrorDisplay) {
  EXPECT_EQ(QCoreApplication::applicationName(), "Foliotally");
  test::ModalAnswerer answer;
  QTimer::singleShot(0, [] { throw EIntOverflow(); });
  ASSERT_TRUE(QTest::qWaitFor(
      [&answer] { return answer.count() == 1 && QApplication::activeModalWidget() == nullptr; },
      10000));
  EXPECT_EQ(answer.boxes()[0].windowTitle, "Foliotally");
  EXPECT_EQ(answer.boxes()[0].text, "Integer overflow.");
}

}  // namespace
}  // namespace foliotally
