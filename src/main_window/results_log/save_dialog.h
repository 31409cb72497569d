// The save dialog's settings, kept between uses within one run, and the question put to
// the user through a replaceable prompt (a file dialog in the program, a scripted answer
// in tests).
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace foliotally {

struct SaveFileFilter {
  std::string description;  // "Text File"
  std::string pattern;      // "*.txt"
};

struct SaveFileQuestion {
  std::string fileName;  // shown in the name field
  std::vector<SaveFileFilter> filters;
  int filterIndex = 1;  // preselected entry, counted from 1
};

struct SaveFileAnswer {
  std::string fileName;  // full path, used exactly as chosen
  int filterIndex = 1;   // the entry chosen last, counted from 1
};

class SaveFilePrompt {
 public:
  virtual ~SaveFilePrompt() = default;
  // The user's choice, or nothing when cancelled or the dialog could not be shown.
  virtual std::optional<SaveFileAnswer> Ask(const SaveFileQuestion& question) = 0;
};

// "Text File|*.txt|CSV File|*.csv" as description and pattern pairs; a trailing odd
// description is dropped.
std::vector<SaveFileFilter> ParseFilter(const std::string& filter);

// Top-left of a dialog of `size` on `screen`: centred horizontally, its top at one third
// of the free height.
QPoint SaveDialogPosition(const QRect& screen, const QSize& size);

class TSaveDialog {
 public:
  explicit TSaveDialog(SaveFilePrompt& prompt) : prompt_(prompt) {}

  std::string Filter = "Text File|*.txt|CSV File|*.csv";
  int FilterIndex = 1;
  std::string FileName;
  std::string DefaultExt;  // empty: the name is used exactly as typed

  // True when the user confirmed; only then are FileName and FilterIndex updated.
  bool RunSaveDialog();

 private:
  SaveFilePrompt& prompt_;
};

}  // namespace foliotally
