#include "size_window/pages_by_size_window.h"

#include <fcntl.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "colour/page_drawing.h"

namespace foliotally {

namespace {

constexpr int kRefreshMs = 100;

QStandardItem* ItemFor(const SizeTable::Cell& cell) {
  auto* item = new QStandardItem;
  if (const auto* number = std::get_if<int64_t>(&cell)) {
    // A number as a number: it sorts as one, and stands to the right.
    item->setData(QVariant::fromValue<qlonglong>(*number), Qt::DisplayRole);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  } else {
    item->setText(QString::fromStdString(std::get<std::string>(cell)));
  }
  item->setEditable(false);
  return item;
}

}  // namespace

int32_t PagesBySizeWindow::MeasureFile(const std::string& path, pdf::FileSizes& sizes) {
  return pdf::MeasureSizes(
      [&](FoliotallyPageSize* groups, int32_t capacity, int32_t* unknown) {
        return GetFoliotallySizesAt(AT_FDCWD, path.c_str(), 0, FOLIOTALLY_BOX_CROP, groups,
                                    capacity, unknown);
      },
      sizes);
}

PagesBySizeWindow::PagesBySizeWindow(std::vector<std::string> files, Measure measure,
                                     QWidget* parent, PaperColours::Read read_colours)
    : QDialog(parent),
      files_(std::move(files)),
      measure_(std::move(measure)),
      readColours_(std::move(read_colours)) {
  setObjectName("PagesBySizeWindow");
  setWindowTitle("Pages by Size");
  setAttribute(Qt::WA_DeleteOnClose);

  model_ = new QStandardItemModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  view_ = new QTableView(this);
  view_->setObjectName("SizeTable");
  view_->setModel(sorted_);
  view_->setSortingEnabled(true);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
  view_->horizontalHeader()->setStretchLastSection(true);

  status_ = new QLabel(this);
  status_->setObjectName("SizeStatus");
  progress_ = new QProgressBar(this);
  progress_->setRange(0, static_cast<int>(std::min<size_t>(files_.size(), INT32_MAX)));
  stopButton_ = new QPushButton("Stop", this);
  copyButton_ = new QPushButton("Copy", this);
  saveButton_ = new QPushButton("Save as CSV...", this);
  auto* closeButton = new QPushButton("Close", this);
  coloursBox_ = new QCheckBox("Colour pages", this);
  coloursBox_->setObjectName("ColourPages");
  coloursBox_->setToolTip(
      "Count colour and black-and-white pages too (pages are read, and "
      "drawn where reading cannot tell)");
  connect(coloursBox_, &QCheckBox::toggled, this, &PagesBySizeWindow::showColours);
  connect(stopButton_, &QPushButton::clicked, this, &PagesBySizeWindow::stop);
  connect(copyButton_, &QPushButton::clicked, this, &PagesBySizeWindow::copyToClipboard);
  connect(saveButton_, &QPushButton::clicked, this, &PagesBySizeWindow::saveAsCsv);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copyButton_);
  buttons->addWidget(saveButton_);
  buttons->addWidget(coloursBox_);
  buttons->addStretch();
  buttons->addWidget(stopButton_);
  buttons->addWidget(closeButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_);
  layout->addWidget(progress_);
  layout->addWidget(status_);
  layout->addLayout(buttons);
  resize(480, 420);

  timer_ = new QTimer(this);
  timer_->setInterval(kRefreshMs);
  connect(timer_, &QTimer::timeout, this, &PagesBySizeWindow::refresh);
  timer_->start();
  refresh();
  worker_ = std::thread([this] { gather(); });
}

PagesBySizeWindow::~PagesBySizeWindow() {
  stop_ = true;
  colours_.reset();
  if (worker_.joinable()) worker_.join();
}

void PagesBySizeWindow::gather() {
  for (const std::string& path : files_) {
    if (stop_) break;
    pdf::FileSizes sizes;
    int32_t count = -1;
    try {
      count = measure_(path, sizes);
    } catch (...) {
      count = -1;  // out of memory: the file is left out, the others are still measured
    }
    const std::lock_guard lock(mutex_);
    if (count >= 0) {
      rows_.AddFile(sizes);
    } else {
      ++failed_;
    }
    ++measured_;
  }
  done_ = true;
}

