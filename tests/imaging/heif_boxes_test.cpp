#include "imaging/heif_boxes.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace sortelia::imaging::heif {
namespace {

using sortelia::testing::readAll;
using sortelia::testing::testData;

// The coded sizes are whole coding blocks: at least the picture's size, less than a block
// more. Reading them wrongly would refuse good pictures or let oversized ones through.
TEST(HeifBoxes, ReadsTheCodedSizesOfEveryHevcConfiguration) {
  struct Case {
    const char* file;
    std::size_t count;
    int width, height;  // of each coded picture, before rounding up to whole blocks
  };
  for (const Case& c : {Case{"canon_40d.heic", 1, 100, 68}, Case{"nikon_e950.heic", 1, 160, 120},
                        Case{"nikon_e950_grid.heic", 4, 64, 64},
                        Case{"coded_wider_than_declared.heic", 1, 4224, 64}}) {
    SCOPED_TRACE(c.file);
    const auto sizes = hevcCodedSizes(readAll(testData(std::string("heif/") + c.file)));
    ASSERT_EQ(sizes.size(), c.count);
    for (const CodedSize& s : sizes) {
      EXPECT_GE(s.width, static_cast<std::uint64_t>(c.width));
      EXPECT_LT(s.width, static_cast<std::uint64_t>(c.width + 8));
      EXPECT_GE(s.height, static_cast<std::uint64_t>(c.height));
      EXPECT_LT(s.height, static_cast<std::uint64_t>(c.height + 8));
    }
  }
  // AV1 keeps its sizes elsewhere; a file of no boxes has none.
  EXPECT_TRUE(hevcCodedSizes(readAll(testData("heif/canon_40d.avif"))).empty());
  EXPECT_TRUE(hevcCodedSizes("").empty());
  EXPECT_TRUE(hevcCodedSizes(readAll(testData("heif/canon_40d.heic")).substr(0, 200)).empty());
}

// AV1 declares its largest frame exactly in the sequence header of the item's data.
TEST(HeifBoxes, ReadsTheFrameSizeOfEveryAv1SequenceHeader) {
  struct Case {
    const char* file;
    std::size_t count;
    std::uint64_t width, height;
  };
  for (const Case& c :
       {Case{"canon_40d.avif", 1, 100, 68}, Case{"coded_wider_than_declared.avif", 1, 4224, 64},
        Case{"canon_40d.heic", 0, 0, 0}}) {
    SCOPED_TRACE(c.file);
    const auto sizes = av1CodedSizes(readAll(testData(std::string("heif/") + c.file)));
    ASSERT_EQ(sizes.size(), c.count);
    for (const CodedSize& s : sizes) {
      EXPECT_EQ(s.width, c.width);
      EXPECT_EQ(s.height, c.height);
    }
  }
  EXPECT_TRUE(av1CodedSizes("").empty());
}

TEST(HeifBoxes, ReadsAGridsDescriptorOnly) {
  const auto grid = primaryGridSize(readAll(testData("heif/nikon_e950_grid.heic")));
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->width, 120u);
  EXPECT_EQ(grid->height, 100u);
  EXPECT_FALSE(primaryGridSize(readAll(testData("heif/canon_40d.heic"))));
  EXPECT_FALSE(primaryGridSize(""));
}

}  // namespace
}  // namespace sortelia::imaging::heif
