// The thumbnail browser's grid: builds on worker threads placed in list order, stopping,
// gaps and resizing, marks, the one-step undo of Del., the popup states and print marks.
#include "core/browse/thumb_browser.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

// A poster that worker threads may call: tasks wait until the test runs them, as the GUI
// thread's event loop would.
class ThreadPoster : public TaskPoster {
 public:
  void post(std::function<void()> task) override {
    std::lock_guard lock(m_);
    tasks_.push_back(std::move(task));
    cv_.notify_all();
  }
  // Runs posted tasks until done() holds.
  void runUntil(const std::function<bool()>& done) {
    while (!done()) {
      std::function<void()> t;
      {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return !tasks_.empty(); });
        t = std::move(tasks_.front());
        tasks_.pop_front();
      }
      t();
    }
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> tasks_;
};

class FakeBrowserView : public BrowserView {
 public:
  std::string caption() const override { return title; }
  void setCaption(const std::string& t) override {
    title = t;
    captions.push_back(t);
  }
  void setStopEnabled(bool e) override { stopEnabled = e; }
  int gridWidth() const override { return width; }
  void setScrollStep(int p) override { scrollStep = p; }
  void scrollToTop() override { ++scrolledToTop; }
  void gridChanged() override { ++changes; }
  void showFullSize(const std::string& path, imaging::Bitmap picture, bool realSize) override {
    fullSize.push_back({path, realSize});
    fullSizePixels.push_back({picture.width(), picture.height()});
  }
  void openPrint(const std::string& list, const std::string& caption) override {
    prints.push_back({list, caption});
  }
  std::string title = "縮小一覧表示[ /p/ ](5)";
  std::vector<std::string> captions;
  bool stopEnabled = false;
  int width = 546;  // five columns of 100
  int scrollStep = 0, scrolledToTop = 0, changes = 0;
  std::vector<std::pair<std::string, bool>> fullSize;
  std::vector<std::pair<int, int>> fullSizePixels;
  std::vector<std::pair<std::string, std::string>> prints;
};

class ThumbBrowserTest : public ::testing::Test {
 protected:
  ThumbBrowserTest() {
    a = dir.write("a.jpg", testing::makeTestJpeg(640, 480));
    b = dir.write("b.JPG", testing::makeTestJpeg(800, 600));
    c = dir.write("c.mov", "movie");
    d = dir.write("d.jpg", testing::makeTestJpeg(320, 480));
    // a, marked b, missing file, c (a movie), d
    images = {a, "!:" + b, dir.file("gone.jpg"), c, d};
  }
  void build(int size = 100) {
    browser.Button1Click(size);
    poster.runUntil([&] { return !browser.building(); });
  }
  std::vector<int> indices() const {
    std::vector<int> out;
    for (const ThumbCell& cell : browser.cells()) out.push_back(cell.index);
    return out;
  }

  testing::TempDir dir;
  std::string a, b, c, d;
  SortingState state;
  std::vector<std::string>& images = state.list.images;
  std::vector<int> toggled;
  std::vector<std::string> toggledPaths;
  bool markable = true;  // what the deletion mark's toggle answers
  std::vector<std::string> played;
  testing::FakeUi ui;
  FakeBrowserView view;
  ThreadPoster poster;
  WorkerPool pool{2};
  ThumbBrowser browser{{ui, view, poster, pool, state,
                        [this](int i, const std::string& path) {
                          toggled.push_back(i);
                          toggledPaths.push_back(path);
                          return markable;
                        },
                        [this](const std::string& p) { played.push_back(p); },
                        [] { return std::string(exif::kExifItemCount, '1'); },
                        [] { return exif::CameraParamSet{}; }}};
};

