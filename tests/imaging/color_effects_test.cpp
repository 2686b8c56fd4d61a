#include "imaging/color_effects.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace sortelia::imaging {
namespace {

Bitmap onePixel(int b, int g, int r) {
  Bitmap bm(1, 1);
  bm.row(0)[0] = static_cast<std::uint8_t>(b);
  bm.row(0)[1] = static_cast<std::uint8_t>(g);
  bm.row(0)[2] = static_cast<std::uint8_t>(r);
  return bm;
}

std::array<int, 3> bgr(const Bitmap& b, int x = 0, int y = 0) {
  const std::uint8_t* p = b.row(y) + x * 3;
  return {p[0], p[1], p[2]};
}

TEST(ApplySepia, BlackAndWhiteEnds) {
  Bitmap black = onePixel(0, 0, 0);
  ApplySepia(black);
  EXPECT_EQ(bgr(black), (std::array<int, 3>{0, 0, 25}));
  Bitmap white = onePixel(255, 255, 255);
  ApplySepia(white);
  EXPECT_EQ(bgr(white), (std::array<int, 3>{220, 249, 255}));
}

TEST(ApplySepia, TableRows) {
  const auto table = buildSepiaTable();
  ASSERT_EQ(table.size(), 65537u);
  const struct {
    int index, b, g, r;
  } rows[] = {{0, 0, 0, 25},
              {16384, 28, 58, 89},
              {32768, 92, 122, 153},
              {49152, 156, 185, 217},
              {65535, 220, 249, 255}};
  for (const auto& row : rows) {
    const SepiaEntry e = table[row.index];
    EXPECT_EQ((std::array<int, 3>{e.blue, e.green, e.red}),
              (std::array<int, 3>{row.b, row.g, row.r}))
        << row.index;
  }
}

TEST(ApplySepia, DependsOnlyOnWeightedLuminance) {
  // 7500*b + 38620*g + 19672*r: (0, 0, 100) and (149, 22, 0) both give index 7684 (>> 8).
  Bitmap bm(3, 1);
  const int pixels[3][3] = {{0, 0, 100}, {149, 22, 0}, {255, 0, 0}};
  for (int x = 0; x < 3; ++x)
    for (int k = 0; k < 3; ++k) bm.row(0)[x * 3 + k] = static_cast<std::uint8_t>(pixels[x][k]);
  ASSERT_EQ((100 * 19672) >> 8, (149 * 7500 + 22 * 38620) >> 8);
  ApplySepia(bm);
  EXPECT_EQ(bgr(bm, 0), bgr(bm, 1));
  EXPECT_NE(bgr(bm, 0), bgr(bm, 2));
  const auto e = buildSepiaTable()[(255 * 7500) >> 8];
  EXPECT_EQ(bgr(bm, 2), (std::array<int, 3>{e.blue, e.green, e.red}));
}

TEST(ApplySepia, RefusesOtherFormats) {
  Bitmap grey(2, 2, PixelFormat::Gray8);
  EXPECT_THROW(ApplySepia(grey), std::invalid_argument);
}

TEST(ApplyBlackAndWhite, KnownGreys) {
  Bitmap white = onePixel(255, 255, 255);
  ApplyBlackAndWhite(white);
  EXPECT_EQ(bgr(white), (std::array<int, 3>{252, 252, 252}));
  Bitmap black = onePixel(0, 0, 0);
  ApplyBlackAndWhite(black);
  EXPECT_EQ(bgr(black), (std::array<int, 3>{0, 0, 0}));
  Bitmap red = onePixel(0, 0, 255);  // 73.695
  ApplyBlackAndWhite(red);
  EXPECT_EQ(bgr(red), (std::array<int, 3>{74, 74, 74}));
  Bitmap blue = onePixel(255, 0, 0);  // 29.07
  ApplyBlackAndWhite(blue);
  EXPECT_EQ(bgr(blue), (std::array<int, 3>{29, 29, 29}));
}

TEST(ApplyBlackAndWhite, RoundsToTheNearestGrey) {
  Bitmap a = onePixel(125, 0, 0);  // 14.25
  ApplyBlackAndWhite(a);
  EXPECT_EQ(bgr(a)[0], 14);
  Bitmap b = onePixel(0, 25, 0);  // 14.65
  ApplyBlackAndWhite(b);
  EXPECT_EQ(bgr(b)[0], 15);
}

TEST(ApplyBlackAndWhite, EightBitInputComesBackAs24BitGrey) {
  Bitmap grey(5, 3, PixelFormat::Gray8);
  grey.row(2)[4] = 200;
  ApplyBlackAndWhite(grey);
  EXPECT_EQ(grey.format(), PixelFormat::Bgr24);
  EXPECT_EQ(grey.width(), 5);
  EXPECT_EQ(grey.height(), 3);
  // 200 * 0.989 = 197.8 -> 198
  EXPECT_EQ(bgr(grey, 4, 2), (std::array<int, 3>{198, 198, 198}));
  EXPECT_EQ(bgr(grey, 0, 0), (std::array<int, 3>{0, 0, 0}));
}

}  // namespace
}  // namespace sortelia::imaging
