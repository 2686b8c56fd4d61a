// The options window's commands: the item mask behind the check list, the export and rename
// questions and what they leave on disk, failures told at the end, the dump list's picture,
// the caption after closing, and the language setting.
#include "core/options/options_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/options/extra_options.h"
#include "core/options/language_setting.h"
#include "core/session/sorting_session.h"
#include "core/sorting/undo_journal.h"
#include "platform/file_ops.h"
#include "platform/line_file.h"
#include "platform/path.h"
#include "support/exif_builder.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::ExifBuilder;
using testing::FakeMainView;
using testing::FakeUi;
using testing::Ifd;
using testing::TempDir;

std::string pictureBytes(const std::string& dateTime, const std::string& model) {
  ExifBuilder b(false);
  b.ascii(Ifd::kIfd0, 0x0110, model).ascii(Ifd::kExif, 0x9003, dateTime);
  return testing::jpegWithSegments({b.app1()});
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class OptionsCommandsTest : public ::testing::Test {
 protected:
  OptionsCommandsTest()
      : src(root.mkdir("src")),
        data(root.mkdir("data")),
        session(state, ui, view, data),
        commands(session) {
    session.setDeletionPass([this] { ++deletionPasses; });
  }
  void scan() {
    state.list.sourceDir = src + "/";
    session.scan().rescanSourceFolder();
    ui.messages.clear();
  }
  std::vector<std::string> messageTexts() const {
    std::vector<std::string> t;
    for (const auto& m : ui.messages) t.push_back(m.text);
    return t;
  }

  TempDir root;
  std::string src, data;
  SortingState state;
  FakeUi ui;
  FakeMainView view;
  SortingSession session;
  OptionsCommands commands;
  int deletionPasses = 0;
};

TEST(ItemMask, ChecksAndMaskRoundTripAndShortMasksLeaveItemsUnchecked) {
  const std::vector<bool> checks = itemChecksOf(exif::kDefaultExifItemMask);
  ASSERT_EQ(checks.size(), 27u);
  EXPECT_TRUE(checks[0]);
  EXPECT_FALSE(checks[2]);
  EXPECT_EQ(maskOfItemChecks(checks), exif::kDefaultExifItemMask);
  // "Set Default", then a click on item 3: only that character changes.
  std::vector<bool> clicked = checks;
  clicked[2] = true;
  EXPECT_EQ(maskOfItemChecks(clicked), "111011010101110010101100000");
  EXPECT_EQ(maskOfItemChecks(itemChecksOf("11")), "110000000000000000000000000");
  EXPECT_EQ(maskOfItemChecks(std::vector<bool>(27, false)), std::string(27, '0'));
  EXPECT_EQ(maskOfItemChecks(std::vector<bool>(27, true)), std::string(27, '1'));
}

TEST_F(OptionsCommandsTest, ExportOfAnEmptyListSaysSoAndAsksNothing) {
  commands.SaveImgInfo(1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "処理するデータがありません。");
  EXPECT_FALSE(fs::exists(src + "/_Photo.txt"));
}

TEST_F(OptionsCommandsTest, ExportQuestionsNameTheModeAndFolderInEitherLanguage) {
  root.write("src/A.JPG", pictureBytes("2003:05:06 12:34:56", "CamA"));
  scan();
  const std::string folder = src + "/";
  struct Case {
    int mode;
    bool japanese;
    std::string question;
  };
  const Case cases[] = {
      {1, true,
       "☆テキストファイルで写真情報を書き出します☆\r\n\r\n すべての写真データの情報を１つのファ"
       "イル[ _Photo.txt ]にします。\r\n\r\n現在、整理元のフォルダは[ " +
           folder + " ]です。"},
      {2, true,
       "☆テキストファイルで写真情報を書き出します☆\r\n\r\n 写真データごとに情報ファイルをつくり"
       "ます。\r\n\r\n現在、整理元のフォルダは[ " +
           folder + " ]です。"},
      {1, false,
       "* Save the Infomation of Photo Data (make TEXT FILE) *\r\n\r\n Make a one file[ "
       "_Photo.txt ] that has All of Photos.\r\n\r\nFolder is [ " +
           folder + " ], now."},
      {2, false,
       "* Save the Infomation of Photo Data (make TEXT FILE) *\r\n\r\n Make each file with same "
       "filename.\r\n\r\nFolder is [ " +
           folder + " ], now."},
  };
  for (const Case& c : cases) {
    state.options.japaneseMode = c.japanese;
    ui.messages.clear();
    commands.SaveImgInfo(c.mode);  // no answer queued: Cancel
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, c.question);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::OkCancel);
    // The information window explained the mode while asking and is empty again.
    EXPECT_EQ(ui.infoText(), "");
    EXPECT_NE(ui.infoTexts[ui.infoTexts.size() - 2].find(c.mode == 1 ? "１つのテキストファイル"
                                                                     : "個別のテキストファイル"),
              std::string::npos);
  }
  EXPECT_EQ(namesIn(src), std::vector<std::string>{"A.JPG"});  // Cancel wrote nothing
}

