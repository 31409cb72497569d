#include "main_window/results_log/save_log_action.h"

#include "main_window/results_log/log_file.h"
#include "main_window/results_log/rich_edit_log.h"
#include "main_window/results_log/save_dialog.h"

namespace foliotally {

void SaveLogThroughDialog(const TRichEditLog& log, TSaveDialog& dialog, FileWriting& io) {
  if (log.TextLength() == 0) return;
  if (!dialog.RunSaveDialog()) return;
  // The text is read again: it is what the log holds when the file is written.
  SaveLogFile(dialog.FileName, log.LogText(), io);
}

void SaveLogThroughDialog(const TRichEditLog& log, TSaveDialog& dialog) {
  SaveLogThroughDialog(log, dialog, SystemFileWriting());
}

}  // namespace foliotally
