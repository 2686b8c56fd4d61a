#include "core/sorting/transfer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/sorting_fixture.h"
#include "platform/file_ops.h"
#include "support/fake_long_work.h"

namespace sortelia {
namespace {

using testing::readAll;

const char* const kSameFolder = "整理元と整理先が同じなので中止します。";
const char* const kCannotDelete =
    "転送先の同名データが削除できません。\r\n読み取り専用属性等が設定されている可能性があります。";

class Transfer : public testing::SortingFixture {};

TEST_F(Transfer, MoveCopiesVerifiesDeletesJournalsAndShowsTheNext) {
  scan({"a.jpg", "b.jpg", "c.jpg"});
  bind(1, dst);
  transfer.Button1Click(1);
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg"));
  EXPECT_FALSE(fs::exists(s("a.jpg")));
  EXPECT_EQ(state.undo.lines,
            std::vector<std::string>{"Move, \"" + s("a.jpg") + "\", \"" + d("a.jpg") + "\""});
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す] ☆ Move ☆");
  EXPECT_EQ(ui.statusTexts,
            (std::vector<std::string>{"Copying...", "Checking...", "Delete Original File.",
                                      s("b.jpg") + " [ 2 / 3 files ]"}));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_EQ(state.list.sortIndex, 2);
  ASSERT_FALSE(view.shown.empty());
  EXPECT_EQ(view.shown.back().path, s("b.jpg"));
  // The entry keeps its text although its file has gone.
  EXPECT_EQ(state.list.images[0], s("a.jpg"));
}

// A file at or over the threshold is copied and compared through the LongWork port; the
// texts, the journal and the step to the next picture are those of an inline transfer.
TEST_F(Transfer, LargeFileRunsThroughTheLongWorkPortAndJournalsAsBefore) {
  std::string big(3 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 13 + i / 999);
  root.write("src/big.jpg", big);
  scan({"a.jpg", "c.jpg"});  // a.jpg, big.jpg, c.jpg
  testing::FakeLongWork longWork;
  transfer.setLongWork(&longWork, static_cast<std::int64_t>(big.size()));
  bind(1, dst);
  transfer.Button1Click(1);
  EXPECT_TRUE(longWork.titles.empty()) << "a small file is copied inline";
  forget();
  transfer.Button1Click(1);
  EXPECT_EQ(longWork.titles, (std::vector<std::string>{"Copying...", "Checking..."}));
  ASSERT_FALSE(longWork.percents.empty());
  EXPECT_EQ(longWork.percents[0], 33) << "the copy reports its bytes";
  EXPECT_EQ(readAll(d("big.jpg")), big);
  EXPECT_FALSE(fs::exists(s("big.jpg")));
  EXPECT_EQ(state.undo.lines,
            (std::vector<std::string>{"Move, \"" + s("a.jpg") + "\", \"" + d("a.jpg") + "\"",
                                      "Move, \"" + s("big.jpg") + "\", \"" + d("big.jpg") + "\""}));
  EXPECT_EQ(ui.statusTexts,
            (std::vector<std::string>{"Copying...", "Checking...", "Delete Original File.",
                                      s("c.jpg") + " [ 3 / 3 files ]"}));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_EQ(state.list.sortIndex, 3);
}

TEST_F(Transfer, CopyModeKeepsTheSource) {
  scan({"a.jpg", "b.jpg"});
  state.options.keepOriginal = true;
  bind(3, dst);
  transfer.Button1Click(3);
  EXPECT_EQ(readAll(s("a.jpg")), bytesOf("a.jpg"));
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg"));
  EXPECT_EQ(state.undo.lines.back().rfind("Copy, \"", 0), 0u);
  ASSERT_GE(ui.statusTexts.size(), 3u);
  EXPECT_EQ(
      std::vector<std::string>(ui.statusTexts.begin(), ui.statusTexts.begin() + 3),
      (std::vector<std::string>{"Copying...", "Checking...", s("b.jpg") + " [ 2 / 2 files ]"}));
  EXPECT_EQ(state.list.sortIndex, 2);
}

TEST_F(Transfer, LastPictureRunsPastTheEnd) {
  scan({"a.jpg"});
  bind(1, dst);
  transfer.Button1Click(1);
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_EQ(ui.status(), "Image file Nothing!");
  EXPECT_FALSE(view.enabled[Control::Button1]);
  // A key press after the end transfers nothing.
  transfer.Button1Click(1);
  EXPECT_EQ(state.undo.lines.size(), 1u);
}

TEST_F(Transfer, SkipsMarkedPicturesAfterTheStep) {
  scan({"a.jpg", "b.jpg", "c.jpg"});
  marks.MrkDelImg(1);
  bind(1, dst);
  transfer.Button1Click(1);
  EXPECT_EQ(state.list.sortIndex, 3);
  EXPECT_EQ(view.shown.back().n, 3);
}

TEST_F(Transfer, SameFolderIsRefusedAndNothingIsTouched) {
  scan({"a.jpg", "b.jpg"});
  bind(1, src);
  transfer.Button1Click(1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, kSameFolder);
  EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
  EXPECT_EQ(readAll(s("a.jpg")), bytesOf("a.jpg"));
  EXPECT_TRUE(state.undo.lines.empty());
  EXPECT_EQ(state.list.sortIndex, 1);
}

TEST_F(Transfer, SameFileUnderAnotherNameIsRefusedBeforeAnyQuestion) {
  scan({"IMG_1.JPG"});
  // A hard link of the source under the same name in the destination, and a folder that is
  // the source folder reached through a symbolic link.
  ASSERT_EQ(::link(s("IMG_1.JPG").c_str(), d("IMG_1.JPG").c_str()), 0);
  ASSERT_EQ(::symlink(src.c_str(), (root.path() + "/alias").c_str()), 0);
  for (const std::string& folder : {dst, root.path() + "/alias"}) {
    forget();
    bind(1, folder);
    transfer.Button1Click(1);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{kSameFolder}) << folder;
    EXPECT_EQ(readAll(s("IMG_1.JPG")), bytesOf("IMG_1.JPG"));
  }
  EXPECT_TRUE(state.undo.lines.empty());
}

