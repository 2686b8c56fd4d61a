// The dump window's commands (opening into a pane, a failed read keeping the old dump, the
// comparison with its captions and stop, the parameter file for the editor) and the Help and
// Version commands.
#include <gtest/gtest.h>

#include "core/dump/dump_commands.h"
#include "core/help/help_commands.h"
#include "core/session/sorting_session.h"
#include "platform/file_ops.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::FakeMainView;
using testing::FakeUi;
using testing::TempDir;

class DumpHelpTest : public ::testing::Test {
 protected:
  DumpHelpTest() : data(root.mkdir("data")), session(state, ui, view, data), dump(session) {}

  TempDir root;
  std::string data;
  SortingState state;
  FakeUi ui;
  FakeMainView view;
  SortingSession session;
  DumpCommands dump;
};

TEST_F(DumpHelpTest, OpeningAFileDumpsItAndAFailedReadKeepsTheOldDump) {
  const std::string a = root.write("a.jpg", std::string(1000, 'A'));
  ui.queueDialogResult(a);
  ASSERT_TRUE(dump.DmpFileOpen(2));
  EXPECT_EQ(ui.dialogs.back().title, "ダンプする画像ファイルの選択");
  EXPECT_EQ(ui.dialogs.back().filter,
            "すべてのファイル (*.*)|*.*|JPEG イメージファイル (*.jpg)|*.jpg");
  EXPECT_EQ(dump.pane(2).path, a);
  EXPECT_EQ(dump.pane(2).lines.size(), 63u);  // 1000 bytes: 62 full lines and a short one
  EXPECT_TRUE(dump.pane(1).lines.empty());

  ui.queueDialogResult(std::nullopt);
  EXPECT_FALSE(dump.DmpFileOpen(2));
  EXPECT_EQ(dump.pane(2).path, a);

  const std::string gone = root.file("gone.jpg");
  EXPECT_FALSE(dump.MakeDump(2, gone));
  EXPECT_EQ(dump.pane(2).path, gone);         // the caption already names the new file
  EXPECT_EQ(dump.pane(2).lines.size(), 63u);  // the view keeps the old dump
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, Icon::Error);
  EXPECT_NE(ui.messages[0].text.find(gone), std::string::npos);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(DumpHelpTest, ComparisonMarksDifferencesShowsProgressAndStops) {
  std::string bytes(4096, 'x');
  const std::string a = root.write("a.jpg", bytes);
  bytes[17] = 'y';
  bytes[1535] = 'z';
  const std::string b = root.write("b.jpg", bytes);
  std::vector<std::string> captions;
  const auto collect = [&](const std::string& c) { captions.push_back(c); };

  ASSERT_TRUE(dump.MakeDump(1, a));
  EXPECT_TRUE(dump.Chk(CancelToken{}, collect).marks.empty());  // lower pane empty
  EXPECT_TRUE(captions.empty());

  ASSERT_TRUE(dump.MakeDump(2, a));
  EXPECT_TRUE(dump.Chk(CancelToken{}, collect).marks.empty());  // identical files
  EXPECT_EQ(captions.size(), 96u);
  EXPECT_EQ(captions.front().rfind("比較処理中[ ", 0), 0u);

  ASSERT_TRUE(dump.MakeDump(2, b));
  const outputs::DumpComparison c = dump.Chk(CancelToken{}, {});
  // Each differing byte: its hex pair and its character.
  EXPECT_EQ(c.marks,
            (std::vector<outputs::DumpMark>{{1, 11, 2}, {1, 59, 1}, {95, 53, 2}, {95, 73, 1}}));

  // A click while comparing cancels the token; the walk ends at the next line.
  CancelToken token;
  int lines = 0;
  const outputs::DumpComparison stopped = dump.Chk(token, [&](const std::string&) {
    if (++lines == 3) token.cancel();
  });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.marks, (std::vector<outputs::DumpMark>{{1, 11, 2}, {1, 59, 1}}));
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(DumpHelpTest, EditWritesAMissingParameterFileBeforeStartingTheEditor) {
  ASSERT_FALSE(fs::exists(data + "/zel-prm.txt"));
  (void)dump.Edit();  // whether an editor exists depends on the desktop
  EXPECT_TRUE(fs::exists(data + "/zel-prm.txt"));
}

TEST_F(DumpHelpTest, HelpShowsTheFirstReadmeFoundAndReportsAMissingOne) {
  const std::string exeDir = root.mkdir("bin");
  const std::string share = root.mkdir("share");
  root.write("share/ZELreadme.txt", "share");
  root.write("bin/ZELreadme.txt", "一行目\r\n二行目\r\n");
  std::vector<std::pair<std::string, std::string>> shown;
  HelpCommands help(session, {data, exeDir, share},
                    [&](const std::string& c, const std::string& t) { shown.emplace_back(c, t); });
  EXPECT_EQ(findReadme({data, exeDir, share}), exeDir + "/ZELreadme.txt");

  help.Help1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "ごめんなさい。ありませんが(^^;)ReadMeをどうぞ！");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].first, "Help(ReadMe)");
  EXPECT_EQ(shown[0].second, "一行目\n二行目");

  ui.messages.clear();
  HelpCommands none(session, {data},
                    [&](const std::string& c, const std::string& t) { shown.emplace_back(c, t); });
  none.Help1Click();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].icon, Icon::Error);
  EXPECT_NE(ui.messages[1].text.find("ZELreadme.txt"), std::string::npos);
  EXPECT_EQ(shown.size(), 1u);  // the help window stays hidden
}

TEST_F(DumpHelpTest, VersionBoxNamesProgramVersionContactAndLicence) {
  HelpCommands help(session, {}, {});
  help.Version1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, Icon::Information);
  EXPECT_EQ(ui.messages[0].text,
            std::string("Sortelia for Windows\r\nバージョン ZEL v2.4   '070312\r\n"
                        "連絡先 : ") +
                kContactAddress +
                "\r\nライセンス : GNU GPL バージョン3以降 (GPL-3.0-or-later)\r\n"
                "このプログラムはフリーソフトウェアで、無保証です。");
  state.options.japaneseMode = false;
  help.Version1Click();
  EXPECT_EQ(ui.messages[1].text, std::string("Sortelia for Windows\r\nVersion ZEL v2.4   "
                                             "'070312\r\nContact : ") +
                                     kContactAddress +
                                     "\r\nLicence : GNU GPL version 3 or later "
                                     "(GPL-3.0-or-later)\r\nThis program is free software "
                                     "and comes with ABSOLUTELY NO WARRANTY.");
}

}  // namespace
}  // namespace sortelia
