#include "core/viewer/viewer_mode.h"

#include <gtest/gtest.h>

#include "core/display/display_geometry.h"
#include "core/display/picture_prefetch.h"
#include "core/sorting/comment_edit.h"
#include "core/sorting_fixture.h"
#include "core/stretch/stretch_save.h"
#include "core/viewer/rotation.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "exif/rotation_mark.h"
#include "imaging/jpeg_codec.h"
#include "imaging/quarter_turn.h"
#include "imaging/screen_scale.h"
#include "platform/format.h"
#include "support/fake_timer.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::readAll;

// Edit1 and the rest of the viewer's panel as a test sees them.
class FakeViewerPanel : public ViewerPanel {
 public:
  void setViewPosition(int p) override {
    text = std::to_string(p);
    typed = false;
  }
  std::string viewPositionText() const override { return text; }
  bool viewPositionTyped() const override { return typed; }
  void focusViewPosition() override { ++focusCalls; }
  int intervalSeconds() const override { return interval; }
  void setMainMenuEnabled(bool e) override { mainMenu = e; }
  void setSlotMenuEnabled(bool e) override { slotMenu = e; }
  void setSubfolderAlert(bool red) override { subfolderRed = red; }
  // The person types text into Edit1.
  void type(const std::string& t) {
    text = t;
    typed = true;
  }

  std::string text = "0";
  bool typed = false;
  int focusCalls = 0;
  int interval = 3;
  bool mainMenu = true;
  bool slotMenu = true;
  bool subfolderRed = false;
};

class Viewer : public testing::SortingFixture {
 protected:
  Viewer() : viewer(session, loop, panel, timer) {}

  std::vector<std::string> names(int n) {
    std::vector<std::string> out;
    for (int i = 1; i <= n; ++i) out.push_back((i < 10 ? "p0" : "p") + std::to_string(i) + ".jpg");
    return out;
  }
  // Ten entries, sorting at entry sortIndex, then Viewer ticked.
  void viewTen(int sortIndex) {
    scan(names(10));
    state.list.sortIndex = sortIndex;
    tickView(true);
  }
  void tickView(bool on) {
    view.checked[Control::CheckView] = on;
    viewer.CheckViewClick();
  }
  void tickShow(bool on) {
    view.checked[Control::CheckShow] = on;
    viewer.CheckShowClick();
  }
  int lastShown() const { return view.shown.empty() ? 0 : view.shown.back().n; }
  // A real picture of 32 x 24 in src holding the given comment (none: no EXIF).
  std::string picture(const std::string& name, const std::string& comment) {
    const std::string path = root.write("src/" + name, testing::makeTestJpeg(32, 24));
    if (!comment.empty()) {
      exif::TExifInfo info;
      info.UserComment = {comment};
      exif::WriteExif(info, path);
    }
    return path;
  }
  std::vector<std::string> storedComment(const std::string& path) {
    exif::TExifInfo info;
    info.setImageFileName(path);
    return info.UserComment;
  }

  FakeViewerPanel panel;
  testing::FakeTimer timer;
  ViewerMode viewer;
};

TEST_F(Viewer, TickingViewerGivesTheRangeFromTheSortingPositionToTheEnd) {
  viewTen(4);
  EXPECT_EQ(viewer.minimum(), 4);
  EXPECT_EQ(viewer.maximum(), 10);
  EXPECT_EQ(panel.text, "4");
  EXPECT_EQ(view.captions[Control::Label1], "( 4 - 10 )");
  EXPECT_EQ(state.list.viewIndex, 4);
  EXPECT_TRUE(state.list.viewerMode);
  EXPECT_TRUE(view.shown.empty());  // the picture on display is not loaded again
  EXPECT_FALSE(view.enabled[Control::Undo1]);
  EXPECT_FALSE(view.enabled[Control::Button1]);
  EXPECT_FALSE(panel.slotMenu);
  for (Control c :
       {Control::Edit1, Control::Label1, Control::CheckShow, Control::Edit2, Control::Label2})
    EXPECT_TRUE(view.enabled[c]) << controlName(c);
  EXPECT_EQ(view.captions[Control::Form1], "Sortelia for Windows [ " + src + "/ ] < 閲覧 >");

  tickView(false);
  EXPECT_FALSE(state.list.viewerMode);
  EXPECT_EQ(lastShown(), 4);  // sorting mode shows its own entry again
  EXPECT_TRUE(view.enabled[Control::Undo1]);
  EXPECT_TRUE(view.enabled[Control::Button1]);
  EXPECT_TRUE(panel.slotMenu);
  for (Control c :
       {Control::Edit1, Control::Label1, Control::CheckShow, Control::Edit2, Control::Label2})
    EXPECT_FALSE(view.enabled[c]) << controlName(c);
  EXPECT_EQ(view.captions[Control::Form1],
            "Sortelia for Windows [ " + src + "/ ] < 整理中[移動] >");
}

