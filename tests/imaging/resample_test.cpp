#include "imaging/resample.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <vector>

#include "imaging/resample_reference.h"

namespace sortelia::imaging {
namespace {

// A one-row bitmap whose pixels are grey values (all three channels equal).
Bitmap greyRow(const std::vector<int>& values) {
  Bitmap b(static_cast<int>(values.size()), 1);
  for (std::size_t i = 0; i < values.size(); ++i) {
    for (int k = 0; k < 3; ++k) b.row(0)[i * 3 + k] = static_cast<std::uint8_t>(values[i]);
  }
  return b;
}

std::vector<int> blueChannel(const Bitmap& b, int y = 0) {
  std::vector<int> out;
  for (int x = 0; x < b.width(); ++x) out.push_back(b.row(y)[x * 3]);
  return out;
}

Bitmap randomBitmap(int w, int h, std::mt19937& rng) {
  Bitmap b(w, h);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int y = 0; y < h; ++y)
    for (int i = 0; i < w * 3; ++i) b.row(y)[i] = static_cast<std::uint8_t>(byte(rng));
  return b;
}

Bitmap filled(int w, int h, std::uint8_t v) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int i = 0; i < w * 3; ++i) b.row(y)[i] = v;
  return b;
}

TEST(CubicWeights, KnownPositions) {
  EXPECT_EQ(CubicWeights(1.5L, 1 << 20), (CubicWeightSet{-65535, 589824, 589824, -65535}));
  EXPECT_EQ(CubicWeights(1.25L, 1 << 20), (CubicWeightSet{-57343, 860160, 286720, -40959}));
  EXPECT_EQ(CubicWeights(1.0L, 1 << 20), (CubicWeightSet{0, 1 << 20, 0, 0}));
}

TEST(ResampleBitmap, EnlargesRowsByCubicInterpolation) {
  Bitmap a = greyRow({10, 200});
  ResampleBitmap(a, 5, 1);
  EXPECT_EQ(blueChannel(a), (std::vector<int>{10, 55, 105, 155, 200}));
  Bitmap b = greyRow({0, 255, 0});
  ResampleBitmap(b, 7, 1);
  EXPECT_EQ(blueChannel(b), (std::vector<int>{0, 94, 189, 255, 189, 94, 0}));
}

TEST(ResampleBitmap, OnePixelWideSourceRepeatsItsColumn) {
  Bitmap b(1, 3);
  for (int y = 0; y < 3; ++y) b.row(y)[0] = b.row(y)[1] = b.row(y)[2] = 40 * y + 7;
  ResampleBitmap(b, 9, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(b.row(y)[x * 3 + 1], 40 * y + 7);
}

TEST(ResampleBitmap, EnlargementKeepsFirstAndLastColumnsAndRows) {
  std::mt19937 rng(7);
  const Bitmap src = randomBitmap(13, 9, rng);
  Bitmap b = src;
  ResampleBitmap(b, 40, 31);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(b.row(0)[k], src.row(0)[k]);
    EXPECT_EQ(b.row(0)[39 * 3 + k], src.row(0)[12 * 3 + k]);
    EXPECT_EQ(b.row(30)[k], src.row(8)[k]);
    EXPECT_EQ(b.row(30)[39 * 3 + k], src.row(8)[12 * 3 + k]);
  }
}

TEST(ResampleBitmap, InterpolationOvershootIsClampedAtBothEnds) {
  Bitmap b = greyRow({0, 0, 255, 255, 0, 0});
  ResampleBitmap(b, 21, 1);
  const std::vector<int> v = blueChannel(b);
  // Without clamping the ringing beside the hard edges would leave 0..255.
  int zeros = 0, full = 0;
  for (int x : v) {
    zeros += x == 0;
    full += x == 255;
  }
  EXPECT_GT(zeros, 2);
  EXPECT_GT(full, 2);
  Bitmap c = greyRow({255, 255, 0, 0, 255, 255});
  ResampleBitmap(c, 21, 1);
  EXPECT_EQ(blueChannel(c).front(), 255);
  EXPECT_EQ(blueChannel(c)[10], 0);
}

TEST(ResampleBitmap, ExactFactorReductionAveragesWithSmallBias) {
  // n = 2: N = 2^21, value = (sum * 2^18 + 2^17) * 2^21 >> 40 = floor(sum / 2 + 1/4).
  Bitmap a = greyRow({10, 11, 20, 20, 0, 1});
  ResampleBitmap(a, 3, 1);
  EXPECT_EQ(blueChannel(a), (std::vector<int>{10, 20, 0}));
  // n = 3: N = 1398101 (2^22 / 3 rounded); sum 8 over three gives 2.66 + 0.16 -> 2.
  Bitmap b = greyRow({2, 3, 3, 255, 255, 254});
  ResampleBitmap(b, 2, 1);
  EXPECT_EQ(blueChannel(b), (std::vector<int>{2, 254}));
  // n = 4 along the height: (1 + 2 + 2 + 2) / 4 + 1/8 = 1.875 -> 1.
  Bitmap c(1, 4);
  const int col[] = {1, 2, 2, 2};
  for (int y = 0; y < 4; ++y) c.row(y)[0] = static_cast<std::uint8_t>(col[y]);
  ResampleBitmap(c, 1, 1);
  EXPECT_EQ(c.row(0)[0], 1);
}

