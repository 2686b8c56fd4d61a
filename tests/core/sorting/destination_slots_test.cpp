#include "core/sorting/destination_slots.h"

#include <gtest/gtest.h>

#include "core/session/main_commands.h"
#include "platform/path.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::FakeMainView;
using testing::FakeUi;
using testing::TempDir;

class SlotsTest : public ::testing::Test {
 protected:
  SlotsTest() : session(state, ui, view, ""), slots(session) {
    session.setDeletionPass([this] { ++deletionPasses; });
    a = root.mkdir("dest/a");
    b = root.mkdir("dest/b");
    state.list.sourceDir = root.mkdir("src") + "/";
  }
  TempDir root;
  SortingState state;
  FakeUi ui;
  FakeMainView view;
  SortingSession session;
  DestinationSlots slots;
  std::string a, b;
  int deletionPasses = 0;
};

TEST_F(SlotsTest, SetFolderOnAnUnboundSlotOpensTheDialogAtTheSourceFolder) {
  slots.pointAt(3);
  ui.queueDialogResult(a + "/any picture.jpg");
  slots.SetBox1Click();
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, "フォトデータの移動先フォルダを開く");
  EXPECT_EQ(ui.dialogs[0].fileName, "フォトデータの移動先フォルダを開く");
  EXPECT_EQ(ui.dialogs[0].initialDir, state.list.sourceDir);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(state.slots[2].folder, a);
  EXPECT_EQ(state.slots[2].caption, "a");
  EXPECT_EQ(view.slotCaptions[3], "a");
  EXPECT_EQ(ui.status(), "");
  EXPECT_EQ(ui.infoText(), "");
}

TEST_F(SlotsTest, SetFolderOnABoundSlotAsksFirstAndNoKeepsTheBinding) {
  session.setSlot(1, a);
  slots.pointAt(1);
  slots.SetBox1Click();  // the fake answers No
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "移動先[ " + a + " ]が登録済みです。変更しますか？");
  EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
  EXPECT_EQ(ui.infoTexts[0], "移動先[ " + a + " ]が登録済みです。変更しますか？");
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_EQ(state.slots[0].folder, a);

  ui.queueAnswer(Answer::Yes);
  ui.queueDialogResult(b + "/x.jpg");
  slots.SetBox1Click();
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].initialDir, a);  // a bound slot's dialog opens at its folder
  EXPECT_EQ(state.slots[0].folder, b);
}

TEST_F(SlotsTest, RootAndFilesAreRefused) {
  session.setSlot(2, a);
  slots.pointAt(2);
  slots.SetFldNamOnBTN("/picture.jpg");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "ドライブのルートは指定できません。フォルダを選んでください！");
  EXPECT_EQ(ui.infoText(), "　ドライブのルートは指定できません。フォルダを選びましょう。");
  slots.SetFldNamOnBTN(root.write("afile.jpg", "x") + "/dummy");
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "これはフォルダではありません。");
  EXPECT_EQ(ui.infoText(), "　選ばれたものはフォルダではありません。");
  EXPECT_EQ(state.slots[1].folder, a);
}

TEST_F(SlotsTest, DropBindsTheFirstFolderOnly) {
  slots.pointAt(5);
  slots.dropPaths({b, a, root.path()});
  EXPECT_EQ(state.slots[4].folder, b);
  EXPECT_TRUE(ui.messages.empty());
  // A dropped picture is not a folder; "/" is the root.
  slots.pointAt(6);
  slots.dropPaths({root.write("p.jpg", "x")});
  slots.dropPaths({"/"});
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "これはフォルダではありません。");
  EXPECT_EQ(ui.messages[1].text, "ドライブのルートは指定できません。フォルダを選んでください！");
  EXPECT_EQ(state.slots[5].folder, "");
  // A folder name with blanks and quotes stays whole.
  const std::string odd = root.mkdir("it's a \"folder\", ok");
  slots.dropPaths({odd});
  EXPECT_EQ(state.slots[5].caption, "it's a \"folder\", ok");
  // A folder dropped with trailing slashes is that folder, not the root.
  ui.queueAnswer(Answer::Yes);
  slots.dropPaths({a + "//"});
  EXPECT_EQ(state.slots[5].folder, a);
  EXPECT_EQ(state.slots[5].caption, fs::fileNameOf(a));
  // The dialog that binds a slot takes any name: only its folder counts.
  ui.queueAnswer(Answer::Yes);
  ui.queueDialogResult(b + "/フォトデータの移動先フォルダを開く");
  slots.SetBox1Click();
  ASSERT_FALSE(ui.dialogs.empty());
  EXPECT_TRUE(ui.dialogs.back().anyName);
  EXPECT_EQ(state.slots[5].folder, b);
}

