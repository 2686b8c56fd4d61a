#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QTimer>

#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>

#include "app/app_settings.h"
#include "app/application.h"
#include "app/message_answerer.h"
#include "app/qt_wait.h"
#include "app/widget_named.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "platform/file_ops.h"
#include "platform/line_file.h"
#include "support/faulty_file_ops.h"
#include "support/home_trash.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

using sortelia::testing::widgetNamed;

namespace sortelia::app {
namespace {

using testing::TempDir;

void pressKey(MainWindow& w, int key) {
  for (QShortcut* s : w.findChildren<QShortcut*>()) {
    if (s->key() == QKeySequence(key)) Q_EMIT s->activated();
  }
}

TEST(SortingLoopEndToEnd, TenPicturesThreeSlotsTwoMarksOneUndo) {
  TempDir root;
  const std::string data = root.mkdir("data");
  const std::string a = root.mkdir("dst/family");
  const std::string b = root.mkdir("dst/travel");
  const std::string c = root.mkdir("dst/work");
  std::map<std::string, std::string> bytes;
  for (int i = 1; i <= 10; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%04d.JPG", i);
    bytes[name] = testing::makeTestJpeg(40 + i, 30);
    root.write(std::string("src/") + name, bytes[name]);
  }
  const std::string src = root.path() + "/src/";
  const std::vector<std::string> ini = settingsLines({a, b, c}, src);
  ASSERT_TRUE(writeTextLines(data + "/zel.ini", ini).ok());

  MessageAnswerer answers;
  Application app(data);
  MainWindow& w = app.mainWindow();
  w.show();
  ASSERT_TRUE(waitFor([&] { return !app.state().firstActivation; }));
  ASSERT_EQ(app.state().list.imageCount, 10);
  auto* del = widgetNamed<QPushButton>(w, "Button13");

  pressKey(w, Qt::Key_F1);                      // 1 -> family
  pressKey(w, Qt::Key_F2);                      // 2 -> travel
  w.slotButton(3)->click();                     // 3 -> work
  del->click();                                 // 4 marked
  pressKey(w, Qt::Key_F1);                      // 5 -> family
  del->click();                                 // 6 marked
  pressKey(w, Qt::Key_F3);                      // 7 -> work
  widgetNamed<QAction>(w, "Undo1")->trigger();  // 7 back into the source folder
  EXPECT_EQ(app.state().list.sortIndex, 7);
  pressKey(w, Qt::Key_F2);  // 7 -> travel
  EXPECT_EQ(app.state().list.sortIndex, 8);
  EXPECT_TRUE(answers.texts.empty()) << answers.texts.front();

  w.close();  // the deletion pass asks, moves the two marked pictures to the Trash, then
              // zel.ini is written
  ASSERT_FALSE(answers.texts.empty());
  EXPECT_EQ(answers.texts.front(), "削除写真データファイル(2個)があります。ごみ箱へ移動しますか？");
  // The process's own home Trash (see qt_test_main.cpp) holds them, each restorable.
  ASSERT_TRUE(testing::homeTrashIsTemporary());
  std::map<std::string, std::string> trashed;  // original path -> bytes in the Trash
  for (const auto& f : testing::trashedFiles()) trashed[f.originalPath] = testing::readAll(f.path);
  for (const char* name : {"IMG_0004.JPG", "IMG_0006.JPG"}) {
    EXPECT_EQ(trashed[src + name], bytes[name]) << name;
  }

  auto holds = [&](const std::string& folder, const std::string& name) {
    return testing::readAll(folder + "/" + name) == bytes[name];
  };
  EXPECT_TRUE(holds(a, "IMG_0001.JPG"));
  EXPECT_TRUE(holds(a, "IMG_0005.JPG"));
  EXPECT_TRUE(holds(b, "IMG_0002.JPG"));
  EXPECT_TRUE(holds(b, "IMG_0007.JPG"));
  EXPECT_TRUE(holds(c, "IMG_0003.JPG"));
  EXPECT_FALSE(fs::exists(c + "/IMG_0007.JPG"));
  for (const char* gone : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG", "IMG_0004.JPG",
                           "IMG_0005.JPG", "IMG_0006.JPG", "IMG_0007.JPG"}) {
    EXPECT_FALSE(fs::exists(src + gone)) << gone;
  }
  for (const char* kept : {"IMG_0008.JPG", "IMG_0009.JPG", "IMG_0010.JPG"}) {
    EXPECT_TRUE(holds(root.path() + "/src", kept)) << kept;
  }
  EXPECT_EQ(*readTextLines(data + "/zel.ini"), ini);
}

// What is still being written shows in the real status bar beside the shown entry's text, and
// goes when the queue has written it (it once took the entry's text with it).
TEST(SortingLoopEndToEnd, TheStatusBarShowsWhatIsPendingBesideTheEntry) {
  TempDir root;
  const std::string data = root.mkdir("data");
  const std::string a = root.mkdir("dst/family");
  root.write("src/IMG_0001.JPG", std::string(3 << 20, 'x'));
  root.write("src/IMG_0002.JPG", testing::makeTestJpeg(40, 30));
  const std::string src = root.path() + "/src/";
  ASSERT_TRUE(writeTextLines(data + "/zel.ini", settingsLines({a}, src)).ok());
  MessageAnswerer answers;
  // The worker's copy waits until the test has read the status bar (a step written before
  // that made this test depend on the disk's speed).
  std::mutex m;
  std::condition_variable cv;
  bool open = false;
  testing::FaultyFileOperations files;
  files.otherFileSystem = true;  // a move within one file system is a rename, done at once
  files.beforeCopy = [&](int) {
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return open; });
  };
  Application app(data, &files);
  MainWindow& w = app.mainWindow();
  w.show();
  ASSERT_TRUE(waitFor([&] { return !app.state().firstActivation; }));
  pressKey(w, Qt::Key_F1);
  const std::string entry = src + "IMG_0002.JPG [ 2 / 2 files ]";
  EXPECT_EQ(w.statusText().toStdString(), entry + "　転送待ち 1 枚 (3 MB)");
  {
    std::lock_guard lock(m);
    open = true;
  }
  cv.notify_all();
  EXPECT_TRUE(waitFor([&] { return app.state().undo.lines.size() == 1; }, 20000));
  EXPECT_EQ(w.statusText().toStdString(), entry);
  EXPECT_EQ(testing::readAll(a + "/IMG_0001.JPG").size(), std::size_t{3} << 20);
  EXPECT_TRUE(answers.texts.empty());
}

