// The transfer queue on real files: slot keys settle their questions and go on at once, the
// queue's worker writes the steps in key order, a failure puts its picture and every one queued
// after it back, the bounds make a key wait, and the commands that touch what the queue touches
// wait for it first.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "core/sorting_fixture.h"
#include "platform/file_ops.h"
#include "platform/task_queue.h"
#include "support/fake_long_work.h"

namespace sortelia {
namespace {

using testing::readAll;

// Holds the queue's worker at its first copy until opened, so that a test queues several steps
// before any of them runs. Never holds for ever: a test that forgot to open it fails instead.
class Gate {
 public:
  void wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    open_.wait_for(lock, std::chrono::seconds(20), [this] { return isOpen_; });
  }
  void open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      isOpen_ = true;
    }
    open_.notify_all();
  }
  void close() {
    std::lock_guard<std::mutex> lock(mutex_);
    isOpen_ = false;
  }

 private:
  std::mutex mutex_;
  std::condition_variable open_;
  bool isOpen_ = false;
};

// The GUI thread's event loop as the queue's worker reaches it: posted from any thread, run when
// the test turns it.
class LockedTaskPoster : public TaskPoster {
 public:
  void post(std::function<void()> task) override { tasks_.push(std::move(task)); }
  void runAll() { tasks_.runAll(); }

 private:
  TaskQueue tasks_;
};

// A wait for the queue opens the gate first, as the person's wait lets the worker go on.
class OpeningLongWork : public testing::FakeLongWork {
 public:
  explicit OpeningLongWork(Gate& gate) : gate_(gate) {}
  void runLongStep(const std::string& title,
                   const std::function<void(ProgressReporter&)>& job) override {
    gate_.open();
    FakeLongWork::runLongStep(title, job);
  }

 private:
  Gate& gate_;
};

class QueuedTransfer : public testing::SortingFixture {
 protected:
  QueuedTransfer() {
    files.beforeCopy = [this](int copy) {
      if (copy == 1) gate.wait();
    };
    transfer.setLongWork(&longWork);
    transfer.setQueue(&poster);
  }
  void TearDown() override {
    gate.open();
    transfer.setQueue(nullptr);  // runs what is left and ends the worker
  }
  // A fresh queue whose worker holds at its first copy again, an empty journal and no copies
  // in dst, for the next row of a table.
  void restart() {
    TearDown();
    gate.close();
    files.copies = files.compares = 0;
    transfer.setQueue(&poster);
    longWork.titles.clear();
    state.undo.lines.clear();
    for (int i = 1; i <= 4; ++i) std::remove(d(name(i)).c_str());
  }
  // Lists P1.JPG .. Pn.JPG and binds slot 1.
  void scanPictures(int n, bool move) {
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i) names.push_back(name(i));
    scan(names);
    bind(1, dst);
    state.options.keepOriginal = !move;
    forget();
  }
  static std::string name(int i) { return "P" + std::to_string(i) + ".JPG"; }
  void press(int times) {
    for (int i = 0; i < times; ++i) transfer.Button1Click(1);
  }
  std::vector<std::string> journalledPictures() const {
    std::vector<std::string> out;
    for (const auto& line : state.undo.lines) out.push_back(parseCommaText(line).at(1));
    return out;
  }

  Gate gate;
  LockedTaskPoster poster;
  OpeningLongWork longWork{gate};
};

