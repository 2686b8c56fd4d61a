#include "core/session/sorting_session.h"

#include <gtest/gtest.h>

#include "platform/line_file.h"
#include "platform/text_codec.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::FakeMainView;
using testing::FakeUi;
using testing::readAll;
using testing::TempDir;

const char* const kWelcome =
    "右クリックしてネ！\r\n　移動先ボタンの上でクリックすると移動先フォルダの登録ができます。"
    "その他のところでは、整理するイメージファイルが保存してあるフォルダが選択できます。";

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() : data(root.mkdir("data")), src(root.mkdir("src") + "/") {}

  SortingSession& session() {
    if (!session_) session_ = std::make_unique<SortingSession>(state, ui, view, data);
    return *session_;
  }
  // Writes zel.ini from lines 1.. given; the rest of the 23 lines follow defaults.
  void writeIni(std::vector<std::string> lines) {
    ASSERT_TRUE(writeTextLines(data + "/zel.ini", lines).ok());
  }
  std::vector<std::string> iniWithSource(const std::string& source) {
    std::vector<std::string> l(12);
    l.push_back(source);
    for (const char* v : {"108", "250", "603", "545", "FALSE", "3", "FALSE", "FALSE", "FALSE"}) {
      l.push_back(v);
    }
    l.push_back(exif::kDefaultExifItemMask);
    return l;
  }

  TempDir root;
  std::string data;
  std::string src;
  SortingState state;
  FakeUi ui;
  FakeMainView view;
  std::unique_ptr<SortingSession> session_;
};

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

TEST_F(SessionTest, ScanSortsCaseInsensitivelyAndShowsTheFirstEntry) {
  root.write("src/B.JPG", "x");
  root.write("src/a.jpg", "x");
  root.write("src/m.MOV", "x");
  root.write("src/n.png", "x");
  root.write("src/t.THM", "x");
  writeIni(iniWithSource(src));
  session().settings().FormActivate();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(state.list.sourceDir, src);
  EXPECT_EQ(state.list.images,
            (std::vector<std::string>{src + "a.jpg", src + "B.JPG", src + "m.MOV"}));
  EXPECT_EQ(state.list.imageCount, 3);
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_EQ(state.list.openDialogDir, src);
  ASSERT_GE(ui.statusTexts.size(), 3u);
  EXPECT_EQ(ui.statusTexts[1], "写真データの一覧を作成中です!");
  EXPECT_EQ(ui.statusTexts[2], "写真データの一覧を取得しました！ [ 3 枚 ]");
  // Then entry 1 is shown, which names it in the status bar.
  EXPECT_EQ(ui.status(), src + "a.jpg [ 1 / 3 files ]");
  EXPECT_EQ(ui.infoTexts[0], "イメージファイルのリストを取得中…");
  EXPECT_EQ(ui.infoTexts[1], "3 枚のイメージがありました。\r\n" + src + "a.jpg\r\n" + src +
                                 "B.JPG\r\n" + src + "m.MOV");
  EXPECT_EQ(ui.infoText(), kWelcome);
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].n, 1);
  EXPECT_EQ(view.shown[0].path, src + "a.jpg");
  EXPECT_TRUE(view.enabled[Control::Button1]);
  EXPECT_TRUE(view.enabled[Control::Button14]);
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_GE(ui.busyOnCalls, 1);
}

