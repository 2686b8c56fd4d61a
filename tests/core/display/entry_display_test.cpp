#include "core/display/entry_display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "core/display/display_geometry.h"
#include "imaging/heif_decode.h"
#include "imaging/raw_preview.h"
#include "imaging/screen_scale.h"
#include "support/fake_ui.h"
#include "support/raw_builder.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::FakeMainView;
using testing::FakeUi;
using testing::TempDir;

TEST(FitImageToPanel, TooHighThenTooWideIsScaledTwiceAndCentred) {
  // 2000 high and 3000 wide into 400 high and 500 wide: first 400 x 600, then 333 x 500.
  EXPECT_EQ(FitImageToPanel(2000, 3000, 400, 500), (Rect{0, 33, 500, 333}));
}

TEST(FitImageToPanel, OneSideTooLargeOrNone) {
  EXPECT_EQ(FitImageToPanel(100, 50, 400, 500), (Rect{225, 150, 50, 100}));  // kept, centred
  EXPECT_EQ(FitImageToPanel(800, 100, 400, 500), (Rect{225, 0, 50, 400}));   // too high
  EXPECT_EQ(FitImageToPanel(100, 1000, 400, 500), (Rect{0, 175, 500, 50}));  // too wide
  EXPECT_EQ(FitImageToPanel(401, 501, 400, 500), (Rect{0, 0, 499, 400}));
  EXPECT_FALSE(FitImageToPanel(100, 100, 1, 500).has_value());
  EXPECT_FALSE(FitImageToPanel(100, 100, 500, 1).has_value());
  // Products beyond 32 bits stay right.
  EXPECT_EQ(FitImageToPanel(65000, 65000, 60000, 60000), (Rect{0, 0, 60000, 60000}));
}

TEST(DateOverlay, RightAlignedWithShadowAndCentredSize) {
  const DateOverlayPlacement p = placeDateOverlayLabels(460, 300, 101);
  EXPECT_EQ(p.dateLeft, 155);
  EXPECT_EQ(p.shadowLeft, 157);
  EXPECT_EQ(p.sizeLeft, 155 + 100);  // 150 - 50.5 = 99.5 rounds to the even 100
  EXPECT_EQ(placeDateOverlayLabels(460, 300, 103).sizeLeft, 155 + 98);  // 98.5 -> 98
}

TEST(MovieButton, PlacedInUnitsOfTheDeletionLabel) {
  EXPECT_EQ(movieButtonRect(460, 560, 24), (Rect{24, 48, 412, 488}));
}

class EntryDisplayTest : public ::testing::Test {
 protected:
  EntryDisplayTest()
      : display(state, ui, view, view, [](const std::string& p) { return "date of " + p; }) {
    display.events().subscribe(heard);
  }
  // Hears what the display announces, as the session's units do.
  struct Heard : EntryListener {
    std::vector<ShownEntry> shown;
    int noPictures = 0;
    void entryShown(const ShownEntry& e) override { shown.push_back(e); }
    void noPicture() override { ++noPictures; }
  };
  void list(std::vector<std::string> entries) {
    state.list.images = std::move(entries);
    state.list.imageCount = static_cast<int>(state.list.images.size());
  }
  TempDir root;
  SortingState state;
  FakeUi ui;
  FakeMainView view;
  Heard heard;
  EntryDisplay display;
};

TEST_F(EntryDisplayTest, ShowsACameraPictureFittedWithItsStatusText) {
  const std::string p = testing::testData("camera/Canon_40D.jpg");
  list({"/x/a.jpg", p});
  display.ShowEntry(2);
  EXPECT_EQ(ui.status(), p + " [ 2 / 2 files ]");
  ASSERT_TRUE(view.picture);
  EXPECT_EQ(view.picture->width(), 100);
  EXPECT_EQ(view.picture->height(), 68);
  EXPECT_EQ(view.pictureRect, (Rect{150, 216, 100, 68}));  // smaller than 400 x 500: centred
  EXPECT_EQ(view.screenPicture, view.picture);             // shown at its own size: no second copy
  ASSERT_EQ(heard.shown.size(), 1u);
  EXPECT_EQ(heard.shown[0].index, 2);
  EXPECT_EQ(heard.shown[0].path, p);
  EXPECT_TRUE(heard.shown[0].isJpeg);
  EXPECT_EQ(heard.shown[0].width, 100);
  EXPECT_EQ(heard.shown[0].height, 68);
  EXPECT_TRUE(view.enabled[Control::Print1]);
  EXPECT_TRUE(view.enabled[Control::rot270]);
  EXPECT_EQ(ui.busyDepth, 0);
}

