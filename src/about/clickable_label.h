// A label that reports a left click, optionally drawing its text shortened with an ellipsis
// when it does not fit (its text() stays whole).
#pragma once

#include <QLabel>

namespace foliotally {

class ClickableLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ClickableLabel(QWidget* parent = nullptr);

  // Qt::ElideNone (the default) draws as a plain label.
  void setElideMode(Qt::TextElideMode mode);
  Qt::TextElideMode elideMode() const { return elideMode_; }

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Qt::TextElideMode elideMode_ = Qt::ElideNone;
  bool pressed_ = false;
};

}  // namespace foliotally
