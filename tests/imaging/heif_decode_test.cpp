#include "imaging/heif_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "imaging/jpeg_codec.h"
#include "imaging/quarter_turn.h"
#include "imaging/screen_scale.h"
#include "support/temp_dir.h"

namespace sortelia::imaging {
namespace {

using sortelia::testing::readAll;
using sortelia::testing::testData;

std::string heifData(const std::string& name) { return readAll(testData("heif/" + name)); }

// Mean absolute difference over every byte of two Bgr24 bitmaps of one size.
double meanAbsDifference(const Bitmap& a, const Bitmap& b) {
  std::int64_t sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width() * 3; ++x) sum += std::abs(a.row(y)[x] - b.row(y)[x]);
  }
  return static_cast<double>(sum) / (3.0 * a.width() * a.height());
}

// The HEIF files were encoded lossily from camera JPEGs (tests/data/heif/make_heif.py), so
// their decodes stay close to the JPEGs' decodes, not equal to them.
TEST(HeifDecode, DecodesHeicAndAvifCloseToTheirSourcePictures) {
  struct Case {
    const char* file;
    const char* source;
    int width, height;
  };
  for (const Case& c : {Case{"canon_40d.heic", "camera/Canon_40D.jpg", 100, 68},
                        Case{"canon_40d.avif", "camera/Canon_40D.jpg", 100, 68},
                        Case{"nikon_e950.heic", "camera/nikon-e950.jpg", 160, 120}}) {
    SCOPED_TRACE(c.file);
    const std::string bytes = heifData(c.file);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(looksLikeHeif(bytes));
    const auto size = readHeifSize(bytes);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, c.width);
    EXPECT_EQ(size->height, c.height);

    const HeifDecodeResult r = decodeHeif(bytes);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_TRUE(r.error.empty());
    ASSERT_EQ(r.bitmap.width(), c.width);
    ASSERT_EQ(r.bitmap.height(), c.height);
    EXPECT_EQ(r.bitmap.format(), PixelFormat::Bgr24);

    const JpegDecodeResult jpeg = decodeJpegFile(testData(c.source));
    ASSERT_TRUE(jpeg.ok());
    auto reference = scaleForScreen(std::make_shared<Bitmap>(jpeg.bitmap), c.width, c.height);
    ASSERT_TRUE(reference);
    EXPECT_LT(meanAbsDifference(r.bitmap, *reference), 8.0);
  }
}

TEST(HeifDecode, AppliesTheFilesRotationAndMirror) {
  const HeifDecodeResult plain = decodeHeif(heifData("canon_40d.heic"));
  ASSERT_TRUE(plain.ok()) << plain.error;

  // The same coded picture with an irot of one quarter turn anticlockwise.
  const HeifDecodeResult turned = decodeHeif(heifData("canon_40d_rot90.heic"));
  ASSERT_TRUE(turned.ok()) << turned.error;
  EXPECT_TRUE(turned.bitmap.samePixels(quarterTurn(plain.bitmap, 270)));
  const auto turnedSize = readHeifSize(heifData("canon_40d_rot90.heic"));
  ASSERT_TRUE(turnedSize);
  EXPECT_EQ(turnedSize->width, 68);
  EXPECT_EQ(turnedSize->height, 100);

  // A half turn, then left and right swapped: upside down.
  const HeifDecodeResult mirrored = decodeHeif(heifData("canon_40d_mirror.heic"));
  ASSERT_TRUE(mirrored.ok()) << mirrored.error;
  ASSERT_EQ(mirrored.bitmap.width(), 100);
  ASSERT_EQ(mirrored.bitmap.height(), 68);
  Bitmap flipped(100, 68);
  for (int y = 0; y < 68; ++y) {
    std::copy_n(plain.bitmap.row(67 - y), 300, flipped.row(y));
  }
  EXPECT_TRUE(mirrored.bitmap.samePixels(flipped));
}

