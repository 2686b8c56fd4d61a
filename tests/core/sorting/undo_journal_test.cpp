#include "core/sorting/undo_journal.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/sorting_fixture.h"
#include "platform/file_ops.h"

namespace sortelia {
namespace {

using testing::readAll;

TEST(JournalLine, PathsWithBlanksCommasAndQuotesReadBackUnchanged) {
  const std::string source = "/ph otos/a, b \"c\".jpg";
  const std::string destination = "/x/\"\"/d e,f.jpg";
  const std::string line = composeJournalLine("Move", source, destination);
  EXPECT_EQ(line, "Move, \"/ph otos/a, b \"\"c\"\".jpg\", \"/x/\"\"\"\"/d e,f.jpg\"");
  EXPECT_EQ(parseCommaText(line), (std::vector<std::string>{"Move", source, destination}));
  EXPECT_EQ(composeJournalLine("Del", "5", ""), "Del, \"5\", \"\"");
  EXPECT_EQ(parseCommaText("Del, \"5\", \"\""), (std::vector<std::string>{"Del", "5", ""}));
}

TEST(JournalLine, CommaTextSkipsBlanksAndControlCharactersAroundItems) {
  EXPECT_EQ(parseCommaText("  Copy ,\t\"a\"  ,\x01\"b c\" "),
            (std::vector<std::string>{"Copy", "a", "b c"}));
  EXPECT_EQ(parseCommaText("a,b,c,d"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(parseCommaText("\"unterminated"), std::vector<std::string>{"unterminated"});
  EXPECT_TRUE(parseCommaText("").empty());
  EXPECT_EQ(keptOriginalPath("/d/IMG_1.JPG"), "/d/Org_IMG_1.JPG");
}

class Undo : public testing::SortingFixture {};

TEST_F(Undo, EmptyJournalChangesNothing) {
  scan({"a.jpg", "b.jpg"});
  state.list.sortIndex = 2;
  const int busyBefore = ui.busyOnCalls;
  journal.Undo1Click();
  EXPECT_EQ(ui.busyOnCalls, busyBefore);
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_TRUE(view.shown.empty());
  EXPECT_TRUE(ui.statusTexts.empty());
}

TEST_F(Undo, TwoMovesAndTwoUndosPutEverythingBack) {
  scan({"a.jpg", "b.jpg", "c.jpg"});
  bind(1, dst);
  transfer.Button1Click(1);
  transfer.Button1Click(1);
  ASSERT_EQ(state.list.sortIndex, 3);
  journal.Undo1Click();
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す] ☆ Move ☆");
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_EQ(view.shown.back().n, 2);
  journal.Undo1Click();
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す] ☆ ★記録なし★ ☆");
  EXPECT_EQ(state.list.sortIndex, 1);
  for (const char* n : {"a.jpg", "b.jpg"}) {
    EXPECT_EQ(readAll(s(n)), bytesOf(n)) << n;
    EXPECT_FALSE(fs::exists(d(n))) << n;
  }
  EXPECT_TRUE(state.undo.lines.empty());
  EXPECT_EQ(ui.status(), s("a.jpg") + " [ 1 / 3 files ]");
  EXPECT_NE(std::find(ui.statusTexts.begin(), ui.statusTexts.end(), "Copying..."),
            ui.statusTexts.end());
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(Undo, TwoCopiesAndTwoUndosRemoveTheCopies) {
  scan({"a.jpg", "b.jpg", "c.jpg"});
  state.options.keepOriginal = true;
  bind(1, dst);
  transfer.Button1Click(1);
  transfer.Button1Click(1);
  journal.Undo1Click();
  journal.Undo1Click();
  EXPECT_EQ(state.list.sortIndex, 1);
  for (const char* n : {"a.jpg", "b.jpg"}) {
    EXPECT_EQ(readAll(s(n)), bytesOf(n));
    EXPECT_FALSE(fs::exists(d(n)));
  }
}

// A line whose files have changed outside the program so that it can never be taken back.
enum class Lost { CopiedFile, CopySource, CopySameFile, MovedFile, KeptOriginal };

class UndoOfALostLine : public testing::SortingFixture,
                        public ::testing::WithParamInterface<Lost> {};

// The line is reported and dropped, nothing that may be the last copy is deleted, and the undo
// goes on as usual, so that the older line behind it can still be taken back.
TEST_P(UndoOfALostLine, IsReportedAndDroppedAndTheOlderLineStaysReachable) {
  scan({"a.jpg", "b.jpg", "c.jpg"});
  bind(1, dst);
  transfer.Button1Click(1);  // the older line: a moved
  const std::string b = bytesOf("b.jpg");
  std::string message;
  std::optional<std::string> sourceAfter;  // what stays at s("b.jpg"), nullopt: nothing
  std::optional<std::string> destinationAfter;
  switch (GetParam()) {
    case Lost::CopiedFile:
      state.options.keepOriginal = true;
      transfer.Button1Click(1);
      std::remove(d("b.jpg").c_str());
      message = "整理先のファイルがありません[ " + d("b.jpg") +
                " ]。\r\n取り消すコピーがないため、この記録を消します。";
      sourceAfter = b;
      break;
    case Lost::CopySource:
      state.options.keepOriginal = true;
      transfer.Button1Click(1);
      std::remove(s("b.jpg").c_str());
      message = "元のファイルがありません[ " + s("b.jpg") + " ]。\r\n整理先のファイル[ " +
                d("b.jpg") + " ]は唯一のコピーなので削除せず、この記録を消します。";
      destinationAfter = b;
      break;
    case Lost::CopySameFile:  // the copy was replaced by a second name of the source
      state.options.keepOriginal = true;
      transfer.Button1Click(1);
      std::remove(d("b.jpg").c_str());
      ASSERT_EQ(::link(s("b.jpg").c_str(), d("b.jpg").c_str()), 0);
      message = "元のファイル[ " + s("b.jpg") + " ]と整理先のファイル[ " + d("b.jpg") +
                " ]は同じファイルです。\r\n削除せず、この記録を消します。";
      sourceAfter = destinationAfter = b;
      break;
    case Lost::MovedFile:
      transfer.Button1Click(1);
      std::remove(d("b.jpg").c_str());
      message = "整理先のファイルがありません[ " + d("b.jpg") +
                " ]。\r\n元に戻せないため、この記録を消します。";
      break;
    case Lost::KeptOriginal:  // a reduced move whose full-size file has gone
      std::remove(s("b.jpg").c_str());
      root.write("dst/b.jpg", "reduced");
      journal.SetUndoMrk("MovRS", s("b.jpg"), d("b.jpg"));
      state.list.sortIndex = 3;
      message = "整理先のファイルがありません[ " + d("Org_b.jpg") +
                " ]。\r\n元に戻せないため、この記録を消します。";
      destinationAfter = "reduced";
      break;
  }
  ASSERT_EQ(state.undo.lines.size(), 2u);
  ASSERT_EQ(state.list.sortIndex, 3);
  forget();

  journal.Undo1Click();
  // The display then shows entry 2 as it always does, and says so when its file is gone.
  std::vector<std::string> said{message};
  if (!sourceAfter) said.push_back(s("b.jpg") + " が見つかりません。");
  EXPECT_EQ(messageTexts(), said);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
  ASSERT_FALSE(ui.infoTexts.empty());
  EXPECT_EQ(ui.infoTexts[0], message);
  EXPECT_EQ(sourceAfter.has_value(), fs::exists(s("b.jpg")));
  EXPECT_EQ(readAll(s("b.jpg")), sourceAfter.value_or(""));
  EXPECT_EQ(destinationAfter.has_value(), fs::exists(d("b.jpg")));
  EXPECT_EQ(readAll(d("b.jpg")), destinationAfter.value_or(""));
  EXPECT_EQ(state.undo.lines.size(), 1u);
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す] ☆ Move ☆");
  EXPECT_EQ(state.list.sortIndex, 2);
  EXPECT_EQ(view.shown.back().n, 2);
  EXPECT_EQ(ui.busyDepth, 0);

  const std::size_t messagesBefore = ui.messages.size();
  journal.Undo1Click();  // the older line is taken back as usual
  EXPECT_EQ(readAll(s("a.jpg")), bytesOf("a.jpg"));
  EXPECT_FALSE(fs::exists(d("a.jpg")));
  EXPECT_TRUE(state.undo.lines.empty());
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す] ☆ ★記録なし★ ☆");
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_EQ(ui.messages.size(), messagesBefore);
}

std::string lostName(const ::testing::TestParamInfo<Lost>& info) {
  static const char* const names[] = {"CopiedFile", "CopySource", "CopySameFile", "MovedFile",
                                      "KeptOriginal"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Undo, UndoOfALostLine,
                         ::testing::Values(Lost::CopiedFile, Lost::CopySource, Lost::CopySameFile,
                                           Lost::MovedFile, Lost::KeptOriginal),
                         lostName);

TEST_F(Undo, EnglishTextOfALostLine) {
  scan({"a.jpg", "b.jpg"});
  state.options.japaneseMode = false;
  state.options.keepOriginal = true;
  bind(1, dst);
  transfer.Button1Click(1);
  std::remove(s("a.jpg").c_str());
  forget();
  journal.Undo1Click();
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages[0].text, "The original file is gone [ " + s("a.jpg") +
                                     " ].\r\nThe sorted file [ " + d("a.jpg") +
                                     " ] is the only copy and is kept; the record is dropped.");
  EXPECT_EQ(readAll(d("a.jpg")), bytesOf("a.jpg"));
  EXPECT_TRUE(state.undo.lines.empty());
}

TEST_F(Undo, ReducedMoveIsRestoredFromTheKeptOriginal) {
  scan({"a.jpg", "b.jpg"});
  // What a reduced move leaves: the source gone, the reduced picture and the kept original.
  std::remove(s("a.jpg").c_str());
  root.write("dst/a.jpg", "reduced");
  root.write("dst/Org_a.jpg", bytesOf("a.jpg"));
  journal.SetUndoMrk("MovRS", s("a.jpg"), d("a.jpg"));
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す] ☆ MovRS ☆");
  state.list.sortIndex = 2;
  journal.Undo1Click();
  EXPECT_EQ(readAll(s("a.jpg")), bytesOf("a.jpg"));
  EXPECT_FALSE(fs::exists(d("a.jpg")));
  EXPECT_FALSE(fs::exists(d("Org_a.jpg")));
  EXPECT_EQ(ui.statusTexts.front(), "Org Copying...");
  EXPECT_EQ(state.list.sortIndex, 1);
}

