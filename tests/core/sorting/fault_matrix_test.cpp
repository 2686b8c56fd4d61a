// The faults a transfer, an undo and the deletion pass can meet, each on real files. Every
// row checks the same promise: the source and every earlier copy are intact, the person is
// told, and nothing is journalled that did not complete.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/sorting_fixture.h"
#include "platform/file_ops.h"
#include "support/fake_long_work.h"

namespace sortelia {
namespace {

using testing::readAll;

const char* const kCopyErrorInfo =
    "　何らかのエラーがおこりました。\r\n　ダイアログに表示されているエラー番号を控えておきましょう"
    "。";

// A tmpfs mounted on a folder for one test; mounted() is false where mounting is not allowed.
class TmpfsMount {
 public:
  TmpfsMount(const std::string& dir, const char* options, unsigned long flags = 0) : dir_(dir) {
    mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", flags, options) == 0;
  }
  ~TmpfsMount() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  std::string dir_;
  bool mounted_ = false;
};

class FaultMatrix : public testing::SortingFixture {
 protected:
  // Transfers picture 1 ("a.jpg", small) into slot 1 so that an earlier copy exists.
  void firstTransferSucceeds() {
    bind(1, dst);
    transfer.Button1Click(1);
    ASSERT_EQ(state.undo.lines.size(), 1u);
    ASSERT_EQ(state.list.sortIndex, 2);
    forget();
  }
  // The promise after a failed transfer of entry 2 ("big.jpg" unless named otherwise).
  void expectNothingLost(const std::string& name, const std::string& bigBytes) {
    EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg")) << "the earlier copy";
    if (!bigBytes.empty()) {
      EXPECT_EQ(readAll(s(name)), bigBytes) << "the source";
    }
    EXPECT_EQ(state.undo.lines.size(), 1u) << "nothing more journalled";
    EXPECT_EQ(state.list.sortIndex, 2) << "the same picture stays";
    EXPECT_EQ(ui.busyDepth, 0);
  }
  void expectCopyError(int error) {
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error![" + std::to_string(error) + "]");
    EXPECT_EQ(ui.infoText(), kCopyErrorInfo);
  }
  std::string bigPicture(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
    root.write("src/big.jpg", bytes);
    return bytes;
  }
};

TEST_F(FaultMatrix, DiskFullMidCopyOnASmallTmpfs) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  TmpfsMount disk(dst, "size=1m");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  const std::string big = bigPicture(1536 * 1024);
  scan({"a.jpg"});
  firstTransferSucceeds();
  transfer.Button1Click(1);
  expectCopyError(ENOSPC);
  expectNothingLost("big.jpg", big);
  EXPECT_FALSE(fs::exists(d("big.jpg"))) << "no partial copy is left";
}

TEST_F(FaultMatrix, DiskFullMidCopyInjected) {
  const std::string big = bigPicture(3 * 1024 * 1024);
  scan({"a.jpg"});
  firstTransferSucceeds();
  files.failWriteAfter = 2 * 1024 * 1024;
  transfer.Button1Click(1);
  expectCopyError(ENOSPC);
  expectNothingLost("big.jpg", big);
  EXPECT_FALSE(fs::exists(d("big.jpg")));
}

TEST_F(FaultMatrix, DiskFullWhileOverwritingKeepsTheOldFile) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  TmpfsMount disk(dst, "size=1m");
  if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  const std::string big = bigPicture(1536 * 1024);
  scan({"a.jpg"});
  firstTransferSucceeds();
  root.write("dst/big.jpg", "an earlier picture of the same name");
  ui.queueAnswer(Answer::Yes);
  transfer.Button1Click(1);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Error![28]");
  expectNothingLost("big.jpg", big);
  EXPECT_EQ(readAll(d("big.jpg")), "an earlier picture of the same name");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dst), {}), 2);
}

