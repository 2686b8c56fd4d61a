#include "core/display/picture_prefetch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/display/display_geometry.h"
#include "core/sorting_fixture.h"
#include "imaging/jpeg_codec.h"
#include "imaging/screen_scale.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

class Prefetch : public testing::SortingFixture {
 protected:
  Prefetch() : prefetch(state, view, pool) {
    session.display().setPictureSource(&prefetch);
    session.display().events().subscribe(prefetch);
  }
  ~Prefetch() override {
    session.display().events().unsubscribe(prefetch);
    session.display().setPictureSource(nullptr);
  }
  // Pictures of distinct sizes, so that a wrong one shows.
  void pictures(int n) {
    for (int i = 1; i <= n; ++i) {
      root.write("src/p" + std::to_string(i) + ".jpg", testing::makeTestJpeg(600 + 10 * i, 400));
    }
    state.list.sourceDir = src + "/";
    session.scan().rescanSourceFolder();
  }
  WorkerPool pool{2};
  PicturePrefetch prefetch;
};

TEST_F(Prefetch, TheNextPictureComesFromTheCacheAndEqualsAFreshDecode) {
  pictures(4);
  ASSERT_EQ(prefetch.misses(), 1);  // the first picture had nothing ahead of it
  bind(1, dst);
  transfer.Button1Click(1);  // p1 away, p2 shown from the cache
  EXPECT_EQ(prefetch.hits(), 1);
  // Only the screen copy was made ahead; it is the full-size decode reduced as the display
  // reduces it, pixel for pixel.
  const auto screen = view.screenPicture;
  ASSERT_TRUE(screen);
  EXPECT_FALSE(session.display().heldPicture());
  const auto fresh = decodeFullPicture(s("p2.jpg"));
  ASSERT_TRUE(fresh);
  const auto own = imaging::scaleForScreen(fresh, screen->width(), screen->height());
  EXPECT_TRUE(screen->samePixels(*own));
  // The full-size picture, once needed, is that fresh decode.
  const auto full = session.display().fullPicture();
  ASSERT_TRUE(full);
  EXPECT_TRUE(full->samePixels(*fresh));
}

// The first keys after the start once waited for a decode on the spot: the window manager
// resized the window just after it was shown, and the pictures prepared for the first size
// were thrown away at the key. A resize now prepares them again for the new size.
TEST_F(Prefetch, AResizedAreaHasTheNextPicturesPreparedAgainForItsSize) {
  pictures(4);
  view.areaWidth = 300;
  view.areaHeight = 250;
  session.display().FormResize();
  bind(1, dst);
  transfer.Button1Click(1);
  EXPECT_EQ(prefetch.hits(), 1);
  ASSERT_TRUE(view.screenPicture);
  const auto fitted = FitImageToPanel(400, 620, 250, 300);
  ASSERT_TRUE(fitted.has_value());
  EXPECT_EQ(view.screenPicture->width(), fitted->width);
  EXPECT_EQ(view.screenPicture->height(), fitted->height);
  transfer.Button1Click(1);
  EXPECT_EQ(prefetch.hits(), 2);
}

TEST_F(Prefetch, AChangedOrMovedFileIsNeverShownFromTheCache) {
  pictures(3);
  // p2 is prepared; then it is replaced by another picture under the same name.
  const std::string other = testing::makeTestJpeg(320, 200);
  root.write("src/p2.jpg.new", other);
  ASSERT_EQ(::rename(s("p2.jpg.new").c_str(), s("p2.jpg").c_str()), 0);
  bind(1, dst);
  transfer.Button1Click(1);
  ASSERT_TRUE(session.display().hasPicture());
  EXPECT_EQ(session.display().pictureWidth(), 320);
  EXPECT_EQ(prefetch.hits(), 0);
  // p3 is prepared; then it is moved away by another program: nothing is shown for it.
  ASSERT_EQ(::unlink(s("p3.jpg").c_str()), 0);
  transfer.Button1Click(1);
  EXPECT_FALSE(session.display().hasPicture());
  EXPECT_FALSE(view.screenPicture);
  EXPECT_EQ(prefetch.hits(), 0);
}

TEST_F(Prefetch, ARebuiltListShowsItsOwnPictures) {
  pictures(3);
  // Another folder whose files have the same names but other pictures.
  const std::string other = root.mkdir("other");
  for (int i = 1; i <= 3; ++i) {
    root.write("other/p" + std::to_string(i) + ".jpg", testing::makeTestJpeg(100 + i, 80));
  }
  state.list.sourceDir = other + "/";
  session.scan().rescanSourceFolder();
  EXPECT_EQ(session.display().pictureWidth(), 101);
  session.scan().showListPosition(2);
  EXPECT_EQ(session.display().pictureWidth(), 102);
}

TEST_F(Prefetch, TheCacheStaysWithinItsBound) {
  pictures(6);
  bind(1, dst);
  for (int i = 0; i < 5; ++i) transfer.Button1Click(1);
  // Two pictures ahead at most, each no larger than the display area.
  EXPECT_LE(prefetch.peakBytes(), 2LL * 3 * (view.displayWidth() + 4) * view.displayHeight());
  EXPECT_GE(prefetch.hits(), 4);
}

// What the display shows of a picture decoded straight to its screen size is what it showed
// when it reduced the full-size decode: the same pixels, for camera files of every sampling
// and for areas smaller than, equal to and larger than the picture.
TEST(PreparePicture, ScreenCopyEqualsTheReducedFullDecode) {
  testing::TempDir dir;
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(testing::testData("camera"))) {
    files.push_back(e.path().string());
  }
  // Damaged files too: what the decoder fills in for missing data must match as well.
  for (const auto& e : std::filesystem::directory_iterator(testing::testData("invalid"))) {
    if (decodeFullPicture(e.path().string())) files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 12u);
  files.push_back(dir.write("odd.jpg", testing::makeTestJpeg(1037, 691)));
  struct Area {
    int width, height;
  };
  const Area areas[] = {{400, 500}, {460, 306}, {97, 53}, {1200, 900}, {641, 100}, {2, 2}};
  for (const std::string& path : files) {
    const auto full = decodeFullPicture(path);
    ASSERT_TRUE(full) << path;
    for (const Area a : areas) {
      SCOPED_TRACE(path + " in " + std::to_string(a.width) + "x" + std::to_string(a.height));
      const PreparedPicture p = preparePicture(path, a.width, a.height);
      ASSERT_TRUE(p.decoded());
      EXPECT_EQ(p.width, full->width());
      EXPECT_EQ(p.height, full->height());
      const auto r = FitImageToPanel(full->height(), full->width(), a.height, a.width);
      ASSERT_TRUE(r);
      if (r->width < 1 || r->height < 1) {  // fits to nothing: kept, not reduced
        EXPECT_EQ(p.screen, p.picture);
        continue;
      }
      const bool reduced = r->width != full->width() || r->height != full->height();
      EXPECT_EQ(p.picture == nullptr, reduced) << "the full size is kept only when shown";
      const auto own = imaging::scaleForScreen(full, r->width, r->height);
      EXPECT_TRUE(p.screen->samePixels(*own));
    }
  }
  // A file that gives no picture prepares nothing.
  EXPECT_FALSE(preparePicture(dir.write("no.jpg", "no JPEG"), 400, 500).decoded());
  EXPECT_FALSE(preparePicture(dir.path() + "/gone.jpg", 400, 500).decoded());
}

}  // namespace
}  // namespace sortelia
