// What the "Save" button does with the results log.
#pragma once

namespace foliotally {

class TRichEditLog;
class TSaveDialog;
class FileWriting;

// An empty log saves nothing and asks nothing; a cancelled dialog saves nothing; otherwise
// the log's text is written to the chosen file. Create and write errors are raised. True
// when the text was written.
bool SaveLogThroughDialog(const TRichEditLog& log, TSaveDialog& dialog, FileWriting& io);
bool SaveLogThroughDialog(const TRichEditLog& log, TSaveDialog& dialog);

}  // namespace foliotally