TEST_F(FaultMatrix, DestinationFolderRemoved) {
  const std::string big = bigPicture(100000);
  scan({"a.jpg"});
  firstTransferSucceeds();
  const std::string gone = root.mkdir("gone");
  bind(1, gone);
  ::rmdir(gone.c_str());
  transfer.Button1Click(1);
  expectCopyError(ENOENT);
  expectNothingLost("big.jpg", big);
}

TEST_F(FaultMatrix, DestinationNotWritable) {
  const std::string big = bigPicture(100000);
  scan({"a.jpg"});
  firstTransferSucceeds();
  const std::string locked = root.mkdir("locked");
  bind(1, locked);
  int expected = EACCES;
  std::unique_ptr<TmpfsMount> readOnly;
  if (::geteuid() == 0) {
    // Permission bits do not stop root: a read-only file system does.
    readOnly = std::make_unique<TmpfsMount>(locked, "size=64k", MS_RDONLY);
    if (!readOnly->mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    expected = EROFS;
  } else {
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
  }
  transfer.Button1Click(1);
  expectCopyError(expected);
  expectNothingLost("big.jpg", big);
}

TEST_F(FaultMatrix, SourceRemovedAfterTheListWasBuilt) {
  bigPicture(100000);
  scan({"a.jpg"});
  firstTransferSucceeds();
  std::remove(s("big.jpg").c_str());
  transfer.Button1Click(1);
  expectCopyError(ENOENT);
  expectNothingLost("big.jpg", "");
  EXPECT_FALSE(fs::exists(d("big.jpg")));
}

TEST_F(FaultMatrix, SameFileUnderTwoNamesIsNeverDeletedByTheOverwriteAnswer) {
  const std::string big = bigPicture(100000);
  scan({"a.jpg"});
  firstTransferSucceeds();
  ASSERT_EQ(::link(s("big.jpg").c_str(), d("big.jpg").c_str()), 0);
  ui.queueAnswer(Answer::Yes);
  transfer.Button1Click(1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "整理元と整理先が同じなので中止します。");
  expectNothingLost("big.jpg", big);
  EXPECT_EQ(readAll(d("big.jpg")), big);
}

TEST_F(FaultMatrix, CopyWhoseBytesDiffer) {
  const std::string big = bigPicture(100000);
  scan({"a.jpg"});
  firstTransferSucceeds();
  files.corruptAt = 99999;
  transfer.Button1Click(1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "比較エラー発生！元データは削除されません。");
  EXPECT_EQ(ui.infoText(),
            "　複写元と複写先のファイルを比較チェックしたところ、同じ内容ではありませんでした。コピ"
            "ーに何らかのエラーが発生しました。");
  expectNothingLost("big.jpg", big);
  EXPECT_TRUE(fs::exists(d("big.jpg"))) << "the faulty copy stays for inspection";
}

TEST_F(FaultMatrix, CopyWhoseSizeDiffers) {
  const std::string big = bigPicture(100000);
  scan({"a.jpg"});
  firstTransferSucceeds();
  files.truncateTo = 4096;
  transfer.Button1Click(1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "サイズエラー発生！元データは削除されません。");
  EXPECT_EQ(ui.infoText(), "　移動に失敗したかもしれません。元のイメージをフォルダに残します。");
  expectNothingLost("big.jpg", big);
}

TEST_F(FaultMatrix, StorageReadErrorDuringTheComparison) {
  const std::string big = bigPicture(100000);
  scan({"a.jpg"});
  firstTransferSucceeds();
  root.write("dst/big.jpg", "older");
  files.readFails = true;
  ui.queueAnswer(Answer::Yes);
  EXPECT_THROW(transfer.Button1Click(1), fs::FileReadError);
  expectNothingLost("big.jpg", big);
  EXPECT_EQ(readAll(d("big.jpg")), "older");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dst), {}), 2) << "no temporary";
}

