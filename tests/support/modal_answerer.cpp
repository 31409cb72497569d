#include "support/modal_answerer.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace foliotally::test {
namespace {

// Calls `onHide` once when the watched widget is hidden, then removes itself: a box that
// is hidden and shown again (a dialog reused for each showing) is answered again.
class HideWatcher : public QObject {
 public:
  HideWatcher(QWidget* watched, QObject* owner, std::function<void()> onHide)
      : QObject(owner), onHide_(std::move(onHide)) {
    watched->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide && onHide_) {
      watched->removeEventFilter(this);
      auto onHide = std::move(onHide_);
      onHide_ = nullptr;
      deleteLater();
      onHide();
    }
    return false;
  }

 private:
  std::function<void()> onHide_;
};

}  // namespace

ModalAnswerer::ModalAnswerer(Qt::Key key, bool close)
    : key_(key), close_(close), context_(std::make_unique<QObject>()) {
  QTimer::singleShot(0, context_.get(), [this] { Poll(); });
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::Poll() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal != last_ && modal->isVisible()) {
    last_ = modal;
    SeenBox seen;
    seen.windowTitle = modal->windowTitle();
    seen.className = modal->metaObject()->className();
    QStringList texts;
    for (auto* label : modal->findChildren<QLabel*>())
      if (!label->text().isEmpty()) texts << label->text();
    seen.text = texts.join("\n");
    boxes_.push_back(seen);
    if (hook_) hook_(modal);
    new HideWatcher(modal, context_.get(), [this] { last_ = nullptr; });
    if (close_)
      modal->close();
    else
      QTest::keyClick(modal, key_);
  } else if (modal == nullptr) {
    last_ = nullptr;
  }
  QTimer::singleShot(5, context_.get(), [this] { Poll(); });
}

}  // namespace foliotally::test
