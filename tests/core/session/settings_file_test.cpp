#include "core/session/settings_file.h"

#include <gtest/gtest.h>

namespace sortelia {
namespace {

std::vector<std::string> fullFile() {
  std::vector<std::string> l(12);
  l[0] = "/dst/one";
  l.push_back("/src/");
  for (const char* v : {"10", "20", "300", "400", "TRUE", "5", "TRUE", "FALSE", "TRUE"}) {
    l.push_back(v);
  }
  l.push_back("111111111111111111111111111");
  return l;
}

TEST(ParseInteger, AcceptsDecimalHexAndLeadingBlanks) {
  EXPECT_EQ(parseInteger("108"), 108);
  EXPECT_EQ(parseInteger("-5"), -5);
  EXPECT_EQ(parseInteger("  42"), 42);
  EXPECT_EQ(parseInteger("$1F"), 31);
  EXPECT_EQ(parseInteger("2147483647"), 2147483647);
  EXPECT_EQ(parseInteger("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", " ", "12 ", "1.5", "abc", "2147483648", "$", "-", "99999999999999"}) {
    EXPECT_FALSE(parseInteger(bad).has_value()) << bad;
  }
}

TEST(ParseSettings, FullFile) {
  const SettingsRead r = parseSettings(fullFile());
  EXPECT_EQ(r.slotLines[0], "/dst/one");
  EXPECT_EQ(r.slotLines[11], "");
  EXPECT_EQ(r.sourceLine, "/src/");
  EXPECT_EQ(r.geometry, (std::vector<int>{10, 20, 300, 400}));
  EXPECT_TRUE(r.complete);
  EXPECT_TRUE(r.loopSlideShow);
  EXPECT_EQ(r.intervalText, "5");
  EXPECT_TRUE(r.autoRename);
  EXPECT_FALSE(r.keepOriginal);
  EXPECT_TRUE(r.maximized);
  EXPECT_EQ(r.exifItemMask, std::string(27, '1'));
}

TEST(ParseSettings, BooleansAreExactAndCaseSensitive) {
  auto l = fullFile();
  l[17] = "true";
  l[21] = "True";
  const SettingsRead r = parseSettings(l);
  EXPECT_FALSE(r.loopSlideShow);
  EXPECT_FALSE(r.maximized);
}

TEST(ParseSettings, MaskMustHave27CharactersAfterTrimming) {
  auto l = fullFile();
  l[22] = "1010";
  EXPECT_EQ(parseSettings(l).exifItemMask, exif::kDefaultExifItemMask);
  l[22] = "  000000000000000000000000001 ";
  EXPECT_EQ(parseSettings(l).exifItemMask, "000000000000000000000000001");
  l.resize(22);
  EXPECT_EQ(parseSettings(l).exifItemMask, exif::kDefaultExifItemMask);
}

TEST(ParseSettings, ThirteenLinesKeepGeometryAndFlagsAtDefaults) {
  auto l = fullFile();
  l.resize(13);
  const SettingsRead r = parseSettings(l);
  EXPECT_EQ(r.slotLines[0], "/dst/one");
  EXPECT_EQ(r.sourceLine, "/src/");
  EXPECT_TRUE(r.geometry.empty());
  EXPECT_FALSE(r.complete);
  EXPECT_FALSE(r.loopSlideShow);
  EXPECT_EQ(r.exifItemMask, exif::kDefaultExifItemMask);
}

TEST(ParseSettings, BadGeometryLineEndsReadingAfterTheValuesBeforeIt) {
  auto l = fullFile();
  l[15] = "tall";
  const SettingsRead r = parseSettings(l);
  EXPECT_EQ(r.geometry, (std::vector<int>{10, 20}));
  EXPECT_FALSE(r.complete);
  EXPECT_FALSE(r.autoRename);
}

TEST(ComposeSettings, TwentyThreeLinesInOrder) {
  SettingsValues v;
  v.slotFolders[2] = "/dst/three";
  v.sourceDir = "/src/";
  v.bounds = {1, 2, 3, 4};
  v.intervalText = "3";
  v.keepOriginal = true;
  v.maximized = true;
  v.exifItemMask = exif::kDefaultExifItemMask;
  const auto lines = composeSettings(v);
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(lines[2], "/dst/three");
  EXPECT_EQ(lines[12], "/src/");
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 13, lines.end()),
            (std::vector<std::string>{"1", "2", "3", "4", "FALSE", "3", "FALSE", "TRUE", "TRUE",
                                      exif::kDefaultExifItemMask}));
  // What is written reads back to the same values.
  const SettingsRead r = parseSettings(lines);
  EXPECT_EQ(r.geometry, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(r.keepOriginal);
  EXPECT_TRUE(r.maximized);
}

}  // namespace
}  // namespace sortelia