// The injected faults of a copy and its comparison, with the file over the threshold so that
// both run through the LongWork port: the same message, nothing lost, nothing journalled.
TEST_F(FaultMatrix, FaultsOfALargeFileThroughTheLongWorkPort) {
  struct Row {
    const char* name;
    std::function<void(testing::FaultyFileOperations&)> fault;
    const char* message;  // null: the comparison throws
    std::vector<std::string> steps;
  };
  const std::vector<std::string> copyOnly{"Copying..."};
  const std::vector<std::string> both{"Copying...", "Checking..."};
  const std::vector<Row> rows = {
      {"disk full", [](auto& f) { f.failWriteAfter = 1024 * 1024; }, "Error![28]", copyOnly},
      {"bytes differ", [](auto& f) { f.corruptAt = 1500000; },
       "比較エラー発生！元データは削除されません。", both},
      {"size differs", [](auto& f) { f.truncateTo = 4096; },
       "サイズエラー発生！元データは削除されません。", copyOnly},
      {"read error", [](auto& f) { f.readFails = true; }, nullptr, both},
  };
  const std::string big = bigPicture(2 * 1024 * 1024);
  scan({"a.jpg"});
  firstTransferSucceeds();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::FakeLongWork longWork;
    transfer.setLongWork(&longWork, 1024 * 1024);
    files = testing::FaultyFileOperations();
    row.fault(files);
    if (row.message) {
      transfer.Button1Click(1);
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].text, row.message);
    } else {
      EXPECT_THROW(transfer.Button1Click(1), fs::FileReadError);
    }
    EXPECT_EQ(longWork.titles, row.steps);
    expectNothingLost("big.jpg", big);
    (void)::unlink(d("big.jpg").c_str());  // a faulty copy stays for inspection
    forget();
  }
}

TEST_F(FaultMatrix, SourceThatCannotBeDeletedAfterAVerifiedMove) {
  const std::string big = bigPicture(100000);
  scan({"a.jpg"});
  firstTransferSucceeds();
  files.undeletable.insert(s("big.jpg"));
  transfer.Button1Click(1);
  EXPECT_TRUE(ui.messages.size() <= 1u);  // at most the end-of-list message
  EXPECT_EQ(readAll(s("big.jpg")), big);
  EXPECT_EQ(readAll(d("big.jpg")), big);
  EXPECT_EQ(state.undo.lines.size(), 2u);
  // Its undo finds the picture still in place and takes back only the copy.
  forget();
  journal.Undo1Click();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(readAll(s("big.jpg")), big);
  EXPECT_FALSE(fs::exists(d("big.jpg")));
  EXPECT_EQ(state.undo.lines.size(), 1u);
}

TEST_F(FaultMatrix, FailingDeleteInTheDeletionPass) {
  state.options.trashDeleted = false;  // deleted for good, as without the Trash
  scan({"a.jpg", "b.jpg", "c.jpg"});
  for (int i : {0, 1, 2}) marks.MrkDelImg(i);
  files.undeletable.insert(s("a.jpg"));
  ASSERT_EQ(::chmod(s("b.jpg").c_str(), 0444), 0);
  ui.queueAnswer(Answer::Yes);
  marks.DMRKFdelete();
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[1].text,
            "削除できません[ " + s("a.jpg") +
                " ]。\r\n読み取り専用属性等が設定されている可能性があります。");
  EXPECT_EQ(ui.status(), "Deleted 1 / 3 files.");
  EXPECT_EQ(readAll(s("a.jpg")), bytesOf("a.jpg"));
  EXPECT_EQ(readAll(s("b.jpg")), bytesOf("b.jpg"));
  EXPECT_FALSE(fs::exists(s("c.jpg")));
}

TEST_F(FaultMatrix, UndoOfAMoveWhoseSourceNameIsTakenAgain) {
  scan({"a.jpg", "b.jpg"});
  bind(1, dst);
  transfer.Button1Click(1);
  root.write("src/a.jpg", "a new file of the old name");
  forget();
  journal.Undo1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "元に戻せませんでした[ " + s("a.jpg") +
                                     " ]。エラー番号[17]\r\n整理先のファイルは削除しません。");
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg"));
  EXPECT_EQ(readAll(s("a.jpg")), "a new file of the old name");
  EXPECT_EQ(state.undo.lines.size(), 1u);
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(FaultMatrix, UndoOfAMoveWhoseSourceFolderIsGone) {
  scan({"a.jpg", "b.jpg"});
  bind(1, dst);
  transfer.Button1Click(1);
  std::filesystem::rename(src, root.path() + "/renamed");
  forget();
  journal.Undo1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("エラー番号[2]"), std::string::npos);
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg"));
  EXPECT_EQ(state.undo.lines.size(), 1u);
}