// Phones store their pictures as grids of tiles, the grid larger than the picture shown.
TEST(HeifDecode, DecodesAGridWholeAndCutToItsSize) {
  const std::string bytes = heifData("nikon_e950_grid.heic");
  const auto size = readHeifSize(bytes);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 120);
  EXPECT_EQ(size->height, 100);
  const HeifDecodeResult r = decodeHeif(bytes);
  ASSERT_TRUE(r.ok()) << r.error;
  ASSERT_EQ(r.bitmap.width(), 120);
  ASSERT_EQ(r.bitmap.height(), 100);

  // The tiles were cut from the camera picture stretched to 128 x 128.
  const JpegDecodeResult jpeg = decodeJpegFile(testData("camera/nikon-e950.jpg"));
  ASSERT_TRUE(jpeg.ok());
  const auto square = scaleForScreen(std::make_shared<Bitmap>(jpeg.bitmap), 128, 128);
  ASSERT_TRUE(square);
  Bitmap shown(120, 100);
  for (int y = 0; y < 100; ++y) std::copy_n(square->row(y), 360, shown.row(y));
  EXPECT_LT(meanAbsDifference(r.bitmap, shown), 8.0);
}

// libheif allocates a grid at the size its descriptor gives, whatever size the image declares.
TEST(HeifDecode, RefusesAGridDescriptorAboveThePixelLimit) {
  std::string bytes = heifData("nikon_e950_grid.heic");
  const std::size_t descriptor = bytes.find(std::string("\0\0\1\1\0\x78\0\x64", 8));
  ASSERT_NE(descriptor, std::string::npos);
  bytes.replace(descriptor + 4, 4, "\x4E\x20\x4E\x20");  // 20000 x 20000
  const HeifDecodeResult r = decodeHeif(bytes);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.error.find("too large"), std::string::npos) << r.error;
}

// A grid larger than the size its image declared made a picture far larger than callers
// had planned for (found by fuzz_heif_decode, which timed out reducing it).
TEST(HeifDecode, RefusesAGridLargerThanItsDeclaredSize) {
  std::string bytes = heifData("nikon_e950_grid.heic");
  const std::size_t descriptor = bytes.find(std::string("\0\0\1\1\0\x78\0\x64", 8));
  ASSERT_NE(descriptor, std::string::npos);
  bytes.replace(descriptor + 4, 4, std::string("\0\xC8\0\x64", 4));  // 200 x 100
  const HeifDecodeResult r = decodeHeif(bytes);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.error.find("larger than its declared size"), std::string::npos) << r.error;
}

// libheif decodes an HEVC picture at the size of its parameter sets, whatever size the image
// declares, so a small file could make it allocate gigabytes (found by fuzz_heif_decode: a
// file declaring 68 x 100 and coded 50217 x 3962).
TEST(HeifDecode, RefusesACodedPictureLargerThanDeclared) {
  for (const char* file : {"coded_wider_than_declared.heic", "coded_wider_than_declared.avif"}) {
    SCOPED_TRACE(file);
    const HeifDecodeResult r = decodeHeif(heifData(file));
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("larger than the image it declares"), std::string::npos) << r.error;
  }
}

// The product of a descriptor's 32-bit sizes overflowed a signed 64-bit number (found by
// fuzz_heif_decode); the descriptor is also read no further than its item's length.
TEST(HeifDecode, RefusesAGridDescriptorOf32BitSizes) {
  std::string bytes = heifData("nikon_e950_grid.heic");
  const std::size_t descriptor = bytes.find(std::string("\0\0\1\1\0\x78\0\x64", 8));
  ASSERT_NE(descriptor, std::string::npos);
  const std::string wide = std::string("\0\1\1\1", 4) + std::string(8, '\xFF');
  bytes.replace(descriptor, wide.size(), wide);
  // The grid item (ID 5) in iloc: ID, data reference, one extent, offset, length 8.
  const std::size_t item = bytes.find(std::string("\0\5\0\0\0\1", 6));
  ASSERT_NE(item, std::string::npos);
  ASSERT_EQ(bytes.substr(item + 10, 4), std::string("\0\0\0\x08", 4));
  const HeifDecodeResult cut = decodeHeif(bytes);
  EXPECT_FALSE(cut.ok());
  EXPECT_EQ(cut.error.find("grid is too large"), std::string::npos) << cut.error;

  bytes[item + 13] = '\x0C';  // length 12: the 32-bit sizes are the descriptor's
  const HeifDecodeResult r = decodeHeif(bytes);
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.error.find("grid is too large"), std::string::npos) << r.error;
}