TEST_F(Undo, DeleteOfPictureFiveIsTakenBack) {
  scan({"1.jpg", "2.jpg", "3.jpg", "4.jpg", "5.jpg", "6.jpg"});
  state.list.sortIndex = 5;
  marks.Button13Click();
  EXPECT_EQ(state.list.images[4], "!:" + s("5.jpg"));
  EXPECT_EQ(state.undo.lines.back(), "Del, \"5\", \"\"");
  EXPECT_EQ(state.list.sortIndex, 6);
  journal.Undo1Click();
  EXPECT_EQ(state.list.images[4], s("5.jpg"));
  EXPECT_EQ(state.list.sortIndex, 5);
  EXPECT_EQ(view.shown.back().n, 5);
  EXPECT_EQ(readAll(s("5.jpg")), bytesOf("5.jpg"));
}

TEST_F(Undo, StepsBackOneEntryAndSkipsAMarkedOneForward) {
  scan({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
  bind(1, dst);
  transfer.Button1Click(1);  // a -> dst, shows b
  marks.Button13Click();     // marks b, shows c
  transfer.Button1Click(1);  // c -> dst, shows d
  ASSERT_EQ(state.list.sortIndex, 4);
  journal.Undo1Click();  // c comes back
  EXPECT_EQ(readAll(s("c.jpg")), bytesOf("c.jpg"));
  EXPECT_EQ(state.list.sortIndex, 3);
  journal.Undo1Click();  // b loses its mark
  EXPECT_EQ(state.list.images[1], s("b.jpg"));
  EXPECT_EQ(state.list.sortIndex, 2);
  journal.Undo1Click();  // a comes back: every step is taken back
  EXPECT_EQ(state.list.sortIndex, 1);
  EXPECT_EQ(readAll(s("a.jpg")), bytesOf("a.jpg"));
}

TEST_F(Undo, AfterMarkedPicturesWereSkippedStepsBackOneEntryOnly) {
  scan({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
  marks.MrkDelImg(2);  // c marked in viewer mode
  bind(1, dst);
  transfer.Button1Click(1);  // a -> dst, shows b
  transfer.Button1Click(1);  // b -> dst, skips c, shows d
  ASSERT_EQ(state.list.sortIndex, 4);
  journal.Undo1Click();  // b comes back; entry 3 is marked, so d is shown again
  EXPECT_EQ(readAll(s("b.jpg")), bytesOf("b.jpg"));
  EXPECT_FALSE(fs::exists(d("b.jpg")));
  EXPECT_EQ(state.list.sortIndex, 4);
  EXPECT_EQ(view.shown.back().n, 4);
  journal.SetUndoMrk("Other", "", "");  // a line of an unknown kind moves no file
  journal.Undo1Click();
  EXPECT_EQ(state.undo.lines.size(), 1u);
  EXPECT_EQ(view.captions[Control::Undo1], "Undo[元に戻す] ☆ Move ☆");
}

}  // namespace
}  // namespace sortelia
