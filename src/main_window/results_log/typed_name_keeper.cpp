#include "main_window/results_log/typed_name_keeper.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QLineEdit>

namespace foliotally {
namespace {

// Every way of picking a filter starts with one of these reaching the filter list or its
// drop-down.
bool StartsAPick(QEvent::Type type) {
  return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
         type == QEvent::KeyPress || type == QEvent::Wheel;
}

}  // namespace

TypedNameKeeper::TypedNameKeeper(QFileDialog& dialog)
    : QObject(&dialog),
      name_(dialog.findChild<QLineEdit*>("fileNameEdit")),
      filters_(dialog.findChild<QComboBox*>("fileTypeCombo")) {
  if (!name_ || !filters_) return;
  filters_->installEventFilter(this);
  filters_->view()->installEventFilter(this);
  filters_->view()->viewport()->installEventFilter(this);
  // Connected after the dialog's own handler, so this runs once the name was changed.
  connect(filters_, &QComboBox::activated, this, &TypedNameKeeper::RestoreName);
}

bool TypedNameKeeper::eventFilter(QObject*, QEvent* event) {
  if (name_ && StartsAPick(event->type())) before_ = name_->text();
  return false;
}

void TypedNameKeeper::RestoreName() {
  if (name_ && name_->text() != before_) name_->setText(before_);
}

}  // namespace foliotally