TEST(ResampleBitmap, WhiteStaysWhiteAndBlackStaysBlackAtAnyRatio) {
  const std::pair<int, int> sizes[] = {{10001, 10000}, {97, 13}, {640, 10}, {4000, 3}, {70000, 1}};
  for (auto [s, d] : sizes) {
    Bitmap white = filled(s, 2, 255);
    ResampleBitmap(white, d, 1);
    Bitmap black = filled(s, 2, 0);
    ResampleBitmap(black, d, 1);
    for (int i = 0; i < d * 3; ++i) {
      ASSERT_EQ(white.row(0)[i], 255) << s << " -> " << d;
      ASSERT_EQ(black.row(0)[i], 0) << s << " -> " << d;
    }
    Bitmap tallWhite = filled(1, s, 255);
    ResampleBitmap(tallWhite, 1, d);
    for (int y = 0; y < d; ++y) ASSERT_EQ(tallWhite.row(y)[2], 255) << s << " -> " << d;
  }
}

TEST(ResampleBitmap, ReductionBeyondRatio64AveragesCorrectly) {
  // 32-bit accumulators would overflow here; the result must still be the mean.
  for (int n : {65, 100, 1000}) {
    Bitmap b(2 * n, 1);
    for (int x = 0; x < 2 * n; ++x)
      for (int k = 0; k < 3; ++k) b.row(0)[x * 3 + k] = x < n ? 200 : (x % 2 ? 255 : 100);
    ResampleBitmap(b, 2, 1);
    EXPECT_EQ(b.row(0)[0], 200) << n;
    EXPECT_NEAR(b.row(0)[3], 177, 1) << n;
  }
}

TEST(ResampleBitmap, MatchesThePlainArithmeticForManySizes) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> side(1, 40);
  for (int round = 0; round < 300; ++round) {
    const int w = side(rng), h = side(rng);
    const int nw = side(rng) + (round % 3 == 0 ? 40 : 0), nh = side(rng);
    const Bitmap src = randomBitmap(w, h, rng);
    Bitmap got = src;
    ResampleBitmap(got, nw, nh);
    const Bitmap want = reference::resample(src, nw, nh);
    ASSERT_TRUE(got.samePixels(want)) << w << "x" << h << " -> " << nw << "x" << nh;
  }
}

TEST(ResampleBitmap, MatchesThePlainArithmeticUpToRatio64) {
  // The largest ratio the 32-bit accumulators hold; saturated pixels make the sums largest.
  std::mt19937 rng(99);
  for (auto [s, d] : {std::pair{640, 10}, {128, 2}, {639, 10}, {64, 1}}) {
    Bitmap src = randomBitmap(s, 3, rng);
    for (int i = 0; i < 30; ++i) src.row(1)[i] = 255;
    Bitmap wide = src;
    ResampleBitmap(wide, d, 3);
    ASSERT_TRUE(wide.samePixels(reference::resample(src, d, 3))) << s << " -> " << d;
    Bitmap tall = randomBitmap(2, s, rng);
    Bitmap got = tall;
    ResampleBitmap(got, 2, d);
    ASSERT_TRUE(got.samePixels(reference::resample(tall, 2, d))) << s << " -> " << d;
  }
}

TEST(ResampleBitmap, SameSizeOnlyConvertsTo24Bit) {
  Bitmap g(3, 2, PixelFormat::Gray8);
  g.row(1)[2] = 99;
  ResampleBitmap(g, 3, 2);
  EXPECT_EQ(g.format(), PixelFormat::Bgr24);
  EXPECT_EQ(g.width(), 3);
  EXPECT_EQ(g.row(1)[6], 99);
  EXPECT_EQ(g.row(1)[8], 99);
  EXPECT_EQ(g.row(1)[5], 0);
}

TEST(ResampleBitmap, OtherFormatsAreConvertedBeforeResizing) {
  Bitmap g(4, 4, PixelFormat::Gray8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) g.row(y)[x] = 128;
  ResampleBitmap(g, 2, 8);
  EXPECT_EQ(g.format(), PixelFormat::Bgr24);
  EXPECT_EQ(g.width(), 2);
  EXPECT_EQ(g.height(), 8);
  EXPECT_EQ(g.row(7)[5], 128);
}

