// sortelia-cli on the pictures of phones and RAW cameras: HEIC and RAW files are reduced from
// their decoded pixels, their EXIF is read, their comment is refused, and the album takes them.
#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/jpeg_codec.h"
#include "imaging/picture_file.h"
#include "imaging/ppm.h"
#include "imaging/resample.h"
#include "support/raw_builder.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::readAll;
using testing::runProcess;
using testing::TempDir;
using testing::testData;

const std::string kCli = std::string(SORTELIA_BIN_DIR) + "/sortelia-cli";

class FormatsCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCli)) GTEST_SKIP() << "sortelia-cli not built";
    ::setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    heic = dir.write("src/a.HEIC", readAll(testData("heif/canon_40d.heic")));
    nef = dir.write("src/b.NEF", testing::exifTiffOf(readAll(testData("camera/Nikon_D70.jpg"))));
  }
  TempDir dir;
  std::string heic, nef;
};

TEST_F(FormatsCli, ReduceTakesTheDecodedPixelsOfHeicAndRawFiles) {
  for (const std::string& src : {heic, nef}) {
    SCOPED_TRACE(src);
    const std::string out = dir.file("out.ppm");
    const auto r = runProcess({kCli, "reduce", src, out, "--width", "37", "--height", "23"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    imaging::JpegDecodeResult want = imaging::decodePictureFile(src);
    ASSERT_TRUE(want.ok());
    imaging::ResampleBitmap(want.bitmap, 37, 23);
    EXPECT_EQ(readAll(out), imaging::writePpm(want.bitmap));
    // As a JPEG with the picture's EXIF.
    const std::string jpeg = dir.file("out.jpg");
    const auto j =
        runProcess({kCli, "reduce", src, jpeg, "--width", "37", "--height", "23", "--exif"});
    ASSERT_EQ(j.exitCode, 0) << j.err;
    EXPECT_EQ(imaging::decodeJpeg(readAll(jpeg)).bitmap.width(), 37);
    const auto e = runProcess({kCli, "exif", jpeg});
    EXPECT_NE(e.out.find(src == heic ? "Canon EOS 40D" : "NIKON D70"), std::string::npos) << e.out;
  }
}

TEST_F(FormatsCli, ExifReadsHeicAndRawFilesAndRefusesToWriteTheirComment) {
  const auto r = runProcess({kCli, "exif", heic, nef});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Canon EOS 40D"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("NIKON D70"), std::string::npos) << r.out;
  const std::string before = readAll(heic);
  const auto w = runProcess({kCli, "exif", "--set-comment", "hello", heic});
  EXPECT_EQ(w.exitCode, 1);
  EXPECT_EQ(w.err, heic + ": comments are written into JPEG files only\n");
  EXPECT_EQ(readAll(heic), before);
}

TEST_F(FormatsCli, TheAlbumReducesHeicAndRawPicturesToJpegFilesOfTheirOwnNames) {
  dir.write("src/a.jpg", readAll(testData("camera/Canon_40D.jpg")));
  const std::string src = dir.file("src");
  const auto r =
      runProcess({kCli, "album", src, "--width", "40", "--height", "30", "--level", "6"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string out = src + "/0_Box40x30-6/";
  // The JPEG's reduced copy and the HEIC's stay apart although their stems are the same.
  for (const char* name : {"0_a.jpg", "0_a.HEIC.jpg", "0_b.NEF.jpg"}) {
    const imaging::JpegDecodeResult d = imaging::decodeJpeg(readAll(out + name));
    EXPECT_TRUE(d.ok()) << name << ": " << d.error;
  }
}

TEST_F(FormatsCli, RenameNamesHeicAndRawFilesByTheirShootingTime) {
  const std::string folder = dir.file("src");
  const auto r = runProcess({kCli, "rename", folder});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // Canon EOS 40D: 2008:05:30 15:56:01; Nikon D70: 2008:03:15 09:52:01 (as exiftool reads).
  for (const char* name : {"20080530-155601.HEIC", "20080315-095201.NEF"}) {
    EXPECT_NE(r.out.find("-> '" + folder + "/" + name + "'"), std::string::npos) << r.out;
    EXPECT_TRUE(std::filesystem::exists(folder + "/" + name));
  }
  EXPECT_FALSE(std::filesystem::exists(heic));
  EXPECT_FALSE(std::filesystem::exists(nef));
}

}  // namespace
}  // namespace sortelia