TEST_F(QueuedTransfer, KeysGoOnAtOnceAndTheStepsAreWrittenAndJournalledInKeyOrder) {
  for (const bool move : {false, true}) {
    SCOPED_TRACE(move ? "move" : "copy");
    restart();
    files.otherFileSystem = true;  // a move copies too, so the gate holds it
    scanPictures(4, move);

    press(3);
    // Every key showed the next picture while the worker still held the first copy.
    EXPECT_EQ(state.list.sortIndex, 4);
    ASSERT_FALSE(view.shown.empty());
    EXPECT_EQ(view.shown.back().path, s(name(4)));
    EXPECT_EQ(transfer.pendingTransfers().steps, 3);
    // The pending text stands beside the shown entry's own status text.
    const std::string entryStatus = s(name(4)) + " [ 4 / 4 files ]";
    EXPECT_EQ(ui.status(), entryStatus + "　転送待ち 3 枚 (0 MB)");
    EXPECT_TRUE(state.undo.lines.empty());
    EXPECT_TRUE(longWork.titles.empty()) << "no key waited";

    gate.open();
    transfer.waitForQueue();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
    EXPECT_EQ(journalledPictures(), (std::vector<std::string>{s(name(1)), s(name(2)), s(name(3))}));
    for (int i = 1; i <= 3; ++i) {
      EXPECT_EQ(readAll(d(name(i))), bytesOf(name(i))) << i;
      EXPECT_EQ(fs::exists(s(name(i))), !move) << i;
    }
    EXPECT_TRUE(fs::exists(s(name(4))));
    // The pending text once took the entry's text with it when the queue ran empty, leaving
    // the status bar blank: the entry's text stays.
    EXPECT_EQ(ui.status(), entryStatus) << "the pending text goes once the queue is empty";
    EXPECT_EQ(state.list.sortIndex, 4);
  }
}

// A move within one file system is a rename that never replaces: no copy, no comparison, and a
// name taken between the look and the rename fails the step with every file where it was.
TEST_F(QueuedTransfer, AMoveWithinOneFileSystemRenamesAndNeverReplaces) {
  const std::vector<std::string> step{"P1.JPG", "P1.CR3", "P1.JPG.xmp"};
  scan({"P1.JPG", "P1.CR3", "P1.JPG.xmp", "P2.JPG", "P3.JPG"});
  bind(1, dst);
  state.options.keepOriginal = false;
  // P2's name is taken after its key, just before its rename.
  files.beforeRename = [this](const std::string&, const std::string& to) {
    if (to == d("P2.JPG")) root.write("dst/P2.JPG", "somebody's file");
  };
  gate.open();
  press(2);
  transfer.waitForQueue();

  EXPECT_EQ(files.copies, 0);
  EXPECT_EQ(files.compares, 0);
  for (const auto& n : step) {
    EXPECT_EQ(readAll(d(n)), bytesOf(n)) << n;
    EXPECT_FALSE(fs::exists(s(n))) << n;
  }
  ASSERT_EQ(state.undo.lines.size(), 1u);
  EXPECT_EQ(parseCommaText(state.undo.lines[0]).at(0), "Move");
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Error![17]"});
  EXPECT_EQ(readAll(d("P2.JPG")), "somebody's file");
  EXPECT_EQ(readAll(s("P2.JPG")), bytesOf("P2.JPG"));
  EXPECT_EQ(state.list.sortIndex, 2);

  // The undo of a renamed move puts every file back.
  files.beforeRename = nullptr;
  journal.Undo1Click();
  for (const auto& n : step) EXPECT_EQ(readAll(s(n)), bytesOf(n)) << n;
  EXPECT_TRUE(state.undo.lines.empty());
}

// Fault found in review: a move into a folder seen through another mount of the same file
// system (a bind mount) was tried as a rename, as both lie on one device, and a rename does not
// cross mounts (EXDEV): every such move failed with "Error![18]". It is copied and verified, as a
// move to another disk is.
TEST_F(QueuedTransfer, AMoveIntoAnotherMountOfTheSameFileSystemIsCopied) {
  const std::string mountPoint = root.mkdir("mounted");
  if (::mount(dst.c_str(), mountPoint.c_str(), nullptr, MS_BIND, nullptr) != 0) {
    GTEST_SKIP() << "bind mounts are not allowed here";
  }
  struct Unmount {
    std::string dir;
    ~Unmount() { ::umount2(dir.c_str(), MNT_DETACH); }
  } unmount{mountPoint};
  scan({"P1.JPG", "P1.CR3", "P2.JPG"});
  bind(1, mountPoint);
  state.options.keepOriginal = false;
  gate.open();
  press(1);
  transfer.waitForQueue();

  EXPECT_EQ(messageTexts(), std::vector<std::string>{});
  for (const std::string n : {"P1.JPG", "P1.CR3"}) {
    EXPECT_TRUE(readAll(d(n)) == bytesOf(n)) << n;
    EXPECT_FALSE(fs::exists(s(n))) << n;
  }
  EXPECT_EQ(files.copies, 2);
  ASSERT_EQ(state.undo.lines.size(), 1u);
  EXPECT_EQ(parseCommaText(state.undo.lines[0]).at(0), "Move");
  EXPECT_EQ(state.list.sortIndex, 2);
}

