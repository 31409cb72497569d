#include "main_window/results_log/file_dialog_prompt.h"

#include <QFile>
#include <QFileDialog>
#include <QScreen>
#include <QShowEvent>

#include "main_window/results_log/typed_name_keeper.h"
#include "messages/active_screen.h"
#include "messages/modal_session.h"

namespace foliotally {
namespace {

// Moves itself once its layout is done, as the placement needs the final size.
class PlacedFileDialog : public QFileDialog {
 public:
  explicit PlacedFileDialog(QScreen* screen) : screen_(screen) {}

 protected:
  void showEvent(QShowEvent* event) override {
    QFileDialog::showEvent(event);
    if (screen_ != nullptr) move(SaveDialogPosition(screen_->geometry(), frameGeometry().size()));
  }

 private:
  QScreen* screen_;
};

QString NameFilterOf(const SaveFileFilter& f) {
  return QString::fromStdString(f.description) + " (" + QString::fromStdString(f.pattern) + ")";
}

}  // namespace

std::optional<SaveFileAnswer> FileDialogPrompt::Ask(const SaveFileQuestion& question) {
  ModalSession session;
  PlacedFileDialog dialog(ActiveScreen());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The toolkit's own dialog, so the placement and options hold on every desktop.
  dialog.setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
  dialog.setDefaultSuffix(QString());
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setSizeGripEnabled(true);
  new TypedNameKeeper(dialog);  // owned by the dialog
  QStringList filters;
  for (const SaveFileFilter& f : question.filters) filters << NameFilterOf(f);
  dialog.setNameFilters(filters);
  if (question.filterIndex >= 1 && question.filterIndex <= filters.size())
    dialog.selectNameFilter(filters[question.filterIndex - 1]);
  if (!question.fileName.empty())
    dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(question.fileName)));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;

  SaveFileAnswer answer;
  answer.fileName = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
  const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
  answer.filterIndex = chosen >= 0 ? static_cast<int>(chosen) + 1 : question.filterIndex;
  return answer;
}

}  // namespace foliotally
