#include "about/bevel_panel.h"

#include <qdrawutil.h>

#include <QPainter>

namespace foliotally {

BevelPanel::BevelPanel(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Window);
}

void BevelPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect outer = rect();
  // Lowered outer bevel: shadow at top and left, light at bottom and right.
  qDrawShadeRect(&painter, outer, palette(), /*sunken=*/true, 1);
  // Raised inner bevel just inside it.
  qDrawShadeRect(&painter, outer.adjusted(1, 1, -1, -1), palette(), /*sunken=*/false, 1);
}

}  // namespace foliotally
