#include "platform/format.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace sortelia {
namespace {

TEST(Format, IntegersWidthAndPrecision) {
  EXPECT_EQ(format("%s [ %d / %d files ]", {"a.jpg", 3, 12}), "a.jpg [ 3 / 12 files ]");
  EXPECT_EQ(format("%3d|%-3d|%.3d", {7, 7, 7}), "  7|7  |007");
  EXPECT_EQ(format("%.3d", {-7}), "-007");
  EXPECT_EQ(format("%d", {-9223372036854775807LL - 1}), "-9223372036854775808");
  EXPECT_EQ(format("%d%%", {50}), "50%");
}

TEST(Format, HexIsUpperCaseWithMinimumDigits) {
  EXPECT_EQ(format("$%0.4x", {10}), "$000A");
  EXPECT_EQ(format("%x", {255}), "FF");
  EXPECT_EQ(format("%.2x", {0x1234}), "1234");
}

TEST(Format, TextPaddingCountsCp932Width) {
  EXPECT_EQ(format("%-6s|", {"ab"}), "ab    |");
  EXPECT_EQ(format("%6s|", {"ab"}), "    ab|");
  // Each kanji is two bytes wide in CP932; half-width katakana one.
  EXPECT_EQ(format("%-6s|", {"日付"}), "日付  |");
  EXPECT_EQ(format("%-4s|", {"ｶﾒﾗ"}), "ｶﾒﾗ |");
  EXPECT_EQ(format("%.3s", {"日付時刻"}), "日");
  EXPECT_EQ(format("%-2s|", {"toolong"}), "toolong|");
}

TEST(Format, ThousandsAndFixedRoundHalfAwayFromZero) {
  EXPECT_EQ(format("%.0n", {1234567.0}), "1,234,567");
  EXPECT_EQ(format("%.0n", {1206.0}), "1,206");
  EXPECT_EQ(format("%.0n", {999.0}), "999");
  EXPECT_EQ(format("%.0n", {2.5}), "3");
  EXPECT_EQ(format("%.0n", {-1234.5}), "-1,235");
  EXPECT_EQ(format("%n", {1234.5}), "1,234.50");
  EXPECT_EQ(format("%2.1f", {2.8}), "2.8");
  EXPECT_EQ(format("%2.1f", {0.05}), "0.1");
  EXPECT_EQ(format("%.2f", {0.125}), "0.13");  // an exact half rounds away from zero
  EXPECT_EQ(format("%f", {-0.001}), "0.00");
  EXPECT_EQ(format("%.0n", {999999.5}), "1,000,000");
}

TEST(Format, GeneralUsesFifteenDigitsAndDropsZeros) {
  EXPECT_EQ(format("%g", {0.5}), "0.5");
  EXPECT_EQ(format("%g", {2.0}), "2");
  EXPECT_EQ(format("%g", {1.0 / 60}), "0.0166666666666667");
  EXPECT_EQ(format("%g", {0.1 + 0.2}), "0.3");
  EXPECT_EQ(format("%g", {-12.25}), "-12.25");
  EXPECT_EQ(format("%g", {0.0}), "0");
  EXPECT_EQ(format("%g", {1e20}), "1E20");
  EXPECT_EQ(format("%g", {0.00001}), "0.00001");
  EXPECT_EQ(format("%g", {0.000001}), "1E-6");
  EXPECT_EQ(format("%g", {123456789012345.0}), "123456789012345");
  EXPECT_EQ(format("%g", {1234567890123456.0}), "1.23456789012346E15");
  EXPECT_EQ(format("%.3g", {2.71828}), "2.72");
}

TEST(Format, ScientificHasThreeExponentDigits) {
  EXPECT_EQ(format("%e", {1.0}), "1.00000000000000E+000");
  EXPECT_EQ(format("%.3e", {-0.00125}), "-1.25E-003");
}

TEST(Format, MismatchedArgumentsThrow) {
  EXPECT_THROW(format("%d", {"text"}), std::invalid_argument);
  EXPECT_THROW(format("%s", {3}), std::invalid_argument);
  EXPECT_THROW(format("%d %d", {3}), std::invalid_argument);
  EXPECT_THROW(format("%q", {3}), std::invalid_argument);
  EXPECT_THROW(format("50%", {}), std::invalid_argument);
}

TEST(Format, RoundIsHalfEven) {
  EXPECT_EQ(roundHalfEven(2.5), 2);
  EXPECT_EQ(roundHalfEven(3.5), 4);
  EXPECT_EQ(roundHalfEven(-2.5), -2);
  EXPECT_EQ(roundHalfEven(2.4999), 2);
}

}  // namespace
}  // namespace sortelia