TEST_F(ThumbBrowserTest, BuildPlacesCellsInListOrderLeavingGapsAndResizeClosesThem) {
  build();
  EXPECT_EQ(indices(), (std::vector<int>{0, 3, 4}));
  const auto& cells = browser.cells();
  EXPECT_EQ(cells[0].rect, (outputs::Rect{2, 2, 100, 100}));
  EXPECT_EQ(cells[1].rect, (outputs::Rect{308, 2, 100, 100}));  // slot 3: gaps at 1 and 2
  EXPECT_EQ(cells[2].rect, (outputs::Rect{410, 2, 100, 100}));
  EXPECT_EQ(cells[0].pictureRect, (outputs::Rect{10, 14, 80, 60}));  // small: centred
  EXPECT_TRUE(cells[1].picture.empty());                             // movie: label only
  EXPECT_EQ(cells[1].name, "c.mov");
  EXPECT_EQ(cells[2].pictureRect, (outputs::Rect{30, 14, 40, 60}));  // 40 x 60 centred
  EXPECT_EQ(view.scrollStep, 102);
  EXPECT_EQ(view.captions[0], "処理中...[ 1 / 5 ]: " + a);
  EXPECT_EQ(view.title, "縮小一覧表示[ /p/ ](5)");  // restored
  EXPECT_FALSE(view.stopEnabled);
  EXPECT_EQ(ui.busyDepth, 0);
  EXPECT_TRUE(ui.messages.empty());

  view.width = 230;  // two columns
  browser.FormResize();
  EXPECT_EQ(cells[1].rect, (outputs::Rect{104, 2, 100, 100}));
  EXPECT_EQ(cells[2].rect, (outputs::Rect{2, 104, 100, 100}));
  EXPECT_EQ(browser.contentHeight(), 206);
}

TEST_F(ThumbBrowserTest, StopEndsTheBuildAtOnceAndUndecodablePicturesEndIt) {
  browser.Button1Click(100);
  EXPECT_TRUE(view.stopEnabled);
  browser.Button2Click();  // before any result came back
  EXPECT_FALSE(browser.building());
  EXPECT_FALSE(view.stopEnabled);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "中断ボタンが押されました");
  EXPECT_TRUE(browser.cells().empty());
  EXPECT_EQ(ui.busyDepth, 0);

  images[3] = dir.write("broken.jpg", "not a jpeg");
  ui.messages.clear();
  build();
  EXPECT_EQ(indices(), (std::vector<int>{0}));  // the cells before it stay
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, Icon::Error);
}

TEST_F(ThumbBrowserTest, LabelColoursFollowOpeningClicksAndPrintMarks) {
  build();
  browser.LblClickMRK(0);
  EXPECT_EQ(browser.cells()[0].label, LabelColour::Green);
  browser.LblClickMRK(0);
  EXPECT_EQ(browser.cells()[0].label, LabelColour::Red);
  browser.LblClickMRK(0);
  EXPECT_EQ(browser.cells()[0].label, LabelColour::Face);

  browser.setUnderMouse(2);
  browser.PrtMarkClick();
  browser.ImgDblDsp(2, false);  // print-marked and opened: stays blue
  EXPECT_EQ(browser.cells()[2].label, LabelColour::Blue);
  browser.ImgDblDsp(0, true);
  EXPECT_EQ(browser.cells()[2].label, LabelColour::Blue);
  EXPECT_EQ(browser.cells()[0].label, LabelColour::Green);
  browser.ImgDblDsp(1, false);  // a movie starts its player and opens no window
  EXPECT_EQ(browser.cells()[0].label, LabelColour::Red);
  EXPECT_EQ(browser.cells()[1].label, LabelColour::Green);
  EXPECT_EQ(played, (std::vector<std::string>{c}));
  EXPECT_EQ(view.fullSize, (std::vector<std::pair<std::string, bool>>{{d, false}, {a, true}}));
  browser.LblClickMRK(2);  // blue goes back to no mark
  EXPECT_EQ(browser.cells()[2].label, LabelColour::Face);
}