void PagesBySizeWindow::stop() {
  stop_ = true;
  if (colours_) colours_->Stop();
}

bool PagesBySizeWindow::gathering() const { return !done_ || coloursGathering(); }

SizeTable PagesBySizeWindow::table() const { return fullTable(); }

SizeTable PagesBySizeWindow::fullTable() const {
  SizeTable table;
  {
    const std::lock_guard lock(mutex_);
    table = rows_.Table();
  }
  if (colours_ && showColours_) colours_->AddColumns(table);
  return table;
}

void PagesBySizeWindow::showColours(bool show) {
  showColours_ = show;
  if (show && !colours_) {
    PaperColours::Read read = readColours_;
    if (!read)
      read = [renderer = colour::FindRenderer()](
                 const std::string& path, std::vector<std::string>& papers, std::string& letters) {
        return PaperColours::ReadFile(path, renderer, papers, letters);
      };
    colours_ = std::make_unique<PaperColours>(files_, std::move(read));
    // Progress and Stop come back for the colours.
    shownDone_ = false;
    progress_->show();
    stopButton_->show();
    timer_->start();
  }
  refresh();
}

void PagesBySizeWindow::refresh() {
  size_t measured = 0, failed = 0;
  SizeTable table;
  int64_t pages = 0;
  {
    const std::lock_guard lock(mutex_);
    measured = measured_;
    failed = failed_;
    pages = rows_.pages();
  }
  table = fullTable();
  const bool done = done_ && !coloursGathering();
  showTable(table);
  progress_->setValue(static_cast<int>(std::min<size_t>(measured, INT32_MAX)));
  QString text =
      QString("%1 of %2 files measured, %3 pages").arg(measured).arg(files_.size()).arg(pages);
  if (failed > 0) text += QString("; %1 could not be read").arg(failed);
  if (colours_ && showColours_) {
    const size_t read = colours_->FilesRead();
    text += QString("; colours of %1 of %2 files").arg(read).arg(files_.size());
    if (done_ && measured == files_.size())
      progress_->setValue(static_cast<int>(std::min<size_t>(read, INT32_MAX)));
  }
  if (done && (measured < files_.size() ||
               (colours_ && showColours_ && colours_->FilesRead() < files_.size())))
    text += " (stopped)";
  status_->setText(text);
  stopButton_->setEnabled(!done);
  if (done && !shownDone_) {
    shownDone_ = true;
    timer_->stop();
    progress_->hide();
    stopButton_->hide();
  }
}

void PagesBySizeWindow::showTable(const SizeTable& table) {
  // The user's sort stays as it is while rows come in.
  model_->setRowCount(0);
  model_->setColumnCount(static_cast<int>(table.headers.size()));
  for (size_t c = 0; c < table.headers.size(); ++c)
    model_->setHorizontalHeaderItem(static_cast<int>(c),
                                    new QStandardItem(QString::fromStdString(table.headers[c])));
  for (const auto& row : table.rows) {
    QList<QStandardItem*> items;
    for (const auto& cell : row) items.append(ItemFor(cell));
    model_->appendRow(items);
  }
}

QString PagesBySizeWindow::copyText() const {
  return QString::fromStdString(SizeTableText(table()));
}

QByteArray PagesBySizeWindow::csvBytes() const {
  return QByteArray::fromStdString(SizeTableCsv(table()));
}

void PagesBySizeWindow::copyToClipboard() { QApplication::clipboard()->setText(copyText()); }

void PagesBySizeWindow::saveAsCsv() {
  const QString path = QFileDialog::getSaveFileName(this, "Save as CSV", "pages-by-size.csv",
                                                    "CSV files (*.csv);;All files (*)");
  if (path.isEmpty()) return;
  // Written whole to a temporary file that then takes the name: a failure leaves any file
  // of that name as it was.
  QSaveFile file(path);
  const QByteArray bytes = csvBytes();
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    QMessageBox::warning(this, "Save as CSV", "Could not save " + path + ": " + file.errorString());
}

}  // namespace foliotally
