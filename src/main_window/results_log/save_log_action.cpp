#include "main_window/results_log/save_log_action.h"

#include "main_window/results_log/log_file.h"
#include "main_window/results_log/rich_edit_log.h"
#include "main_window/results_log/save_dialog.h"

namespace foliotally {

bool SaveLogThroughDialog(const TRichEditLog& log, TSaveDialog& dialog, FileWriting& io) {
  if (log.TextLength() == 0) return false;
  if (!dialog.RunSaveDialog()) return false;
  // The text is read again: it is what the log holds when the file is written.
  SaveLogFile(dialog.FileName, log.LogText(), io);
  return true;
}

bool SaveLogThroughDialog(const TRichEditLog& log, TSaveDialog& dialog) {
  return SaveLogThroughDialog(log, dialog, SystemFileWriting());
}

}  // namespace foliotally