// The full-size picture is decoded by the browser itself and handed to the window at the
// file's own size; a file spoilt since the grid was built says why and opens no window.
TEST_F(ThumbBrowserTest, OpeningAPictureDecodesItAtFullSizeOrSaysWhyItCannot) {
  build();
  browser.ImgDblDsp(0, true);
  EXPECT_EQ(view.fullSizePixels, (std::vector<std::pair<int, int>>{{640, 480}}));
  ASSERT_TRUE(ui.messages.empty());

  dir.write("d.jpg", "no longer a jpeg");
  browser.ImgDblDsp(2, false);
  EXPECT_EQ(view.fullSize.size(), 1u);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, Icon::Error);
  EXPECT_FALSE(ui.messages[0].text.empty());
  EXPECT_EQ(browser.cells()[2].label, LabelColour::Green);  // opened, as a click marks it
}

TEST_F(ThumbBrowserTest, PopupStatesAndTheOneStepUndoOfDel) {
  build();
  browser.setUnderMouse(0);
  EXPECT_EQ(browser.PopupMenu1Popup(), (PopupItems{true, true, false, true, true, false}));
  browser.setUnderMouse(1);
  EXPECT_EQ(browser.PopupMenu1Popup(), (PopupItems{false, true, false, false, false, false}));
  browser.setUnderMouse(-1);
  EXPECT_EQ(browser.PopupMenu1Popup(), (PopupItems{false, false, false, false, false, false}));

  browser.setUnderMouse(0);
  browser.Delete1Click();
  browser.setUnderMouse(2);
  browser.Delete1Click();
  EXPECT_EQ(browser.PopupMenu1Popup(), (PopupItems{false, false, true, false, false, true}));
  EXPECT_EQ(browser.cellAt(5, 5), -1);  // hidden
  browser.Undo1Click();
  EXPECT_EQ(toggled, (std::vector<int>{0, 4, 4}));  // only the second Del. comes back
  EXPECT_TRUE(browser.cells()[2].visible);
  EXPECT_FALSE(browser.cells()[0].visible);
  EXPECT_FALSE(browser.PopupMenu1Popup().undoVisible);
  browser.Undo1Click();  // nothing pending
  EXPECT_EQ(toggled.size(), 3u);
  browser.FormResize();  // placing shows the hidden cell again; its entry stays marked
  EXPECT_TRUE(browser.cells()[0].visible);
  EXPECT_EQ(browser.cellAt(5, 5), 0);
  EXPECT_TRUE(browser.onPicture(0, 5, 5));
  EXPECT_FALSE(browser.onPicture(0, 5, 95));  // the name label
}

TEST_F(ThumbBrowserTest, PrintTakesTheMarkedPicturesAfterTheQuestionOrThePictureUnderTheMouse) {
  build();
  browser.setUnderMouse(-1);
  browser.Print1Click();  // no marks, nothing under the mouse
  EXPECT_TRUE(view.prints.empty());
  browser.setUnderMouse(2);
  browser.Print1Click();
  ASSERT_EQ(view.prints.size(), 1u);
  EXPECT_EQ(view.prints[0].first, "\"" + d + "\"");
  EXPECT_EQ(view.prints[0].second, "印刷[ d.jpg ]");
  EXPECT_EQ(browser.cells()[2].label, LabelColour::Face);  // restored afterwards

  browser.PrtMarkClick();
  browser.setUnderMouse(0);
  browser.PrtMarkClick();
  const std::string list = "\"" + a + "\"\r\n\"" + d + "\"";
  browser.Print1Click();  // answered No
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "以下の写真[ 2 枚]を印刷します。\r\n" + list);
  EXPECT_EQ(view.prints.size(), 1u);
  ui.queueAnswer(Answer::Yes);
  browser.Print1Click();
  ASSERT_EQ(view.prints.size(), 2u);
  EXPECT_EQ(view.prints[1],
            (std::pair<std::string, std::string>{list, "写真を[ 2 ]枚 印刷します。"}));
}

TEST_F(ThumbBrowserTest, ANewBuildOrClearDropsTheResultsOfTheOldOne) {
  browser.Button1Click(100);
  browser.Button1Click(150);  // replaces the first
  poster.runUntil([&] { return !browser.building(); });
  ASSERT_EQ(indices(), (std::vector<int>{0, 3, 4}));
  for (const ThumbCell& cell : browser.cells()) EXPECT_EQ(cell.size, 150);
  EXPECT_EQ(ui.busyDepth, 0);
  browser.ICclear();
  EXPECT_TRUE(browser.cells().empty());
}

