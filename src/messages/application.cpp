#include "messages/application.h"

#include "messages/error_display.h"

namespace foliotally {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv),
      reporter_([](std::exception_ptr error) { ReportUnhandledError(error); }) {
  setApplicationName("Foliotally");
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    Report(std::current_exception());
    return false;
  }
}

void TApplication::Report(std::exception_ptr error) noexcept {
  try {
    if (reporter_) reporter_(error);
  } catch (...) {
    // The display itself failed (out of memory, most likely): nothing more can be shown,
    // and letting it escape would end the program.
  }
}

bool CallReportingErrors(const std::function<void()>& action) noexcept {
  try {
    action();
    return true;
  } catch (...) {
    const std::exception_ptr error = std::current_exception();
    if (auto* app = qobject_cast<TApplication*>(QCoreApplication::instance())) {
      app->Report(error);
    } else {
      try {
        ReportUnhandledError(error);
      } catch (...) {
      }
    }
    return false;
  }
}

}  // namespace foliotally