TEST_F(OptionsCommandsTest, ExportSkipsMarkedAndVanishedEntriesAndKeepsTheShownPhotoData) {
  for (const char* n : {"A.JPG", "B.JPG", "C.JPG", "D.JPG", "E.JPG"}) {
    root.write(std::string("src/") + n, pictureBytes("2003:05:06 12:34:56", n));
  }
  scan();
  state.list.images[1] = "!:" + state.list.images[1];
  std::filesystem::remove(src + "/C.JPG");
  session.photoData().GetPdata(src + "/A.JPG");
  const std::string shownPath = session.photoData().photo().record.FilePath;
  ASSERT_EQ(shownPath, src + "/A.JPG");

  ui.queueAnswer(Answer::Ok);
  commands.SaveImgInfo(1);
  const auto all = fs::readFile(src + "/_Photo.txt", 1 << 20);
  ASSERT_TRUE(all);
  for (const char* model : {"A.JPG", "D.JPG", "E.JPG"}) {
    EXPECT_NE(all->find(model), std::string::npos) << model;
  }
  EXPECT_EQ(all->find("B.JPG"), std::string::npos);
  EXPECT_EQ(messageTexts().back(), "処理が終了しました。");

  ui.queueAnswer(Answer::Ok);
  commands.SaveImgInfo(2);
  EXPECT_EQ(namesIn(src), (std::vector<std::string>{"A.JPG", "A.txt", "B.JPG", "D.JPG", "D.txt",
                                                    "E.JPG", "E.txt", "_Photo.txt"}));
  EXPECT_EQ(session.photoData().photo().record.FilePath, shownPath);
}

TEST_F(OptionsCommandsTest, ExportFailuresAreToldAfterTheEnd) {
  root.write("src/A.JPG", pictureBytes("2003:05:06 12:34:56", "CamA"));
  root.write("src/B.JPG", pictureBytes("2003:05:06 12:34:56", "CamB"));
  root.mkdir("src/A.txt");  // a folder where A's text file should go: it cannot be replaced
  scan();
  ui.queueAnswer(Answer::Ok);
  commands.SaveImgInfo(2);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[1].text, "処理が終了しました。");
  EXPECT_EQ(ui.messages[2].icon, Icon::Warning);
  EXPECT_NE(ui.messages[2].text.find("[ 1 件 ]"), std::string::npos);
  EXPECT_NE(ui.messages[2].text.find("A.txt"), std::string::npos);
  EXPECT_TRUE(fs::isRegularFile(src + "/B.txt"));  // the export went on past the failure
}

TEST(BatchFailureText, ListsEachFailureAndCountsTheRest) {
  BatchReport r;
  EXPECT_EQ(batchFailureText(r, true), "");
  r.fail("/a", "a failed");
  r.fail("/b", "b failed");
  r.fail("/c", "c failed");
  EXPECT_EQ(batchFailureText(r, true, 2),
            "処理できなかったファイルがあります。[ 3 件 ]\r\na failed\r\nb failed\r\n…ほか 1 件");
  EXPECT_EQ(batchFailureText(r, false, 5),
            "Some files could not be processed. [ 3 ]\r\na failed\r\nb failed\r\nc failed");
}

TEST_F(OptionsCommandsTest, RenameAsksAndNoChangesNothing) {
  root.write("src/A.JPG", pictureBytes("2003:05:06 12:34:56", "CamA"));
  scan();
  const auto before = state.list.images;
  commands.Button2Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "写真データのファイル名を撮影日時につけかえます");
  EXPECT_EQ(ui.messages[0].buttons, Buttons::YesNo);
  EXPECT_EQ(namesIn(src), std::vector<std::string>{"A.JPG"});
  EXPECT_EQ(deletionPasses, 0);
  EXPECT_EQ(state.list.images, before);
}

