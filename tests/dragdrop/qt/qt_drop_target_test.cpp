// The drop target's Qt side: the data object over mime data, the registration helper that
// follows a recreated native window, and Ctrl+V in the main window's folder list.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "dragdrop/formats/clipboard_format_feedback.h"
#include "dragdrop/formats/clipboard_format_hdrop.h"
#include "dragdrop/formats/clipboard_format_ids.h"
#include "dragdrop/formats/clipboard_format_pidl.h"
#include "dragdrop/qt/drag_event_translation.h"
#include "dragdrop/qt/mime_data_object.h"
#include "dragdrop/qt/qt_drop_platform.h"
#include "dragdrop/qt/win_control_proxy.h"
#include "dragdrop/target/drop_file_target.h"
#include "folder_browser/directory_list_box.h"
#include "folder_browser/file_list_box.h"
#include "main_window/main_window_fixture.h"
#include "main_window/results_log/rich_edit_log.h"

namespace foliotally::dragdrop {
namespace {

std::vector<uint16_t> OfferedIds(IDataObject& data) {
  std::unique_ptr<IEnumFormatEtc> formats;
  data.EnumFormatEtc(DATADIR_GET, formats);
  std::vector<uint16_t> ids;
  TFormatEtc format;
  uint32_t fetched = 0;
  while (formats->Next(std::span(&format, 1), fetched) == S_OK) ids.push_back(format.cfFormat);
  return ids;
}

std::vector<std::u16string> Items(TUnicodeStrings& list) {
  std::vector<std::u16string> items;
  for (int32_t i = 0; i < list.GetCount(); ++i) items.push_back(list.Get(i));
  return items;
}

TEST(MimeDataObject, UriListIsOfferedAsDroppedNamesAndShellItemsAndNamedFormatsAsThemselves) {
  TQtDropPlatform platform;  // starts the formats
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/tmp/a b"), QUrl("https://example.com/x")});
  mime.setData(R"(application/x-qt-windows-mime;value="FileNameW")", "x\0\0\0");
  mime.setData("NotAFormatAnyoneRegistered", "x");
  TMimeDataObject data(&mime, DROPEFFECT_COPY, nullptr);

  const uint16_t idList = RegisteredFormatId("Shell IDList Array");
  const std::vector<uint16_t> ids = OfferedIds(data);
  EXPECT_EQ(std::vector<uint16_t>(ids.begin(), ids.begin() + 3),
            (std::vector<uint16_t>{CF_HDROP, idList, RegisteredFormatId("FileNameW")}));
  EXPECT_EQ(std::count(ids.begin(), ids.end(), RegisteredFormatId("FileNameW")), 1);

  TFileClipboardFormat names;
  ASSERT_TRUE(names.GetData(data));
  EXPECT_EQ(Items(names.Names()), std::vector<std::u16string>{u"/tmp/a b"});
  TPIDLClipboardFormat items;
  ASSERT_TRUE(items.GetData(data));
  EXPECT_EQ(Items(items.PathNames()), (std::vector<std::u16string>{u"/tmp/a b", u""}));
}

TEST(MimeDataObject, CutInTheFileManagerPrefersMoveAndWritesGoOnlyWhereTheSinkTakesThem) {
  TQtDropPlatform platform;
  QMimeData mime;
  mime.setData("x-special/gnome-copied-files", "cut\nfile:///tmp/a");
  std::vector<uint32_t> taken;
  TMimeDataObject data(&mime, std::nullopt, [&](uint16_t, uint32_t value) {
    taken.push_back(value);
    return value != 7;
  });
  TPreferredDropEffectClipboardFormat preferred;
  ASSERT_TRUE(preferred.GetData(data));
  EXPECT_EQ(preferred.Value(), DROPEFFECT_MOVE);

  TPerformedDropEffectClipboardFormat performed;
  performed.SetValue(1);
  TStgMedium medium;
  EXPECT_TRUE(performed.SetData(data, performed.FormatEtc(), medium));
  performed.SetValue(7);
  EXPECT_FALSE(performed.SetData(data, performed.FormatEtc(), medium));
  EXPECT_EQ(taken, (std::vector<uint32_t>{1, 7}));
}

// Sends a whole drag of `mime` onto `area`; gives the action the source is told.
Qt::DropAction DragOnto(QWidget* area, const QMimeData& mime) {
  const QPointF at = area->rect().center();
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(at.toPoint(), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(area, &enter);
  QDragMoveEvent move(at.toPoint(), actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(area, &move);
  QDropEvent drop(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(area, &drop);
  return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

// A list whose native window can be destroyed and created anew.
class RecreatableList : public QListWidget {
 public:
  using QListWidget::QListWidget;
  void Recreate() {
    destroy(true, false);
    create();
  }
};

TEST(WinControlProxy, FollowsARecreatedNativeWindowAndEndsWithTheControl) {
  TQtDropPlatform platform;
  QWidget window;
  auto* list = new RecreatableList(&window);
  list->setGeometry(0, 0, 200, 200);
  window.show();
  TDropFileTarget target(platform);
  std::vector<std::u16string> dropped;
  target.OnDrop = [&](TCustomDropTarget&, TShiftState, TPoint, uint32_t&) {
    dropped = Items(target.Files());
  };
  target.SetTarget(AsWinControl(list));
  auto* proxy = list->findChild<TWinControlProxy*>();
  ASSERT_NE(proxy, nullptr);

  const WId first = list->winId();
  EXPECT_EQ(proxy->RegisteredWindow(), first);
  list->Recreate();
  const WId second = list->winId();
  ASSERT_NE(second, first);
  EXPECT_EQ(proxy->RegisteredWindow(), second);

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/tmp")});
  EXPECT_EQ(DragOnto(list->viewport(), mime), Qt::CopyAction);
  EXPECT_EQ(dropped, std::vector<std::u16string>{u"/tmp"});

  delete list;
  EXPECT_EQ(target.Targets().Count(), 0);
  auto* other = new QListWidget(&window);
  target.SetTarget(AsWinControl(other));
  EXPECT_EQ(target.Targets().Count(), 1);
}

class FolderListPaste : public ::testing::Test, public test::MainWindowFixture {
 protected:
  // Ctrl+V in the folder list, as the user presses it.
  void PressPaste() {
    QApplication::setActiveWindow(window.get());
    window->DirectoryListBox->setFocus();
    QTest::keyClick(window->DirectoryListBox, Qt::Key_V, Qt::ControlModifier);
  }
  size_t VisibleWindows() const {
    size_t count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) count += widget->isVisible();
    return count;
  }
};

TEST_F(FolderListPaste, CopiedFolderIsEnteredAndAClipboardWithoutNamesDoesNothing) {
  const std::string docs = dir.MakeFolder("Docs").string();
  auto* copied = new QMimeData;
  copied->setUrls({QUrl::fromLocalFile(QString::fromStdString(docs))});
  QGuiApplication::clipboard()->setMimeData(copied);
  PressPaste();
  EXPECT_EQ(window->DirectoryListBox->Directory(), docs);

  const size_t windows = VisibleWindows();
  QGuiApplication::clipboard()->setText("just some words");
  PressPaste();
  auto* gone = new QMimeData;
  gone->setUrls({QUrl::fromLocalFile(QString::fromStdString(docs + "/missing"))});
  QGuiApplication::clipboard()->setMimeData(gone);
  PressPaste();
  EXPECT_EQ(window->DirectoryListBox->Directory(), docs);
  EXPECT_EQ(VisibleWindows(), windows);
}

// Ctrl+V anywhere in the window pastes names, but in the log, which pastes the text.
TEST_F(FolderListPaste, CtrlVInTheFileListPastesNamesAndInTheLogPastesText) {
  const std::string docs = dir.MakeFolder("Docs").string();
  auto* copied = new QMimeData;
  copied->setUrls({QUrl::fromLocalFile(QString::fromStdString(docs))});
  QGuiApplication::clipboard()->setMimeData(copied);
  QApplication::setActiveWindow(window.get());
  window->FileListBox->setFocus();
  QTest::keyClick(window->FileListBox, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(window->DirectoryListBox->Directory(), docs);

  const std::string before = window->DirectoryListBox->Directory();
  QGuiApplication::clipboard()->setText(QString::fromStdString(dir.str()));
  window->RichEditLog->setFocus();
  QTest::keyClick(window->RichEditLog, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(window->RichEditLog->LogText(), dir.str());
  EXPECT_EQ(window->DirectoryListBox->Directory(), before);

  // A typed path elsewhere is a name like a copied one.
  window->FileListBox->setFocus();
  QTest::keyClick(window->FileListBox, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(window->DirectoryListBox->Directory(), dir.str());
}

// The clipboard's copied-files list alone, and addresses naming another machine or holding
// a NUL, as the data object reads them.
TEST(MimeDataObject, ClipboardNamesComeFromCopiedFilesAndForeignOrCutNamesAreLeftOut) {
  TQtDropPlatform platform;
  QMimeData gnome;
  gnome.setData("x-special/gnome-copied-files", "copy\nfile:///tmp/a%20b\nfile:///tmp/c");
  TMimeDataObject clipboard(&gnome, std::nullopt, nullptr,
                            TMimeDataObject::TNameSources::Clipboard);
  TFileClipboardFormat names;
  ASSERT_TRUE(names.GetData(clipboard));
  EXPECT_EQ(Items(names.Names()), (std::vector<std::u16string>{u"/tmp/a b", u"/tmp/c"}));
  // Dragged, the same list is no list of names.
  TMimeDataObject dragged(&gnome, DROPEFFECT_COPY, nullptr);
  EXPECT_FALSE(TFileClipboardFormat().GetData(dragged));

  QMimeData uris;
  uris.setData("text/uri-list",
               "file://elsewhere/tmp/x\r\nfile:///tmp/y%00z\r\nfile:///tmp/caf%E9\r\n");
  TMimeDataObject data(&uris, DROPEFFECT_COPY, nullptr);
  ASSERT_TRUE(names.GetData(data));
  EXPECT_EQ(Items(names.Names()), std::vector<std::u16string>{u"/tmp/caf\xDCE9"});
  TPIDLClipboardFormat items;
  ASSERT_TRUE(items.GetData(data));
  EXPECT_EQ(Items(items.PathNames()), (std::vector<std::u16string>{u"", u"", u"/tmp/caf\xDCE9"}));
}

}  // namespace
}  // namespace foliotally::dragdrop