TEST_F(Viewer, WithoutAListTheBoxExplainsAndUnticks) {
  tickView(true);
  EXPECT_FALSE(view.checked[Control::CheckView]);
  EXPECT_FALSE(state.list.viewerMode);
  EXPECT_EQ(
      ui.infoText(),
      "　ビューモードに切り替えるには、まず、イメージファイルが存在するフォルダを指定しましょう"
      "。");
}

TEST_F(Viewer, EnterShowsTheTypedPositionClampedOrStepsOn) {
  struct Case {
    int from;
    const char* typed;  // nullptr: Enter without typing
    int shown;          // 0: nothing shown
    const char* text;
  };
  const Case cases[] = {
      {5, "99", 10, "10"},     {5, "1", 4, "4"},     {5, " 7 ", 7, "7"}, {5, "-3", 4, "4"},
      {5, "ab", 0, "5"},       {5, "", 0, "5"},      {5, "6x", 0, "5"},  {5, "99999999999", 0, "5"},
      {10, nullptr, 10, "10"}, {5, nullptr, 6, "6"},
  };
  viewTen(4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed ? c.typed : "(Enter)");
    panel.type(std::to_string(c.from));
    viewer.Edit1KeyPress();
    forget();
    if (c.typed) panel.type(c.typed);
    const int focus = panel.focusCalls;
    viewer.Edit1KeyPress();
    EXPECT_EQ(lastShown(), c.shown);
    EXPECT_EQ(panel.text, c.text);
    EXPECT_EQ(viewer.position(), std::stoi(c.text));
    if (c.shown) {
      EXPECT_EQ(state.list.viewIndex, c.shown);
    }
    EXPECT_GT(panel.focusCalls, focus);
    EXPECT_TRUE(view.enabled[Control::Edit1]);
  }
}

TEST_F(Viewer, ArrowsStepWithinTheRange) {
  viewTen(9);
  viewer.UpDown1Click(+1);
  viewer.UpDown1Click(+1);  // already at the end: shows 10 again
  viewer.UpDown1Click(-1);
  viewer.UpDown1Click(-1);  // the minimum is 9: no further
  std::vector<int> shown;
  for (const auto& s : view.shown) shown.push_back(s.n);
  EXPECT_EQ(shown, (std::vector<int>{10, 10, 9, 9}));
}

TEST_F(Viewer, OneWaySlideShowEndsAfterTheLastPictureWithFinished) {
  viewTen(4);
  panel.type("8");
  viewer.Edit1KeyPress();
  forget();
  tickShow(true);
  EXPECT_TRUE(timer.isActive());
  EXPECT_EQ(timer.interval, 3000);
  EXPECT_EQ(view.captions[Control::Form1],
            "Sortelia for Windows [ " + src + "/ ] < 自動連続表示[片道] >");
  for (Control c : {Control::Edit1, Control::Edit2, Control::CheckView, Control::Button13,
                    Control::SpeedButton1})
    EXPECT_FALSE(view.enabled[c]) << controlName(c);
  EXPECT_FALSE(panel.mainMenu);

  timer.fire();
  EXPECT_EQ(lastShown(), 9);
  EXPECT_EQ(panel.text, "8");  // the position trails the picture by one
  timer.fire();
  EXPECT_EQ(lastShown(), 10);
  EXPECT_TRUE(ui.messages.empty());
  timer.fire();
  EXPECT_EQ(lastShown(), 10);
  ASSERT_EQ(messageTexts(), std::vector<std::string>{"おわり！"});
  EXPECT_FALSE(timer.isActive());
  EXPECT_FALSE(view.checked[Control::CheckShow]);
  EXPECT_FALSE(viewer.slideShowRunning());
  for (Control c : {Control::Edit1, Control::Edit2, Control::CheckView, Control::Button13,
                    Control::SpeedButton1})
    EXPECT_TRUE(view.enabled[c]) << controlName(c);
  EXPECT_TRUE(panel.mainMenu);
  EXPECT_EQ(view.captions[Control::Form1], "Sortelia for Windows [ " + src + "/ ] < 閲覧 >");
}

