// "Pages by Size": the pages of the last count's files by paper and orientation, in a small
// window of its own. The sizes are gathered when the window opens, on a thread of their
// own, with a progress line and Stop, so that counting itself never pays for them.
#pragma once

#include <QDialog>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "pagecount/file_sizes.h"
#include "size_window/paper_colours.h"
#include "size_window/paper_rows.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QTimer;

namespace foliotally {

class PagesBySizeWindow : public QDialog {
  Q_OBJECT

 public:
  // Measures one file: its page count (negative: not countable) and sizes. Called on the
  // gathering thread.
  using Measure = std::function<int32_t(const std::string& path, pdf::FileSizes& sizes)>;
  // The library's measure of a file named by its path.
  static int32_t MeasureFile(const std::string& path, pdf::FileSizes& sizes);

  // Starts gathering the sizes of `files` at once. `read_colours` reads a file's colours
  // for the colour columns, which are gathered only once the user asks for them.
  PagesBySizeWindow(std::vector<std::string> files, Measure measure = MeasureFile,
                    QWidget* parent = nullptr, PaperColours::Read read_colours = {});
  // Stops the gathering and waits for the file being measured.
  ~PagesBySizeWindow() override;

  // The table as shown (in the order of the files measured so far).
  SizeTable table() const;
  bool gathering() const;
  // The copied text and the CSV the window saves.
  QString copyText() const;
  QByteArray csvBytes() const;

 public slots:
  void stop();
  void copyToClipboard();
  // Asks where to save, then writes the CSV; a failure is shown and loses nothing.
  void saveAsCsv();
  // Adds the colour and black-and-white columns, gathering the colours on a thread of
  // their own (the "Colour pages" check box).
  void showColours(bool show);

 private:
  void gather();
  void refresh();
  void showTable(const SizeTable& table);
  // The size table with the colour columns when they are shown.
  SizeTable fullTable() const;
  bool coloursGathering() const { return colours_ && showColours_ && !colours_->Done(); }

  const std::vector<std::string> files_;
  const Measure measure_;
  mutable std::mutex mutex_;
  PaperRows rows_;       // under mutex_
  size_t measured_ = 0;  // files done, under mutex_
  size_t failed_ = 0;    // files not countable, under mutex_
  std::atomic<bool> stop_{false};
  std::atomic<bool> done_{false};
  bool shownDone_ = false;

  QTableView* view_ = nullptr;
  QStandardItemModel* model_ = nullptr;
  QSortFilterProxyModel* sorted_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* stopButton_ = nullptr;
  QPushButton* copyButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QTimer* timer_ = nullptr;
  QCheckBox* coloursBox_ = nullptr;
  PaperColours::Read readColours_;
  bool showColours_ = false;
  std::unique_ptr<PaperColours> colours_;  // from the first time the user asks for colours
  std::thread worker_;                     // last: started once everything it touches exists
};

}  // namespace foliotally
