#include "outputs/reduce_pipeline.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_size.h"
#include "imaging/resample.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::outputs {
namespace {

using sortelia::testing::TempDir;
using sortelia::testing::testData;

imaging::Bitmap filled(int w, int h, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  imaging::Bitmap bm(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      bm.row(y)[x * 3] = b;
      bm.row(y)[x * 3 + 1] = g;
      bm.row(y)[x * 3 + 2] = r;
    }
  return bm;
}

// Quality estimated from the file's quantisation tables by ImageMagick; -1 without it.
int estimatedQuality(const std::string& path) {
  const std::string cmd = "identify -format %Q '" + path + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
  int q = -1;
  if (!p || std::fscanf(p.get(), "%d", &q) != 1) return -1;
  return q;
}

imaging::PixelSize sizeOf(const std::string& path) {
  const auto s = imaging::readJpegFileSize(path);
  return s ? *s : imaging::PixelSize{};
}

TEST(ReducePipeline, QualityLevelsMapToJpegQualities) {
  const int expected[] = {56, 66, 73, 79, 83, 87, 91, 94, 97, 99};
  for (int level = 1; level <= 10; ++level) {
    EXPECT_EQ(jpegQualityForLevel(level), expected[level - 1]) << level;
  }
}

TEST(ReducePipeline, SavedFilesCarryTheLevelsQuality) {
  TempDir dir;
  imaging::Bitmap picture(80, 60);
  for (int y = 0; y < 60; ++y)
    for (int i = 0; i < 240; ++i) picture.row(y)[i] = static_cast<std::uint8_t>(i * 5 + y * 11);
  for (auto [level, quality] : {std::pair{1, 56}, {7, 91}, {8, 94}, {10, 99}}) {
    const std::string path = dir.file("l" + std::to_string(level) + ".jpg");
    SaveJpegAtLevel(picture, path, level);
    const int seen = estimatedQuality(path);
    if (seen < 0) GTEST_SKIP() << "identify (ImageMagick) is not installed";
    EXPECT_EQ(seen, quality) << level;
  }
}

TEST(ReducePipeline, SaveReportsAnUnwritableFolder) {
  EXPECT_THROW(SaveJpegAtLevel(filled(4, 4, 1, 2, 3), "/nonexistent-folder/x.jpg", 8),
               ReductionError);
}

TEST(ReducePipeline, ReducedNames) {
  EXPECT_EQ(MakeReducedName("/p/q/IMG_0001.JPG", 640, 427, 8, false),
            "/p/q/0_IMG_0001-640x427-8.jpg");
  EXPECT_EQ(MakeReducedName("/p/q/IMG_0001.JPG", 640, 427, 8, true),
            "/p/q/0_S_IMG_0001-640x427-8.jpg");
  EXPECT_EQ(MakeReducedName("/p/a.b/pic.x.jpg", 1, 2, 10, false), "/p/a.b/0_pic.x-1x2-10.jpg");
  EXPECT_EQ(MakeReducedName("/p/a.b/noext", 3, 4, 1, false), "/p/a.b/0_noext-3x4-1.jpg");
}

TEST(ReducePipeline, EffectsFollowTheResampling) {
  const imaging::Bitmap white = filled(40, 30, 255, 255, 255);
  const imaging::Bitmap sepia = ReduceWithEffects(white, 7, 5, true, false);
  ASSERT_EQ(sepia.width(), 7);
  ASSERT_EQ(sepia.height(), 5);
  EXPECT_EQ(sepia.row(4)[6 * 3], 220);
  EXPECT_EQ(sepia.row(4)[6 * 3 + 1], 249);
  EXPECT_EQ(sepia.row(4)[6 * 3 + 2], 255);
  const imaging::Bitmap grey = ReduceWithEffects(filled(9, 9, 0, 0, 255), 20, 3, false, true);
  EXPECT_EQ(grey.row(1)[30], 74);
  EXPECT_EQ(grey.row(1)[31], 74);
  const imaging::Bitmap plain = ReduceWithEffects(filled(9, 9, 10, 20, 30), 4, 4, false, false);
  EXPECT_EQ(plain.row(3)[11], 30);
  EXPECT_THROW(ReduceWithEffects(white, 0, 5, false, false), ReductionError);
  EXPECT_THROW(ReduceWithEffects(white, 5, -1, false, false), ReductionError);
  EXPECT_THROW(ReduceWithEffects(white, 70000, 5, false, false), ReductionError);
}

TEST(FToFJpgStrchTD, LandscapeWithExifStaysLandscapeInAPortraitBox) {
  TempDir dir;
  const std::string dest = dir.file("out.jpg");
  FToFJpgStrchTD(testData("camera/Canon_40D.jpg"), dest, {}, {20, 40}, 8);
  EXPECT_EQ(sizeOf(dest).width, 40);
  EXPECT_EQ(sizeOf(dest).height, 20);
  // A landscape box is kept as it is.
  FToFJpgStrchTD(testData("camera/Canon_40D.jpg"), dest, {}, {40, 20}, 8);
  EXPECT_EQ(sizeOf(dest).width, 40);
  EXPECT_EQ(sizeOf(dest).height, 20);
}

TEST(FToFJpgStrchTD, PortraitExifOrNoExifKeepsTheBox) {
  TempDir dir;
  const std::string dest = dir.file("out.jpg");
  // EXIF says 59 x 100: taller than wide, never swapped.
  FToFJpgStrchTD(testData("camera/Fujifilm_FinePix_E500.jpg"), dest, {}, {50, 30}, 8);
  EXPECT_EQ(sizeOf(dest).width, 50);
  EXPECT_EQ(sizeOf(dest).height, 30);
  // A landscape picture without EXIF data: the box stands.
  const std::string bare = dir.write("bare.jpg", sortelia::testing::makeTestJpeg(90, 60));
  FToFJpgStrchTD(bare, dest, {}, {30, 45}, 8);
  EXPECT_EQ(sizeOf(dest).width, 30);
  EXPECT_EQ(sizeOf(dest).height, 45);
}

TEST(FToFJpgStrchTD, AddsTheSourcesExifWithTheNewSizeWhenAsked) {
  TempDir dir;
  const std::string with = dir.file("with.jpg"), without = dir.file("without.jpg");
  FToFJpgStrchTD(testData("camera/Canon_40D.jpg"), with, {.addExif = true}, {50, 34}, 8);
  FToFJpgStrchTD(testData("camera/Canon_40D.jpg"), without, {}, {50, 34}, 8);
  exif::TExifInfo info;
  EXPECT_FALSE(info.HasExif(without));
  ASSERT_TRUE(info.HasExif(with));
  info.setImageFileName(with);
  EXPECT_EQ(info.Model, "Canon EOS 40D");
  EXPECT_EQ(info.PixelXDimension, 50);
  EXPECT_EQ(info.PixelYDimension, 34);
}

TEST(FToFJpgStrchTD, ExifInOneWriteGivesTheBytesOfAWriteThenRewrite) {
  TempDir dir;
  for (const char* camera : {"camera/Canon_40D.jpg", "camera/Fujifilm_FinePix_E500.jpg"}) {
    const std::string source = testData(camera);
    const std::string once = dir.file("once.jpg"), twice = dir.file("twice.jpg");
    FToFJpgStrchTD(source, once, {.sepia = true, .addExif = true}, {48, 36}, 7);
    // The picture written first, then given the source's EXIF data by rewriting the file.
    FToFJpgStrchTD(source, twice, {.sepia = true}, {48, 36}, 7);
    exif::TExifInfo info;
    info.setImageFileName(source);
    exif::WriteExif(info, twice);
    EXPECT_EQ(sortelia::testing::readAll(once), sortelia::testing::readAll(twice)) << camera;
  }
}

TEST(FToFJpgStrchTD, ACallersOwnWriterCannotCarryExif) {
  TempDir dir;
  const std::string dest = dir.file("out.ppm");
  int saves = 0;
  PictureFiles files;
  files.save = [&](const imaging::Bitmap&, const std::string&, int) { ++saves; };
  EXPECT_THROW(
      FToFJpgStrchTD(testData("camera/Canon_40D.jpg"), dest, {.addExif = true}, {8, 6}, 8, files),
      ReductionError);
  EXPECT_EQ(saves, 0);
  FToFJpgStrchTD(testData("camera/Canon_40D.jpg"), dest, {}, {8, 6}, 8, files);
  EXPECT_EQ(saves, 1);
}

TEST(FToFJpgStrchTD, BlackAndWhiteGivesAGreyPicture) {
  TempDir dir;
  const std::string dest = dir.file("bw.jpg");
  FToFJpgStrchTD(testData("camera/Canon_40D.jpg"), dest, {.blackAndWhite = true}, {50, 34}, 10);
  const imaging::JpegDecodeResult r = imaging::decodeJpegFile(dest);
  ASSERT_TRUE(r.ok());
  int maxSpread = 0;
  for (int y = 0; y < r.bitmap.height(); ++y)
    for (int x = 0; x < r.bitmap.width(); ++x) {
      const std::uint8_t* p = r.bitmap.row(y) + x * 3;
      maxSpread = std::max({maxSpread, std::abs(p[0] - p[1]), std::abs(p[1] - p[2])});
    }
  EXPECT_LE(maxSpread, 2);  // only JPEG rounding separates the channels
}

TEST(FToFJpgStrchTD, WritesWhatTheStepByStepPipelineEncodes) {
  TempDir dir;
  const std::string source = testData("camera/Nikon_D70.jpg");
  const imaging::JpegDecodeResult decoded = imaging::decodeJpegFile(source);
  ASSERT_TRUE(decoded.ok());
  for (auto [sepia, bw] : {std::pair{false, false}, {true, false}, {false, true}}) {
    const std::string viaFile = dir.file("file.jpg"), viaSteps = dir.file("steps.jpg");
    FToFJpgStrchTD(source, viaFile, {.sepia = sepia, .blackAndWhite = bw}, {43, 29}, 6);
    SaveJpegAtLevel(ReduceWithEffects(decoded.bitmap, 43, 29, sepia, bw), viaSteps, 6);
    EXPECT_EQ(sortelia::testing::readAll(viaFile), sortelia::testing::readAll(viaSteps))
        << sepia << bw;
  }
}

TEST(FToFJpgStrchTD, FailuresWriteNothing) {
  TempDir dir;
  const std::string dest = dir.file("out.jpg");
  const std::string notJpeg = dir.write("text.jpg", "hello");
  EXPECT_THROW(FToFJpgStrchTD(notJpeg, dest, {}, {10, 10}, 8), ReductionError);
  EXPECT_THROW(FToFJpgStrchTD(dir.file("missing.jpg"), dest, {}, {10, 10}, 8), ReductionError);
  EXPECT_THROW(FToFJpgStrchTD(testData("camera/Canon_40D.jpg"), dest, {}, {10, 0}, 8),
               ReductionError);
  EXPECT_FALSE(std::filesystem::exists(dest));
}

// Fault: a reduced save replaced an existing file without write permission.
TEST(FToFJpgStrchTD, AReadOnlyFileInTheWayIsKept) {
  TempDir dir;
  const std::string src = dir.write("IMG_0001.JPG", sortelia::testing::makeTestJpeg(64, 48));
  const std::string dest = dir.write("0_IMG_0001.JPG", "an earlier save");
  ASSERT_EQ(::chmod(dest.c_str(), 0444), 0);
  try {
    FToFJpgStrchTD(src, dest, {}, {32, 24}, 8);
    ADD_FAILURE() << "no error";
  } catch (const ReductionError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot write \"" + dest + "\": Permission denied");
  }
  EXPECT_THROW(SaveJpegAtLevel(filled(4, 4, 1, 2, 3), dest, 8), ReductionError);
  EXPECT_EQ(sortelia::testing::readAll(dest), "an earlier save");
}

