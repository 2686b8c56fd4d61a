// sortelia-cli reduce, run as a separate program on PPM files, against the library.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "imaging/color_effects.h"
#include "imaging/ppm.h"
#include "imaging/resample.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

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

// Fault: the command replaced an output file without write permission.
TEST(ReduceCommand, AReadOnlyOutputIsKeptAndTheErrorNamed) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  TempDir dir;
  const std::string ppm = dir.write("in.ppm", imaging::writePpm(imaging::Bitmap(4, 4)));
  const std::string jpeg = dir.write("in.jpg", testing::makeTestJpeg(64, 48));
  for (const auto& [in, name] : {std::pair{ppm, "out.ppm"}, std::pair{jpeg, "out.jpg"}}) {
    const std::string out = dir.write(name, "an earlier result");
    ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
    const auto r = testing::runProcess({kCli, "reduce", in, out, "--width", "2", "--height", "2"});
    EXPECT_NE(r.exitCode, 0) << name;
    EXPECT_NE(r.err.find("cannot write \"" + out + "\": Permission denied"), std::string::npos)
        << r.err;
    EXPECT_EQ(readAll(out), "an earlier result");
  }
}

TEST(ReduceCommand, WarnsAboutDamagedJpegDataAndStillWritesThePicture) {
  if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
  TempDir dir;
  const std::string whole = testing::makeTestJpeg(64, 48);
  const std::string truncated = dir.write("cut.jpg", whole.substr(0, whole.size() * 2 / 3));
  const struct {
    std::string source;
    bool damaged;
  } cases[] = {{dir.write("whole.jpg", whole), false},
               {truncated, true},
               {testing::testData("invalid/corrupted.jpg"), true}};
  int n = 0;
  for (const auto& c : cases) {
    const std::string out = dir.file("out" + std::to_string(n++) + ".jpg");
    const auto r =
        testing::runProcess({kCli, "reduce", c.source, out, "--width", "32", "--height", "24"});
    EXPECT_EQ(r.exitCode, 0) << c.source << r.err;
    EXPECT_TRUE(std::filesystem::exists(out)) << c.source;
    if (c.damaged) {
      EXPECT_TRUE(r.err.starts_with("sortelia-cli reduce: warning: \"" + c.source + "\": "))
          << r.err;
      EXPECT_NE(r.err.find("as far as it could be decoded\n"), std::string::npos) << r.err;
    } else {
      EXPECT_EQ(r.err, "");
    }
  }
  // A source that cannot be read at all still fails, naming the reason.
  const auto missing = testing::runProcess(
      {kCli, "reduce", dir.file("none.jpg"), dir.file("o.jpg"), "--width", "4", "--height", "4"});
  EXPECT_NE(missing.exitCode, 0);
  EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace sortelia::outputs