TEST_F(SlotsTest, AFolderWhoseNameHoldsALineBreakIsNeverBound) {
  // Fault: a folder name with a line break was bound and written into "zel.ini" as it was,
  // so at the next start every later line moved down and the buttons got other folders.
  const std::string before = state.list.sourceDir;
  const struct {
    const char* name;
    const char* lineBreak;
    const char* shown;
  } cases[] = {{"LF", "\n", "<LF>"}, {"CR", "\r", "<CR>"}, {"CR LF", "\r\n", "<CR><LF>"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string folder = root.mkdir(std::string("dest/one") + c.lineBreak + "two");
    const std::string inner = root.mkdir(std::string("dest/one") + c.lineBreak + "two/inner");
    root.write(std::string("dest/one") + c.lineBreak + "two/IMG_1.JPG", "x");
    const std::string told =
        "フォルダ名に改行が含まれています。このフォルダは設定ファイル「zel.ini」に正しく記録でき"
        "ないため、整理先にも整理元にも指定できません。フォルダ名を変えてから指定しましょう！\r\n"
        "  フォルダ名[ " +
        root.path() + "/dest/one" + c.shown + "two";
    ui.messages.clear();
    slots.pointAt(4);
    ui.queueDialogResult(folder + "/any picture.jpg");
    slots.SetBox1Click();  // the dialog
    slots.dropPaths({folder});
    slots.dropPaths({inner});  // a folder inside one: its path holds the break too
    ui.queueDialogResult(folder + "/IMG_1.JPG");
    Open1Click(session);
    EXPECT_FALSE(OpenStartPath(session, folder, "/"));
    EXPECT_FALSE(OpenStartPath(session, folder + "/IMG_1.JPG", "/"));
    EXPECT_EQ(state.slots[3].folder, "");
    EXPECT_EQ(view.slotCaptions[4], "");
    EXPECT_EQ(state.list.sourceDir, before);
    const std::vector<std::string> expected = {told + " ]", told + " ]", told + "/inner ]",
                                               told + " ]", told + " ]", told + " ]"};
    ASSERT_EQ(ui.messages.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
      EXPECT_EQ(ui.messages[k].text, expected[k]) << k;
      EXPECT_EQ(ui.messages[k].icon, Icon::Warning);
    }
  }
  state.options.japaneseMode = false;
  ui.messages.clear();
  slots.dropPaths({root.mkdir("dest/three\nfour")});
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "The Folder Name contains a Line Break. It cannot be kept in the Settings File "
            "\"zel.ini\", so it can be neither a Destination nor the Source Folder. Rename the "
            "Folder, then Select it again.\r\n  Folder [ " +
                root.path() + "/dest/three<LF>four ]");
}

TEST_F(SlotsTest, NothingHappensWithoutAPointedSlot) {
  slots.pointAt(4);
  slots.resetPointed();
  slots.dropPaths({a});
  slots.SetBox1Click();
  slots.CancelBox1Click();
  slots.MoveFolder1Click();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_EQ(state.slots[3].folder, "");
  slots.pointAt(13);
  EXPECT_EQ(slots.PointedSlot(), 0);
}

TEST_F(SlotsTest, ClearAsksOnBoundSlotsOnly) {
  slots.pointAt(7);
  slots.CancelBox1Click();
  EXPECT_TRUE(ui.messages.empty());
  session.setSlot(7, a);
  slots.CancelBox1Click();  // No
  EXPECT_EQ(ui.infoText(), "移動先[ " + a + " ]を解除しますか？");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "フォルダ[ " + a + " ] は登録済みです。登録を中止しますか？");
  EXPECT_EQ(state.slots[6].folder, a);
  ui.queueAnswer(Answer::Yes);
  slots.CancelBox1Click();
  EXPECT_EQ(state.slots[6].folder, "");
  EXPECT_EQ(view.slotCaptions[7], "");
}