TEST_F(QueuedTransfer, AFailureAtAnyPositionPutsItsPictureAndEveryLaterOneBack) {
  struct Fault {
    const char* what;
    std::function<void(testing::FaultyFileOperations&)> set;
    std::string message;  // "" when it is the read error's own text
  };
  const std::vector<Fault> faults = {
      {"disk full", [](auto& f) { f.failWriteAfter = 100; }, "Error![28]"},
      {"corrupted copy", [](auto& f) { f.corruptAt = 10; },
       "比較エラー発生！元データは削除されません。"},
      {"cut copy", [](auto& f) { f.truncateTo = 10; },
       "サイズエラー発生！元データは削除されません。"},
      {"unreadable storage", [](auto& f) { f.readFails = true; }, ""},
  };
  for (const Fault& fault : faults) {
    for (int position = 1; position <= 3; ++position) {
      for (const bool move : {false, true}) {
        SCOPED_TRACE(std::string(fault.what) + " at step " + std::to_string(position) +
                     (move ? ", move" : ", copy"));
        restart();
        files.failWriteAfter = files.corruptAt = files.truncateTo = -1;
        files.readFails = false;
        files.faultOnCopy = position;
        files.otherFileSystem = true;  // a move copies, so the copy's faults reach it
        fault.set(files);
        scanPictures(4, move);

        press(3);
        gate.open();
        transfer.waitForQueue();
        poster.runAll();  // what the worker posted finds nothing left to take back

        const auto texts = messageTexts();
        ASSERT_EQ(texts.size(), 1u) << "one message, for the failed step";
        if (!fault.message.empty()) {
          EXPECT_EQ(texts[0], fault.message);
        }
        EXPECT_EQ(state.list.sortIndex, position);
        EXPECT_EQ(view.shown.back().path, s(name(position)));
        std::vector<std::string> done;
        for (int i = 1; i < position; ++i) done.push_back(s(name(i)));
        EXPECT_EQ(journalledPictures(), done);
        for (int i = 1; i <= 4; ++i) {
          if (i < position) {
            EXPECT_EQ(readAll(d(name(i))), bytesOf(name(i))) << i;
            continue;
          }
          EXPECT_EQ(readAll(s(name(i))), bytesOf(name(i))) << "source kept: " << i;
          if (i > position) {
            EXPECT_FALSE(fs::exists(d(name(i)))) << "never run: " << i;
          }
        }
        // The step behind the failed one was written ahead under a temporary name while the
        // failed one was compared: nothing of it stays.
        for (const auto& e : std::filesystem::directory_iterator(dst)) {
          EXPECT_FALSE(fs::isCopyTemporary(e.path().filename().string())) << e.path();
        }
        EXPECT_EQ(transfer.pendingTransfers().steps, 0);
      }
    }
  }
}