TEST_F(Viewer, LoopingSlideShowHasOneEmptyTickThenShowsThePictureAfterTheMinimum) {
  state.options.loopSlideShow = true;
  viewTen(4);
  panel.type("9");
  viewer.Edit1KeyPress();
  panel.interval = 600;
  tickShow(true);
  EXPECT_EQ(timer.interval, 600000);
  EXPECT_EQ(view.captions[Control::Form1],
            "Sortelia for Windows [ " + src + "/ ] < 自動連続表示[繰返] >");
  forget();
  timer.fire();  // 10
  timer.fire();  // nothing new
  EXPECT_EQ(view.shown.size(), 1u);
  timer.fire();  // 5
  timer.fire();  // 6
  std::vector<int> shown;
  for (const auto& s : view.shown) shown.push_back(s.n);
  EXPECT_EQ(shown, (std::vector<int>{10, 5, 6}));
  EXPECT_TRUE(timer.isActive());
  EXPECT_TRUE(ui.messages.empty());
  // Leaving viewer mode ends the show.
  tickView(false);
  EXPECT_FALSE(timer.isActive());
  EXPECT_FALSE(view.checked[Control::CheckShow]);
}

TEST_F(Viewer, ARebuiltListEndsTheShowAndTheViewerControls) {
  viewTen(4);
  tickShow(true);
  session.scan().rescanSourceFolder();
  EXPECT_FALSE(timer.isActive());
  EXPECT_FALSE(view.enabled[Control::Edit1]);
  EXPECT_TRUE(view.enabled[Control::Undo1]);
  EXPECT_EQ(view.captions[Control::Form1],
            "Sortelia for Windows [ " + src + "/ ] < 整理中[移動] >");
}

TEST_F(Viewer, TheCaptionNamesTheMode) {
  scan(names(2));
  state.options.japaneseMode = false;
  state.options.keepOriginal = true;
  viewer.recomposeCaption();
  EXPECT_EQ(view.captions[Control::Form1],
            "Sortelia for Windows [ " + src + "/ ] < Dividing-COPY >");
  state.options.keepOriginal = false;
  session.recomposeCaption();  // as the commands outside the viewer call it
  EXPECT_EQ(view.captions[Control::Form1],
            "Sortelia for Windows [ " + src + "/ ] < Dividing-MOVE >");
  tickView(true);
  EXPECT_EQ(view.captions[Control::Form1], "Sortelia for Windows [ " + src + "/ ] < View >");
  tickShow(true);
  EXPECT_EQ(view.captions[Control::Form1],
            "Sortelia for Windows [ " + src + "/ ] < SlideShow-OneWay >");
  tickShow(false);
  state.options.loopSlideShow = true;
  tickShow(true);
  EXPECT_EQ(view.captions[Control::Form1],
            "Sortelia for Windows [ " + src + "/ ] < SlideShow-LOOP >");
}

TEST(RotationMarks, SumsOfQuarterTurns) {
  EXPECT_EQ(rotationOfItem("rot090"), 90);
  EXPECT_EQ(rotationOfItem("rot180"), 180);
  EXPECT_EQ(rotationOfItem("rot270"), 270);
  EXPECT_EQ(rotationOfItem("rot"), 0);
  for (int d : {0, 90, 180, 270}) EXPECT_EQ(rotationOfMark(markForRotation(d)), d);
  EXPECT_EQ(markForRotation(360), "");
  EXPECT_EQ(markForRotation(450), "@090:");
  EXPECT_EQ(rotationOfMark("@045:"), 0);
}

