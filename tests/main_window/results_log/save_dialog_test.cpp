// The save dialog's settings from one save to the next, the "Save" action with a scripted
// prompt, and the real file dialog answered like a user would.
#include "main_window/results_log/save_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <deque>

#include "errors/errors.h"
#include "main_window/results_log/file_dialog_prompt.h"
#include "main_window/results_log/log_file.h"
#include "main_window/results_log/rich_edit_log.h"
#include "main_window/results_log/save_log_action.h"
#include "support/modal_answerer.h"
#include "support/temp_dir.h"

namespace foliotally {
namespace {

// Answers each question with the next scripted answer (nothing: cancelled) and keeps the
// questions asked.
class ScriptedPrompt : public SaveFilePrompt {
 public:
  std::deque<std::optional<SaveFileAnswer>> answers;
  std::vector<SaveFileQuestion> asked;
  std::optional<SaveFileAnswer> Ask(const SaveFileQuestion& q) override {
    asked.push_back(q);
    auto a = answers.front();
    answers.pop_front();
    return a;
  }
};

const char kExample[] = "C:\\Docs\\a.pdf;12\r\nC:\\Docs\\b.pdf;3\r\n";

TEST(SaveDialogSettings, FilterSplitsIntoPairs) {
  const auto f = ParseFilter("Text File|*.txt|CSV File|*.csv");
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].description, "Text File");
  EXPECT_EQ(f[0].pattern, "*.txt");
  EXPECT_EQ(f[1].description, "CSV File");
  EXPECT_EQ(f[1].pattern, "*.csv");
  EXPECT_EQ(ParseFilter("All|*|odd").size(), 1u);
  EXPECT_TRUE(ParseFilter("").empty());
}

TEST(SaveDialogSettings, PlacedCentredWithItsTopAtAThirdOfTheFreeHeight) {
  EXPECT_EQ(SaveDialogPosition(QRect(0, 0, 1280, 1024), QSize(600, 400)), QPoint(340, 208));
  EXPECT_EQ(SaveDialogPosition(QRect(1280, 0, 1920, 1080), QSize(601, 401)),
            QPoint(1280 + 659, 226));
}

TEST(SaveDialogSettings, SecondSaveStartsWithThePreviousPathAndFilter) {
  ScriptedPrompt prompt;
  TSaveDialog dialog(prompt);
  EXPECT_EQ(dialog.Filter, "Text File|*.txt|CSV File|*.csv");
  EXPECT_EQ(dialog.FilterIndex, 1);
  EXPECT_EQ(dialog.FileName, "");
  EXPECT_EQ(dialog.DefaultExt, "");
  prompt.answers = {SaveFileAnswer{"/tmp/out.csv", 2}, std::nullopt, SaveFileAnswer{"/x", 1}};
  EXPECT_TRUE(dialog.RunSaveDialog());
  EXPECT_EQ(dialog.FileName, "/tmp/out.csv");
  EXPECT_EQ(dialog.FilterIndex, 2);
  EXPECT_FALSE(dialog.RunSaveDialog());  // cancelled: both kept
  EXPECT_EQ(dialog.FileName, "/tmp/out.csv");
  EXPECT_EQ(dialog.FilterIndex, 2);
  EXPECT_TRUE(dialog.RunSaveDialog());
  ASSERT_EQ(prompt.asked.size(), 3u);
  EXPECT_EQ(prompt.asked[0].fileName, "");
  EXPECT_EQ(prompt.asked[0].filterIndex, 1);
  EXPECT_EQ(prompt.asked[0].filters.size(), 2u);
  EXPECT_EQ(prompt.asked[1].fileName, "/tmp/out.csv");
  EXPECT_EQ(prompt.asked[1].filterIndex, 2);
  EXPECT_EQ(prompt.asked[2].filterIndex, 2);
}