TEST_F(EntryDisplayTest, LargePictureGetsOneScreenCopyAtItsFittedSize) {
  const std::string big = root.write("big.jpg", testing::makeTestJpeg(3000, 2000));
  list({big});
  display.ShowEntry(1);
  EXPECT_EQ(view.pictureRect, (Rect{0, 117, 400, 266}));  // area 500 high, 400 wide
  // Reduced while it was decoded: the full size is known, its pixels are not held.
  EXPECT_EQ(heard.shown[0].width, 3000);
  EXPECT_FALSE(display.heldPicture());
  EXPECT_FALSE(view.picture);
  ASSERT_TRUE(view.screenPicture);
  EXPECT_EQ(view.screenPicture->width(), 400);
  EXPECT_EQ(view.screenPicture->height(), 266);
  // The gradient's corners survive the reduction: averaging, not sampling garbage.
  const std::uint8_t* first = view.screenPicture->row(0);
  const std::uint8_t* last = view.screenPicture->row(265) + 3 * 399;
  EXPECT_LT(first[2], 16);  // red rises from the left
  EXPECT_GT(last[2], 239);
  EXPECT_GT(last[1], 239);  // green rises towards the bottom
  // A resize that keeps the fitted size keeps the screen copy; another size makes a new one.
  const auto before = view.screenPicture;
  display.FormResize();
  EXPECT_EQ(view.screenPicture, before);
  view.areaWidth = 300;
  display.FormResize();
  EXPECT_EQ(view.screenPicture->width(), 300);
  // That size was made from the full-size picture, decoded for it and kept from then on.
  ASSERT_TRUE(display.heldPicture());
  EXPECT_EQ(view.picture, display.heldPicture());
  EXPECT_EQ(display.fullPicture(), display.heldPicture());
}

