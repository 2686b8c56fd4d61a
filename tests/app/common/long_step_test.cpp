// A large copy runs off the GUI thread: the status bar shows its progress, the window keeps
// turning its event loop and refuses the person's clicks until the step ends.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/app_settings.h"
#include "app/common/qt_long_work.h"
#include "app/common/qt_timer.h"
#include "app/common/qt_ui.h"
#include "app/info/info_window.h"
#include "app/main/main_window.h"
#include "app/main/main_wiring.h"
#include "app/message_answerer.h"
#include "app/qt_wait.h"
#include "app/widget_named.h"
#include "core/session/sorting_session.h"
#include "core/sorting/destination_slots.h"
#include "core/sorting/sorting_loop.h"
#include "platform/file_ops.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

using sortelia::testing::widgetNamed;

namespace sortelia::app {
namespace {

using testing::readAll;
using testing::TempDir;

// File operations whose copy halts before its second write until the test releases it; while
// it halts, the test's look at the window runs on the GUI thread, inside the step.
class GatedFileOperations : public fs::FileOperations {
 public:
  std::function<void()> whileCopying;
  std::atomic<bool> wroteOffGuiThread{false};

  void release() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    gate_.notify_all();
  }
  // Halts the next copy before its second write again.
  void closeAgain() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
    writes_ = 0;
    wroteOffGuiThread = false;
  }

 protected:
  long writeSome(int fd, const char* data, std::size_t size) override {
    if (std::this_thread::get_id() != guiThread_) wroteOffGuiThread = true;
    if (++writes_ == 2 && whileCopying) {
      poster_.post(whileCopying);
      std::unique_lock<std::mutex> lock(mutex_);
      // Never waits for ever: a step that blocked the GUI thread would fail the test instead.
      gate_.wait_for(lock, std::chrono::seconds(20), [this] { return open_; });
    }
    return FileOperations::writeSome(fd, data, size);
  }

 private:
  std::thread::id guiThread_ = std::this_thread::get_id();
  QtTaskPoster poster_;  // whileCopying runs on the GUI thread while the copy waits
  std::atomic<int> writes_{0};
  std::mutex mutex_;
  std::condition_variable gate_;
  bool open_ = false;
};

// A left click as the windowing system delivers it: press and release through the
// application, so that event filters see them.
void clickAsAPerson(QWidget* w) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}