TEST(SaveLogAction, EmptyLogOrCancelSavesNothing) {
  test::TempDir dir;
  ScriptedPrompt prompt;
  TSaveDialog dialog(prompt);
  TRichEditLog log;
  SaveLogThroughDialog(log, dialog);
  EXPECT_TRUE(prompt.asked.empty());
  log.AppendLogLine("/a.pdf;1");
  prompt.answers = {std::nullopt};
  SaveLogThroughDialog(log, dialog);
  EXPECT_EQ(prompt.asked.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(SaveLogAction, SavesTheLogAsTxtCsvAndANameWithoutExtension) {
  test::TempDir dir;
  ScriptedPrompt prompt;
  TSaveDialog dialog(prompt);
  TRichEditLog log;
  log.AppendLogLine("C:\\Docs\\a.pdf;12");
  log.AppendLogLine("C:\\Docs\\b.pdf;3");
  const std::string txt = (dir.path() / "out.txt").string();
  const std::string csv = (dir.path() / "out.csv").string();
  const std::string bare = (dir.path() / "results").string();
  prompt.answers = {SaveFileAnswer{txt, 1}, SaveFileAnswer{csv, 2}, SaveFileAnswer{bare, 2}};
  for (int i = 0; i < 3; ++i) SaveLogThroughDialog(log, dialog);
  EXPECT_EQ(test::ReadFileBytes(txt), kExample);
  EXPECT_EQ(test::ReadFileBytes(csv), kExample);
  EXPECT_EQ(test::ReadFileBytes(bare), kExample);
  EXPECT_FALSE(std::filesystem::exists(bare + ".csv"));
  EXPECT_EQ(log.LogText(), kExample);  // the log keeps its text
}

TEST(SaveLogAction, LogOfOnlyALineBreakIsSaved) {
  test::TempDir dir;
  ScriptedPrompt prompt;
  TSaveDialog dialog(prompt);
  TRichEditLog log;
  log.show();
  log.setFocus();
  QTest::keyClick(&log, Qt::Key_Return);
  prompt.answers = {SaveFileAnswer{(dir.path() / "b.txt").string(), 1}};
  SaveLogThroughDialog(log, dialog);
  EXPECT_EQ(test::ReadFileBytes(dir.path() / "b.txt"), "\r\n");
}

TEST(SaveLogAction, ReadOnlyTargetRaisesTheCreateErrorAfterTheDialog) {
  test::TempDir dir;
  const auto target = dir.Write("ro.txt", "old");
  std::filesystem::permissions(target, std::filesystem::perms::owner_read);
  ScriptedPrompt prompt;
  TSaveDialog dialog(prompt);
  TRichEditLog log;
  log.AppendLogLine("/a.pdf;1");
  prompt.answers = {SaveFileAnswer{target.string(), 1}};
  EXPECT_THROW(SaveLogThroughDialog(log, dialog), EFCreateError);
  EXPECT_EQ(dialog.FileName, target.string());  // the confirmed values stay
  EXPECT_EQ(test::ReadFileBytes(target), "old");
}

TEST(FileDialogPrompt, AsksWithTheSettingsAndReturnsTheUsersChoice) {
  test::TempDir dir;
  const QString chosen = QString::fromStdString((dir.path() / "results").string());
  test::ModalAnswerer answer;
  QFileDialog::Options options;
  QStringList filters;
  QString preselected;
  QPoint position, expected;
  answer.OnBox([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(dialog, nullptr);
    options = dialog->options();
    filters = dialog->nameFilters();
    preselected = dialog->selectedNameFilter();
    position = dialog->pos();
    expected = SaveDialogPosition(dialog->screen()->geometry(), dialog->frameGeometry().size());
    dialog->selectNameFilter(filters.value(1));
    dialog->selectFile(chosen);
  });
  FileDialogPrompt prompt;
  SaveFileQuestion question{"", ParseFilter("Text File|*.txt|CSV File|*.csv"), 1};
  const auto got = prompt.Ask(question);
  ASSERT_EQ(answer.count(), 1);
  EXPECT_TRUE(options.testFlag(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(filters, QStringList({"Text File (*.txt)", "CSV File (*.csv)"}));
  EXPECT_EQ(preselected, "Text File (*.txt)");
  EXPECT_EQ(position, expected);
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->fileName, chosen.toStdString());  // no suffix added
  EXPECT_EQ(got->filterIndex, 2);
}

TEST(FileDialogPrompt, CancelledDialogGivesNothing) {
  test::ModalAnswerer answer(Qt::Key_Escape);
  FileDialogPrompt prompt;
  EXPECT_FALSE(prompt.Ask(SaveFileQuestion{"/tmp/x.txt", ParseFilter("Text File|*.txt"), 1}));
  EXPECT_EQ(answer.count(), 1);
}

}  // namespace
}  // namespace foliotally
