// The session's scan of the source folder, the step to a position, the controls of an empty list.
#include "core/session/image_scan.h"

#include <gtest/gtest.h>

#include "core/session/session_fixture.h"
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
  session().scan().rescanSourceFolder();
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

TEST_F(SessionTest, ImageDspSkipsMarkedEntriesInSortingMode) {
  session();
  state.list.images = {"/p/1.jpg", "/p/2.jpg", "!:/p/3.jpg", "/p/4.jpg", "/p/5.jpg"};
  state.list.imageCount = 5;
  state.list.sortIndex = 3;
  session().scan().showListPosition(3);
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
  session().scan().showListPosition(2);
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
  session().scan().showListPosition(2);
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].entry, "!:" + p2);
  EXPECT_EQ(view.shown[0].path, p2);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace sortelia