TEST_F(OptionsCommandsTest, RenameKeepsMarkedOnesThenOffersDeletionAndRescans) {
  root.write("src/A.JPG", pictureBytes("2003:05:06 12:34:56", "CamA"));
  root.write("src/B.JPG", pictureBytes("2003:05:06 12:34:56", "CamB"));
  root.write("src/C.JPG", pictureBytes("2004:01:02 03:04:05", "CamC"));
  root.write("src/d.jpg", pictureBytes("2005:01:01 00:00:00", "CamD"));
  scan();
  state.list.images[2] = "!:" + state.list.images[2];
  ui.queueAnswer(Answer::Yes);
  commands.Button2Click();
  // Two pictures of the same second: the second gets "_1"; the extension keeps its case.
  EXPECT_EQ(namesIn(src), (std::vector<std::string>{"20030506-123456.JPG", "20030506-123456_1.JPG",
                                                    "20050101-000000.jpg", "C.JPG"}));
  EXPECT_EQ(deletionPasses, 1);
  // The list was rebuilt and shows the new names.
  ASSERT_EQ(state.list.images.size(), 4u);
  EXPECT_EQ(state.list.images[0], src + "/20030506-123456.JPG");
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_TRUE(ui.messages.size() == 1);  // the question; nothing failed

  // A second run finds each name taken by its own file and moves on to the next free one.
  ui.queueAnswer(Answer::Yes);
  commands.Button2Click();
  EXPECT_EQ(namesIn(src),
            (std::vector<std::string>{"20030506-123456.JPG", "20030506-123456_2.JPG",
                                      "20040102-030405.JPG", "20050101-000000_1.jpg"}));
  ui.queueAnswer(Answer::Yes);
  commands.Button2Click();
  EXPECT_EQ(namesIn(src),
            (std::vector<std::string>{"20030506-123456.JPG", "20030506-123456_1.JPG",
                                      "20040102-030405_1.JPG", "20050101-000000.jpg"}));
}

TEST_F(OptionsCommandsTest, DumpListPicturePrefersTheViewerPosition) {
  for (const char* n : {"A.JPG", "B.JPG", "C.JPG"}) root.write(std::string("src/") + n, "x");
  scan();
  state.list.images[1] = "!:" + state.list.images[1];
  state.list.sortIndex = 1;
  state.list.viewIndex = 2;
  EXPECT_EQ(commands.dumpListPicture(), src + "/A.JPG");
  state.list.viewerMode = true;
  EXPECT_EQ(commands.dumpListPicture(), src + "/B.JPG");  // without its deletion mark
  state.list.viewIndex = 4;
  EXPECT_EQ(commands.dumpListPicture(), std::nullopt);
}

TEST_F(OptionsCommandsTest, ClosingRecomposesTheCaptionFromTheOptions) {
  state.list.sourceDir = "/pics/2007/";
  struct Case {
    bool japanese, keep, viewer, show, loop;
    const char* mode;
  };
  const Case cases[] = {
      {true, true, false, false, false, "整理中[複写]"},
      {true, false, false, false, true, "整理中[移動]"},
      {true, false, true, false, true, "閲覧"},
      {true, false, true, true, true, "自動連続表示[繰返]"},
      {true, false, true, true, false, "自動連続表示[片道]"},
      {false, true, false, false, false, "Dividing-COPY"},
      {false, false, false, false, false, "Dividing-MOVE"},
      {false, false, true, false, false, "View"},
      {false, false, true, true, true, "SlideShow-LOOP"},
      {false, false, true, true, false, "SlideShow-OneWay"},
  };
  for (const Case& c : cases) {
    Options o = state.options;
    o.keepOriginal = c.keep;
    o.loopSlideShow = c.loop;
    state.options.japaneseMode = c.japanese;
    o.japaneseMode = c.japanese;
    commands.apply(o);
    state.list.viewerMode = c.viewer;
    view.setChecked(Control::CheckShow, c.show);
    commands.FormClose();
    EXPECT_EQ(view.captions[Control::Form1],
              std::string("Sortelia for Windows [ /pics/2007/ ] < ") + c.mode + " >");
  }
  int installed = 0;
  commands.recomposeCaption = [&] { ++installed; };
  commands.FormClose();
  EXPECT_EQ(installed, 1);
}

