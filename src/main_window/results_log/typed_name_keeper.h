// Keeps the name in a save dialog's name field when the user picks another filter. The
// toolkit's own dialog swaps the name's extension for the new filter's (out.txt becomes
// out.csv); the log is saved under the name exactly as the user typed or picked it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QComboBox;
class QFileDialog;
class QLineEdit;

namespace foliotally {

class TypedNameKeeper : public QObject {
 public:
  // Watches `dialog` (the toolkit's dialog, not a native one) and lives as long as it.
  explicit TypedNameKeeper(QFileDialog& dialog);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void RestoreName();

  QPointer<QLineEdit> name_;
  QPointer<QComboBox> filters_;
  QString before_;  // the name as it stood when the user last touched the filter list
};

}  // namespace foliotally
