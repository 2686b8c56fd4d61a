// The EXIF reader on blocks built byte by byte, in both TIFF byte orders.
#include <gtest/gtest.h>

#include <string>

#include "exif/exif_info.h"
#include "support/exif_builder.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

using testing::ExifBuilder;
using testing::Ifd;
using testing::jfifApp0;
using testing::jpegSegment;
using testing::jpegWithSegments;

class ExifReader : public ::testing::TestWithParam<bool> {
 protected:
  bool mm() const { return GetParam(); }
  ExifBuilder builder() const { return ExifBuilder(mm()); }

  // Writes a JPEG with the given segments after SOI and reads it.
  TExifInfo read(const std::vector<std::string>& segments) {
    const std::string path = dir_.write("p.jpg", jpegWithSegments(segments));
    TExifInfo info;
    info.SearchRange = searchRange_;
    info.OnReadError = [this](TExifInfo&) { ++readErrors_; };
    info.setImageFileName(path);
    return info;
  }

  testing::TempDir dir_;
  int readErrors_ = 0;
  std::int32_t searchRange_ = 32;
};

INSTANTIATE_TEST_SUITE_P(ByteOrders, ExifReader, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Motorola" : "Intel"; });

ExifBuilder typicalCamera(bool mm) {
  ExifBuilder b(mm);
  b.ascii(Ifd::kIfd0, 0x010F, "Canon")
      .ascii(Ifd::kIfd0, 0x0110, "Canon EOS 40D")
      .shortValue(Ifd::kIfd0, 0x0112, 6)
      .rational(Ifd::kIfd0, 0x011A, 72, 1)
      .rational(Ifd::kIfd0, 0x011B, 180, 1)
      .shortValue(Ifd::kIfd0, 0x0128, 2)
      .ascii(Ifd::kIfd0, 0x0132, "2008:07:31 10:38:11")
      .rational(Ifd::kExif, 0x829A, 1, 160)
      .rational(Ifd::kExif, 0x829D, 71, 10)
      .shortValue(Ifd::kExif, 0x8822, 3)
      .shortValue(Ifd::kExif, 0x8827, 400)
      .undefined(Ifd::kExif, 0x9000, "0221")
      .ascii(Ifd::kExif, 0x9003, "2008:05:30 15:56:01")
      .srational(Ifd::kExif, 0x9201, -483328, 65536)
      .srational(Ifd::kExif, 0x9204, -2, 3)
      .shortValue(Ifd::kExif, 0x9207, 5)
      .shortValue(Ifd::kExif, 0x9208, 10)
      .shortValue(Ifd::kExif, 0x9209, 1)
      .rational(Ifd::kExif, 0x920A, 135, 1)
      .undefined(Ifd::kExif, 0x927C, std::string(40, 'm'))
      .undefined(Ifd::kExif, 0xA000, "0100")
      .shortValue(Ifd::kExif, 0xA001, 65535)
      .longValue(Ifd::kExif, 0xA002, 3888)
      .shortValue(Ifd::kExif, 0xA003, 2592)
      .shortValue(Ifd::kExif, 0xA217, 2)
      .ascii(Ifd::kInterop, 0x0001, "R98")
      .shortValue(Ifd::kIfd1, 0x0103, 6)
      .shortValue(Ifd::kIfd1, 0x0112, 3)
      .rational(Ifd::kIfd1, 0x011A, 96, 1)
      .shortValue(Ifd::kIfd1, 0x0128, 3)
      .longValue(Ifd::kIfd1, 0x0201, 1090)
      .longValue(Ifd::kIfd1, 0x0202, 1378);
  return b;
}

TEST_P(ExifReader, ReadsEveryIfdOfATypicalCameraBlock) {
  const TExifInfo x = read({typicalCamera(mm()).app1()});
  EXPECT_EQ(readErrors_, 0);
  EXPECT_EQ(x.MotorolaOrder, mm());
  EXPECT_EQ(x.Make, "Canon");
  EXPECT_EQ(x.Model, "Canon EOS 40D");
  EXPECT_EQ(x.Orientation, 6);
  EXPECT_EQ(x.XResolution.Text, "72/1");
  EXPECT_EQ(x.YResolution.Value, 180);
  EXPECT_EQ(x.ResolutionUnit.Value, 2);
  EXPECT_EQ(x.ResolutionUnit.Text, "inch");
  EXPECT_EQ(x.DateTime, "2008:07:31 10:38:11");
  EXPECT_EQ(x.ExposureTime.Text, "1/160");
  EXPECT_DOUBLE_EQ(x.ExposureTime.Value, 1.0 / 160);
  EXPECT_DOUBLE_EQ(x.FNumber.Value, 7.1);
  EXPECT_EQ(x.ExposureProgram.Text, "絞り優先");
  EXPECT_EQ(x.ISOSpeedRatings, 400);
  EXPECT_EQ(x.ExifVersion, "0221");
  EXPECT_EQ(x.DateTimeOriginal, "2008:05:30 15:56:01");
  EXPECT_EQ(x.ShutterSpeedValue.Text, "-483328/65536");
  EXPECT_DOUBLE_EQ(x.ShutterSpeedValue.Value, -7.375);
  EXPECT_EQ(x.ExposureBiasValue.Text, "-2/3");
  EXPECT_EQ(x.MeteringMode.Text, "マルチセグメント");
  EXPECT_EQ(x.LightSource.Text, "フラッシュ");
  EXPECT_EQ(x.Flash.Value, 1);
  EXPECT_EQ(x.Flash.Text, "発光(反射検出機構なし)");
  EXPECT_EQ(x.FocalLength.Value, 135);
  EXPECT_EQ(x.MakerNoteSize, 40);
  EXPECT_GT(x.MakerNoteOffset, 0);
  EXPECT_EQ(x.FlashpixVersion, "0100");
  EXPECT_EQ(x.ColorSpace.Text, "Uncalibrated");
  EXPECT_EQ(x.PixelXDimension, 3888);
  EXPECT_EQ(x.PixelYDimension, 2592);
  EXPECT_EQ(x.SensingMethod.Text, "1チップカラーエリアセンサ");
  // IFD1, reached through IFD0's link: the thumbnail fields.
  EXPECT_EQ(x.Compression.Text, "JPEG");
  EXPECT_EQ(x.ThumbOrientation, 3);
  EXPECT_EQ(x.ThumbXResolution.Text, "96/1");
  EXPECT_EQ(x.ThumbResolutionUnit.Text, "cm");
  EXPECT_EQ(x.JPEGInterchangeFormat, 1090);
  EXPECT_EQ(x.JPEGInterchangeFormatLength, 1378);
}

TEST_P(ExifReader, FindsTheSegmentByTheByteSearchThenByWalkingTheSegments) {
  const std::string app1 = typicalCamera(mm()).app1();
  const std::string app0At32 = jpegSegment(0xE0, std::string(26, '\0'));  // APP1 at offset 32
  ExifBuilder inner = builder();
  inner.ascii(Ifd::kIfd0, tags::Make, "Inner");
  // An APP0 whose data happen to hold a complete EXIF APP1 at offset 6: the byte search
  // takes it, the segment walk would not.
  const std::string hidden = jpegSegment(0xE0, inner.app1());
  std::string badLength = app0At32;
  badLength[3] = 1;  // a length below 2
  std::string pastTheEnd = app0At32;
  pastTheEnd[2] = '\x7F';  // runs past the end of the file
  const std::string sos = jpegSegment(0xDA, std::string(10, '\0'));
  const struct {
    const char* what;
    std::vector<std::string> segments;
    std::int32_t searchRange;
    const char* make;
  } cases[] = {
      {"offset 20, behind JFIF", {jfifApp0(), app1}, 32, "Canon"},
      {"offset 31, the last place searched",
       {jpegSegment(0xE0, std::string(25, '\0')), app1},
       32,
       "Canon"},
      {"offset 32, found by the walk", {app0At32, app1}, 32, "Canon"},
      {"behind a colour profile",
       {jfifApp0(), jpegSegment(0xE2, std::string(2000, 'p')), app1},
       32,
       "Canon"},
      {"fill bytes before the marker", {app0At32, "\xFF\xFF", app1}, 32, "Canon"},
      {"the byte search comes first", {hidden, app1}, 32, "Inner"},
      {"search range 4: the walk alone", {hidden, app1}, 4, "Canon"},
      {"a length below 2 ends the walk", {badLength, app1}, 32, ""},
      {"a segment past the end ends the walk", {pastTheEnd, app1}, 32, ""},
      {"the walk ends at the start of scan", {app0At32, sos, app1}, 32, ""},
  };
  for (const auto& c : cases) {
    searchRange_ = c.searchRange;
    EXPECT_EQ(read(c.segments).Make, c.make) << c.what;
  }
  EXPECT_EQ(readErrors_, 3);
  // An EXIF APP1 behind the picture data is no header of the picture.
  const std::string trailing =
      dir_.write("t.jpg", jpegWithSegments({app0At32}) + typicalCamera(mm()).app1());
  TExifInfo x;
  EXPECT_FALSE(x.HasExif(trailing));
  EXPECT_TRUE(x.HasExif(dir_.write("w.jpg", jpegWithSegments({app0At32, app1}))));
}

TEST_P(ExifReader, AcceptsTheIdentifierInAnyCaseAndRejectsOtherApp1Data) {
  const ExifBuilder b = typicalCamera(mm());
  EXPECT_EQ(read({b.app1(std::string("EXIF\0\0", 6))}).Model, "Canon EOS 40D");
  EXPECT_EQ(read({b.app1(std::string("exif\0\0", 6))}).Model, "Canon EOS 40D");
  EXPECT_EQ(readErrors_, 0);
  const std::string xmp = std::string("http://ns.adobe.com/xap/1.0/\0", 29) + "<x:xmpmeta/>";
  EXPECT_EQ(read({jpegSegment(0xE1, xmp)}).Model, "");
  EXPECT_EQ(read({b.app1("Exif  ")}).Model, "");
  EXPECT_EQ(readErrors_, 2);
  // Behind another APP1 (XMP) the walk finds the EXIF segment by its exact identifier.
  EXPECT_EQ(read({jpegSegment(0xE1, xmp), b.app1()}).Model, "Canon EOS 40D");
  EXPECT_EQ(read({jpegSegment(0xE1, xmp), b.app1(std::string("exif\0\0", 6))}).Model, "");
  EXPECT_EQ(readErrors_, 3);
}

TEST_P(ExifReader, KeepsTheTextOfARationalWithDenominatorZero) {
  ExifBuilder b = builder();
  b.rational(Ifd::kExif, 0x829D, 5, 0).srational(Ifd::kExif, 0x9204, -3, 0);
  const TExifInfo x = read({b.app1()});
  EXPECT_EQ(x.FNumber.Text, "5/0");
  EXPECT_EQ(x.FNumber.Value, 0);
  EXPECT_EQ(x.ExposureBiasValue.Text, "-3/0");
  EXPECT_EQ(x.ExposureBiasValue.Value, 0);
}

TEST_P(ExifReader, IgnoresOrientationCodesAboveEight) {
  ExifBuilder b = builder();
  b.shortValue(Ifd::kIfd0, 0x0112, 9).shortValue(Ifd::kIfd1, 0x0112, 200);
  const TExifInfo x = read({b.app1()});
  EXPECT_EQ(x.Orientation, 0);
  EXPECT_EQ(x.ThumbOrientation, 0);
}

TEST_P(ExifReader, ExposureIndexAfterIsoReplacesItRoundedHalfToEven) {
  ExifBuilder b = builder();
  b.shortValue(Ifd::kExif, 0x8827, 100).rational(Ifd::kExif, 0xA215, 2505, 10);
  EXPECT_EQ(read({b.app1()}).ISOSpeedRatings, 250);
  ExifBuilder c = builder();
  c.raw(Ifd::kExif, 0x8827, 3, 2, c.u16(200) + c.u16(800));  // two values: the first counts
  EXPECT_EQ(read({c.app1()}).ISOSpeedRatings, 200);
}

TEST_P(ExifReader, DecodesUserCommentsByTheirCharacterCode) {
  ExifBuilder b = builder();
  const std::string nulCode(8, '\0');
  b.undefined(Ifd::kExif, 0x9286, nulCode + "ignored")
      .undefined(Ifd::kExif, 0x9286, std::string("ASCII\0\0\0", 8) + "hello\0\0")
      .ascii(Ifd::kExif, 0x9286, "line one\r\nline two")
      .undefined(Ifd::kExif, 0x9286,
                 std::string("JIS\0\0\0\0\0", 8) + "\x1b$B\x46\x7C\x4B\x5C\x1b(Bok")
      .undefined(Ifd::kExif, 0x9286,
                 std::string("UNICODE\0", 8) + b.u16(0x65E5) + b.u16(0x672C) + b.u16('!'))
      .shortValue(Ifd::kExif, 0x9286, 42);
  const TExifInfo x = read({b.app1()});
  ASSERT_EQ(x.UserComment.size(), 6u);
  EXPECT_EQ(x.UserComment[0], "");  // all-NUL code: one empty item
  EXPECT_EQ(x.UserComment[1], "hello");
  EXPECT_EQ(x.UserComment[2], "line one\r\nline two");
  EXPECT_EQ(x.UserComment[3], "日本ok");
  EXPECT_EQ(x.UserComment[4], "日本!");
  EXPECT_EQ(x.UserComment[5], "42");
}

TEST_P(ExifReader, TakesTextsAsUtf8WhenValidElseAsCp932) {
  ExifBuilder b = builder();
  b.ascii(Ifd::kIfd0, 0x010E, "\xE5\xAF\x8C\xE5\xA3\xAB")     // "富士" in UTF-8
      .ascii(Ifd::kIfd0, 0x8298, "\x95\x78\x8E\x6D\x20(c)");  // "富士 (c)" in CP932
  const TExifInfo x = read({b.app1()});
  EXPECT_EQ(x.ImageDescription, "富士");
  EXPECT_EQ(x.Copyright, "富士 (c)");
}

TEST_P(ExifReader, AFileWithoutExifAfterOneWithExifLeavesEverythingCleared) {
  const TExifInfo withExif = read({typicalCamera(mm()).app1()});
  ASSERT_EQ(withExif.Make, "Canon");
  const std::string with = dir_.write("with.jpg", jpegWithSegments({typicalCamera(mm()).app1()}));
  const std::string without = dir_.write("without.jpg", jpegWithSegments({jfifApp0()}));
  TExifInfo x;
  x.setImageFileName(with);
  x.setImageFileName(without);
  EXPECT_EQ(x.ImageFileName(), without);
  EXPECT_EQ(x.Make, "");
  EXPECT_EQ(x.DateTimeOriginal, "");
  EXPECT_EQ(x.PixelXDimension, 0);
  EXPECT_EQ(x.ExposureTime.Text, "");
  EXPECT_EQ(x.Flash.Value, 0);
  EXPECT_EQ(x.Orientation, 0);
  EXPECT_EQ(x.MakerNoteSize, 0);
  EXPECT_TRUE(x.UserComment.empty());
  EXPECT_EQ(x.MotorolaOrder, mm());  // the byte order of the last file actually read
  EXPECT_FALSE(x.HasExif(without));
  EXPECT_TRUE(x.HasExif(with));
  EXPECT_FALSE(x.HasExif(dir_.file("missing.jpg")));
}

TEST_P(ExifReader, StopsAtLoopsAndSkipsValuesRunningPastTheEnd) {
  ExifBuilder b = builder();
  b.ascii(Ifd::kIfd0, 0x010F, "Maker").loopLink();
  // A Model whose count and offset run far past the end of the file.
  b.raw(Ifd::kIfd0, 0x0110, 2, 0x7FFFFFF0, b.u32(0x10));
  b.raw(Ifd::kIfd0, 0x0131, 2, 12, b.u32(0xFFFFFFF0));
  const TExifInfo x = read({b.app1()});
  EXPECT_EQ(x.Make, "Maker");
  EXPECT_EQ(x.Model, "");
  EXPECT_EQ(x.Software, "");
}

TEST_P(ExifReader, RelatedImageSizeFillsThePictureSizeUnlessTheFileIsAThm) {
  ExifBuilder b = builder();
  b.shortValue(Ifd::kInterop, 0x1001, 640);
  b.shortValue(Ifd::kInterop, 0x1002, 480);
  const TExifInfo x = read({b.app1()});
  EXPECT_EQ(x.PixelXDimension, 640);
  EXPECT_EQ(x.PixelYDimension, 480);
  EXPECT_EQ(x.ImageWidth, 0);
  ExifBuilder t = builder();
  t.ascii(Ifd::kInterop, 0x0001, "thm").shortValue(Ifd::kInterop, 0x1001, 320);
  t.shortValue(Ifd::kInterop, 0x1002, 240);
  const TExifInfo y = read({t.app1()});
  EXPECT_EQ(y.ImageWidth, 320);
  EXPECT_EQ(y.ImageLength, 240);
  EXPECT_EQ(y.PixelXDimension, 0);
}

TEST(ExifLabels, MatchTheTablesAndLeaveOtherCodesEmpty) {
  EXPECT_EQ(exifLabel(0x9209, 7), "発光(反射光検出)");
  EXPECT_EQ(exifLabel(0x9209, 16), "");
  EXPECT_EQ(exifLabel(0x9207, 255), "その他");
  EXPECT_EQ(exifLabel(0x9208, 0), "不明");
  EXPECT_EQ(exifLabel(0x8822, 8), "風景モード");
  EXPECT_EQ(exifLabel(0xA217, 8), "カラーシークエンシャルリニアセンサ");
  EXPECT_EQ(exifLabel(0x0103, 1), "非圧縮");
}

TEST(DecodeUserComment, HandlesShortAndOddInput) {
  EXPECT_EQ(DecodeUserComment("ASC", false), "");
  EXPECT_EQ(DecodeUserComment(std::string("Unicode\0A\0B", 11), false), "A");
  EXPECT_EQ(DecodeUserComment(std::string("JIS\0\0\0\0\0", 8) + "\x1b$B\x46", false), "");
  EXPECT_EQ(DecodeUserComment(std::string("JIS\0\0\0\0\0", 8) + "\x1b", false), "");
}

TEST(ExifReaderFiles, ReadsBrokenFilesWithoutCrashing) {
  for (const char* name :
       {"corrupted.jpg", "image00971.jpg", "image01088.jpg", "image01137.jpg", "image01551.jpg",
        "image01713.jpg", "image01980.jpg", "image02206.jpg"}) {
    TExifInfo x;
    x.setImageFileName(testing::testData(std::string("invalid/") + name));
    EXPECT_LE(x.UserComment.size(), 100u) << name;
  }
}

}  // namespace
}  // namespace sortelia::exif
