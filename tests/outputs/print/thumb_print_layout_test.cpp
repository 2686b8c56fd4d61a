// Grid placement, drawing a picture into a control, thumbnail decodes and the printed page's
// layout.
#include <gtest/gtest.h>

#include "outputs/browse/thumb_geometry.h"
#include "outputs/print/print_layout.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::outputs {
namespace {

TEST(ThumbGeometry, CellsFillRowsOfTheColumnsThatFit) {
  EXPECT_EQ(thumbGridColumns(700, 300), 2);  // (700 - 20) div 302
  EXPECT_EQ(thumbGridColumns(100, 300), 1);  // never fewer than one
  EXPECT_EQ(thumbGridColumns(20, 50), 1);
  EXPECT_EQ(thumbGridColumns(546, 100), 5);  // 526 div 102
  struct Case {
    int slot, gridWidth, size;
    Rect expected;
  } cases[] = {
      {0, 700, 300, {2, 2, 300, 300}},   {1, 700, 300, {304, 2, 300, 300}},
      {2, 700, 300, {2, 304, 300, 300}}, {7, 546, 100, {206, 104, 100, 100}},
      {3, 100, 300, {2, 908, 300, 300}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceCell(c.slot, c.size, c.size, c.gridWidth), c.expected) << c.slot;
}

TEST(ThumbGeometry, PictureIsCentredFittedOrShownAtRealSize) {
  struct Case {
    int w, h, cw, ch;
    bool fit;
    DrawMode mode;
    Rect rect;
  } cases[] = {
      // 640 x 480 at 1/8 in a 100 cell: smaller both ways, centred without enlargement.
      {80, 60, 100, 88, true, DrawMode::Centred, {10, 14, 80, 60}},
      {80, 60, 100, 88, false, DrawMode::Centred, {10, 14, 80, 60}},
      // Landscape into a taller control: full width, centred vertically.
      {400, 300, 100, 88, true, DrawMode::Fitted, {0, 6, 100, 75}},
      // Portrait: full height, centred horizontally (Trunc(300 / 400 * 88) = 66).
      {300, 400, 100, 88, true, DrawMode::Fitted, {17, 0, 66, 88}},
      // As wide as the control but lower: not smaller in both ways, so fitted.
      {100, 50, 100, 88, true, DrawMode::Fitted, {0, 19, 100, 50}},
      // Real size: the control takes the picture's size at the origin.
      {3000, 2000, 1024, 768, false, DrawMode::RealSize, {0, 0, 3000, 2000}},
  };
  for (const Case& c : cases) {
    const PicturePlacement p = placePicture(c.w, c.h, c.cw, c.ch, c.fit);
    EXPECT_EQ(p.mode, c.mode) << c.w << "x" << c.h;
    EXPECT_EQ(p.rect, c.rect) << c.w << "x" << c.h;
  }
}

TEST(ThumbGeometry, ThumbnailsAreDecodedAtAnEighthAndFittedIntoThePictureArea) {
  testing::TempDir dir;
  const std::string small = dir.write("small.JPG", testing::makeTestJpeg(640, 480));
  const std::string big = dir.write("big.jpg", testing::makeTestJpeg(1600, 1200));
  const std::string movie = dir.write("clip.mov", "not a picture");
  const std::string broken = dir.write("broken.jpg", "not a jpeg");

  ThumbImage t = makeThumbImage(small, 100);
  ASSERT_TRUE(t.exists && t.picture && t.error.empty());
  EXPECT_EQ(t.rect, (Rect{10, 14, 80, 60}));
  EXPECT_EQ(t.bitmap.width(), 80);

  t = makeThumbImage(big, 100);  // 200 x 150 at 1/8, into 100 x 88
  EXPECT_EQ(t.rect, (Rect{0, 6, 100, 75}));
  EXPECT_EQ(t.bitmap.width(), 100);
  EXPECT_EQ(t.bitmap.height(), 75);

  t = makeThumbImage(movie, 100);
  EXPECT_TRUE(t.exists);
  EXPECT_FALSE(t.picture);
  EXPECT_TRUE(t.bitmap.empty());

  t = makeThumbImage(broken, 100);
  EXPECT_TRUE(t.picture);
  EXPECT_FALSE(t.error.empty());

  EXPECT_FALSE(makeThumbImage(dir.file("gone.jpg"), 100).exists);
}

TEST(PrintLayout, PicturesFillThePageWidthOrHeight) {
  // Landscape on portrait: scaled to the page width, the lower part stays empty.
  EXPECT_EQ(printScale(400, 300, 4800, 6800), (Size{4800, 3600}));
  // Taller in proportion than the page: scaled to the page height.
  EXPECT_EQ(printScale(300, 600, 4800, 6800), (Size{3400, 6800}));
  // Same proportions: the width rule.
  EXPECT_EQ(printScale(100, 200, 50, 100), (Size{50, 100}));
  // Ties round to even: 3 * 2.5 = 7.5 -> 8, 5 * 2.5 = 12.5 -> 12.
  EXPECT_EQ(printScale(2, 3, 5, 100), (Size{5, 8}));
  EXPECT_EQ(printScale(5, 2, 100, 5), (Size{12, 5}));
  EXPECT_EQ(printScale(0, 10, 100, 100), (Size{}));
}

TEST(PrintLayout, CommentLinesAreDrawnTwiceAndClippedToTheirLength) {
  // "写真 A" is 6 Shift-JIS bytes.
  CommentLineLayout top = layoutCommentLine("写真 A", true, 50, 3600);
  EXPECT_EQ(top.white, (Point{20, 20}));
  EXPECT_EQ(top.coloured, (Point{19, 19}));
  EXPECT_EQ(top.clip, (ClipRect{20, 20, 6 * 50 + 20, 71}));
  CommentLineLayout bottom = layoutCommentLine("abc", false, 10, 1000);
  EXPECT_EQ(bottom.white, (Point{20, 970}));
  EXPECT_EQ(bottom.coloured, (Point{19, 969}));
  EXPECT_EQ(bottom.clip, (ClipRect{20, 970, 50, 981}));
}

TEST(PrintLayout, ColoursAndFileLists) {
  EXPECT_EQ(printColour("赤"), (Rgb{255, 0, 0}));
  EXPECT_EQ(printColour("青"), (Rgb{0, 0, 255}));
  EXPECT_EQ(printColour("緑"), (Rgb{0, 255, 0}));
  EXPECT_EQ(printColour("黄"), (Rgb{255, 0, 0}));

  const std::vector<std::string> paths = {"/p/a b.jpg", "/p/c.jpg", "/p/say \"hi\".jpg"};
  const std::string list = quotedFileList(paths);
  EXPECT_EQ(list.substr(0, 24), "\"/p/a b.jpg\"\r\n\"/p/c.jpg\"");
  EXPECT_EQ(parseFileList(list), paths);
  EXPECT_EQ(parseFileList("a.jpg, \"b c.jpg\" d.jpg"),
            (std::vector<std::string>{"a.jpg", "b c.jpg", "d.jpg"}));
  EXPECT_TRUE(parseFileList("  \r\n").empty());
}

}  // namespace
}  // namespace sortelia::outputs
