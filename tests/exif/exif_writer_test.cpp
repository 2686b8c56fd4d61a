// WriteExif: the segment's layout, round trips through our reader, exiftool and exiv2, and
// the safety of the rewrite.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "exif/byte_source.h"
#include "exif/exif_info.h"
#include "exif/exif_record_text.h"
#include "exif/exif_writer.h"
#include "support/exif_builder.h"
#include "support/exiftool.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

using testing::ExifBuilder;
using testing::Ifd;
using testing::jpegWithSegments;

ExifBuilder richBlock(bool mm) {
  ExifBuilder b(mm);
  b.ascii(Ifd::kIfd0, 0x010E, "desc")
      .ascii(Ifd::kIfd0, 0x010F, "A")
      .ascii(Ifd::kIfd0, 0x0110, "Model Z")
      .shortValue(Ifd::kIfd0, 0x0112, 3)
      .rational(Ifd::kIfd0, 0x011A, 300, 1)
      .rational(Ifd::kIfd0, 0x011B, 300, 1)
      .shortValue(Ifd::kIfd0, 0x0128, 2)
      .ascii(Ifd::kIfd0, 0x0131, "Sortelia test")
      .ascii(Ifd::kIfd0, 0x0132, "2024:01:02 03:04:05")
      .ascii(Ifd::kIfd0, 0x8298, "(c) someone")
      .rational(Ifd::kExif, 0x829A, 1, 250)
      .rational(Ifd::kExif, 0x829D, 28, 10)
      .shortValue(Ifd::kExif, 0x8822, 2)
      .shortValue(Ifd::kExif, 0x8827, 200)
      .undefined(Ifd::kExif, 0x9000, "0220")
      .ascii(Ifd::kExif, 0x9003, "2024:01:02 03:04:05")
      .ascii(Ifd::kExif, 0x9004, "2024:01:02 03:04:06")
      .rational(Ifd::kExif, 0x9102, 2, 1)
      .srational(Ifd::kExif, 0x9201, 8, 1)
      .rational(Ifd::kExif, 0x9202, 3, 1)
      .srational(Ifd::kExif, 0x9203, -15, 10)
      .srational(Ifd::kExif, 0x9204, -1, 3)
      .rational(Ifd::kExif, 0x9205, 28, 10)
      .rational(Ifd::kExif, 0x9206, 350, 100)
      .shortValue(Ifd::kExif, 0x9207, 5)
      .shortValue(Ifd::kExif, 0x9208, 1)
      .shortValue(Ifd::kExif, 0x9209, 7)
      .rational(Ifd::kExif, 0x920A, 63, 10)
      .ascii(Ifd::kExif, 0x9286, "@090:日本語のコメント")
      .ascii(Ifd::kExif, 0x9290, "12")
      .ascii(Ifd::kExif, 0x9291, "34")
      .ascii(Ifd::kExif, 0x9292, "56")
      .undefined(Ifd::kExif, 0xA000, "0100")
      .shortValue(Ifd::kExif, 0xA001, 1)
      .longValue(Ifd::kExif, 0xA002, 4000)
      .longValue(Ifd::kExif, 0xA003, 3000)
      .rational(Ifd::kExif, 0xA20E, 4000, 1)
      .rational(Ifd::kExif, 0xA20F, 4000, 1)
      .shortValue(Ifd::kExif, 0xA210, 3)
      .shortValue(Ifd::kExif, 0xA217, 2);
  return b;
}

// The record text without the lines that differ by design between source and copy.
std::string withoutLines(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start + 1);
    start = end + 1;
    bool skip = false;
    for (const char* name :
         {"ImageFileName:", "PixelXDimension:", "PixelYDimension:", "UserComment:"}) {
      skip = skip || line.starts_with(name);
    }
    if (!skip && line != "\n") out += line;
  }
  return out;
}

