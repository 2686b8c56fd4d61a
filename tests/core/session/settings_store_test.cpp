// The session's "zel.ini" read at the first activation and written at close, the warnings of
// missing folders, the creation defaults.
#include "core/session/settings_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>

#include "core/session/session_fixture.h"
#include "platform/file_ops.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::FakeMainView;
using testing::FakeUi;
using testing::kWelcome;
using testing::readAll;
using testing::SessionTest;
using testing::TempDir;

TEST_F(SessionTest, CreationDefaults) {
  state.options.japaneseMode = false;
  state.options.exifItemMask = "x";
  state.list.sortIndex = 9;
  session();
  EXPECT_TRUE(state.options.japaneseMode);
  EXPECT_EQ(state.options.exifItemMask, exif::kDefaultExifItemMask);
  EXPECT_EQ(state.list.sortIndex, 0);
  EXPECT_TRUE(state.firstActivation);
  EXPECT_EQ(view.captions[Control::Form1], "Sortelia for Windows");
  EXPECT_EQ(view.bounds, (WindowBounds{108, 250, 603, 545}));
  EXPECT_EQ(view.interval, "3");
  EXPECT_TRUE(view.checked[Control::RadioButton1]);
}

TEST_F(SessionTest, FirstActivationWithoutSettingsFileScansNothing) {
  session().settings().FormActivate();
  EXPECT_EQ(ui.statusTexts.front(),
            "ZEL v2.4   '070312 By <Mofuko> Sortelia for Windows [ 右ボタンをクリックして！ ]");
  EXPECT_EQ(ui.statusTexts.size(), 1u);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.infoText(), kWelcome);
  EXPECT_FALSE(state.firstActivation);
  // The camera parameter file is written into the data folder and read back.
  EXPECT_EQ(readTextLines(data + "/zel-prm.txt")->size(), 463u);
  EXPECT_EQ(session().photoData().cameraParams().setNames.front(), "OLYMPUS-C700UZ");
  EXPECT_EQ(view.captions[Control::CheckInfo], "写真情報");
  EXPECT_EQ(view.captions[Control::MoveFolder1], "Move[整理先を整理元にする] ");
  EXPECT_EQ(view.captions[Control::Button13], "削除");
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す]★記録なし★");
  EXPECT_EQ(view.hints[Control::Undo1], "Undo[元に戻す]");
  EXPECT_EQ(state.captions.restoreCaption, "復活");
  // Later activations do nothing.
  session().settings().FormActivate();
  EXPECT_EQ(ui.statusTexts.size(), 1u);
}