TEST_F(Transfer, AutoRenameNumbersToTheFirstFreeNameOfTheFilesOwnKind) {
  scan({"IMG_1.JPG", "MVI_3.MOV", "z.jpg"});
  state.options.autoRename = true;
  root.write("dst/IMG_1.JPG", "old");
  root.write("dst/IMG_1_1.jpg", "older");
  root.write("dst/MVI_3.MOV", "movie");
  bind(1, dst);
  transfer.Button1Click(1);
  transfer.Button1Click(1);
  EXPECT_EQ(readAll(d("IMG_1_2.jpg")), bytesOf("IMG_1.JPG"));
  // A movie once became "MVI_3_1.jpg", a picture nothing could show: it stays a movie.
  EXPECT_EQ(readAll(d("MVI_3_1.MOV")), bytesOf("MVI_3.MOV"));
  EXPECT_EQ(readAll(d("IMG_1.JPG")), "old");
  EXPECT_EQ(readAll(d("IMG_1_1.jpg")), "older");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_NE(state.undo.lines[0].find(d("IMG_1_2.jpg")), std::string::npos);
  EXPECT_NE(state.undo.lines[1].find(d("MVI_3_1.MOV")), std::string::npos);
}

TEST_F(Transfer, OverwriteReplacesTheOldFileOnlyWithAVerifiedCopy) {
  scan({"a.jpg", "b.jpg"});
  root.write("dst/a.jpg", "old");
  bind(1, dst);
  ui.queueAnswer(Answer::Yes);
  transfer.Button1Click(1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "同じ名前のデータがあります。上書きしますか？");
  EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
  EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg"));
  EXPECT_FALSE(fs::exists(s("a.jpg")));
  EXPECT_EQ(state.list.sortIndex, 2);
  // No temporary file is left beside it.
  int entries = 0;
  for (const char* n : {".sortelia-a.jpg.1.part", "a.jpg"}) entries += fs::exists(d(n));
  EXPECT_EQ(entries, 1);
}

TEST_F(Transfer, OverwriteOfAReadOnlyFileIsRefused) {
  scan({"a.jpg"});
  const std::string old = root.write("dst/a.jpg", "old");
  ASSERT_EQ(::chmod(old.c_str(), 0444), 0);
  bind(1, dst);
  ui.queueAnswer(Answer::Yes);
  transfer.Button1Click(1);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, kCannotDelete);
  EXPECT_EQ(readAll(old), "old");
  EXPECT_EQ(readAll(s("a.jpg")), bytesOf("a.jpg"));
  EXPECT_EQ(files.copies, 0);
  EXPECT_EQ(state.list.sortIndex, 1);
}

TEST_F(Transfer, NoThenCancelCopiesNothing) {
  scan({"a.jpg"});
  root.write("dst/a.jpg", "old");
  bind(1, dst);
  ui.queueAnswer(Answer::No);
  ui.queueDialogResult(std::nullopt);
  transfer.Button1Click(1);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, "別の名前で保存する");
  EXPECT_EQ(ui.dialogs[0].fileName, d("a.jpg"));
  EXPECT_EQ(ui.dialogs[0].filter, "JPEG イメージファイル (*.jpg)|*.jpg|すべてのファイル(*.*)|*.*");
  EXPECT_EQ(files.copies, 0);
  EXPECT_EQ(readAll(d("a.jpg")), "old");
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_TRUE(state.undo.lines.empty());
}

