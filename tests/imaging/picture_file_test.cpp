#include "imaging/picture_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>

#include "imaging/heif_decode.h"
#include "imaging/ppm.h"
#include "imaging/raw_preview.h"
#include "imaging/resample.h"
#include "support/raw_builder.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia::imaging {
namespace {

using sortelia::testing::exifTiffOf;
using sortelia::testing::readAll;
using sortelia::testing::TempDir;
using sortelia::testing::testData;

TEST(PictureFile, CodingFollowsTheBytesBeforeTheName) {
  const std::string heic = readAll(testData("heif/canon_40d.heic"));
  const std::string avif = readAll(testData("heif/canon_40d.avif"));
  const std::string jpeg = readAll(testData("camera/Canon_40D.jpg"));
  const std::string tiff = exifTiffOf(jpeg);
  ASSERT_FALSE(tiff.empty());
  struct Row {
    const char* name;
    const std::string& bytes;
    PictureCoding coding;
  };
  const std::string garbage = "not a picture at all";
  const Row rows[] = {
      {"IMG.HEIC", heic, PictureCoding::Heif},
      {"IMG.avif", avif, PictureCoding::Heif},
      // Phones export HEIF pictures under ".jpg" names; a ".heic" that is a JPEG is one.
      {"IMG.jpg", heic, PictureCoding::Heif},
      {"IMG.heic", jpeg, PictureCoding::Jpeg},
      {"IMG.JPG", jpeg, PictureCoding::Jpeg},
      {"DSC.NEF", tiff, PictureCoding::Raw},
      {"DSC.dng", garbage, PictureCoding::Raw},
      {"IMG.hif", garbage, PictureCoding::Heif},
      {"IMG.jpg", garbage, PictureCoding::Jpeg},
      {"notes.txt", garbage, PictureCoding::Jpeg},
      {"IMG.heic", std::string(), PictureCoding::Heif},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(pictureCodingOf(r.name, std::string_view(r.bytes).substr(0, 12)), r.coding)
        << r.name << " " << r.bytes.substr(0, 4);
  }
}

TEST(PictureFile, EveryCodingDecodesAsItsOwnDecoderAtBothScalesAndResampled) {
  TempDir dir;
  const std::string jpeg = readAll(testData("camera/Canon_40D.jpg"));
  dir.write("IMG.JPG", jpeg);
  dir.write("IMG.HEIC", readAll(testData("heif/canon_40d.heic")));
  // A HEIF under a ".jpg" name, as phones export them.
  dir.write("PHONE.jpg", readAll(testData("heif/canon_40d_rot90.heic")));
  dir.write("DSC.NEF", exifTiffOf(jpeg));

  struct Row {
    const char* name;
    Bitmap expected;  // the full-size picture as its own decoder gives it
  };
  std::vector<Row> rows;
  rows.push_back({"IMG.JPG", decodeJpeg(jpeg).bitmap});
  rows.push_back({"IMG.HEIC", decodeHeifFile(dir.file("IMG.HEIC")).bitmap});
  rows.push_back({"PHONE.jpg", decodeHeifFile(dir.file("PHONE.jpg")).bitmap});
  rows.push_back({"DSC.NEF", decodeRawPreview(extractRawPreviewFile(dir.file("DSC.NEF"))).bitmap});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ASSERT_FALSE(r.expected.empty());
    const std::string path = dir.file(r.name);
    const JpegDecodeResult full = decodePictureFile(path);
    ASSERT_TRUE(full.ok()) << full.error;
    EXPECT_TRUE(full.bitmap.samePixels(r.expected));

    const JpegDecodeResult eighth = decodePictureFile(path, JpegScale::Eighth);
    ASSERT_TRUE(eighth.ok()) << eighth.error;
    EXPECT_EQ(eighth.bitmap.width(), (r.expected.width() + 7) / 8);
    EXPECT_EQ(eighth.bitmap.height(), (r.expected.height() + 7) / 8);

    const auto file = readPictureFile(path);
    ASSERT_TRUE(file.has_value());
    const auto size = pictureSize(*file);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->width, r.expected.width());
    EXPECT_EQ(size->height, r.expected.height());

    const int w = std::max(1, r.expected.width() / 3), h = std::max(1, r.expected.height() / 3);
    const JpegDecodeResult reduced = decodePictureResampled(*file, w, h);
    ASSERT_TRUE(reduced.ok()) << reduced.error;
    Bitmap byHand = r.expected;
    ResampleBitmap(byHand, w, h);
    EXPECT_TRUE(reduced.bitmap.samePixels(byHand));
  }
}