class ExifWriter : public ::testing::TestWithParam<bool> {
 protected:
  // Reads a JPEG made with richBlock, writes its record into a fresh 64 x 48 JPEG.
  std::string writeRich(TExifInfo& source) {
    const std::string src =
        dir_.write("src.jpg", jpegWithSegments({richBlock(GetParam()).app1()}, 200, 100));
    source.setImageFileName(src);
    const std::string dst = dir_.write("dst.jpg", jpegWithSegments({}, 64, 48));
    WriteExif(source, dst);
    return dst;
  }
  testing::TempDir dir_;
};

INSTANTIATE_TEST_SUITE_P(ByteOrders, ExifWriter, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Motorola" : "Intel"; });

TEST_P(ExifWriter, WrittenFieldsReadBackTheSameWithTheTargetsPixelSize) {
  TExifInfo source;
  const std::string dst = writeRich(source);
  TExifInfo back;
  back.setImageFileName(dst);
  EXPECT_EQ(back.MotorolaOrder, GetParam());
  EXPECT_EQ(back.PixelXDimension, 64);
  EXPECT_EQ(back.PixelYDimension, 48);
  // Everything else reads back unchanged (the source block holds nothing the writer leaves
  // out); the comment comes back as one ASCII item with its line break.
  EXPECT_EQ(withoutLines(recordText(back)), withoutLines(recordText(source)));
  ASSERT_EQ(back.UserComment.size(), 1u);
  EXPECT_EQ(back.UserComment[0], "@090:日本語のコメント\r\n");
}

// Fault found earlier: a comment read back keeps the line break the writer put behind it, and
// the writer put another behind that: every copy made with the source's EXIF data (a reduced
// save, a reduction on transfer) carried one more empty line, and a comment of the greatest
// length no longer fitted, so such a picture could not be reduced with its EXIF data.
TEST_P(ExifWriter, ACommentReadBackIsWrittenAgainAsItWas) {
  testing::TempDir dir;
  TExifInfo x;
  x.MotorolaOrder = GetParam();
  x.UserComment = {"one line", "two\r\nlines"};
  const std::string first = dir.write("first.jpg", jpegWithSegments({}, 8, 8));
  WriteExif(x, first);
  TExifInfo back;
  back.setImageFileName(first);
  ASSERT_EQ(back.UserComment, std::vector<std::string>{"one line\r\ntwo\r\nlines\r\n"});
  for (int copy = 0; copy < 3; ++copy) {
    const std::string next = dir.write("next.jpg", jpegWithSegments({}, 8, 8));
    WriteExif(back, next);
    back.setImageFileName(next);
    EXPECT_EQ(back.UserComment, std::vector<std::string>{"one line\r\ntwo\r\nlines\r\n"});
  }
  // The longest comment one segment holds goes into a copy as well.
  x.UserComment = {std::string(65000, 'x')};
  const std::size_t body = buildExifSegment(x, 0, 0).size() - 4;
  x.UserComment = {std::string(65000 + kMaxApp1Body - body, 'x')};
  WriteExif(x, first);
  back.setImageFileName(first);
  EXPECT_NO_THROW(buildExifSegment(back, 8, 8));
}

// Tags of one IFD in file order, from a segment.
std::vector<unsigned> tagsAt(const std::string& tiff, std::uint32_t at, bool mm) {
  const auto* p = reinterpret_cast<const unsigned char*>(tiff.data());
  std::vector<unsigned> tags;
  const unsigned n = getU16(p + at, mm);
  for (unsigned i = 0; i < n; ++i) tags.push_back(getU16(p + at + 2 + 12 * i, mm));
  return tags;
}

TEST_P(ExifWriter, LaysOutEntriesInTheirFixedOrder) {
  const bool mm = GetParam();
  TExifInfo x;
  x.MotorolaOrder = mm;
  x.Make = "A";
  const std::string seg = buildExifSegment(x, 10, 20);
  ASSERT_EQ(seg.substr(0, 2), "\xFF\xE1");
  EXPECT_EQ((static_cast<unsigned char>(seg[2]) << 8 | static_cast<unsigned char>(seg[3])),
            seg.size() - 2);
  EXPECT_EQ(seg.substr(4, 6), std::string("Exif\0\0", 6));
  const std::string tiff = seg.substr(10);
  const auto* p = reinterpret_cast<const unsigned char*>(tiff.data());
  EXPECT_EQ(tiff.substr(0, 2), mm ? "MM" : "II");
  EXPECT_EQ(getU32(p + 4, mm), 8u);
  EXPECT_EQ(tagsAt(tiff, 8, mm),
            (std::vector<unsigned>{0x010F, 0x0110, 0x0112, 0x0131, 0x0132, 0x8769}));
  // A one-letter Make sits in the value field: the letter, NUL, two zero bytes.
  EXPECT_EQ(tiff.substr(8 + 2 + 8, 4), std::string("A\0\0\0", 4));
  const std::uint32_t exifAt = getU32(p + 8 + 2 + 12 * 5 + 8, mm);
  EXPECT_EQ(tagsAt(tiff, exifAt, mm),
            (std::vector<unsigned>{0x8827, 0x9000, 0x9003, 0x9004, 0x9206, 0x9207, 0x9208, 0x9209,
                                   0x920A, 0xA001, 0xA002, 0xA003, 0xA217, 0xA005}));
  // Empty date-times are still 20 zero bytes in the data area.
  const std::uint32_t dateAt = getU32(p + exifAt + 2 + 12 * 2 + 8, mm);
  EXPECT_EQ(getU32(p + exifAt + 2 + 12 * 2 + 4, mm), 20u);
  EXPECT_EQ(tiff.substr(dateAt, 20), std::string(20, '\0'));
  EXPECT_EQ(getU32(p + exifAt + 2 + 12 * 10 + 8, mm), 10u);
  EXPECT_EQ(getU32(p + exifAt + 2 + 12 * 11 + 8, mm), 20u);
  const std::uint32_t interopAt = getU32(p + exifAt + 2 + 12 * 13 + 8, mm);
  EXPECT_EQ(tagsAt(tiff, interopAt, mm), (std::vector<unsigned>{0x0001, 0x0002}));
  EXPECT_EQ(tiff.substr(interopAt + 2 + 8, 4), std::string("R98\0", 4));
  EXPECT_EQ(tiff.substr(interopAt + 2 + 12 + 8, 4), "0100");
  EXPECT_EQ(interopAt + 2 + 24 + 4, tiff.size());
}

TEST_P(ExifWriter, ExiftoolAndExiv2ReadEveryTagWithoutErrors) {
  ASSERT_TRUE(testing::haveExiftool()) << "exiftool is missing (scripts/setup.sh installs it)";
  ASSERT_TRUE(testing::haveProgram("exiv2")) << "exiv2 is missing (scripts/setup.sh installs it)";
  TExifInfo source;
  const std::string dst = writeRich(source);
  const auto tags = testing::readWithExiftool(dst);
  EXPECT_EQ(tags.at("IFD0:Make"), "A");
  EXPECT_EQ(tags.at("IFD0:ImageDescription"), "desc");
  EXPECT_EQ(tags.at("IFD0:Orientation"), "3");
  EXPECT_EQ(tags.at("IFD0:Copyright"), "(c) someone");
  EXPECT_EQ(tags.at("ExifIFD:ExposureTime"), "0.004");
  EXPECT_EQ(tags.at("ExifIFD:FNumber"), "2.8");
  EXPECT_EQ(tags.at("ExifIFD:ISO"), "200");
  EXPECT_EQ(tags.at("ExifIFD:DateTimeOriginal"), "2024:01:02 03:04:05");
  EXPECT_EQ(tags.at("ExifIFD:ExposureCompensation"), "-0.3333333333");
  EXPECT_EQ(tags.at("ExifIFD:Flash"), "7");
  EXPECT_EQ(tags.at("ExifIFD:FocalLength"), "6.3");
  EXPECT_EQ(tags.at("ExifIFD:ExifImageWidth"), "64");
  EXPECT_EQ(tags.at("ExifIFD:ExifImageHeight"), "48");
  EXPECT_EQ(tags.at("ExifIFD:SubSecTimeOriginal"), "34");
  EXPECT_EQ(tags.at("ExifIFD:FocalPlaneResolutionUnit"), "3");
  EXPECT_EQ(tags.at("ExifIFD:SensingMethod"), "2");
  EXPECT_EQ(tags.at("InteropIFD:InteropIndex"), "R98");
  EXPECT_EQ(tags.at("InteropIFD:InteropVersion"), "0100");
  const auto validate =
      testing::runProcess({"exiftool", "-validate", "-warning", "-error", "-a", "-G1", dst});
  EXPECT_EQ(validate.out.find("[ExifTool]      Error"), std::string::npos) << validate.out;
  EXPECT_EQ(validate.out.find(" Error "), std::string::npos) << validate.out;
  const auto exiv2 = testing::runProcess({"exiv2", "-pa", dst});
  EXPECT_EQ(exiv2.exitCode, 0) << exiv2.err;
  EXPECT_EQ(exiv2.err, "");
  for (const char* key : {"Exif.Image.Make", "Exif.Image.Model", "Exif.Photo.FNumber",
                          "Exif.Photo.UserComment", "Exif.Photo.PixelXDimension",
                          "Exif.Iop.InteroperabilityIndex", "Exif.Photo.SubSecTimeDigitized"}) {
    EXPECT_NE(exiv2.out.find(key), std::string::npos) << key << "\n" << exiv2.out;
  }
}

TEST(ExifWriterFiles, ACommentRewrittenOnACameraFileIsTheFirstOneListed) {
  ASSERT_TRUE(testing::haveExiftool()) << "exiftool is missing (scripts/setup.sh installs it)";
  testing::TempDir dir;
  const std::string original = testing::readAll(testing::testData("camera/Canon_40D.jpg"));
  const std::string path = dir.write("c.jpg", original);
  TExifInfo x;
  x.setImageFileName(path);
  x.UserComment = {"new comment"};
  WriteExif(x, path);
  const std::string now = testing::readAll(path);
  // The new segment comes first; everything after SOI of the old file follows unchanged.
  EXPECT_EQ(now.substr(now.size() - (original.size() - 2)), original.substr(2));
  const auto comments = testing::allExiftoolValues(path, "ExifIFD:UserComment");
  ASSERT_GE(comments.size(), 2u);
  EXPECT_EQ(comments[0], "new comment..");  // exiftool folds CR LF in -args output to ".."
  TExifInfo back;
  back.setImageFileName(path);
  EXPECT_EQ(back.UserComment, std::vector<std::string>{"new comment\r\n"});
  EXPECT_EQ(back.Make, "Canon");
  EXPECT_EQ(back.Orientation, x.Orientation);
}

// Offsets of the APP1 segments with the EXIF identifier, walking the segments up to SOS.
std::vector<std::size_t> exifApp1At(const std::string& jpeg) {
  std::vector<std::size_t> found;
  std::size_t p = 2;
  while (p + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[p]) == 0xFF) {
    const auto marker = static_cast<unsigned char>(jpeg[p + 1]);
    if (marker == 0xDA || marker == 0xD9) break;
    const std::size_t length =
        static_cast<unsigned char>(jpeg[p + 2]) << 8 | static_cast<unsigned char>(jpeg[p + 3]);
    if (marker == 0xE1 && jpeg.compare(p + 4, 6, std::string("Exif\0\0", 6)) == 0) {
      found.push_back(p);
    }
    p += 2 + length;
  }
  return found;
}