TEST_F(Transfer, NoAsksForAnotherNameUntilAFreeOneIsChosen) {
  scan({"a.jpg", "b.jpg"});
  root.write("dst/a.jpg", "old");
  root.write("dst/taken.jpg", "taken");
  const std::string other = root.mkdir("other");
  bind(1, dst);
  ui.queueAnswer(Answer::No);
  ui.queueDialogResult(d("taken.jpg"));
  ui.queueDialogResult(other + "/chosen");  // the default extension is added
  transfer.Button1Click(1);
  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{"同じ名前のデータがあります。上書きしますか？",
                                      "同じ名前のデータがまだあります。"}));
  ASSERT_EQ(ui.dialogs.size(), 2u);
  EXPECT_EQ(ui.dialogs[1].fileName, d("taken.jpg"));
  EXPECT_EQ(readAll(other + "/chosen.jpg"), bytesOf("a.jpg"));
  EXPECT_EQ(readAll(d("taken.jpg")), "taken");
  EXPECT_NE(state.undo.lines.back().find(other + "/chosen.jpg"), std::string::npos);
}

TEST_F(Transfer, EnglishTexts) {
  scan({"a.jpg"});
  state.options.japaneseMode = false;
  root.write("dst/a.jpg", "old");
  root.write("dst/b.jpg", "b");
  bind(1, dst);
  ui.queueAnswer(Answer::No);
  ui.queueDialogResult(d("b.jpg"));
  ui.queueDialogResult(std::nullopt);
  transfer.Button1Click(1);
  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{"Same File Exists. Over Write?", "Same File Exists, yet."}));
  EXPECT_EQ(ui.dialogs[0].title, "Another File Name");
  forget();
  std::filesystem::remove(d("a.jpg"));
  files.truncateTo = 10;
  transfer.Button1Click(1);
  files.truncateTo = -1;
  std::filesystem::remove(d("a.jpg"));
  files.corruptAt = 0;
  transfer.Button1Click(1);
  EXPECT_EQ(messageTexts(), (std::vector<std::string>{"Size Error! We don't delete!",
                                                      "Comparison Error! We don't delete!"}));
}

TEST_F(Transfer, SlotWithoutFolderOrWithoutPicturesExplains) {
  transfer.Button1Click(2);
  EXPECT_EQ(
      ui.infoText(),
      "　移動先の登録がありません。\r\n　この移動先ボタンの上で右クリックして登録作業をおこないま"
      "しょう。\r\n　あるいは、エクスプローラーから移動先のフォルダをドラッグし、登録したい移動先"
      "ボタンの上でドロップしましょう。");
  bind(2, dst);
  transfer.Button1Click(2);
  EXPECT_EQ(ui.infoText(), "　イメージファイルが保存されているフォルダーを指定しましょう。");
  state.options.japaneseMode = false;
  transfer.Button1Click(5);
  transfer.Button1Click(2);
  EXPECT_EQ(
      messageTexts(),
      (std::vector<std::string>{
          "右ボタンをクリックして、整理先のフォルダを指定しましょう！\r\nあるいは、エクスプロー"
          "ラからフォルダをドラッグ＆ドロップしましょう！",
          "写真データを保存しているフォルダを指定しましょう！",
          "Right Click and Set a Folder!\r\nor Drag and Drop a Folder!",
          "Set a Folder with Image Files!"}));
  for (const auto& m : ui.messages) EXPECT_EQ(m.buttons, Buttons::Ok);
}

TEST(NumberedName, AJpegEndsInLowerCaseJpgAndOthersKeepTheirExtension) {
  EXPECT_EQ(numberedName("/d", "IMG_1.JPG", 2), "/d/IMG_1_2.jpg");
  // A movie, a HEIC or a RAW once got a ".jpg" name here, which made it a picture the list
  // could not show and other programs would misread: they keep their own extension.
  EXPECT_EQ(numberedName("/d", "MVI_3.MOV", 1), "/d/MVI_3_1.MOV");
  EXPECT_EQ(numberedName("/d", "IMG_4.HEIC", 3), "/d/IMG_4_3.HEIC");
  EXPECT_EQ(numberedName("/d", "DSC_5.nef", 1), "/d/DSC_5_1.nef");
  EXPECT_EQ(numberedName("/d", "a.b.jpg", 10), "/d/a.b_10.jpg");
  EXPECT_EQ(numberedName("/d", "noext", 1), "/d/noext_1.jpg");
}

}  // namespace
}  // namespace sortelia
