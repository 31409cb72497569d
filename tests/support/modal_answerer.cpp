#include "support/modal_answerer.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace foliotally::test {

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