// ImageMagick reads HEIF files through libheif with their transformations, as phones' own
// viewers show them, but turns the colour planes into RGB itself (its chroma upsampling
// differs at sharp edges): our decode must give the same picture on average within rounding.
TEST(PictureFile, HeifPicturesMatchImageMagicksDecode) {
  ASSERT_TRUE(testing::haveProgram("convert")) << "ImageMagick is missing (scripts/setup.sh)";
  for (const char* name : {"canon_40d.heic", "canon_40d.avif", "canon_40d_rot90.heic",
                           "canon_40d_mirror.heic", "nikon_e950_grid.heic"}) {
    SCOPED_TRACE(name);
    const std::string path = testData(std::string("heif/") + name);
    const testing::ProcessResult r = testing::runProcess({"convert", path, "ppm:-"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto theirs = readPpm(r.out);
    ASSERT_TRUE(theirs.has_value());
    const JpegDecodeResult ours = decodePictureFile(path);
    ASSERT_TRUE(ours.ok()) << ours.error;
    ASSERT_EQ(ours.bitmap.width(), theirs->width());
    ASSERT_EQ(ours.bitmap.height(), theirs->height());
    long long sum = 0;
    for (int y = 0; y < theirs->height(); ++y) {
      for (int x = 0; x < theirs->width() * 3; ++x) {
        sum += std::abs(ours.bitmap.row(y)[x] - theirs->row(y)[x]);
      }
    }
    const double mean = static_cast<double>(sum) / (3.0 * theirs->width() * theirs->height());
    EXPECT_LE(mean, 2.0);
  }
}

TEST(PictureFile, AHeifDecodeBeyondTheBoundIsAbandonedWithAMessage) {
  const std::string path = testData("heif/nikon_e950_grid.heic");
  setDecodeBound(std::chrono::milliseconds(0));
  const JpegDecodeResult abandoned = decodePictureFile(path);
  setDecodeBound(kDefaultDecodeBound);
  EXPECT_FALSE(abandoned.ok());
  EXPECT_NE(abandoned.error.find("abandoned"), std::string::npos) << abandoned.error;
  // The abandoned decode ends on its own; a decode within the bound gives the picture.
  for (int i = 0; i < 500 && abandonedDecodesRunning() > 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(abandonedDecodesRunning(), 0);
  EXPECT_TRUE(decodePictureFile(path).ok());
}

// Real files: an iPhone's HEIC held upright (a grid turned by its irot), a Canon EOS R6 CR3
// (whose preview Debian's LibRaw cannot reach), and an iPhone DNG pruned of every picture.
TEST(PictureFile, RealPhoneAndCameraFiles) {
  const JpegDecodeResult phone = decodePictureFile(testData("peer/2021-02-13-1929.heic"));
  ASSERT_TRUE(phone.ok()) << phone.error;
  EXPECT_EQ(phone.bitmap.width(), 3024);
  EXPECT_EQ(phone.bitmap.height(), 4032);
  const JpegDecodeResult cr3 = decodePictureFile(testData("peer/Canon-R6-pruned.CR3"));
  ASSERT_TRUE(cr3.ok()) << cr3.error;
  EXPECT_GT(cr3.bitmap.width(), cr3.bitmap.height());
  const JpegDecodeResult dng = decodePictureFile(testData("peer/IMG_1361.dng"));
  EXPECT_FALSE(dng.ok());
  EXPECT_NE(dng.error.find("IMG_1361.dng"), std::string::npos);
}

TEST(PictureFile, BadFilesGiveAMessageNamingTheFile) {
  TempDir dir;
  dir.write("broken.HEIC", std::string("\0\0\0\x18"
                                       "ftypheic\0\0\0\0heicmif1",
                                       24));
  dir.write("empty.NEF", "");
  dir.write("text.CR3", "plain text, not a RAW");
  dir.write("cut.jpg", readAll(testData("camera/Canon_40D.jpg")).substr(0, 40));
  for (const char* name : {"broken.HEIC", "empty.NEF", "text.CR3", "cut.jpg", "missing.heic"}) {
    const JpegDecodeResult r = decodePictureFile(dir.file(name));
    EXPECT_FALSE(r.ok()) << name;
    EXPECT_NE(r.error.find(dir.file(name)), std::string::npos) << name << ": " << r.error;
  }
}

}  // namespace
}  // namespace sortelia::imaging
