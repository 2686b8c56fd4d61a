#include "imaging/quarter_turn.h"

#include <gtest/gtest.h>

namespace sortelia::imaging {
namespace {

// A bitmap whose every pixel names its own column and row (and a third byte mixing both).
Bitmap numbered(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = b.row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x);
      p[1] = static_cast<std::uint8_t>(y);
      p[2] = static_cast<std::uint8_t>(x * 7 + y * 13);
    }
  }
  return b;
}

struct Where {
  int column;
  int row;
};

TEST(QuarterTurn, EveryPixelGoesWhereItsRuleSays) {
  // Sizes with odd widths (row padding), one larger than a tile, and a single row.
  const std::pair<int, int> sizes[] = {{3, 2}, {5, 7}, {1, 4}, {70, 130}, {9, 1}};
  struct Case {
    int angle;
    bool swaps;
    Where (*to)(int x, int y, int w, int h);
  };
  const Case cases[] = {
      {90, true,
       [](int x, int y, int, int h) {
         return Where{h - 1 - y, x};
       }},
      {180, false,
       [](int x, int y, int w, int h) {
         return Where{w - 1 - x, h - 1 - y};
       }},
      {270, true,
       [](int x, int y, int w, int) {
         return Where{y, w - 1 - x};
       }},
  };
  for (auto [w, h] : sizes) {
    const Bitmap src = numbered(w, h);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << w << "x" << h << " by " << c.angle);
      const Bitmap out = quarterTurn(src, c.angle);
      ASSERT_EQ(out.width(), c.swaps ? h : w);
      ASSERT_EQ(out.height(), c.swaps ? w : h);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const Where to = c.to(x, y, w, h);
          const std::uint8_t* a = src.row(y) + 3 * x;
          const std::uint8_t* b = out.row(to.row) + 3 * to.column;
          ASSERT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) << x << "," << y;
        }
      }
    }
  }
}

TEST(QuarterTurn, TurnsAddUpAndOtherAnglesCopy) {
  const Bitmap src = numbered(13, 6);
  EXPECT_TRUE(quarterTurn(quarterTurn(src, 90), 270).samePixels(src));
  EXPECT_TRUE(quarterTurn(quarterTurn(src, 90), 90).samePixels(quarterTurn(src, 180)));
  EXPECT_TRUE(quarterTurn(quarterTurn(src, 180), 180).samePixels(src));
  EXPECT_TRUE(quarterTurn(src, 0).samePixels(src));
  EXPECT_TRUE(quarterTurn(Bitmap(), 90).empty());
}

TEST(QuarterTurn, GreyBitmapsAreTurnedAsColour) {
  Bitmap grey(2, 1, PixelFormat::Gray8);
  grey.row(0)[0] = 10;
  grey.row(0)[1] = 20;
  const Bitmap out = quarterTurn(grey, 90);
  ASSERT_EQ(out.format(), PixelFormat::Bgr24);
  ASSERT_EQ(out.width(), 1);
  ASSERT_EQ(out.height(), 2);
  EXPECT_EQ(out.row(0)[0], 10);
  EXPECT_EQ(out.row(1)[2], 20);
}

}  // namespace
}  // namespace sortelia::imaging
