#include "messages/error_display.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QShowEvent>

#include "errors/errors.h"
#include "messages/modal_session.h"
#include "messages/notice_form.h"

namespace foliotally {
namespace {

// A message box that comes up in the middle of a chosen screen.
class ScreenCentredMessageBox : public QMessageBox {
 public:
  explicit ScreenCentredMessageBox(QScreen* screen) : screen_(screen) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    if (screen_ == nullptr) return;
    const QRect area = screen_->availableGeometry();
    const QSize size = frameGeometry().size();
    move(area.topLeft() +
         QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2));
  }

 private:
  QScreen* screen_;
};

QScreen* ActiveScreen() {
  if (QWidget* active = QApplication::activeWindow(); active != nullptr && active->screen())
    return active->screen();
  return QGuiApplication::primaryScreen();
}

}  // namespace

std::string WithFinalPeriod(std::string text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::string ErrorMessageOf(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
  }
  return "Unknown error";
}

bool IsSilentAbort(std::exception_ptr error) {
  try {
    if (error) std::rethrow_exception(error);
  } catch (const EAbort&) {
    return true;
  } catch (...) {
  }
  return false;
}

void ShowErrorMessageBox(const std::string& text) {
  ModalSession session;
  ScreenCentredMessageBox box(ActiveScreen());
  box.setWindowTitle(ApplicationTitle());
  box.setIcon(QMessageBox::Critical);
  box.setTextFormat(Qt::PlainText);
  box.setText(QFile::decodeName(QByteArray::fromStdString(text)));
  box.setStandardButtons(QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void ReportUnhandledError(std::exception_ptr error) {
  CancelMouseGrab();
  if (IsSilentAbort(error)) return;
  ShowErrorMessageBox(WithFinalPeriod(ErrorMessageOf(error)));
}

void ReportUnhandledError(const std::exception& error) {
  CancelMouseGrab();
  if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
  const auto* own = dynamic_cast<const Exception*>(&error);
  ShowErrorMessageBox(WithFinalPeriod(own != nullptr ? own->Message() : error.what()));
}

}  // namespace foliotally