// Fault found earlier: a reduction whose destination was its own source ("reduce a.jpg a.jpg",
// or the same picture through a link) replaced the full-size picture with the reduced one.
TEST(FToFJpgStrchTD, NeverReplacesItsOwnSource) {
  TempDir dir;
  const std::string src = dir.write("IMG_0001.JPG", sortelia::testing::makeTestJpeg(64, 48));
  const std::string original = sortelia::testing::readAll(src);
  ASSERT_EQ(::link(src.c_str(), dir.file("hard.jpg").c_str()), 0);
  ASSERT_EQ(::symlink("IMG_0001.JPG", dir.file("soft.jpg").c_str()), 0);
  for (const std::string& dest :
       {src, dir.file("hard.jpg"), dir.file("soft.jpg"), dir.file("./IMG_0001.JPG")}) {
    try {
      FToFJpgStrchTD(src, dest, {.addExif = true}, {32, 24}, 8);
      ADD_FAILURE() << "no error for " << dest;
    } catch (const ReductionError& e) {
      EXPECT_EQ(std::string(e.what()), "\"" + dest +
                                           "\" is the picture being reduced; it is not "
                                           "replaced by its reduction");
    }
    EXPECT_EQ(sortelia::testing::readAll(src), original) << dest;
  }
}

TEST(FToFJpgStrch, NamesTheResultAfterTheSource) {
  TempDir dir;
  const std::string src = dir.write("in/IMG_0001.JPG", sortelia::testing::makeTestJpeg(64, 48));
  const std::string out = dir.mkdir("out");
  EXPECT_EQ(FToFJpgStrch(src, out + "/", {}, {32, 24}, 8), out + "/0_IMG_0001.JPG");
  EXPECT_EQ(sizeOf(out + "/0_IMG_0001.JPG").width, 32);
  EXPECT_EQ(FToFJpgStrch(src, out, {.sepia = true}, {32, 24}, 8), out + "/0_S_IMG_0001.JPG");
  EXPECT_EQ(FToFJpgStrch(src, out, {.blackAndWhite = true}, {32, 24}, 8), out + "/0_IMG_0001.JPG");
  EXPECT_TRUE(std::filesystem::exists(out + "/0_S_IMG_0001.JPG"));
}

}  // namespace
}  // namespace sortelia::outputs