// The real comment field (a QLineEdit) gives back what it was given, so a picture whose
// comment nobody touched is copied as it was, in EXIF item mode and in camera parameter mode.
TEST(SortingLoopEndToEnd, UntouchedCommentsLeaveThePicturesAsTheyWere) {
  for (const char* mask : {"110011010101110010101100000", "000000000000000000000000000"}) {
    SCOPED_TRACE(mask);
    TempDir root;
    const std::string data = root.mkdir("data");
    const std::string dst = root.mkdir("dst");
    const std::vector<std::string> comments{"one\ntwo", "one\rtwo", "  padded  ", ""};
    std::vector<std::string> bytes;
    for (std::size_t i = 0; i < comments.size(); ++i) {
      const std::string path =
          root.write("src/P" + std::to_string(i) + ".JPG", testing::makeTestJpeg(40, 30));
      if (!comments[i].empty()) {
        exif::TExifInfo info;
        info.UserComment = {comments[i]};
        exif::WriteExif(info, path);
      }
      bytes.push_back(testing::readAll(path));
    }
    ASSERT_TRUE(
        writeTextLines(data + "/zel.ini", settingsLines({dst}, root.path() + "/src/", mask)).ok());

    MessageAnswerer answers;
    Application app(data);
    MainWindow& w = app.mainWindow();
    w.show();
    ASSERT_TRUE(waitFor([&] { return !app.state().firstActivation; }));
    for (std::size_t i = 0; i < comments.size(); ++i) pressKey(w, Qt::Key_F1);
    app.loop().transfer.waitForQueue();  // the keys only queued the copies
    // The only message: the list has run out.
    EXPECT_EQ(answers.texts, std::vector<std::string>{"写真データがありません。"});
    for (std::size_t i = 0; i < comments.size(); ++i) {
      EXPECT_EQ(testing::readAll(dst + "/P" + std::to_string(i) + ".JPG"), bytes[i]) << i;
    }
    w.close();
  }
}

// Fault: with comment editing on, the comment field takes the focus after every picture and
// kept Ctrl+Z for its own text undo, so the key never reached the window's Undo. Pressed on the
// focused field, it now takes the last transfer back.
TEST(SortingLoopEndToEnd, CtrlZInTheFocusedCommentFieldUndoesTheTransfer) {
  TempDir root;
  const std::string data = root.mkdir("data");
  const std::string dst = root.mkdir("dst");
  for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"}) {
    root.write(std::string("src/") + name, testing::makeTestJpeg(40, 30));
  }
  const std::string src = root.path() + "/src/";
  ASSERT_TRUE(writeTextLines(data + "/zel.ini", settingsLines({dst}, src)).ok());
  MessageAnswerer answers;
  Application app(data);
  MainWindow& w = app.mainWindow();
  w.show();
  w.activateWindow();
  ASSERT_TRUE(waitFor([&] { return !app.state().firstActivation && w.isActiveWindow(); }));
  widgetNamed<QPushButton>(w, "SpeedButton1")->click();  // comment editing on
  w.slotButton(1)->click();
  ASSERT_EQ(app.state().list.sortIndex, 2);
  ASSERT_TRUE(waitFor([&] { return fs::exists(dst + "/IMG_0001.JPG"); }));  // written behind
  QWidget* focused = QApplication::focusWidget();
  ASSERT_TRUE(focused);
  ASSERT_EQ(focused->objectName(), "Edit3");
  QTest::keyClicks(focused, "abc");  // a typed comment, which the field could undo itself
  QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(app.state().list.sortIndex, 1);
  EXPECT_FALSE(fs::exists(dst + "/IMG_0001.JPG"));
  EXPECT_TRUE(fs::exists(src + "IMG_0001.JPG"));
  EXPECT_TRUE(answers.texts.empty()) << answers.texts.front();
  w.close();
}

}  // namespace
}  // namespace sortelia::app
