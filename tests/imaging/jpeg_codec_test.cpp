#include "imaging/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include <turbojpeg.h>

#include "imaging/jpeg_size.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::imaging {
namespace {

using sortelia::testing::makeTestJpeg;
using sortelia::testing::readAll;
using sortelia::testing::testData;

// Offset of the first SOF0 marker's body (after FF C0 and the length), or npos.
std::size_t sof0Body(const std::string& jpeg) {
  const std::size_t at = jpeg.find("\xFF\xC0", 2);
  return at == std::string::npos ? at : at + 4;
}

TEST(JpegCodec, DecodesAtFullAndEighthScale) {
  const std::string jpeg = makeTestJpeg(100, 60);
  const JpegDecodeResult full = decodeJpeg(jpeg);
  ASSERT_TRUE(full.ok()) << full.error;
  EXPECT_FALSE(full.partial);
  EXPECT_EQ(full.bitmap.width(), 100);
  EXPECT_EQ(full.bitmap.height(), 60);
  EXPECT_EQ(full.bitmap.format(), PixelFormat::Bgr24);
  // The test picture's red rises from left to right (stored RGB, so byte 2 in BGR) and its
  // blue is 128 everywhere.
  EXPECT_LT(full.bitmap.row(30)[2], 30);
  EXPECT_GT(full.bitmap.row(30)[99 * 3 + 2], 225);
  EXPECT_NEAR(full.bitmap.row(30)[50 * 3], 128, 6);
  const JpegDecodeResult eighth = decodeJpeg(jpeg, JpegScale::Eighth);
  ASSERT_TRUE(eighth.ok()) << eighth.error;
  EXPECT_EQ(eighth.bitmap.width(), 13);
  EXPECT_EQ(eighth.bitmap.height(), 8);
}

TEST(JpegCodec, EncodeDecodeRoundTripKeepsSizeAndColours) {
  Bitmap b(33, 17);
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 33; ++x) {
      b.row(y)[x * 3] = 200;
      b.row(y)[x * 3 + 1] = 100;
      b.row(y)[x * 3 + 2] = 30;
    }
  const std::string jpeg = encodeJpeg(b, 95);
  ASSERT_EQ(readJpegSize(jpeg)->width, 33);
  const JpegDecodeResult back = decodeJpeg(jpeg);
  ASSERT_TRUE(back.ok());
  EXPECT_NEAR(back.bitmap.row(8)[16 * 3], 200, 3);
  EXPECT_NEAR(back.bitmap.row(8)[16 * 3 + 1], 100, 3);
  EXPECT_NEAR(back.bitmap.row(8)[16 * 3 + 2], 30, 3);
  Bitmap grey(8, 8, PixelFormat::Gray8);
  EXPECT_TRUE(decodeJpeg(encodeJpeg(grey, 50)).ok());
  EXPECT_THROW(encodeJpeg(Bitmap(), 50), std::runtime_error);
}

TEST(JpegCodec, RefusesWhatIsNotAJpeg) {
  EXPECT_EQ(decodeJpeg("").error, "not a JPEG file");
  EXPECT_EQ(decodeJpeg("GIF89a......").error, "not a JPEG file");
  const JpegDecodeResult r = decodeJpeg(std::string("\xFF\xD8\xFF\xD9", 4));
  EXPECT_FALSE(r.ok());
  EXPECT_FALSE(r.error.empty());
}

TEST(JpegCodec, RefusesCmykAndTwelveBitData) {
  // A CMYK JPEG made by the encoder itself.
  std::unique_ptr<void, int (*)(void*)> h(tjInitCompress(), tjDestroy);
  std::vector<unsigned char> cmyk(16 * 16 * 4, 90);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  ASSERT_EQ(tjCompress2(h.get(), cmyk.data(), 16, 0, 16, TJPF_CMYK, &out, &size, TJSAMP_444, 90, 0),
            0);
  const std::string cmykJpeg(reinterpret_cast<char*>(out), size);
  tjFree(out);
  EXPECT_EQ(decodeJpeg(cmykJpeg).error, "CMYK JPEG files are not supported");

  std::string twelve = makeTestJpeg(16, 16);
  const std::size_t body = sof0Body(twelve);
  ASSERT_NE(body, std::string::npos);
  twelve[body] = 12;
  EXPECT_EQ(decodeJpeg(twelve).error, "12-bit JPEG data is not supported");
}

TEST(JpegCodec, RefusesADecompressionBombBeforeAllocating) {
  std::string bomb = makeTestJpeg(16, 16);
  const std::size_t body = sof0Body(bomb);
  ASSERT_NE(body, std::string::npos);
  for (int i : {1, 3}) {  // height and width: 65,500 = 0xFFDC
    bomb[body + i] = static_cast<char>(0xFF);
    bomb[body + i + 1] = static_cast<char>(0xDC);
  }
  const JpegDecodeResult r = decodeJpeg(bomb);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.error,
            "the JPEG declares 65500 x 65500 pixels, more than the limit of 200 megapixels");
  EXPECT_FALSE(decodeJpeg(bomb, JpegScale::Eighth).ok());
}

