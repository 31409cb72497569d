// Errors escaping event handlers are caught by the application object, reported, and the
// program goes on.
#include "messages/application.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
  QTest::qWait(20);
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
  App().SetErrorReporter([](std::exception_ptr) { throw std::bad_alloc(); });
  QTimer::singleShot(0, [] { throw EIntOverflow(); });
  QTest::qWait(10);
  App().SetErrorReporter([](std::exception_ptr e) { ReportUnhandledError(e); });
  SUCCEED();
}

TEST(Application, DefaultReporterShowsTheErrorDisplay) {
  EXPECT_EQ(QCoreApplication::applicationName(), "Foliotally");
  test::ModalAnswerer answer;
  QTimer::singleShot(0, [] { throw EIntOverflow(); });
  QTest::qWait(100);
  ASSERT_EQ(answer.count(), 1);
  EXPECT_EQ(answer.boxes()[0].windowTitle, "Foliotally");
  EXPECT_EQ(answer.boxes()[0].text, "Integer overflow.");
}

}  // namespace
}  // namespace foliotally