// Started with a path to open: the saved folder (here one without pictures) is not scanned, so
// its question never shows; should the start path fail, the scan runs after all, once.
TEST_F(SessionTest, ADeferredFirstScanRunsOnlyWhenAskedAndOnce) {
  writeIni(iniWithSource(src));
  session().settings().deferFirstScan();
  session().settings().FormActivate();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(view.shown.empty());
  EXPECT_EQ(state.list.sourceDir, src);
  EXPECT_FALSE(state.firstActivation);
  session().settings().runDeferredScan();
  EXPECT_EQ(ui.messages.size(), 1u) << "the saved folder's own message, now that it is scanned";
  session().settings().runDeferredScan();
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(SessionTest, SubfolderSwitchInterleavesByFullPath) {
  root.write("src/b.jpg", "x");
  root.write("src/a/c.jpg", "x");
  root.write("src/a/.hidden/h.jpg", "x");
  root.write("src/z.jpg", "x");
  state.list.sourceDir = src;
  session();
  state.list.subfolderSwitch = true;
  session().scan().FirstStepGetImgLst();
  EXPECT_EQ(state.list.images,
            (std::vector<std::string>{src + "a/c.jpg", src + "b.jpg", src + "z.jpg"}));
}

TEST_F(SessionTest, EmptyFolderAsksWithQuestionIconAndDisablesControls) {
  writeIni(iniWithSource(src));
  state.list.sortIndex = 0;
  session().settings().FormActivate();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, Icon::Question);
  EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
  EXPECT_EQ(ui.messages[0].text, "このフォルダには写真データがありません");
  EXPECT_EQ(ui.status(), "No File in this Folder!");
  EXPECT_EQ(ui.infoTexts[1], "　このフォルダにはイメージファイルがありませんでした。");
  EXPECT_FALSE(view.enabled[Control::Button12]);
  EXPECT_FALSE(view.enabled[Control::CheckView]);
  EXPECT_FALSE(view.enabled[Control::SpeedButton1]);
  EXPECT_EQ(state.list.sortIndex, 0);
  EXPECT_GE(view.clearPictureCalls, 1);
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

TEST_F(SessionTest, ImageDspSkipsMarkedEntriesInSortingMode) {
  session();
  state.list.images = {"/p/1.jpg", "/p/2.jpg", "!:/p/3.jpg", "/p/4.jpg", "/p/5.jpg"};
  state.list.imageCount = 5;
  state.list.sortIndex = 3;
  session().scan().imageDSP(3);
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].n, 4);
  EXPECT_EQ(view.shown[0].path, "/p/4.jpg");
  EXPECT_EQ(state.list.sortIndex, 4);
  EXPECT_FALSE(view.deletionOverlay);
}

TEST_F(SessionTest, OnlyMarkedEntriesLeftEndsInTheNothingState) {
  session();
  state.list.images = {"/p/1.jpg", "!:/p/2.jpg", "!:/p/3.jpg"};
  state.list.imageCount = 3;
  state.list.sortIndex = 2;
  session().scan().imageDSP(2);
  EXPECT_TRUE(view.shown.empty());
  EXPECT_EQ(state.list.sortIndex, 4);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "写真データがありません。");
  EXPECT_EQ(ui.messages[0].icon, Icon::Question);
  EXPECT_EQ(ui.status(), "Image file Nothing!");
  EXPECT_EQ(ui.infoText(), "　ここにはイメージファイルがありません。");
  EXPECT_FALSE(view.enabled[Control::Button1]);
  EXPECT_FALSE(view.enabled[Control::Button13]);
}

TEST_F(SessionTest, ViewerModeShowsMarkedEntries) {
  session();
  const std::string p2 = root.write("p/2.jpg", testing::makeTestJpeg(8, 8));
  state.list.images = {"/p/1.jpg", "!:" + p2};
  state.list.imageCount = 2;
  state.list.viewerMode = true;
  session().scan().imageDSP(2);
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].entry, "!:" + p2);
  EXPECT_EQ(view.shown[0].path, p2);
  EXPECT_TRUE(ui.messages.empty());
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

// The date overlay shows the shooting date exactly when item 2 ("02:撮影日時") is chosen.
TEST_F(SessionTest, DateOverlayFollowsItemTwoOfTheMask) {
  const std::string canon = readAll(testing::testData("camera/Canon_DIGITAL_IXUS_400.jpg"));
  root.write("src/a.jpg", canon);
  state.list.sourceDir = src;
  const std::pair<std::string, std::string> cases[] = {
      {exif::kDefaultExifItemMask, "2004.08.27 13:52:55."},
      {"100011010101110010101100000", ""},  // items chosen, but not item 2
      {"010000000000000000000000000", "2004.08.27 13:52:55."},
  };
  for (const auto& [mask, date] : cases) {
    state.options.exifItemMask = mask;
    view.dateText = "not set";
    session().scan().FirstStepGetImgLst();
    EXPECT_EQ(view.dateText, date) << mask;
  }
}

}  // namespace
}  // namespace sortelia