// Fault found in review: the undo of a move now writes its copy back under a copy temporary
// in the source folder, and one left by a stopped program stayed there for good, as the start
// removed only those of the slot folders. The start removes both; it tells those of the slots.
TEST_F(SessionTest, TheStartRemovesCopyTemporariesLeftInTheSlotAndSourceFolders) {
  const std::string slot = root.mkdir("slot");
  root.write("slot/.sortelia-a.jpg.1.part", "cut short");
  root.write("slot/a.jpg", "a picture");
  root.write("src/.sortelia-b.jpg.1.part", "cut short");
  root.write("src/b.jpg.part", "somebody's file");
  // The temporaries of replaces (comment writes, reduced saves) stopped before their rename.
  for (const char* name : {"slot/.sortelia-0123abcd.tmp", "src/.sortelia-89abcdef.tmp"}) {
    const std::string path = root.write(name, "a stopped replace");
    const struct timespec old[2] = {{std::time(nullptr) - 600, 0}, {std::time(nullptr) - 600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  }
  std::vector<std::string> ini = iniWithSource(src);
  ini[0] = slot;
  writeIni(ini);
  session().settings().FormActivate();
  EXPECT_FALSE(fs::exists(slot + "/.sortelia-a.jpg.1.part"));
  EXPECT_FALSE(fs::exists(src + ".sortelia-b.jpg.1.part"));
  EXPECT_FALSE(fs::exists(slot + "/.sortelia-0123abcd.tmp"));
  EXPECT_FALSE(fs::exists(src + ".sortelia-89abcdef.tmp"));
  EXPECT_EQ(readAll(slot + "/a.jpg"), "a picture");
  EXPECT_EQ(readAll(src + "b.jpg.part"), "somebody's file");
  const std::string told =
      "途中で止まったコピー 1 個を整理先から削除しました。元の写真は残っています。";
  EXPECT_NE(std::find(ui.statusTexts.begin(), ui.statusTexts.end(), told), ui.statusTexts.end());
}

TEST_F(SessionTest, MissingSourceFolderWarnsWithTheShortenedLine) {
  writeIni(iniWithSource(root.path() + "/gone/"));
  session().settings().FormActivate();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
  EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
  EXPECT_EQ(ui.messages[0].text,
            "整理もとの写真データがあるフォルダがありません。\r\n別のフォルダを後から指定しましょう"
            "！\r\n  フォルダ名[ " +
                root.path() + "/gone ]");
  EXPECT_EQ(state.list.sourceDir, "");
  // The scan still runs and finds nothing.
  EXPECT_EQ(ui.messages[1].text, "このフォルダには写真データがありません");
}

TEST_F(SessionTest, MissingSlotFoldersAskOneWarningEachInSlotOrder) {
  auto l = iniWithSource(src);
  const std::string keep = root.mkdir("keep");
  l[0] = root.path() + "/gone1";
  l[1] = keep;
  l[6] = root.path() + "/gone7";
  l[11] = root.write("afile", "x");  // a file is not a folder
  writeIni(l);
  root.write("src/a.jpg", "x");
  ui.queueAnswer(Answer::Yes);
  ui.queueAnswer(Answer::No);
  ui.queueAnswer(Answer::Yes);
  session().settings().FormActivate();
  ASSERT_EQ(ui.messages.size(), 3u);
  for (const auto& m : ui.messages) {
    EXPECT_EQ(m.icon, Icon::Warning);
    EXPECT_EQ(m.buttons, Buttons::YesNo);
  }
  EXPECT_EQ(
      ui.messages[0].text,
      "指定されているフォルダはありません！\r\n  整理先ボタンNo.[ 1 ]\r\n  指定フォルダ名 [ " +
          root.path() + "/gone1 ]\r\nこのボタンの整理先を解除します。");
  EXPECT_NE(ui.messages[1].text.find("No.[ 7 ]"), std::string::npos);
  EXPECT_NE(ui.messages[2].text.find("No.[ 12 ]"), std::string::npos);
  EXPECT_EQ(state.slots[0].folder, "");  // Yes clears
  EXPECT_EQ(view.slotCaptions[1], "");
  EXPECT_EQ(state.slots[1].caption, "keep");
  EXPECT_EQ(view.slotFolders[2], keep);
  EXPECT_EQ(state.slots[6].folder, root.path() + "/gone7");  // No keeps it bound
  EXPECT_EQ(state.slots[6].caption, "gone7");
  EXPECT_EQ(state.slots[11].folder, "");
}

TEST_F(SessionTest, EnglishSlotWarning) {
  auto l = iniWithSource("");
  l[4] = "/nonexistent-sortelia/x";
  writeIni(l);
  session();
  state.options.japaneseMode = false;
  session().settings().FormActivate();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text,
            "This Folder is Nothing!\r\n  Button [ 5 ]\r\n  Folder [ /nonexistent-sortelia/x "
            "]\r\nClear Setting on this Button.");
  EXPECT_EQ(ui.messages[1].text, "No File in this Folder!");
}

TEST_F(SessionTest, SettingsRoundTripThroughClose) {
  const std::string dst = root.mkdir("写真 😀 dst");
  auto l = iniWithSource(src);
  l[3] = dst;
  l[13] = "11";
  l[14] = "22";
  l[15] = "333";
  l[16] = "444";
  l[17] = "TRUE";
  l[18] = "7";
  l[19] = "TRUE";
  l[20] = "TRUE";
  l[21] = "TRUE";
  l[22] = std::string(27, '0');
  writeIni(l);
  session().settings().FormActivate();
  EXPECT_EQ(view.bounds, (WindowBounds{11, 22, 333, 444}));
  EXPECT_TRUE(view.maximized);
  EXPECT_TRUE(state.options.loopSlideShow);
  EXPECT_TRUE(state.options.autoRename);
  EXPECT_TRUE(state.options.keepOriginal);
  EXPECT_EQ(view.interval, "7");
  EXPECT_EQ(state.options.exifItemMask, std::string(27, '0'));
  EXPECT_EQ(state.slots[3].caption, "写真 😀 dst");
  session().settings().FormClose();
  const std::string written = readAll(data + "/zel.ini");
  // A character outside CP932 makes the file UTF-8 as a whole; CR LF line ends.
  EXPECT_EQ(written.substr(0, 6), "\r\n\r\n\r\n");
  EXPECT_EQ(*readTextLines(data + "/zel.ini"), l);
}

TEST_F(SessionTest, ASettingsFileMovedByALineBreakKeepsOnlyTheLinesItCanTrust) {
  // Fault: a folder name with a line break, written into "zel.ini" as it was, moved every
  // later line down: slot 4 read the rest of slot 3's name, each button got its neighbour's
  // folder, and the source folder and the options were lost.
  const std::string dst = root.mkdir("dst");
  root.write("src/a.jpg", testing::makeTestJpeg(8, 8));
  for (const char* lineBreak : {"\n", "\r", "\r\n"}) {
    SCOPED_TRACE(lineBreak[0] == '\n' ? "LF" : lineBreak[1] ? "CR LF" : "CR");
    auto l = iniWithSource(src);
    for (int i = 0; i < kSlotCount; ++i) l[i] = dst;
    l[2] = dst + lineBreak + "tail";  // as an older program wrote it
    l[13] = "11";
    l[14] = "22";
    l[15] = "333";
    l[16] = "444";
    l[17] = "TRUE";
    l[18] = "7";
    l[22] = std::string(27, '0');
    writeIni(l);
    state = SortingState{};
    ui.messages.clear();
    session_.reset();
    session().settings().FormActivate();
    // Then the scan finds no source folder; no slot is warned about.
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "このフォルダには写真データがありません");
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].text,
              "設定ファイル「zel.ini」は 24 行あり、正しい 23 行ではありません。フォルダ名に改行"
              "が含まれていたため、どの行がどのフォルダか分からなくなっています。整理先ボタンと"
              "整理元のフォルダの設定は読み込まずに破棄しました。ウィンドウの位置と大きさ、オプ"
              "ションは末尾の行から読み込みました。\r\nフォルダを指定し直しましょう！");
    for (const Slot& slot : state.slots) EXPECT_FALSE(slot.bound());
    EXPECT_EQ(state.list.sourceDir, "");
    EXPECT_EQ(view.bounds, (WindowBounds{11, 22, 333, 444}));
    EXPECT_TRUE(state.options.loopSlideShow);
    EXPECT_EQ(view.interval, "7");
    EXPECT_EQ(state.options.exifItemMask, std::string(27, '0'));
  }
  // A file of 23 lines followed by empty ones is read as it is, without a message.
  auto l = iniWithSource(src);
  l[0] = dst;
  l.push_back("");
  l.push_back("");
  writeIni(l);
  state = SortingState{};
  ui.messages.clear();
  session_.reset();
  session().settings().FormActivate();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(state.slots[0].folder, dst);
  EXPECT_EQ(state.list.sourceDir, src);
}