// Fault: a JPEG cut before its frame header, or one declaring a zero size, was called "the
// JPEG declares 0 x 0 pixels, more than the limit of 200 megapixels".
TEST(JpegCodec, AMissingOrZeroSizeIsCalledDamaged) {
  const std::string jpeg = makeTestJpeg(16, 16);
  const std::size_t body = sof0Body(jpeg);
  ASSERT_NE(body, std::string::npos);
  std::string zeroWidth = jpeg;
  zeroWidth[body + 3] = 0;
  zeroWidth[body + 4] = 0;
  std::string zeroHeight = jpeg;
  zeroHeight[body + 1] = 0;
  zeroHeight[body + 2] = 0;
  for (const std::string& damaged : {jpeg.substr(0, body - 4), zeroWidth, zeroHeight}) {
    for (JpegScale scale : {JpegScale::Full, JpegScale::Eighth}) {
      const JpegDecodeResult r = decodeJpeg(damaged, scale);
      EXPECT_FALSE(r.ok());
      EXPECT_EQ(r.error.find("megapixels"), std::string::npos) << r.error;
      EXPECT_NE(r.error.find("damaged"), std::string::npos) << r.error;
    }
  }
  EXPECT_EQ(decodeJpeg(jpeg.substr(0, body - 4)).error,
            "damaged JPEG data: the picture's size is missing or zero");
}

TEST(JpegCodec, TruncatedFileGivesWhatCouldBeDecoded) {
  const std::string jpeg = makeTestJpeg(64, 64);
  for (std::size_t cut : {jpeg.size() - 2, jpeg.size() * 2 / 3, jpeg.size() / 3, std::size_t{40}}) {
    const JpegDecodeResult r = decodeJpeg(jpeg.substr(0, cut));
    if (r.ok()) {
      EXPECT_TRUE(r.partial) << cut;
      EXPECT_EQ(r.bitmap.width(), 64);
      EXPECT_FALSE(r.error.empty());
    } else {
      EXPECT_FALSE(r.error.empty()) << cut;
    }
  }
  // Most of the data present: the top rows are there.
  const JpegDecodeResult most = decodeJpeg(jpeg.substr(0, jpeg.size() * 2 / 3));
  ASSERT_TRUE(most.ok());
  EXPECT_TRUE(most.partial);
}

TEST(JpegCodec, CameraFilesDecodeToTheirDeclaredSize) {
  for (const auto& entry : std::filesystem::directory_iterator(testData("camera"))) {
    const std::string path = entry.path().string();
    const auto declared = readJpegFileSize(path);
    ASSERT_TRUE(declared) << path;
    const JpegDecodeResult r = decodeJpegFile(path);
    ASSERT_TRUE(r.ok()) << path << ": " << r.error;
    EXPECT_EQ(r.bitmap.width(), declared->width) << path;
    EXPECT_EQ(r.bitmap.height(), declared->height) << path;
  }
}

TEST(JpegCodec, BrokenFilesNeitherCrashNorHang) {
  int decoded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testData("invalid"))) {
    for (JpegScale scale : {JpegScale::Full, JpegScale::Eighth}) {
      const JpegDecodeResult r = decodeJpegFile(entry.path().string(), scale);
      EXPECT_TRUE(r.ok() || !r.error.empty()) << entry.path();
      decoded += r.ok();
    }
  }
  EXPECT_GE(decoded, 0);
  const JpegDecodeResult missing = decodeJpegFile("/nonexistent/x.jpg");
  EXPECT_EQ(missing.error, "cannot read \"/nonexistent/x.jpg\"");
}

// The quality a decoder estimates from a file's quantisation tables (ImageMagick), or -1
// when the tool is not installed.
int estimatedQuality(const std::string& path) {
  const std::string cmd = "identify -format %Q '" + path + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
  if (!p) return -1;
  int q = -1;
  if (std::fscanf(p.get(), "%d", &q) != 1) return -1;
  return q;
}

TEST(JpegCodec, EncodedQualityIsVisibleInTheQuantisationTables) {
  sortelia::testing::TempDir dir;
  Bitmap b(64, 48);
  for (int y = 0; y < 48; ++y)
    for (int i = 0; i < 64 * 3; ++i) b.row(y)[i] = static_cast<std::uint8_t>(i * 7 + y * 3);
  for (int q : {56, 73, 91, 94, 99}) {
    const std::string path = dir.write("q" + std::to_string(q) + ".jpg", encodeJpeg(b, q));
    const int seen = estimatedQuality(path);
    if (seen < 0) GTEST_SKIP() << "identify (ImageMagick) is not installed";
    EXPECT_EQ(seen, q);
  }
}

}  // namespace
}  // namespace sortelia::imaging