TEST(ExifWriterFiles, PutsTheNewSegmentBeforeAnExifSegmentBehindAProfileAndKeepsTheOldOne) {
  // Fault found earlier: an EXIF segment found only by the segment walk (behind a JFIF header
  // and a colour profile) was replaced by the new one, which carries only the writer's own
  // tags, so writing a comment threw away the picture's GPS position, lens and maker data.
  ASSERT_TRUE(testing::haveExiftool()) << "exiftool is missing (scripts/setup.sh installs it)";
  testing::TempDir dir;
  const struct {
    const char* name;
    int orientation;
  } files[] = {{"orientation_landscape_3.jpg", 3},
               {"orientation_landscape_6.jpg", 6},
               {"orientation_portrait_6.jpg", 6}};
  for (const auto& f : files) {
    // The camera files carry an orientation only; exiftool adds a model, a date, a lens and a
    // GPS position to the EXIF segment where it stands, behind the JFIF header and the colour
    // profile.
    const std::string path =
        dir.write(f.name, testing::readAll(testing::testData(std::string("camera/") + f.name)));
    const auto added = testing::runProcess(
        {"exiftool", "-q", "-overwrite_original", "-Model=Test Cam",
         "-DateTimeOriginal=2021:03:04 05:06:07", "-LensModel=Test Lens 50mm", "-GPSLatitude=35.5",
         "-GPSLatitudeRef=N", "-GPSLongitude=139.25", "-GPSLongitudeRef=E", path});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const std::string before = testing::readAll(path);
    const std::vector<std::size_t> at = exifApp1At(before);
    ASSERT_EQ(at.size(), 1u) << f.name;
    ASSERT_GT(at[0], 32u) << f.name;
    TExifInfo x;
    x.setImageFileName(path);
    EXPECT_EQ(x.Orientation, f.orientation) << f.name;
    EXPECT_EQ(x.Model, "Test Cam") << f.name;
    EXPECT_EQ(x.DateTimeOriginal, "2021:03:04 05:06:07") << f.name;
    x.UserComment = {"new comment"};
    WriteExif(x, path);
    const std::string after = testing::readAll(path);
    // The new segment stands where the old one stood, the old one whole right behind it, and
    // every other byte of the file is unchanged.
    const std::string segment = buildExifSegment(x, 0, 0);
    const std::vector<std::size_t> now = exifApp1At(after);
    ASSERT_EQ(now.size(), 2u) << f.name;
    EXPECT_EQ(now[0], at[0]) << f.name;
    EXPECT_EQ(now[1], at[0] + segment.size()) << f.name;
    EXPECT_EQ(after.size(), before.size() + segment.size()) << f.name;
    EXPECT_EQ(after.substr(0, at[0]), before.substr(0, at[0])) << f.name;
    EXPECT_EQ(after.substr(now[1]), before.substr(at[0])) << f.name;
    testing::ExiftoolTags tags = testing::readWithExiftool(path);
    EXPECT_EQ(tags["IFD0:Model"], "Test Cam") << f.name;
    EXPECT_EQ(tags["ExifIFD:DateTimeOriginal"], "2021:03:04 05:06:07") << f.name;
    EXPECT_EQ(tags["IFD0:Orientation"], std::to_string(f.orientation)) << f.name;
    EXPECT_EQ(tags["ExifIFD:UserComment"], "new comment..") << f.name;
    EXPECT_EQ(tags["ExifIFD:LensModel"], "Test Lens 50mm") << f.name;
    EXPECT_EQ(tags["GPS:GPSLatitude"], "35.5") << f.name;
    EXPECT_EQ(tags["GPS:GPSLongitude"], "139.25") << f.name;
    TExifInfo back;
    back.setImageFileName(path);
    EXPECT_EQ(back.UserComment, std::vector<std::string>{"new comment\r\n"}) << f.name;
    EXPECT_EQ(back.Orientation, f.orientation) << f.name;
    // A second comment goes before the first one's segment in the same way.
    back.UserComment = {"second"};
    WriteExif(back, path);
    TExifInfo again;
    again.setImageFileName(path);
    EXPECT_EQ(again.UserComment, std::vector<std::string>{"second\r\n"}) << f.name;
    EXPECT_EQ(exifApp1At(testing::readAll(path)).size(), 3u) << f.name;
  }
}