TEST_F(SlotsTest, ClearAllAnsweredNoChangesNothing) {
  session.setSlot(1, a);
  session.setSlot(12, b);
  slots.ClearALL1Click();
  EXPECT_EQ(ui.infoText(), "　移動先のフォルダ登録をすべて解除します。");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "すべての整理先ボタンの登録を解除します。");
  EXPECT_EQ(state.slots[11].folder, b);
  ui.queueAnswer(Answer::Yes);
  slots.ClearALL1Click();
  for (const Slot& s : state.slots) EXPECT_FALSE(s.bound());
}

TEST_F(SlotsTest, MoveToThisFolder) {
  slots.pointAt(2);
  slots.MoveFolder1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "登録がありません！移動できません。");
  EXPECT_EQ(state.list.sourceDir, root.path() + "/src/");
  root.write("dest/a/one.jpg", "x");
  session.setSlot(2, a);
  slots.MoveFolder1Click();
  EXPECT_EQ(deletionPasses, 1);
  EXPECT_EQ(state.list.sourceDir, a + "/");
  EXPECT_EQ(state.list.images, std::vector<std::string>{a + "/one.jpg"});
}

TEST_F(SlotsTest, EnglishTexts) {
  state.options.japaneseMode = false;
  session.setSlot(1, a);
  slots.pointAt(1);
  slots.CancelBox1Click();
  slots.ClearALL1Click();
  slots.SetFldNamOnBTN("/x");
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[0].text, "Folder[ " + a + " ] was registed. Cancel?");
  EXPECT_EQ(ui.messages[1].text, "Clear All Registered Folders on Buttons.");
  EXPECT_EQ(ui.messages[2].text, "We can't use ROOT on the Drive. Please Select a Folder.");
}

TEST_F(SlotsTest, OpenRunsTheDeletionPassThenAsksForTheSourceFolder) {
  const std::string before = state.list.sourceDir;
  Open1Click(session);  // cancelled
  EXPECT_EQ(deletionPasses, 1);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].title, "フォトデータがあるフォルダを開く");
  EXPECT_EQ(ui.dialogs[0].initialDir, before);
  EXPECT_EQ(state.list.sourceDir, before);
  root.write("dest/b/IMG_1.JPG", "x");
  ui.queueDialogResult(b + "/IMG_1.JPG");
  Open1Click(session);
  EXPECT_EQ(state.list.sourceDir, b + "/");
  EXPECT_EQ(state.list.imageCount, 1);
}

// A phone's folder may hold HEIC pictures and MP4 movies only: the dialog's first choice shows
// every kind the list takes; with JPEG, MOV and MPG only it is the three kinds' list.
TEST_F(SlotsTest, OpenOffersEveryKindOfTheListFirst) {
  const std::string classic =
      "画像(*.JPG)とムーヴィー(*.MOV,*.MPG)|*.JPG;*.MOV;*.MPG|画像(*.JPG)|*.JPG|"
      "ムーヴィー(*.MOV,*.MPG)|*.MOV;*.MPG|すべてのファイル(*.*)|*.*|";
  Open1Click(session);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  const std::string filter = ui.dialogs[0].filter;
  EXPECT_EQ(filter.substr(0, filter.find('|') + 1), "画像・RAW・ムーヴィーのすべて|");
  for (const char* pattern : {"*.jpg;", "*.heic;", "*.avif;", "*.cr3;", "*.dng;", "*.mp4;"}) {
    EXPECT_NE(filter.find(pattern), std::string::npos) << pattern;
  }
  EXPECT_EQ(filter.find("*.xmp"), std::string::npos);
  EXPECT_TRUE(filter.ends_with("|" + classic));
  state.options.jpegMovMpgOnly = true;
  Open1Click(session);
  ASSERT_EQ(ui.dialogs.size(), 2u);
  EXPECT_EQ(ui.dialogs[1].filter, classic);
}

TEST_F(SlotsTest, MenuHelpTexts) {
  slots.PopupMenu2Popup();
  EXPECT_EQ(
      ui.infoText(),
      "☆Set Folder : 移動先フォルダを登録します。右クリックしたボタンに移動先が登録できます。\r\n"
      "☆Clear : 移動先ボタンの移動先を解除します。\r\n☆Clear ALL : "
      "すべての移動先ボタンの移動先を解除します。");
  PopupMenu1Popup(session);
  EXPECT_EQ(ui.infoText().substr(0, 10), "★Undo : ");
}

}  // namespace
}  // namespace sortelia
