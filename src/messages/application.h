// The application object: every error that escapes an event handler is caught where the
// toolkit hands the event over, reported, and the program goes on with the next event.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace foliotally {

class TApplication : public QApplication {
  Q_OBJECT
 public:
  using ErrorReporter = std::function<void(std::exception_ptr)>;

  // Sets the application title "Foliotally"; errors go to ReportUnhandledError.
  TApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Replaces the error display (tests capture reports with it).
  void SetErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }
  // Reports an error through the current reporter; never throws.
  void Report(std::exception_ptr error) noexcept;

 private:
  ErrorReporter reporter_;
};

// Runs `action` and reports any error it raises the way an escaping handler error is
// reported, for code that runs outside the event dispatch. Returns false after an error.
bool CallReportingErrors(const std::function<void()>& action) noexcept;

}  // namespace foliotally