TEST(ExifWriterFiles, RefusesAFileWithoutWritePermissionEvenForRoot) {
  testing::TempDir dir;
  const std::string jpeg = jpegWithSegments({richBlock(false).app1()}, 8, 8);
  const std::string path = dir.write("ro.jpg", jpeg);
  TExifInfo x;
  x.setImageFileName(path);
  x.UserComment = {"changed"};
  for (const auto mode : {std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                              std::filesystem::perms::others_read,
                          std::filesystem::perms::none}) {
    std::filesystem::permissions(path, mode);
    try {
      WriteExif(x, path);
      ADD_FAILURE() << "no error";
    } catch (const EFOpenError&) {
      ADD_FAILURE() << "the error of a file that cannot be opened";
    } catch (const ExifWriteError& e) {
      EXPECT_EQ(std::string(e.what()), path + " を書き込めません: Permission denied");
    }
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(testing::readAll(path), jpeg);
  }
  // Writable again, the same record is written.
  WriteExif(x, path);
  TExifInfo back;
  back.setImageFileName(path);
  EXPECT_EQ(back.UserComment, std::vector<std::string>{"changed\r\n"});
}

TEST(ExifWriterFiles, RefusesMissingAndNonJpegFilesWithoutTouchingThem) {
  testing::TempDir dir;
  TExifInfo x;
  try {
    WriteExif(x, dir.file("none.jpg"));
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), dir.file("none.jpg") + " は存在しないか、または開けません。");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("none.jpg")));
  const std::string text = dir.write("t.jpg", "not a picture");
  try {
    WriteExif(x, text);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), text + " は無効なファイルです。");
  }
  EXPECT_EQ(testing::readAll(text), "not a picture");
  const std::string broken = dir.write("b.jpg", std::string("\xFF\xD8\xFF\xE0garbage", 9));
  EXPECT_THROW(WriteExif(x, broken), ExifWriteError);
  EXPECT_EQ(testing::readAll(broken), std::string("\xFF\xD8\xFF\xE0garbage", 9));
}

