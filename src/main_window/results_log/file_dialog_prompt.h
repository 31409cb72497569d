// The save prompt the program uses: the toolkit's file dialog in save mode, with no
// overwrite question and no default suffix, placed on the active window's screen.
#pragma once

#include "main_window/results_log/save_dialog.h"

namespace foliotally {

class FileDialogPrompt : public SaveFilePrompt {
 public:
  std::optional<SaveFileAnswer> Ask(const SaveFileQuestion& question) override;
};

}  // namespace foliotally