TEST_F(ThumbBrowserTest, ABuildForgetsTheCellToRestoreAndUndoWaitsUntilItCanAct) {
  // Fault: a build emptied the cells but kept the cell a Del. would restore, and Undo during
  // the build indexed it: a freed cell was read, or the new cell at its place was toggled, so
  // a picture the person never deleted was marked.
  for (const bool placedFirst : {false, true}) {
    SCOPED_TRACE(placedFirst ? "after the first cell is placed" : "before any cell");
    images[0] = a;
    build();
    toggled.clear();
    toggledPaths.clear();
    browser.setUnderMouse(0);
    browser.Delete1Click();  // a.jpg, entry 0
    ASSERT_EQ(toggled, (std::vector<int>{0}));
    images[0] = "!:" + a;  // as the deletion mark leaves the list
    EXPECT_TRUE(browser.PopupMenu1Popup().undo);

    browser.Button1Click(100);
    // The new first cell is entry 3: an Undo reaching it would mark a picture never deleted.
    if (placedFirst) poster.runUntil([&] { return !browser.cells().empty(); });
    const PopupItems popup = browser.PopupMenu1Popup();
    EXPECT_FALSE(popup.undo);
    EXPECT_FALSE(popup.undoVisible);
    browser.Undo1Click();  // a stale menu item pressed all the same
    EXPECT_EQ(toggled, (std::vector<int>{0}));
    EXPECT_EQ(toggledPaths, (std::vector<std::string>{a}));
    poster.runUntil([&] { return !browser.building(); });
    EXPECT_EQ(indices(), (std::vector<int>{3, 4}));
    for (const ThumbCell& cell : browser.cells()) EXPECT_TRUE(cell.visible);
  }
}

TEST_F(ThumbBrowserTest, ARebuiltListClearsTheGridAndADelThatCannotMarkSaysSo) {
  // Fault: after the list was rebuilt (a reduced save answered "reopen" Yes) the kept grid no
  // longer matched it; Del. hid the cell and marked nothing, without a word.
  const std::string told =
      "写真の一覧が縮小一覧を作った後で作り直されたため、この写真に削除の印を付けられません。"
      "縮小一覧を作り直しましょう！";
  build();
  images = {d, a};  // the scan rebuilt the list
  ++state.list.rebuilds;
  browser.setUnderMouse(2);
  browser.Delete1Click();
  EXPECT_TRUE(toggled.empty());
  EXPECT_TRUE(browser.cells().empty());  // the cells of the old list are gone
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, told);
  EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
  EXPECT_FALSE(browser.clearIfListRebuilt());  // nothing left to clear

  // A grid built from the new list is kept; a cell whose entry refuses the mark stays shown.
  build();
  EXPECT_EQ(indices(), (std::vector<int>{0, 1}));
  EXPECT_FALSE(browser.clearIfListRebuilt());
  markable = false;
  browser.setUnderMouse(1);
  browser.Delete1Click();
  EXPECT_EQ(toggled, (std::vector<int>{1}));
  EXPECT_TRUE(browser.cells()[1].visible);
  EXPECT_FALSE(browser.PopupMenu1Popup().undoVisible);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, told);

  // A rebuild also clears the grid before an Undo could reach a cell of the old list.
  markable = true;
  browser.setUnderMouse(0);
  browser.Delete1Click();
  ++state.list.rebuilds;
  browser.Undo1Click();
  EXPECT_EQ(toggled, (std::vector<int>{1, 0}));
  EXPECT_TRUE(browser.cells().empty());

  state.options.japaneseMode = false;
  build();
  markable = false;
  browser.setUnderMouse(0);
  browser.Delete1Click();
  EXPECT_EQ(ui.messages.back().text,
            "The Image List was made again after the Thumbnails, so this Picture cannot be Marked "
            "for Deletion. Make the Thumbnails again.");
}

}  // namespace
}  // namespace sortelia
