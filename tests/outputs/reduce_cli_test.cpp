// sortelia-cli reduce, run as a separate program on PPM files, against the library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "imaging/color_effects.h"
#include "imaging/ppm.h"
#include "imaging/resample.h"
#include "support/temp_dir.h"

namespace sortelia::outputs {
namespace {

using sortelia::testing::readAll;
using sortelia::testing::TempDir;

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

int runCli(const std::string& args) {
  return std::system((kCli + " reduce " + args + " 2>/dev/null").c_str());
}

TEST(ReduceCommand, PpmInPpmOutMatchesTheResamplerByteForByte) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  TempDir dir;
  std::mt19937 rng(3);
  imaging::Bitmap src(123, 77);
  for (int y = 0; y < src.height(); ++y)
    for (int i = 0; i < src.width() * 3; ++i) src.row(y)[i] = static_cast<std::uint8_t>(rng());
  const std::string in = dir.write("in.ppm", imaging::writePpm(src));
  const struct {
    const char* options;
    int w, h;
    bool sepia, bw;
  } cases[] = {{"--width 40 --height 200", 40, 200, false, false},
               {"--width 300 --height 20 --sepia", 300, 20, true, false},
               {"--width 61 --height 39 --bw", 61, 39, false, true}};
  for (const auto& c : cases) {
    const std::string out = dir.file("out.ppm");
    ASSERT_EQ(runCli(in + " " + out + " " + c.options), 0) << c.options;
    imaging::Bitmap want = src;
    imaging::ResampleBitmap(want, c.w, c.h);
    if (c.sepia) imaging::ApplySepia(want);
    if (c.bw) imaging::ApplyBlackAndWhite(want);
    EXPECT_EQ(readAll(out), imaging::writePpm(want)) << c.options;
  }
}

TEST(ReduceCommand, RefusesBadArguments) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  TempDir dir;
  const std::string in = dir.write("in.ppm", imaging::writePpm(imaging::Bitmap(4, 4)));
  const std::string out = dir.file("out.ppm");
  EXPECT_NE(runCli(in + " " + out + " --width 0 --height 4"), 0);
  EXPECT_NE(runCli(in + " " + out + " --width 4 --height -3"), 0);
  EXPECT_NE(runCli(in + " " + out + " --width 4 --height 4 --level 11"), 0);
  EXPECT_NE(runCli(in + " " + out + " --width 4x --height 4"), 0);
  EXPECT_NE(runCli(in + " --width 4 --height 4"), 0);
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(runCli(in + " " + out + " --width 2 --height 2"), 0);
  EXPECT_TRUE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace sortelia::outputs