TEST_F(FaultMatrix, UndoOfAMoveOnAFullDisk) {
  scan({"a.jpg", "b.jpg"});
  bind(1, dst);
  transfer.Button1Click(1);
  files.failWriteAfter = 100;
  forget();
  journal.Undo1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("エラー番号[28]"), std::string::npos);
  EXPECT_FALSE(fs::exists(s("a.jpg"))) << "the partial copy back is removed";
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg"));
  EXPECT_EQ(state.undo.lines.size(), 1u);
  files.failWriteAfter = -1;
  files.corruptAt = 10;
  journal.Undo1Click();
  EXPECT_NE(ui.messages.back().text.find("エラー番号[5]"), std::string::npos);
  EXPECT_FALSE(fs::exists(s("a.jpg")));
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg"));
}

// Fault found in review: a copy is written under ".sortelia-" + its name + ".N.part", which for
// a name of more than 238 bytes is longer than a folder takes (255 bytes): such a picture could
// not be sorted to another disk nor given an agreed overwrite ("Error![36]"). The temporary
// keeps as much of the name as fits, cut where a UTF-8 character begins; the files of one step
// whose names are alike that far (a picture and its RAW) still get temporaries of their own.
TEST_F(FaultMatrix, APictureWithTheLongestNameAFolderTakesIsMovedAndPutBack) {
  std::string japanese;
  while (japanese.size() + 3 <= 251) japanese += "写";
  for (const std::string& stem : {std::string(251, 'a'), japanese}) {
    const std::vector<std::string> step{stem + ".jpg", stem + ".CR3"};
    SCOPED_TRACE(std::to_string(step[0].size()) + " bytes");
    std::filesystem::remove_all(src);
    std::filesystem::remove_all(dst);
    root.mkdir("src");
    root.mkdir("dst");
    scan({step[0], step[1], "写真.jpg"});  // one picture with its RAW, listed first
    bind(1, dst);
    files.otherFileSystem = true;
    transfer.Button1Click(1);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
    for (const std::string& n : step) {
      EXPECT_TRUE(readAll(d(n)) == bytesOf(n));
      EXPECT_FALSE(fs::exists(s(n)));
    }

    journal.Undo1Click();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{});
    for (const std::string& n : step) {
      EXPECT_TRUE(readAll(s(n)) == bytesOf(n)) << "put back";
      EXPECT_FALSE(fs::exists(d(n)));
    }

    // Copied again over older files of those names, the overwrite agreed.
    for (const std::string& n : step) root.write("dst/" + n, "an older file of that name");
    state.options.keepOriginal = true;
    ui.queueAnswer(Answer::Yes);
    transfer.Button1Click(1);
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"同じ名前のデータがあります。上書きしますか？"});
    for (const std::string& n : step) EXPECT_TRUE(readAll(d(n)) == bytesOf(n));
    state.options.keepOriginal = false;
  }
}