TEST_F(SessionTest, GeometryIsAppliedInOrderUntilABadLine) {
  auto l = iniWithSource(src);
  l[13] = "5";
  l[14] = "oops";
  l[19] = "TRUE";
  writeIni(l);
  session().settings().FormActivate();
  EXPECT_EQ(view.bounds, (WindowBounds{5, 250, 603, 545}));
  EXPECT_FALSE(state.options.autoRename);
  EXPECT_EQ(view.interval, "3");
  // The scan still runs with the source folder read.
  EXPECT_EQ(state.list.sourceDir, src);
  EXPECT_EQ(ui.messages.size(), 1u);
}

// Fault found earlier: a folder name that is not UTF-8 (the CP932 bytes of "ｶﾒﾗ") was written
// into "zel.ini" as it is, and the next start took the whole file for CP932: that folder came
// back as the UTF-8 "ｶﾒﾗ", a different folder, and the UTF-8 names of the other lines as
// garbage, so the buttons sorted into folders the person had not chosen.
TEST_F(SessionTest, FolderNamesThatAreNotUtf8SurviveTheSettingsFileBesideOthers) {
  const std::string cp932Name = root.mkdir("\xB6\xD2\xD7");
  const std::string utf8Name = root.mkdir("写真 😀");
  const std::string cp932Like = root.mkdir("ｶﾒﾗ");
  auto l = iniWithSource(src);
  l[0] = cp932Name;
  l[1] = utf8Name;
  l[2] = cp932Like;
  writeIni(l);
  session().settings().FormActivate();
  EXPECT_EQ(state.slots[0].folder, cp932Name);
  EXPECT_EQ(state.slots[1].folder, utf8Name);
  EXPECT_EQ(state.slots[2].folder, cp932Like);
  EXPECT_EQ(state.list.sourceDir, src);
  session().settings().FormClose();
  EXPECT_EQ(*readTextLines(data + "/zel.ini"), l);
  // A file of the program's stored with a byte order mark reads without it.
  root.write("data/zel-opt.txt",
             "\xEF\xBB\xBF"
             "Companions=0\r\n");
  EXPECT_EQ(*readTextLines(data + "/zel-opt.txt"), std::vector<std::string>{"Companions=0"});
}