TEST(ExifWriterFiles, RefusesACommentTooLongForOneSegment) {
  testing::TempDir dir;
  const std::string jpeg = jpegWithSegments({}, 8, 8);
  const std::string path = dir.write("p.jpg", jpeg);
  TExifInfo x;
  x.UserComment = {std::string(65000, 'x')};
  EXPECT_NO_THROW(WriteExif(x, path));
  x.UserComment = {std::string(66000, 'x')};
  const std::string before = testing::readAll(path);
  EXPECT_THROW(WriteExif(x, path), ExifWriteError);
  EXPECT_EQ(testing::readAll(path), before);
  // Nothing but the picture remains in the folder (no temporary file left behind).
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(ExifWriterFiles, WritesRationalsFromTheirText) {
  TExifInfo x;
  x.FNumber.Text = "28";                  // no "/": numerator only, denominator 0
  x.ExposureTime.Text = "1/abc";          // not a number: 0
  x.FocalLength.Text = "99999999999/10";  // above the 32-bit range: 0
  testing::TempDir dir;
  const std::string path = dir.write("p.jpg", jpegWithSegments({}, 8, 8));
  WriteExif(x, path);
  TExifInfo back;
  back.setImageFileName(path);
  EXPECT_EQ(back.FNumber.Text, "28/0");
  EXPECT_EQ(back.ExposureTime.Text, "1/0");
  EXPECT_EQ(back.FocalLength.Text, "0/10");
  EXPECT_EQ(back.SubjectDistance.Text, "0/0");
}

}  // namespace
}  // namespace sortelia::exif