TEST_F(Viewer, RotatingSumsTheMarkAndTurnsThePicture) {
  struct Case {
    std::vector<Control> clicks;
    const char* mark;
    bool upright;
  };
  const Case cases[] = {
      {{Control::rot090, Control::rot090, Control::rot180}, "", true},
      {{Control::rot090, Control::rot090, Control::rot090, Control::rot180}, "@090:", false},
      {{Control::rot270}, "@270:", false},
      {{Control::rot180}, "@180:", true},
  };
  picture("a.jpg", "hello");
  scan({});
  const std::string bytes = readAll(s("a.jpg"));
  const auto original = session.display().fullPicture();
  ASSERT_TRUE(original);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mark);
    session.display().ShowEntry(1);
    for (Control k : c.clicks) viewer.RotationClick(k);
    EXPECT_EQ(state.comment.rotationMark, c.mark);
    const auto& shown = *session.display().fullPicture();
    const int turn = rotationOfMark(c.mark);
    EXPECT_TRUE(shown.samePixels(imaging::quarterTurn(*original, turn)));
    EXPECT_EQ(shown.width() == 32, c.upright || turn == 180);
    EXPECT_EQ(view.picture.get(), session.display().fullPicture().get());
    EXPECT_EQ(view.sizeText, format("%d x %d", {shown.width(), shown.height()}));
  }
  EXPECT_EQ(readAll(s("a.jpg")), bytes);  // nothing written without leaving the picture
}

TEST_F(Viewer, APictureWithAMarkIsShownTurned) {
  picture("a.jpg", "@270:x");
  scan({});
  const auto shown = session.display().fullPicture();
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->width(), 24);
  EXPECT_EQ(shown->height(), 32);
  EXPECT_EQ(state.comment.rotationMark, "@270:");
}

// A picture with a mark, prepared ahead turned by it, shows exactly as one turned on the spot,
// without a full-size decode on the way; turning it back gives the plain picture.
TEST_F(Viewer, APicturePreparedAheadByItsMarkShowsAsOneTurnedOnTheSpot) {
  const std::string jpeg = testing::makeTestJpeg(900, 600);
  root.write("src/a.jpg", jpeg);
  const std::string b = root.write("src/b.jpg", jpeg);
  exif::TExifInfo info;
  info.UserComment = {"@090:x"};
  exif::WriteExif(info, b);
  scan({});
  tickView(true);
  viewer.UpDown1Click(+1);  // b shown, turned on the spot
  ASSERT_EQ(state.comment.rotationMark, "@090:");
  const auto onTheSpot = view.screenPicture;
  const Rect rect = view.pictureRect;
  const std::string size = view.sizeText;
  ASSERT_TRUE(onTheSpot);
  EXPECT_EQ(size, "600 x 900");

  WorkerPool pool{1};
  PicturePrefetch prefetch(state, view, pool);
  prefetch.setTurnOf([](const std::string& p) { return rotationOfMark(rotationMarkOfFile(p)); });
  session.display().setPictureSource(&prefetch);
  session.display().events().subscribe(prefetch);
  viewer.UpDown1Click(-1);  // a shown: b is prepared ahead, turned
  viewer.UpDown1Click(+1);
  EXPECT_EQ(prefetch.hits(), 1);
  EXPECT_EQ(session.display().turn(), 90);
  EXPECT_FALSE(session.display().heldPicture()) << "no full-size decode on the way";
  ASSERT_TRUE(view.screenPicture);
  EXPECT_TRUE(view.screenPicture->samePixels(*onTheSpot));
  EXPECT_EQ(view.pictureRect, rect);
  EXPECT_EQ(view.sizeText, size);
  EXPECT_EQ(state.comment.rotationMark, "@090:");

  // Turned back upright: the picture as it is in its file.
  viewer.RotationClick(Control::rot270);
  EXPECT_EQ(state.comment.rotationMark, "");
  EXPECT_EQ(session.display().turn(), 0);
  const auto plain = decodeFullPicture(b);
  const auto r = FitImageToPanel(600, 900, view.displayHeight(), view.displayWidth());
  ASSERT_TRUE(plain && r);
  EXPECT_TRUE(view.screenPicture->samePixels(*imaging::scaleForScreen(plain, r->width, r->height)));
  session.display().events().unsubscribe(prefetch);
  session.display().setPictureSource(nullptr);
}