TEST_F(SessionTest, CloseWritesNormalBoundsOfAMaximizedWindowInCp932) {
  session();
  state.list.sourceDir = "/写真/";
  view.bounds = {1, 2, 3, 4};
  view.maximized = true;
  session().settings().FormClose();
  EXPECT_EQ(
      readAll(data + "/zel.ini"),
      "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n/\x8E\xCA\x90\x5E/\r\n1\r\n2\r\n3\r\n4\r\n"
      "FALSE\r\n3\r\nFALSE\r\nFALSE\r\nTRUE\r\n110011010101110010101100000\r\n");
}

TEST_F(SessionTest, SettingsFileInCp932IsRead) {
  const std::string dst = root.mkdir("写真");
  std::string bytes;
  bytes += *text::toCp932(dst) + "\r\n";
  for (int i = 0; i < 11; ++i) bytes += "\r\n";
  writeIni({});
  root.write("data/zel.ini", bytes);
  session().settings().FormActivate();
  EXPECT_EQ(state.slots[0].folder, dst);
  EXPECT_EQ(state.slots[0].caption, "写真");
}

TEST_F(SessionTest, BrokenSettingsFilesGiveDefaults) {
  const std::vector<std::string> files = {
      std::string("\xFF\xFE\x00\x01garbage\x81", 12),
      "/dst\r\n",  // truncated
      std::string(3 * 1024 * 1024, 'x') + "\r\n" + std::string(100, '\n'),
  };
  for (const auto& bytes : files) {
    SortingState s;
    FakeUi u;
    FakeMainView v;
    root.write("data/zel.ini", bytes);
    SortingSession sess(s, u, v, data);
    sess.settings().FormActivate();
    EXPECT_EQ(v.bounds, WindowBounds{});
    EXPECT_EQ(s.options.exifItemMask, exif::kDefaultExifItemMask);
    EXPECT_FALSE(s.firstActivation);
  }
}

TEST_F(SessionTest, MissingDataFolderReadsNothingAndWritesNothing) {
  SortingSession sess(state, ui, view, "");
  sess.settings().FormActivate();
  sess.settings().FormClose();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(sess.photoData().cameraParams().table[0].Name, "OLYMPUS-C700UZ");
}

}  // namespace
}  // namespace sortelia