TEST(ResampleBitmap, RefusesTargetSizesBelowOne) {
  Bitmap b = filled(4, 4, 1);
  EXPECT_THROW(ResampleBitmap(b, 0, 4), std::invalid_argument);
  EXPECT_THROW(ResampleBitmap(b, 4, -2), std::invalid_argument);
  EXPECT_EQ(b.width(), 4);
}

TEST(ResampleBitmap, ReductionToOneRowNeedsNoProgressDivisor) {
  std::vector<int> calls;
  std::int64_t now = 1000;
  ProgressReporter p{[&](int v) { calls.push_back(v); }, [&] { return now += 100; }};
  Bitmap b = filled(8, 1, 30);
  ResampleBitmap(b, 3, 1, &p);
  Bitmap c = filled(1, 8, 30);
  ResampleBitmap(c, 1, 1, &p);
  EXPECT_EQ(c.row(0)[0], 30);
  for (int v : calls) EXPECT_GT(v, 0);
}

// The clock advances by `step` ms on every reading.
struct SteppingClock {
  std::int64_t now = 5000;
  std::int64_t step;
  std::int64_t operator()() { return now += step; }
};

TEST(ReportProgress, ThrottlesToOneReportPer50Milliseconds) {
  std::vector<int> calls;
  std::int64_t now = 0;
  ProgressReporter p{[&](int v) { calls.push_back(v); }, [&] { return now; }};
  now = 100;
  ReportProgress(0, &p);  // only starts the timing
  ReportProgress(10, &p);
  now = 149;
  ReportProgress(20, &p);
  now = 150;
  ReportProgress(30, &p);
  now = 199;
  ReportProgress(40, &p);
  now = 260;
  ReportProgress(100, &p);
  EXPECT_EQ(calls, (std::vector<int>{30, 100}));
  ReportProgress(5, nullptr);  // no reporter: nothing happens
}

TEST(ReportProgress, WrapsAroundThe32BitTick) {
  std::vector<int> calls;
  std::int64_t now = 0xFFFFFFF0LL;
  ProgressReporter p{[&](int v) { calls.push_back(v); }, [&] { return now; }};
  ReportProgress(0, &p);
  now = 0x100000000LL + 40;  // 56 ms later, past the wrap
  ReportProgress(7, &p);
  EXPECT_EQ(calls, (std::vector<int>{7}));
}

TEST(ReportProgress, WidthPassReportsUpTo50AndHeightPassFrom50) {
  for (bool enlarge : {true, false}) {
    std::vector<int> calls;
    SteppingClock clock{5000, 60};
    ProgressReporter p{[&](int v) { calls.push_back(v); }, std::ref(clock)};
    Bitmap b = filled(enlarge ? 10 : 40, enlarge ? 10 : 40, 9);
    Bitmap w(enlarge ? 30 : 12, b.height());
    if (enlarge)
      StretchWidthUp(b, w, &p);
    else
      StretchWidthDown(b, w, &p);
    ASSERT_FALSE(calls.empty());
    for (int v : calls) {
      EXPECT_GT(v, 0);
      EXPECT_LE(v, 50);
    }
    EXPECT_EQ(calls.back(), 50);
    calls.clear();
    Bitmap h(w.width(), enlarge ? 30 : 12);
    if (enlarge)
      StretchHeightUp(w, h, &p);
    else
      StretchHeightDown(w, h, &p);
    ASSERT_FALSE(calls.empty());
    for (int v : calls) {
      EXPECT_GE(v, 50);
      EXPECT_LE(v, 100);
    }
    EXPECT_EQ(calls.back(), 100);
  }
}

TEST(ReportProgress, FinalReportNeedsFiftyMillisecondsSinceThePrevious) {
  std::vector<int> calls;
  SteppingClock clock{5000, 1};
  ProgressReporter p{[&](int v) { calls.push_back(v); }, std::ref(clock)};
  Bitmap b = filled(20, 20, 9);
  ResampleBitmap(b, 10, 10, &p);
  EXPECT_TRUE(calls.empty());  // a 1 ms per reading clock never reaches 50 ms in this run
}

TEST(StretchPasses, RefuseSizesThatDoNotFitThePass) {
  Bitmap src = filled(4, 4, 0), wrong(4, 5);
  EXPECT_THROW(StretchWidthUp(src, wrong), std::invalid_argument);
  EXPECT_THROW(StretchHeightDown(src, wrong), std::invalid_argument);
  Bitmap grey(6, 4, PixelFormat::Gray8);
  EXPECT_THROW(StretchWidthDown(src, grey), std::invalid_argument);
}

}  // namespace
}  // namespace sortelia::imaging