// A copy of the wrong size was once given the picture's name for inspection as soon as it was
// written, ahead of its turn, while the step before it was compared: when that one failed, the
// later picture, never run, stood in the slot folder under its name.
TEST_F(QueuedTransfer, ACopyWrittenAheadTakesNoNameWhenTheStepBeforeFails) {
  for (const bool move : {false, true}) {
    SCOPED_TRACE(move ? "move" : "copy");
    restart();
    files.readFails = true;
    files.faultOnCopy = 1;  // the comparison of the first step cannot read
    files.cutCopy = 2;      // the second step's copy, written meanwhile, is cut short
    files.otherFileSystem = true;
    scanPictures(3, move);

    press(2);
    gate.open();
    transfer.waitForQueue();

    EXPECT_EQ(messageTexts().size(), 1u);
    EXPECT_EQ(state.list.sortIndex, 1);
    EXPECT_TRUE(state.undo.lines.empty());
    EXPECT_EQ(readAll(s(name(1))), bytesOf(name(1)));
    EXPECT_EQ(readAll(s(name(2))), bytesOf(name(2)));
    EXPECT_FALSE(fs::exists(d(name(2)))) << "the second step never ran";
    for (const auto& e : std::filesystem::directory_iterator(dst)) {
      EXPECT_FALSE(fs::isCopyTemporary(e.path().filename().string())) << e.path();
    }
    files.readFails = false;
    files.cutCopy = 0;
  }
}

// The failure is taken back by the next key when nothing took it back before: that key only
// shows the failed picture again and queues nothing.
TEST_F(QueuedTransfer, AKeyAfterAnUntoldFailureShowsTheFailedPictureAndQueuesNothing) {
  files.failWriteAfter = 100;
  files.faultOnCopy = 1;
  files.otherFileSystem = true;
  scanPictures(3, true);
  press(2);
  gate.open();
  while (transfer.pendingTransfers().steps > 0) std::this_thread::yield();
  EXPECT_EQ(state.list.sortIndex, 3);

  press(1);
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Error![28]"});
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_EQ(transfer.pendingTransfers().steps, 0);
  EXPECT_TRUE(state.undo.lines.empty());
  EXPECT_EQ(readAll(s(name(2))), bytesOf(name(2)));
  EXPECT_FALSE(fs::exists(d(name(2))));

  // The queue runs again: the picture goes on the next key.
  forget();
  press(1);
  transfer.waitForQueue();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{});
  EXPECT_EQ(journalledPictures(), std::vector<std::string>{s(name(1))});
  EXPECT_EQ(state.list.sortIndex, 2);
}

// A failure once came back while the options window was open: its message stood over that
// window and the list moved behind it. While a modal window is open nothing is taken back; the
// next key tells it.
TEST_F(QueuedTransfer, WhileAModalWindowIsOpenAFailureWaitsForTheNextKey) {
  files.failWriteAfter = 100;
  files.faultOnCopy = 1;
  files.otherFileSystem = true;
  scanPictures(3, false);
  press(2);
  ui.modalOpen = true;
  gate.open();
  while (transfer.pendingTransfers().steps > 0) std::this_thread::yield();
  poster.runAll();  // the worker's news reaches the GUI thread behind the modal window
  EXPECT_EQ(messageTexts(), std::vector<std::string>{});
  EXPECT_EQ(state.list.sortIndex, 3);
  ui.modalOpen = false;
  press(1);
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Error![28]"});
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_TRUE(state.undo.lines.empty());
}