TEST(HeifDecode, ThreadCountDoesNotChangeThePicture) {
  const std::string bytes = heifData("nikon_e950_grid.heic");
  const HeifDecodeResult byDefault = decodeHeif(bytes);
  const HeifDecodeResult oneThread = decodeHeif(bytes, 1);
  ASSERT_TRUE(byDefault.ok() && oneThread.ok());
  EXPECT_TRUE(byDefault.bitmap.samePixels(oneThread.bitmap));
}

// heif-enc copied the JPEG's Exif into the HEIC: the block handed out is the JPEG's TIFF data.
TEST(HeifDecode, ExifBlockStartsAtTheTiffHeader) {
  const std::string jpeg = readAll(testData("camera/Canon_40D.jpg"));
  const std::size_t app1 = jpeg.find("Exif\0\0", 0, 6);
  ASSERT_NE(app1, std::string::npos);
  const std::size_t length =
      (std::uint8_t(jpeg[app1 - 2]) << 8 | std::uint8_t(jpeg[app1 - 1])) - 2 - 6;
  const std::string tiff = jpeg.substr(app1 + 6, length);

  for (const char* file : {"canon_40d.heic", "canon_40d.avif", "canon_40d_rot90.heic"}) {
    SCOPED_TRACE(file);
    const std::string exif = heifExif(heifData(file));
    ASSERT_GE(exif.size(), 8u);
    EXPECT_TRUE(exif.compare(0, 4, "II*\0", 4) == 0 || exif.compare(0, 4, "MM\0*", 4) == 0);
    EXPECT_EQ(exif, tiff);
  }
  EXPECT_EQ(heifExif(heifData("nikon_e950.heic")), "");
}

// Patches the first ispe property (the declared size) of a HEIF file.
std::string withDeclaredSize(std::string bytes, std::uint32_t width, std::uint32_t height) {
  const std::size_t at = bytes.find("ispe");
  EXPECT_NE(at, std::string::npos);
  for (int i = 0; i < 4; ++i) {
    bytes[at + 8 + i] = static_cast<char>(width >> (24 - 8 * i));
    bytes[at + 12 + i] = static_cast<char>(height >> (24 - 8 * i));
  }
  return bytes;
}

TEST(HeifDecode, RefusesBadInputWithAMessage) {
  const std::string plain = heifData("canon_40d.heic");
  const std::string jpeg = readAll(testData("camera/Canon_40D.jpg"));
  struct Case {
    const char* what;
    std::string bytes;
  };
  for (const Case& c : {
           Case{"empty", ""},
           Case{"short", plain.substr(0, 11)},
           Case{"a JPEG", jpeg},
           Case{"text", std::string(4000, 'x')},
           Case{"cut in the coded picture", heifData("canon_40d_cut.heic")},
           Case{"cut in the boxes", plain.substr(0, 300)},
           Case{"a side above the limit", withDeclaredSize(plain, 40000, 10)},
           Case{"more pixels than the limit", withDeclaredSize(plain, 20000, 20000)},
           Case{"no pixels", withDeclaredSize(plain, 0, 0)},
       }) {
    SCOPED_TRACE(c.what);
    const HeifDecodeResult r = decodeHeif(c.bytes);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(r.bitmap.empty());
  }
  EXPECT_FALSE(looksLikeHeif(jpeg));
  EXPECT_FALSE(looksLikeHeif(""));
  EXPECT_FALSE(readHeifSize(jpeg));
  EXPECT_EQ(heifExif(jpeg), "");
  EXPECT_EQ(heifExif(plain.substr(0, 300)), "");
}

TEST(HeifDecode, FileDecodeNamesAFileThatCannotBeRead) {
  sortelia::testing::TempDir dir;
  const HeifDecodeResult missing = decodeHeifFile(dir.file("none.heic"));
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.error.find("none.heic"), std::string::npos);
  const HeifDecodeResult present = decodeHeifFile(testData("heif/canon_40d.avif"));
  EXPECT_TRUE(present.ok()) << present.error;
}

}  // namespace
}  // namespace sortelia::imaging
