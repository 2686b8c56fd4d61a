// The EXIF of pictures that are not JPEG files (HEIC and AVIF, TIFF-based RAWs, CR3, a RAF's
// preview), compared with exiftool's reading of the same files.
#include <gtest/gtest.h>

#include <string>

#include "exif/exif_info.h"
#include "support/exiftool.h"
#include "support/raw_builder.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::exif {
namespace {

using testing::exifTiffOf;
using testing::readAll;
using testing::TempDir;
using testing::testData;

// Text without the blanks and NULs cameras pad it with (exiftool drops them).
std::string rtrim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

// The first value exiftool gives for a tag in any group ("" for none).
std::string exiftoolValue(const testing::ExiftoolTags& tags, const std::string& tag) {
  for (const auto& [key, value] : tags) {
    if (key.size() > tag.size() && key.ends_with(":" + tag)) return value;
  }
  return {};
}

TEST(PictureExif, MakeModelAndDateOfHeifAndRawFilesAgreeWithExiftool) {
  ASSERT_TRUE(testing::haveExiftool()) << "exiftool is missing (scripts/setup.sh installs it)";
  TempDir dir;
  const std::string canon = readAll(testData("camera/Canon_40D.jpg"));
  const std::string nikon = readAll(testData("camera/Nikon_D70.jpg"));
  const std::string pentax = readAll(testData("camera/Pentax_K10D.jpg"));
  dir.write("IMG_0001.HEIC", readAll(testData("heif/canon_40d.heic")));
  dir.write("IMG_0002.AVIF", readAll(testData("heif/canon_40d.avif")));
  // A HEIF under a ".jpg" name, as phones export them.
  dir.write("IMG_0003.jpg", readAll(testData("heif/canon_40d_rot90.heic")));
  dir.write("DSC_0004.NEF", exifTiffOf(nikon));
  dir.write("IMGP0005.DNG", exifTiffOf(pentax));
  // A CR3 keeps IFD0 in its CMT1 box and the EXIF IFD in CMT2.
  const std::string tiff = exifTiffOf(canon);
  dir.write("IMG_0006.CR3", testing::makeCr3(canon, "", tiff, tiff));
  // A RAF carries its EXIF in its preview JPEG.
  dir.write("DSCF0007.RAF", testing::makeRaf(canon));

  // Real files: an iPhone's HEIC, a Canon EOS R6 CR3, an iPhone's DNG, a camera's HEIC.
  for (const char* name :
       {"2021-02-13-1929.heic", "Canon-R6-pruned.CR3", "IMG_1361.dng", "Stonehenge.heic"}) {
    dir.write(name, readAll(testData(std::string("peer/") + name)));
  }
  for (const char* name : {"IMG_0001.HEIC", "IMG_0002.AVIF", "IMG_0003.jpg", "DSC_0004.NEF",
                           "IMGP0005.DNG", "IMG_0006.CR3", "DSCF0007.RAF", "2021-02-13-1929.heic",
                           "Canon-R6-pruned.CR3", "IMG_1361.dng", "Stonehenge.heic"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.file(name);
    const testing::ExiftoolTags tags = testing::readWithExiftool(path);
    const std::string make = exiftoolValue(tags, "Make");
    ASSERT_FALSE(make.empty()) << "exiftool reads no Make";
    TExifInfo x;
    int readErrors = 0;
    x.OnReadError = [&](TExifInfo&) { ++readErrors; };
    x.setImageFileName(path);
    EXPECT_EQ(readErrors, 0);
    EXPECT_EQ(rtrim(x.Make), make);
    EXPECT_EQ(rtrim(x.Model), exiftoolValue(tags, "Model"));
    EXPECT_EQ(x.DateTimeOriginal, exiftoolValue(tags, "DateTimeOriginal"));
    EXPECT_FALSE(x.DateTimeOriginal.empty());
    // Only a JPEG has an EXIF segment a comment can be written into.
    EXPECT_FALSE(x.HasExif(path));
  }
}

// Fault: a TIFF-based RAW of a few bytes, its IFD0 cut away, counted as read: no read error,
// and "sortelia-cli exif" printed a record of zeros with success instead of "no EXIF segment".
TEST(PictureExif, FilesWithoutExifClearTheRecordAndSayItOnce) {
  TempDir dir;
  dir.write("IMG.HEIC", readAll(testData("heif/nikon_e950.heic")));  // made without its Exif
  dir.write("DSC.NEF", std::string("II*\0\x08\0\0\0", 8));           // IFD0 past the end
  dir.write("CUT.CR2", std::string("II*\0", 4));                     // no IFD0 offset
  dir.write("IMG.CR3", testing::makeCr3(testing::makeTestJpeg(32, 24), "", "", ""));
  dir.write("X.RAF", "FUJIFILMCCD-RAW but nothing more");
  dir.write("notes.heic", "text");
  for (const char* name :
       {"IMG.HEIC", "DSC.NEF", "CUT.CR2", "IMG.CR3", "X.RAF", "notes.heic", "none.NEF"}) {
    TExifInfo x;
    x.Make = "left over";
    int readErrors = 0;
    x.OnReadError = [&](TExifInfo&) { ++readErrors; };
    x.setImageFileName(dir.file(name));
    EXPECT_TRUE(x.Make.empty()) << name;
    EXPECT_TRUE(x.DateTimeOriginal.empty()) << name;
    EXPECT_EQ(readErrors, 1) << name;
  }
}

}  // namespace
}  // namespace sortelia::exif
