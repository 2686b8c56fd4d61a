#include "imaging/ppm.h"

#include <gtest/gtest.h>

namespace sortelia::imaging {
namespace {

TEST(Ppm, RoundTripSwapsToFileOrderRgb) {
  Bitmap b(2, 1);
  const std::uint8_t px[] = {1, 2, 3, 4, 5, 6};  // B G R, B G R
  std::copy(std::begin(px), std::end(px), b.row(0));
  const std::string bytes = writePpm(b);
  EXPECT_EQ(bytes, std::string("P6\n2 1\n255\n\x03\x02\x01\x06\x05\x04", 17));
  const auto back = readPpm(bytes);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->samePixels(b));
  const auto commented =
      readPpm(std::string("P6 # made by hand\n2\n1 255\n\x03\x02\x01\x06\x05\x04", 32));
  ASSERT_TRUE(commented);
  EXPECT_TRUE(commented->samePixels(b));
}

TEST(Ppm, RefusesMalformedFiles) {
  std::string error;
  EXPECT_FALSE(readPpm("P5\n1 1\n255\n\x01", &error));
  EXPECT_EQ(error, "not a binary PPM (P6) file");
  EXPECT_FALSE(readPpm("P6\n2 1\n255\n\x01\x02\x03", &error));
  EXPECT_EQ(error, "truncated PPM data");
  EXPECT_FALSE(readPpm("P6\n1 1\n65535\n\x01\x02\x03\x04\x05\x06", &error));
  EXPECT_FALSE(readPpm("P6\n0 1\n255\n", &error));
  EXPECT_FALSE(readPpm("P6\n99999999 99999999\n255\n", &error));
  EXPECT_EQ(error, "PPM picture too large");
  EXPECT_FALSE(readPpm("P6\n12345678901 1\n255\n", &error));
  EXPECT_FALSE(readPpm("P6\n1 1\n255", &error));
}

}  // namespace
}  // namespace sortelia::imaging