TEST_F(OptionsCommandsTest, LanguageIsKeptInItsOwnFileAndSwitchesCaptions) {
  EXPECT_EQ(readJapaneseMode(data), std::nullopt);
  applyStoredLanguage(session);
  EXPECT_TRUE(state.options.japaneseMode);  // the default stays Japanese

  Options o = state.options;
  o.japaneseMode = false;
  commands.apply(o);
  EXPECT_FALSE(state.options.japaneseMode);
  EXPECT_EQ(readJapaneseMode(data), false);
  EXPECT_EQ(view.captions[Control::CheckInfo], "Photo Info.");
  EXPECT_EQ(view.captions[Control::Button13], "Delete");
  EXPECT_EQ(view.captions[Control::Undo1],
            "Undoのヘルプ★記録なし★");          // as a start in English has it
  EXPECT_FALSE(fs::exists(data + "/zel.ini"));  // the settings file is not touched

  o.japaneseMode = true;
  state.undo.lines.push_back(composeJournalLine(kJournalMove, "/a/x.jpg", "/b/x.jpg"));
  commands.apply(o);
  EXPECT_EQ(readJapaneseMode(data), true);
  EXPECT_EQ(view.captions[Control::CheckInfo], "写真情報");
  EXPECT_EQ(view.captions[Control::Undo1],
            "Undo[元に戻す] ☆ Move ☆");  // still names the newest step
  o.japaneseMode = false;
  commands.apply(o);
  EXPECT_EQ(view.captions[Control::Undo1], "Undoのヘルプ ☆ Move ☆");
  o.japaneseMode = true;
  commands.apply(o);

  ASSERT_TRUE(writeJapaneseMode(data, false));
  SortingState fresh;
  FakeUi ui2;
  FakeMainView view2;
  SortingSession next(fresh, ui2, view2, data);
  applyStoredLanguage(next);
  EXPECT_FALSE(fresh.options.japaneseMode);

  ASSERT_TRUE(writeTextLines(data + "/" + kLanguageFileName, {"Klingon"}).ok());
  EXPECT_EQ(readJapaneseMode(data), std::nullopt);
}

// The options kept outside "zel.ini" are stored as soon as one of them changes, and only then.
TEST_F(OptionsCommandsTest, CompanionsAndTrashAreStoredWhenChanged) {
  const std::string file = data + "/" + kExtraOptionsFileName;
  Options o = state.options;
  o.loopSlideShow = true;
  commands.apply(o);
  EXPECT_FALSE(fs::exists(file)) << "no stored option changed";
  o.keepCompanions = false;
  commands.apply(o);
  EXPECT_FALSE(state.options.keepCompanions);
  EXPECT_EQ(
      testing::readAll(file),
      "Companions=0\r\nTrash=1\r\nQueueSteps=8\r\nQueueMegabytes=512\r\nJpegMovMpgOnly=0\r\n");
  o.trashDeleted = false;
  commands.apply(o);
  EXPECT_FALSE(state.options.trashDeleted);
  EXPECT_EQ(
      testing::readAll(file),
      "Companions=0\r\nTrash=0\r\nQueueSteps=8\r\nQueueMegabytes=512\r\nJpegMovMpgOnly=0\r\n");
  EXPECT_FALSE(fs::exists(data + "/zel.ini"));  // the settings file is not touched
}

// Which files the list holds shows at once: the list is built again (after the deletion pass,
// as every rebuild) when the file kinds or the companions option change, and only then.
TEST_F(OptionsCommandsTest, TheListIsBuiltAgainWhenItsFileKindsChange) {
  for (const char* n : {"a.jpg", "b.HEIC", "c.NEF", "c.xmp", "d.MP4", "e.mov"}) {
    root.write(std::string("src/") + n, n);
  }
  scan();
  const auto names = [&] {
    std::vector<std::string> out;
    for (const auto& e : state.list.images) out.push_back(fs::fileNameOf(e));
    return out;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"a.jpg", "b.HEIC", "c.NEF", "d.MP4", "e.mov"}));
  const int passes = deletionPasses;
  Options o = state.options;
  o.loopSlideShow = true;
  commands.apply(o);
  EXPECT_EQ(deletionPasses, passes) << "an option of no concern to the list";
  o.jpegMovMpgOnly = true;
  commands.apply(o);
  EXPECT_EQ(deletionPasses, passes + 1);
  EXPECT_EQ(names(), (std::vector<std::string>{"a.jpg", "e.mov"}));
  o.jpegMovMpgOnly = false;
  o.keepCompanions = false;
  commands.apply(o);
  EXPECT_EQ(names(), (std::vector<std::string>{"a.jpg", "b.HEIC", "c.NEF", "d.MP4", "e.mov"}));
  EXPECT_TRUE(state.list.companions.empty());
  EXPECT_EQ(deletionPasses, passes + 2);
}

TEST_F(OptionsCommandsTest, ReloadingCameraParamsReadsTheEditedFile) {
  commands.reloadCameraParams();  // writes the missing file, then reads it
  ASSERT_TRUE(fs::exists(data + "/zel-prm.txt"));
  auto lines = readTextLines(data + "/zel-prm.txt");
  ASSERT_TRUE(lines);
  auto& names = session.photoData().cameraParams().setNames;
  ASSERT_FALSE(names.empty());
  const std::string old = names[0];
  const auto it = std::find(lines->begin(), lines->end(), old);
  ASSERT_NE(it, lines->end());
  *it = "MY-CAMERA";
  ASSERT_TRUE(writeTextLines(data + "/zel-prm.txt", *lines).ok());
  commands.reloadCameraParams();
  EXPECT_EQ(session.photoData().cameraParams().setNames[0], "MY-CAMERA");
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace sortelia
