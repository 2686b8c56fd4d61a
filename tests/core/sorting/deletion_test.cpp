#include "core/sorting/deletion.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/sorting_fixture.h"
#include "platform/file_ops.h"

namespace sortelia {
namespace {

using testing::readAll;

std::string undeletable(const std::string& path) {
  return "削除できません[ " + path + " ]。\r\n読み取り専用属性等が設定されている可能性があります。";
}

class Deletion : public testing::SortingFixture {};

TEST_F(Deletion, ViewerModeTogglesTheShownPictureWithoutJournal) {
  scan({"a.jpg", "b.jpg"});
  state.list.viewerMode = true;
  state.list.viewIndex = 2;
  marks.Button13Click();
  EXPECT_EQ(state.list.images[1], "!:" + s("b.jpg"));
  EXPECT_TRUE(view.deletionOverlay);
  EXPECT_EQ(view.captions[Control::Button13], "復活");
  EXPECT_FALSE(view.enabled[Control::SpeedButton1]);
  marks.Button13Click();
  EXPECT_EQ(state.list.images[1], s("b.jpg"));
  EXPECT_FALSE(view.deletionOverlay);
  EXPECT_EQ(view.captions[Control::Button13], "削除");
  EXPECT_TRUE(view.enabled[Control::SpeedButton1]);
  EXPECT_TRUE(state.undo.lines.empty());
  EXPECT_EQ(state.list.viewIndex, 2);
}

TEST_F(Deletion, SortingModeMarksJournalsAndMovesOn) {
  scan({"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg", "7.jpg", "8.jpg", "9.jpg", "a.jpg"});
  state.list.sortIndex = 4;
  marks.MrkDelImg(4);  // 5 is marked already: the next unmarked one is 6
  marks.Button13Click();
  EXPECT_EQ(state.list.images[3], "!:" + s("4.jpg"));
  EXPECT_EQ(state.undo.lines, std::vector<std::string>{"Del, \"4\", \"\""});
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す] ☆ Del ☆");
  EXPECT_EQ(state.list.sortIndex, 6);
  EXPECT_EQ(view.shown.back().n, 6);
  EXPECT_TRUE(view.enabled[Control::Button1]);
  EXPECT_EQ(readAll(s("4.jpg")), bytesOf("4.jpg"));  // nothing is deleted yet
}

TEST_F(Deletion, MarkedPictureDisablesSlotsAndCommentEditing) {
  scan({"a.jpg"});
  marks.DelMark(true);
  EXPECT_TRUE(view.deletionOverlay);
  for (Control c : {Control::Button1, Control::Button12, Control::SpeedButton1})
    EXPECT_FALSE(view.enabled[c]);
  EXPECT_EQ(view.captions[Control::Button13], "復活");
  marks.DelMark(false);
  EXPECT_TRUE(view.enabled[Control::Button12]);
  // During a slide show only the overlay follows the mark.
  view.setChecked(Control::CheckShow, true);
  marks.DelMark(true);
  EXPECT_TRUE(view.deletionOverlay);
  EXPECT_TRUE(view.enabled[Control::Button12]);
  EXPECT_EQ(view.captions[Control::Button13], "削除");
  EXPECT_FALSE(marks.MrkDelImg(5));  // outside the list: nothing
  EXPECT_FALSE(marks.MrkDelImg(-1));
}

TEST_F(Deletion, CloseWithThreeMarkedOneReadOnly) {
  scan({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
  for (int i : {0, 1, 3}) marks.MrkDelImg(i);
  ASSERT_EQ(::chmod(s("b.jpg").c_str(), 0444), 0);
  bool infoShownDuringQuestion = false;
  std::string infoDuringQuestion;
  ui.onMessage = [&](const std::string&) {
    infoShownDuringQuestion = view.isChecked(Control::CheckInfo);
    infoDuringQuestion = ui.infoText();
  };
  ui.queueAnswer(Answer::Yes);
  marks.DMRKFdelete();
  EXPECT_TRUE(infoShownDuringQuestion);
  EXPECT_FALSE(view.isChecked(Control::CheckInfo));
  EXPECT_EQ(infoDuringQuestion,
            "【削除予定のファイル】\r\n" + s("a.jpg") + "\r\n" + s("b.jpg") + "\r\n" + s("d.jpg"));
  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{"削除写真データファイル(3個)があります。本当に削除しますか？",
                                      undeletable(s("b.jpg"))}));
  EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
  EXPECT_EQ(ui.messages[0].icon, Icon::Question);
  EXPECT_EQ(ui.statusTexts,
            (std::vector<std::string>{
                "Del[ " + s("a.jpg") + " ]( 1 / 3 )", "Del[ " + s("b.jpg") + " ]( 2 / 3 )",
                "Del[ " + s("d.jpg") + " ]( 2 / 3 )", "Deleted 2 / 3 files."}));
  EXPECT_FALSE(fs::exists(s("a.jpg")));
  EXPECT_FALSE(fs::exists(s("d.jpg")));
  EXPECT_EQ(readAll(s("b.jpg")), bytesOf("b.jpg"));
  EXPECT_EQ(readAll(s("c.jpg")), bytesOf("c.jpg"));
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(Deletion, NoDeletesNothingAndAsksAgainNextTime) {
  scan({"a.jpg", "b.jpg"});
  marks.MrkDelImg(0);
  marks.DMRKFdelete();
  EXPECT_EQ(readAll(s("a.jpg")), bytesOf("a.jpg"));
  EXPECT_EQ(state.list.images[0], "!:" + s("a.jpg"));
  EXPECT_FALSE(view.isChecked(Control::CheckInfo));
  EXPECT_TRUE(ui.statusTexts.empty());
  ui.queueAnswer(Answer::Yes);
  marks.DMRKFdelete();
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_FALSE(fs::exists(s("a.jpg")));
  // The marks stay after the pass; a later pass reports the files as not deletable.
  ui.queueAnswer(Answer::Yes);
  marks.DMRKFdelete();
  EXPECT_EQ(ui.messages.back().text, undeletable(s("a.jpg")));
  EXPECT_EQ(ui.status(), "Deleted 0 / 1 files.");
}

TEST_F(Deletion, NothingMarkedAndNoReducedMovesAsksNothing) {
  scan({"a.jpg"});
  state.undo.lines.push_back("Move, \"/x\", \"/y\"");
  marks.DMRKFdelete();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ui.infoTexts.empty());
  EXPECT_TRUE(view.checked.find(Control::CheckInfo) == view.checked.end() ||
              !view.checked[Control::CheckInfo]);
}

TEST_F(Deletion, KeptOriginalsOfReducedMovesAreListedAndDeleted) {
  scan({"a.jpg", "b.jpg", "c.jpg"});
  for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) {
    root.write(std::string("dst/") + n, "reduced");
    root.write(std::string("dst/Org_") + n, bytesOf(n));
    journal.SetUndoMrk("MovRS", s(n), d(n));
  }
  journal.SetUndoMrk("Del", "1", "");
  std::remove(d("c.jpg").c_str());  // the reduced picture of c has gone: its original stays
  std::string infoDuringQuestion;
  ui.onMessage = [&](const std::string&) {
    if (infoDuringQuestion.empty()) infoDuringQuestion = ui.infoText();
  };
  ui.queueAnswer(Answer::Yes);
  marks.DMRKFdelete();
  EXPECT_EQ(infoDuringQuestion, "【移動先のサイズ変更前オリジナルファイルの削除予定】\r\n" +
                                    d("Org_a.jpg") + "\r\n" + d("Org_b.jpg") + "\r\n" +
                                    d("Org_c.jpg"));
  EXPECT_EQ(messageTexts(),
            (std::vector<std::string>{"削除対象のサイズ変更前オリジナル写真データファイル(3個)が"
                                      "あります。本当に削除しますか？",
                                      undeletable(d("Org_c.jpg"))}));
  EXPECT_FALSE(fs::exists(d("Org_a.jpg")));
  EXPECT_FALSE(fs::exists(d("Org_b.jpg")));
  EXPECT_EQ(readAll(d("Org_c.jpg")), bytesOf("c.jpg"));
  EXPECT_EQ(ui.status(), "Deleted 2 / 3 files.");
  EXPECT_EQ(ui.statusTexts[1], "Del[ " + d("Org_b.jpg") + " ]( 2 / 3 )");
  EXPECT_FALSE(view.isChecked(Control::CheckInfo));
}

TEST_F(Deletion, UndoneReducedMoveLeavesNothingToDelete) {
  scan({"a.jpg", "b.jpg"});
  std::remove(s("a.jpg").c_str());
  root.write("dst/a.jpg", "reduced");
  root.write("dst/Org_a.jpg", bytesOf("a.jpg"));
  journal.SetUndoMrk("MovRS", s("a.jpg"), d("a.jpg"));
  state.list.sortIndex = 2;
  journal.Undo1Click();
  forget();
  marks.DMRKFdelete();
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace sortelia