// Fault found in review: the undo of a move wrote its copy back straight under the picture's
// own name, so a program stopped in the middle of it (a power cut, a kill) left a cut-short
// picture under that name in the source folder. Next to the whole one in the destination it
// looked like the picture itself; sorted again with an overwrite it replaced the only whole
// copy. The copy back now takes the name only once it is verified.
TEST_F(FaultMatrix, UndoOfAMoveStoppedMidCopyLeavesNoCutShortPictureUnderItsName) {
  for (const bool companion : {false, true}) {
    SCOPED_TRACE(companion ? "the companion's copy back is stopped" : "the picture's");
    std::filesystem::remove_all(src);
    std::filesystem::remove_all(dst);
    root.mkdir("src");
    root.mkdir("dst");
    scan({"a.jpg", "a.CR3", "b.jpg"});
    bind(1, dst);
    files.otherFileSystem = true;
    transfer.Button1Click(1);
    ASSERT_FALSE(fs::exists(s("a.jpg")));
    files.stopAfter = 1000;
    files.faultOnCopy = files.copies + (companion ? 2 : 1);
    forget();
    EXPECT_THROW(journal.Undo1Click(), testing::ProgramStopped);
    files.stopAfter = -1;
    files.faultOnCopy = 0;
    for (const char* name : {"a.jpg", "a.CR3"}) {
      // Whole in the destination, and in the source either whole or not there at all.
      EXPECT_EQ(readAll(d(name)), bytesOf(name)) << name;
      if (fs::exists(s(name))) {
        EXPECT_TRUE(readAll(s(name)) == bytesOf(name)) << name << " is cut short";
      }
    }
    for (const auto& e : std::filesystem::directory_iterator(src)) {
      const std::string name = e.path().filename().string();
      EXPECT_TRUE(name == "b.jpg" || (companion && name == "a.jpg") || fs::isCopyTemporary(name))
          << name;
    }
    state.undo.lines.clear();
  }
}

// The undo of a large move copies back and compares through the LongWork port, as its
// transfer did. A fault inside the port's job (disk full, bytes that differ, a read error)
// deletes nothing, says so and keeps the line, which is then taken back once the fault is gone.
TEST_F(FaultMatrix, UndoOfALargeMoveThroughTheLongWorkPort) {
  struct Row {
    const char* name;
    std::function<void(testing::FaultyFileOperations&)> fault;
    int error;
    std::vector<std::string> steps;
  };
  const std::vector<std::string> copyOnly{"Copying..."};
  const std::vector<std::string> both{"Copying...", "Checking..."};
  const std::vector<Row> rows = {
      {"disk full", [](auto& f) { f.failWriteAfter = 1024 * 1024; }, ENOSPC, copyOnly},
      {"bytes differ", [](auto& f) { f.corruptAt = 1500000; }, EIO, both},
      {"read error", [](auto& f) { f.readFails = true; }, EIO, both},
  };
  const std::string big = bigPicture(2 * 1024 * 1024);
  scan({"a.jpg"});
  firstTransferSucceeds();
  testing::FakeLongWork longWork;
  loop.setLongWork(&longWork, 1024 * 1024);
  transfer.Button1Click(1);
  ASSERT_EQ(state.undo.lines.size(), 2u);
  ASSERT_EQ(longWork.titles, both) << "the transfer went through the port";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    longWork = testing::FakeLongWork();
    files = testing::FaultyFileOperations();
    row.fault(files);
    forget();
    journal.Undo1Click();
    EXPECT_EQ(longWork.titles, row.steps);
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"元に戻せませんでした[ " + s("big.jpg") + " ]。エラー番号[" +
                                       std::to_string(row.error) +
                                       "]\r\n整理先のファイルは削除しません。"});
    EXPECT_EQ(readAll(d("big.jpg")), big);
    EXPECT_EQ(files.removed.count(d("big.jpg")), 0u);
    EXPECT_FALSE(fs::exists(s("big.jpg"))) << "no partial copy back stays";
    EXPECT_EQ(state.undo.lines.size(), 2u);
    EXPECT_EQ(state.list.sortIndex, 3);
    EXPECT_EQ(ui.busyDepth, 0);
  }
  longWork = testing::FakeLongWork();
  files = testing::FaultyFileOperations();
  forget();
  journal.Undo1Click();
  EXPECT_EQ(longWork.titles, both);
  ASSERT_FALSE(longWork.percents.empty());
  EXPECT_EQ(longWork.percents.back(), 100);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(readAll(s("big.jpg")), big);
  EXPECT_FALSE(fs::exists(d("big.jpg")));
  EXPECT_EQ(state.undo.lines.size(), 1u);
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg")) << "the older line is untouched";
}

}  // namespace
}  // namespace sortelia