TEST(LongStep, LargeCopyAndItsUndoShowProgressAndRefuseSlotClicksUntilTheyEnd) {
  TempDir root;
  const std::string data = root.mkdir("data");
  const std::string one = root.mkdir("dst/one");
  const std::string two = root.mkdir("dst/two");
  // A picture with 3 MB of trailing bytes after its end: shown as any picture, copied in
  // three writes.
  std::string big = testing::makeTestJpeg(40, 30);
  for (std::size_t i = big.size(); i < 3 * 1024 * 1024; ++i) big += static_cast<char>(i * 5);
  root.write("src/IMG_0001.JPG", big);
  root.write("src/IMG_0002.JPG", testing::makeTestJpeg(40, 30));
  root.write("src/IMG_0003.JPG", testing::makeTestJpeg(30, 40));  // the end is not reached
  const std::string src = root.path() + "/src/";
  ASSERT_TRUE(writeTextLines(data + "/zel.ini", settingsLines({one, two}, src)).ok());

  MessageAnswerer answers(/*answerYes=*/false);
  SortingState state;
  MainWindow w;
  InfoWindow info;
  QtUi ui(&w, w.statusLabel(), &info);
  SortingSession session(state, ui, w, data);
  DestinationSlots slots(session);
  GatedFileOperations files;
  SortingLoop loop(session, files);
  auto* longWork = new QtLongWork(w);
  loop.setLongWork(longWork, 1024 * 1024);
  MainWiring wiring(w, info, ui, session, slots, loop);
  w.show();
  ASSERT_TRUE(waitFor([&] { return !state.firstActivation; }));
  ASSERT_EQ(state.list.imageCount, 3);

  auto* slot1 = widgetNamed<QPushButton>(w, "Button1");
  auto* slot2 = widgetNamed<QPushButton>(w, "Button2");
  ASSERT_TRUE(slot1 && slot2);
  QProgressBar* bar = longWork->progressBar();
  bool looked = false, barShown = false, stillRunning = false;
  std::size_t journalDuring = 99;
  QString barFormat;
  files.whileCopying = [&] {
    looked = true;
    barShown = bar->isVisible();
    barFormat = bar->format();
    clickAsAPerson(slot2);
    clickAsAPerson(slot1);
    stillRunning = longWork->running();
    journalDuring = state.undo.lines.size();
    files.release();
  };
  clickAsAPerson(slot1);  // returns once the whole transfer has ended

  EXPECT_TRUE(looked) << "the event loop turned during the copy";
  EXPECT_TRUE(files.wroteOffGuiThread);
  EXPECT_TRUE(barShown);
  EXPECT_EQ(barFormat, "Copying... %p%");
  EXPECT_TRUE(stillRunning);
  EXPECT_EQ(journalDuring, 0u);
  EXPECT_FALSE(bar->isVisible()) << "the bar goes with the step";
  ASSERT_EQ(state.undo.lines.size(), 1u) << "the clicks during the copy started nothing";
  EXPECT_EQ(state.undo.lines[0], "Move, \"" + src + "IMG_0001.JPG\", \"" + one + "/IMG_0001.JPG\"");
  EXPECT_EQ(readAll(one + "/IMG_0001.JPG"), big);
  EXPECT_FALSE(fs::exists(src + "IMG_0001.JPG"));
  EXPECT_FALSE(fs::exists(two + "/IMG_0001.JPG"));
  EXPECT_FALSE(fs::exists(two + "/IMG_0002.JPG"));
  EXPECT_EQ(state.list.sortIndex, 2);

  // The same click after the step is taken: the refusal above came from the step.
  files.whileCopying = nullptr;
  clickAsAPerson(slot2);
  EXPECT_EQ(state.undo.lines.size(), 2u);
  EXPECT_TRUE(fs::exists(two + "/IMG_0002.JPG"));
  EXPECT_EQ(answers.texts, std::vector<std::string>{});

  // The undo of the large move copies it back the same way.
  QAction* undo = w.find<QAction>(Control::Undo1);
  undo->trigger();  // the small move of IMG_0002, inline
  ASSERT_EQ(state.undo.lines.size(), 1u);
  looked = barShown = stillRunning = false;
  barFormat.clear();
  journalDuring = 99;
  files.closeAgain();
  files.whileCopying = [&] {
    looked = true;
    barShown = bar->isVisible();
    barFormat = bar->format();
    clickAsAPerson(slot2);
    stillRunning = longWork->running();
    journalDuring = state.undo.lines.size();
    files.release();
  };
  undo->trigger();  // returns once the whole undo has ended
  EXPECT_TRUE(looked) << "the event loop turned during the copy back";
  EXPECT_TRUE(files.wroteOffGuiThread);
  EXPECT_TRUE(barShown);
  EXPECT_EQ(barFormat, "Copying... %p%");
  EXPECT_TRUE(stillRunning);
  EXPECT_EQ(journalDuring, 1u) << "the line goes only once the copy back is verified";
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(state.undo.lines.empty()) << "the click during the copy back started nothing";
  EXPECT_EQ(readAll(src + "IMG_0001.JPG"), big);
  EXPECT_FALSE(fs::exists(one + "/IMG_0001.JPG"));
  EXPECT_FALSE(fs::exists(two + "/IMG_0001.JPG"));
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_EQ(answers.texts, std::vector<std::string>{});
}

// Fault: text committed by an input method (every Japanese word typed) reached the focused
// field in the middle of a long step, while the keys themselves were refused. Everything the
// person types, presses or closes during the step is refused; the same input after it acts.
TEST(LongStep, TypedTextShortcutsAndClosingWaitForTheStep) {
  QMainWindow w;
  auto* field = new QLineEdit;
  w.setCentralWidget(field);
  auto* open = new QAction(&w);
  open->setShortcut(QKeySequence("Ctrl+O"));
  w.addAction(open);
  auto* slotKey = new QShortcut(QKeySequence(Qt::Key_F1), &w);
  int opens = 0, slotKeys = 0;
  QObject::connect(open, &QAction::triggered, [&] { ++opens; });
  QObject::connect(slotKey, &QShortcut::activated, [&] { ++slotKeys; });
  QtLongWork work(w);
  w.show();
  w.activateWindow();
  ASSERT_TRUE(waitFor([&] { return w.isActiveWindow(); }));
  field->setFocus();
  bool closed = true;
  const auto typeAndClose = [&] {
    QTest::keyClick(field, Qt::Key_F1);
    QTest::keyClick(field, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_A);
    QInputMethodEvent commit;
    commit.setCommitString("写真");
    QApplication::sendEvent(field, &commit);
    closed = w.close();
  };
  std::atomic<bool> looked{false};
  QTimer::singleShot(0, &w, [&] {
    typeAndClose();
    looked = true;
  });
  work.runLongStep("Copying...", [&](ProgressReporter&) {
    while (!looked) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  ASSERT_TRUE(looked);
  EXPECT_EQ(opens, 0);
  EXPECT_EQ(slotKeys, 0);
  EXPECT_EQ(field->text().toStdString(), "");
  EXPECT_FALSE(closed);
  EXPECT_TRUE(w.isVisible());

  typeAndClose();
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(slotKeys, 1);
  EXPECT_EQ(field->text().toStdString(), "a写真");
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace sortelia::app
