#include "core/display/picture_prefetch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>

#include "imaging/jpeg_codec.h"
#include "imaging/screen_scale.h"
#include "sorting_fixture.h"
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
    session.scan().FirstStepGetImgLst();
  }
  static bool samePixels(const imaging::Bitmap& a, const imaging::Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height()) return false;
    for (int y = 0; y < a.height(); ++y) {
      if (std::memcmp(a.row(y), b.row(y), static_cast<std::size_t>(a.width()) * 3) != 0) {
        return false;
      }
    }
    return true;
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
  const auto shown = session.display().picture();
  ASSERT_TRUE(shown);
  const imaging::JpegDecodeResult fresh = imaging::decodeJpegFile(s("p2.jpg"));
  ASSERT_TRUE(fresh.ok());
  EXPECT_TRUE(samePixels(*shown, fresh.bitmap));
  // The screen copy made ahead is the one the display would have made.
  const auto screen = view.screenPicture;
  ASSERT_TRUE(screen);
  const auto own = imaging::scaleForScreen(shown, screen->width(), screen->height());
  EXPECT_TRUE(samePixels(*screen, *own));
}

TEST_F(Prefetch, AChangedOrMovedFileIsNeverShownFromTheCache) {
  pictures(3);
  // p2 is prepared; then it is replaced by another picture under the same name.
  const std::string other = testing::makeTestJpeg(320, 200);
  root.write("src/p2.jpg.new", other);
  ASSERT_EQ(::rename(s("p2.jpg.new").c_str(), s("p2.jpg").c_str()), 0);
  bind(1, dst);
  transfer.Button1Click(1);
  ASSERT_TRUE(session.display().picture());
  EXPECT_EQ(session.display().pictureWidth(), 320);
  EXPECT_EQ(prefetch.hits(), 0);
  // p3 is prepared; then it is moved away by another program: nothing is shown for it.
  ASSERT_EQ(::unlink(s("p3.jpg").c_str()), 0);
  transfer.Button1Click(1);
  EXPECT_FALSE(session.display().picture());
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
  session.scan().FirstStepGetImgLst();
  EXPECT_EQ(session.display().pictureWidth(), 101);
  session.scan().imageDSP(2);
  EXPECT_EQ(session.display().pictureWidth(), 102);
}

TEST_F(Prefetch, TheCacheStaysWithinItsBound) {
  pictures(6);
  bind(1, dst);
  for (int i = 0; i < 5; ++i) transfer.Button1Click(1);
  // Two pictures ahead at most, each far below the bound.
  EXPECT_LE(prefetch.peakBytes(), 2LL * 3 * 700 * 400 * 2);
  EXPECT_GE(prefetch.hits(), 4);
}

}  // namespace
}  // namespace sortelia