// Fault: a picture shown turned by its "@090:" mark and saved reduced with "Exif情報" got
// pixels already turned and the comment with its mark, so the program showed it turned twice.
TEST_F(Viewer, AReducedSaveOfATurnedPictureShowsUprightAndKeepsTheComment) {
  picture("a.jpg", "@090:hello");
  scan({});
  ASSERT_EQ(session.display().turn(), 90);
  ASSERT_EQ(std::pair(session.display().pictureWidth(), session.display().pictureHeight()),
            std::pair(24, 32));
  StretchSave save(session);
  save.open(session.display().fullPicture(), s("a.jpg"));
  save.CBExifAddClick(true);
  save.Edit1Exit(12);
  save.Button1Click();
  save.Button2Click();
  save.close();
  const std::string saved = s("0_a-12x16-8.jpg");
  ASSERT_TRUE(fs::exists(saved)) << ::testing::PrintToString(messageTexts());
  const std::vector<std::string> comment = storedComment(saved);
  ASSERT_EQ(comment.size(), 1u);
  EXPECT_EQ(exif::trimText(comment[0]), "hello");

  // Opened in the program, the saved picture shows as the original was shown.
  scan({});
  ASSERT_EQ(state.list.images.front(), saved);
  state.list.sortIndex = 1;
  session.scan().showListPosition(1);
  EXPECT_EQ(state.comment.rotationMark, "");
  EXPECT_EQ(session.display().turn(), 0);
  EXPECT_EQ(std::pair(session.display().pictureWidth(), session.display().pictureHeight()),
            std::pair(12, 16));
}

TEST_F(Viewer, ReadingTheShownPictureAgainKeepsItsPendingTurn) {
  // Fault: reading the shown picture's photo data again (as printing did) reset its pending
  // rotation, so stepping on no longer wrote it turned.
  picture("a.jpg", "hello");
  picture("b.jpg", "");
  scan({});
  tickView(true);
  viewer.RotationClick(Control::rot090);
  session.photoData().GetPdata(s("a.jpg"));
  session.photoData().DspPdata();
  EXPECT_EQ(state.comment.rotationMark, "@090:");
  viewer.UpDown1Click(+1);
  EXPECT_EQ(storedComment(s("a.jpg")), std::vector<std::string>{"@090:hello\r\n"});
}

TEST_F(Viewer, AViewerStepWritesTheTurnIntoTheCommentAndLeavesThePixels) {
  picture("a.jpg", "hello");
  picture("b.jpg", "");
  scan({});
  const imaging::Bitmap before = imaging::decodeJpegFile(s("a.jpg")).bitmap;
  tickView(true);
  viewer.RotationClick(Control::rot090);
  viewer.UpDown1Click(+1);
  EXPECT_EQ(storedComment(s("a.jpg")), std::vector<std::string>{"@090:hello\r\n"});
  EXPECT_TRUE(imaging::decodeJpegFile(s("a.jpg")).bitmap.samePixels(before));
  EXPECT_EQ(lastShown(), 2);

  // Back on it, the picture is shown turned; turning it back and stepping on removes the mark.
  viewer.UpDown1Click(-1);
  EXPECT_EQ(session.display().fullPicture()->width(), 24);
  viewer.RotationClick(Control::rot270);
  EXPECT_EQ(state.comment.rotationMark, "");
  viewer.UpDown1Click(+1);
  EXPECT_EQ(storedComment(s("a.jpg")), std::vector<std::string>{"hello\r\n"});
}

TEST_F(Viewer, ATransferCarriesTheTurnIntoTheCopy) {
  picture("a.jpg", "hello");
  picture("b.jpg", "");
  scan({});
  bind(1, dst);
  viewer.RotationClick(Control::rot270);
  transfer.Button1Click(1);
  EXPECT_EQ(storedComment(d("a.jpg")), std::vector<std::string>{"@270:hello\r\n"});
  EXPECT_EQ(lastShown(), 2);
}