TEST_F(QueuedTransfer, AKeyWaitsWhileTheQueueHoldsItsBoundOfStepsOrBytes) {
  struct Row {
    const char* what;
    int steps;
    int megabytes;
    std::size_t pictureBytes;
    std::string waited;  // the wait's text
  };
  const std::vector<Row> rows = {
      {"steps", 2, 512, 5000, "転送待ち 2 枚 (0 MB)"},
      {"bytes", 8, 1, 600 * 1024, "転送待ち 2 枚 (1 MB)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    testing::TempDir folder;
    for (int i = 1; i <= 4; ++i)
      folder.write(name(i), std::string(row.pictureBytes, char('a' + i)));
    restart();
    state.options.queueSteps = row.steps;
    state.options.queueMegabytes = row.megabytes;
    state.options.keepOriginal = true;
    state.list.sourceDir = folder.path() + "/";
    session.scan().rescanSourceFolder();
    const std::string to = root.mkdir(std::string("to-") + row.what);
    bind(1, to);

    press(2);
    EXPECT_TRUE(longWork.titles.empty());
    press(1);  // over the bound: waits until the worker has written one
    EXPECT_EQ(longWork.titles, std::vector<std::string>{row.waited});
    EXPECT_EQ(state.list.sortIndex, 4);
    transfer.waitForQueue();
    EXPECT_EQ(state.undo.lines.size(), 3u);
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(fs::exists(to + "/" + name(i))) << i;
    state.undo.lines.clear();
  }
}

// Fault found in review: the Delete key journalled its "Del" line at once, while the transfers
// queued before it were journalled only when the queue gave them back, after it. Undo then took
// back the earlier transfer first: asking for the marked picture back, the person got the one
// before it moved back into the source folder, behind the shown position, and never shown again.
TEST_F(QueuedTransfer, TheDeleteKeyIsJournalledAfterTheTransfersQueuedBeforeIt) {
  files.otherFileSystem = true;
  scanPictures(3, true);
  press(1);
  marks.Button13Click();  // on picture 2, while picture 1 is still queued
  transfer.waitForQueue();
  ASSERT_EQ(state.undo.lines.size(), 2u);
  EXPECT_EQ(parseCommaText(state.undo.lines[0]).at(0), "Move");
  EXPECT_EQ(parseCommaText(state.undo.lines[1]), (std::vector<std::string>{"Del", "2", ""}));
  EXPECT_EQ(state.list.sortIndex, 3);

  journal.Undo1Click();
  EXPECT_EQ(state.list.images[1], s(name(2))) << "the mark is taken back";
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_EQ(view.shown.back().path, s(name(2)));
  EXPECT_TRUE(readAll(d(name(1))) == bytesOf(name(1))) << "the earlier transfer stays";
  EXPECT_FALSE(fs::exists(s(name(1))));

  // A queued transfer that fails is told by the Delete key, which then marks nothing, as a slot
  // key after a failure only shows the failed picture again.
  restart();
  files.failWriteAfter = 100;
  files.faultOnCopy = 1;
  scanPictures(3, true);
  press(1);
  marks.Button13Click();
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"Error![28]"});
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_EQ(view.shown.back().path, s(name(1)));
  EXPECT_EQ(state.list.images[1], s(name(2))) << "not marked";
  EXPECT_TRUE(state.undo.lines.empty());
}

// Undo, the deletion pass and closing take back what is queued before they act; without the
// wait, undo would find no line and the closing would lose the journal of queued steps.
TEST_F(QueuedTransfer, CommandsThatTouchWhatTheQueueTouchesWaitForItFirst) {
  struct Command {
    const char* what;
    std::function<void()> run;
    std::size_t journalLines;  // after the command
    bool secondCopyStays;
  };
  const std::vector<Command> commands = {
      {"undo", [&] { journal.Undo1Click(); }, 1, false},
      {"deletion pass", [&] { session.runDeletionPass(); }, 2, true},
      {"closing", [&] { session.settings().FormClose(); }, 2, true},
  };
  for (const Command& command : commands) {
    SCOPED_TRACE(command.what);
    restart();
    scanPictures(3, false);
    press(2);
    ASSERT_EQ(transfer.pendingTransfers().steps, 2);

    command.run();
    EXPECT_EQ(longWork.titles, std::vector<std::string>{"転送待ち 2 枚 (0 MB)"});
    EXPECT_EQ(transfer.pendingTransfers().steps, 0);
    EXPECT_EQ(state.undo.lines.size(), command.journalLines);
    EXPECT_TRUE(fs::exists(d(name(1))));
    EXPECT_EQ(fs::exists(d(name(2))), command.secondCopyStays);
  }
}

}  // namespace
}  // namespace sortelia
