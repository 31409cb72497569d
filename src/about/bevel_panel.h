// A panel framed by two one-pixel bevels: a lowered outer one and a raised inner one, the
// look of a recessed plate.
#pragma once

#include <QWidget>

namespace foliotally {

class BevelPanel : public QWidget {
  Q_OBJECT

 public:
  explicit BevelPanel(QWidget* parent = nullptr);

  static constexpr int kBevelWidth = 2;  // outer plus inner bevel

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace foliotally
