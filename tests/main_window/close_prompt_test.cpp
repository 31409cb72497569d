// Closing the window while the log holds lines not yet saved: the user is asked, and
// nothing is lost whatever the answer; Ctrl+S saves the log.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "main_window_fixture.h"

namespace foliotally::test {
namespace {

class ClosePrompt : public ::testing::Test {
 protected:
  ClosePrompt() { f.window->RichEditLog->AppendLogLine(f.Path("a.pdf") + ";3"); }
  std::string Saved() const { return f.Path("saved.txt"); }
  MainWindowFixture f;
};

TEST_F(ClosePrompt, CancelKeepsTheWindowAndTheLog) {
  ModalAnswerer answerer(Qt::Key_Escape);
  f.window->BitBtn1->click();
  ASSERT_EQ(answerer.count(), 1);
  EXPECT_TRUE(answerer.boxes()[0].text.contains("not been saved"));
  EXPECT_TRUE(f.window->isVisible());
  EXPECT_EQ(f.Log(), f.Path("a.pdf") + ";3\r\n");
}

TEST_F(ClosePrompt, SaveWritesTheLogThenCloses) {
  f.prompt.answers = {SaveFileAnswer{Saved(), 1}};
  ModalAnswerer answerer;  // Return: "Save", the default
  f.window->Close1->trigger();
  EXPECT_EQ(answerer.count(), 1);
  EXPECT_EQ(ReadFileBytes(Saved()), f.Path("a.pdf") + ";3\r\n");
  EXPECT_FALSE(f.window->isVisible());
}

TEST_F(ClosePrompt, SaveCancelledInTheDialogKeepsTheWindow) {
  ModalAnswerer answerer;  // "Save", then the dialog answers nothing
  f.window->close();
  EXPECT_EQ(f.prompt.questions.size(), 1u);
  EXPECT_TRUE(f.window->isVisible());
}

TEST_F(ClosePrompt, SaveThatFailsKeepsTheWindowAndSaysWhy) {
  f.prompt.answers = {SaveFileAnswer{f.Path("no such folder/saved.txt"), 1}};
  ModalAnswerer answerer;  // "Save", then OK on the error
  f.window->close();
  ASSERT_EQ(answerer.count(), 2);
  EXPECT_TRUE(answerer.boxes()[1].text.contains("Cannot create file"));
  EXPECT_TRUE(f.window->isVisible());
}

TEST_F(ClosePrompt, DiscardClosesWithoutWriting) {
  ModalAnswerer answerer(Qt::Key_D);
  f.window->close();
  EXPECT_EQ(answerer.count(), 1);
  EXPECT_FALSE(f.window->isVisible());
  EXPECT_TRUE(f.prompt.questions.empty());
}

TEST_F(ClosePrompt, NothingIsAskedOnceTheLogIsSavedOrWhenItIsEmpty) {
  f.prompt.answers = {SaveFileAnswer{Saved(), 1}};
  f.window->BitBtn2->click();
  ModalAnswerer answerer;
  f.window->close();
  EXPECT_FALSE(f.window->isVisible());
  f.window->show();
  f.window->RichEditLog->AppendLogLine("later");  // a new line is unsaved again
  f.window->RichEditLog->ClearLog();              // and an empty log has nothing to lose
  f.window->close();
  EXPECT_EQ(answerer.count(), 0);
  EXPECT_FALSE(f.window->isVisible());
}

TEST_F(ClosePrompt, TypingInTheLogCountsAsUnsaved) {
  f.prompt.answers = {SaveFileAnswer{Saved(), 1}};
  f.window->BitBtn2->click();
  f.window->RichEditLog->setFocus();
  QTest::keyClicks(f.window->RichEditLog, "note");
  ModalAnswerer answerer(Qt::Key_Escape);
  f.window->close();
  EXPECT_EQ(answerer.count(), 1);
  EXPECT_TRUE(f.window->isVisible());
}

TEST_F(ClosePrompt, CtrlSSavesTheLog) {
  f.prompt.answers = {SaveFileAnswer{Saved(), 1}};
  QApplication::setActiveWindow(f.window.get());
  QTest::keyClick(f.window.get(), Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(ReadFileBytes(Saved()), f.Path("a.pdf") + ";3\r\n");
}

}  // namespace
}  // namespace foliotally::test