TEST_F(EntryDisplayTest, TheFullPictureIsOnlyThatOfTheFileAsShown) {
  const std::string big = root.write("big.jpg", testing::makeTestJpeg(900, 600));
  list({big});
  struct Case {
    const char* what;
    std::function<void()> change;
    bool full;
  };
  const Case cases[] = {
      {"unchanged", [] {}, true},
      {"replaced by a picture of another size",
       [&] { root.write("big.jpg", testing::makeTestJpeg(600, 900)); }, false},
      {"removed", [&] { std::filesystem::remove(big); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    root.write("big.jpg", testing::makeTestJpeg(900, 600));
    display.ShowEntry(1);
    c.change();
    const auto full = display.fullPicture();
    EXPECT_EQ(full != nullptr, c.full);
    if (full) {
      EXPECT_EQ(full->width(), 900);
    }
    EXPECT_EQ(ui.busyDepth, 0);
  }
}

TEST_F(EntryDisplayTest, OnlyOneFullPictureIsHeldAtATime) {
  const std::string a = root.write("a.jpg", testing::makeTestJpeg(64, 48));
  const std::string b = root.write("b.jpg", testing::makeTestJpeg(32, 16));
  list({a, b});
  display.ShowEntry(1);
  std::weak_ptr<const imaging::Bitmap> first = display.fullPicture();
  ASSERT_FALSE(first.expired());
  display.ShowEntry(2);
  EXPECT_TRUE(first.expired());
  EXPECT_EQ(display.pictureWidth(), 32);
  display.SetDateLBL("2007/03/12", "");
  EXPECT_EQ(view.sizeText, "32 x 16");
}

TEST_F(EntryDisplayTest, UndecodablePictureShowsNothingButStillItsInformation) {
  const std::string bad = root.write("bad.jpg", "this is no JPEG");
  list({bad});
  display.ShowEntry(1);
  EXPECT_FALSE(view.picture);
  // Its photo data are still read and shown: the entry is announced as a JPEG without picture.
  ASSERT_EQ(heard.shown.size(), 1u);
  EXPECT_TRUE(heard.shown[0].isJpeg);
  EXPECT_FALSE(heard.shown[0].hasPicture());
  EXPECT_FALSE(view.screenPicture);
  EXPECT_TRUE(ui.messages.empty());
  for (const char* broken : {"corrupted.jpg", "image00971.jpg", "image02206.jpg"}) {
    list({testing::testData(std::string("invalid/") + broken)});
    display.ShowEntry(1);
  }
}

TEST_F(EntryDisplayTest, HeifAndRawPicturesAreShownFittedAsTheirDecodersGiveThem) {
  const std::string heic =
      root.write("IMG_1.HEIC", testing::readAll(testing::testData("heif/canon_40d_rot90.heic")));
  const std::string avif =
      root.write("IMG_2.avif", testing::readAll(testing::testData("heif/canon_40d.avif")));
  const std::string nef =
      root.write("DSC_3.NEF",
                 testing::exifTiffOf(testing::readAll(testing::testData("camera/Nikon_D70.jpg"))));
  const std::string mp4 = root.write("CLIP.MP4", "movie");
  list({heic, avif, nef, mp4});
  view.areaWidth = 50;
  view.areaHeight = 40;
  const imaging::Bitmap expected[] = {
      imaging::decodeHeifFile(heic).bitmap, imaging::decodeHeifFile(avif).bitmap,
      imaging::decodeRawPreview(imaging::extractRawPreviewFile(nef)).bitmap};
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    const imaging::Bitmap& full = expected[n - 1];
    ASSERT_FALSE(full.empty());
    display.ShowEntry(n);
    ASSERT_FALSE(heard.shown.empty());
    EXPECT_TRUE(heard.shown.back().isPicture);
    EXPECT_FALSE(heard.shown.back().isJpeg);
    EXPECT_EQ(heard.shown.back().width, full.width());
    EXPECT_EQ(heard.shown.back().height, full.height());
    EXPECT_FALSE(view.movieVisible);
    const auto r = FitImageToPanel(full.height(), full.width(), 40, 50);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(view.pictureRect, *r);
    ASSERT_TRUE(view.screenPicture);
    // The screen copy is the decoder's full picture reduced by the display's own rule.
    const auto byRule =
        imaging::scaleForScreen(std::make_shared<const imaging::Bitmap>(full), r->width, r->height);
    ASSERT_TRUE(byRule);
    ASSERT_EQ(view.screenPicture->width(), byRule->width());
    ASSERT_EQ(view.screenPicture->height(), byRule->height());
    int worst = 0;
    for (int y = 0; y < byRule->height(); ++y) {
      for (int x = 0; x < byRule->width() * 3; ++x) {
        worst = std::max(worst, std::abs(view.screenPicture->row(y)[x] - byRule->row(y)[x]));
      }
    }
    EXPECT_LE(worst, 2);
  }
  // The rotated HEIC stands as the phone showed it: taller than wide.
  EXPECT_GT(expected[0].height(), expected[0].width());
  display.ShowEntry(4);
  EXPECT_TRUE(view.movieVisible);
  EXPECT_FALSE(heard.shown.back().isPicture);
}

TEST_F(EntryDisplayTest, MarkedEntryKeepsItsMarkInTheStatusText) {
  const std::string a = root.write("a.jpg", testing::makeTestJpeg(8, 8));
  list({"!:" + a});
  display.ShowEntry(1);
  EXPECT_EQ(ui.status(), "!:" + a + " [ 1 / 1 files ]");
  ASSERT_EQ(heard.shown.size(), 1u);
  EXPECT_TRUE(heard.shown[0].marked);
  EXPECT_EQ(heard.shown[0].path, a);
  ASSERT_TRUE(view.picture);
}

TEST_F(EntryDisplayTest, MovieShowsTheFourLineButtonAndTheFileDate) {
  ::setenv("XDG_DATA_DIRS", root.mkdir("nothing").c_str(), 1);
  ::setenv("XDG_DATA_HOME", root.mkdir("nothing2").c_str(), 1);
  const std::string m = root.write("CLIP.MPG", "movie");
  list({m});
  view.picture = std::make_shared<imaging::Bitmap>(2, 2);
  display.ShowEntry(1);
  EXPECT_EQ(view.movieCaption,
            "[ " + m +
                " ]\r\n動画ファイルです。\r\n再生するならここをクリック！\r\n再生アプリは< "
                "None >です。");
  EXPECT_EQ(view.movieRect, (Rect{24, 48, 352, 428}));
  EXPECT_TRUE(view.movieVisible);
  EXPECT_FALSE(view.picture);
  EXPECT_FALSE(view.enabled[Control::Print1]);
  EXPECT_EQ(ui.infoText(), "");
  EXPECT_EQ(view.dateText, "date of " + m);
  EXPECT_EQ(view.sizeText, "0 x 0");
  EXPECT_EQ(heard.noPictures, 1);
  ASSERT_EQ(heard.shown.size(), 1u);
  EXPECT_FALSE(heard.shown[0].isJpeg);
  // Without an associated application a click says so.
  state.list.sortIndex = 1;
  display.BitBtn1Click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "このデータ[ CLIP.MPG ]のさいせいアプリがありません");
  EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
}

TEST_F(EntryDisplayTest, OtherExtensionsShowOnlyTheStatusText) {
  list({"/x/clip.wmv"});
  display.ShowEntry(1);
  EXPECT_EQ(ui.status(), "/x/clip.wmv [ 1 / 1 files ]");
  EXPECT_FALSE(view.movieVisible);
  EXPECT_EQ(view.showPictureCalls, 0);
}

}  // namespace
}  // namespace sortelia