TEST_F(Viewer, ATurnIsDroppedBySlideShowAndByLeavingTheViewer) {
  picture("a.jpg", "hello");
  picture("b.jpg", "");
  scan({});
  const std::string bytes = readAll(s("a.jpg"));
  tickView(true);
  viewer.RotationClick(Control::rot090);
  view.comment = "typed";
  tickShow(true);
  EXPECT_FALSE(view.commentVisible);
  timer.fire();
  timer.fire();
  EXPECT_EQ(readAll(s("a.jpg")), bytes);
  tickShow(false);
  tickView(false);
  EXPECT_EQ(readAll(s("a.jpg")), bytes);
}

TEST_F(Viewer, ATurnMadeInSortingModeIsKeptIntoViewerMode) {
  picture("a.jpg", "hello");
  picture("b.jpg", "");
  scan({});
  viewer.RotationClick(Control::rot180);
  tickView(true);
  EXPECT_EQ(state.comment.rotationMark, "@180:");
  viewer.UpDown1Click(+1);
  EXPECT_EQ(storedComment(s("a.jpg")), std::vector<std::string>{"@180:hello\r\n"});
}

TEST_F(Viewer, TheSubfolderSwitchAsksAndRebuildsOnlyOnYes) {
  scan({"a.jpg"});
  root.write("src/sub/b.jpg", bytesOf("b"));
  const auto list = state.list.images;
  view.checked[Control::SubDchkBox] = true;
  viewer.SubDchkBoxClick();  // declined
  EXPECT_EQ(messageTexts(),
            std::vector<std::string>{"現在の整理場所にあるサブフォルダも整理対象にしますか？"});
  EXPECT_FALSE(view.checked[Control::SubDchkBox]);
  EXPECT_FALSE(panel.subfolderRed);
  EXPECT_FALSE(state.list.subfolderSwitch);
  EXPECT_EQ(state.list.images, list);

  forget();
  view.checked[Control::SubDchkBox] = true;
  ui.queueAnswer(Answer::Yes);
  viewer.SubDchkBoxClick();
  EXPECT_TRUE(panel.subfolderRed);
  EXPECT_TRUE(state.list.subfolderSwitch);
  EXPECT_EQ(state.list.images, (std::vector<std::string>{s("a.jpg"), s("sub/b.jpg")}));

  ui.messages.clear();
  view.checked[Control::SubDchkBox] = false;
  viewer.SubDchkBoxClick();  // declined: back down, red
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"サブフォルダを整理対象から外しますか？"});
  EXPECT_TRUE(view.checked[Control::SubDchkBox]);
  EXPECT_TRUE(panel.subfolderRed);
  EXPECT_EQ(state.list.images.size(), 2u);
}

TEST_F(Viewer, TheDraggedFileIsTheShownEntryWithoutItsMark) {
  scan(names(3));
  EXPECT_EQ(viewer.dragPaths(), std::vector<std::string>{s("p01.jpg")});
  state.list.images[1] = "!:" + state.list.images[1];
  tickView(true);
  viewer.UpDown1Click(+1);
  EXPECT_EQ(viewer.dragPaths(), std::vector<std::string>{s("p02.jpg")});
  EXPECT_TRUE(view.deletionOverlay);  // marked pictures are shown in viewer mode
}

TEST_F(Viewer, TheDragCarriesTheCompanionsThatAreStillThere) {
  root.write("src/p01.CR3", "raw");
  root.write("src/p01.jpg.xmp", "xmp");
  scan(names(2));
  EXPECT_EQ(viewer.dragPaths(),
            (std::vector<std::string>{s("p01.jpg"), s("p01.CR3"), s("p01.jpg.xmp")}));
  std::remove(s("p01.CR3").c_str());
  EXPECT_EQ(viewer.dragPaths(), (std::vector<std::string>{s("p01.jpg"), s("p01.jpg.xmp")}));
  state.options.keepCompanions = false;
  EXPECT_EQ(viewer.dragPaths(), std::vector<std::string>{s("p01.jpg")});
}

}  // namespace
}  // namespace sortelia
