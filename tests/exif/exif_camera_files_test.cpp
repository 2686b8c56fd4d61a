// The reader on real camera files, compared with exiftool's reading of the same files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "exif/exif_info.h"
#include "exif/rotation_mark.h"
#include "support/exif_builder.h"
#include "support/exiftool.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

namespace sortelia::exif {
namespace {

using testing::ExiftoolTags;

std::string rtrim(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

// One field compared: our value as text or as a number, and exiftool's tag name.
struct TextField {
  const char* tag;
  std::function<std::string(const TExifInfo&)> ours;
};
struct NumberField {
  const char* tag;
  std::function<double(const TExifInfo&)> ours;
};

const TextField kTexts[] = {
    {"IFD0:Make", [](const TExifInfo& x) { return x.Make; }},
    {"IFD0:Model", [](const TExifInfo& x) { return x.Model; }},
    {"IFD0:Software", [](const TExifInfo& x) { return x.Software; }},
    {"IFD0:Copyright", [](const TExifInfo& x) { return x.Copyright; }},
    {"IFD0:ImageDescription", [](const TExifInfo& x) { return x.ImageDescription; }},
    {"IFD0:ModifyDate", [](const TExifInfo& x) { return x.DateTime; }},
    {"ExifIFD:DateTimeOriginal", [](const TExifInfo& x) { return x.DateTimeOriginal; }},
    {"ExifIFD:CreateDate", [](const TExifInfo& x) { return x.DateTimeDigitized; }},
    {"ExifIFD:ExifVersion", [](const TExifInfo& x) { return x.ExifVersion; }},
    {"ExifIFD:FlashpixVersion", [](const TExifInfo& x) { return x.FlashpixVersion; }},
    {"ExifIFD:SubSecTime", [](const TExifInfo& x) { return x.SubSecTime; }},
    {"ExifIFD:SubSecTimeOriginal", [](const TExifInfo& x) { return x.SubSecTimeOriginal; }},
    {"ExifIFD:SubSecTimeDigitized", [](const TExifInfo& x) { return x.SubSecTimeDigitized; }},
};

const NumberField kNumbers[] = {
    {"IFD0:Orientation", [](const TExifInfo& x) { return double(x.Orientation); }},
    {"IFD0:XResolution", [](const TExifInfo& x) { return x.XResolution.Value; }},
    {"IFD0:YResolution", [](const TExifInfo& x) { return x.YResolution.Value; }},
    {"IFD0:ResolutionUnit", [](const TExifInfo& x) { return double(x.ResolutionUnit.Value); }},
    {"ExifIFD:ExposureTime", [](const TExifInfo& x) { return x.ExposureTime.Value; }},
    {"ExifIFD:FNumber", [](const TExifInfo& x) { return x.FNumber.Value; }},
    {"ExifIFD:ExposureProgram", [](const TExifInfo& x) { return double(x.ExposureProgram.Value); }},
    {"ExifIFD:CompressedBitsPerPixel",
     [](const TExifInfo& x) { return x.CompressedBitsPerPixel.Value; }},
    // exiftool gives the APEX values as seconds and F-numbers.
    {"ExifIFD:ShutterSpeedValue",
     [](const TExifInfo& x) { return std::pow(2.0, -x.ShutterSpeedValue.Value); }},
    {"ExifIFD:ApertureValue",
     [](const TExifInfo& x) { return std::pow(2.0, x.ApertureValue.Value / 2); }},
    {"ExifIFD:MaxApertureValue",
     [](const TExifInfo& x) { return std::pow(2.0, x.MaxApertureValue.Value / 2); }},
    {"ExifIFD:BrightnessValue", [](const TExifInfo& x) { return x.BrightnessValue.Value; }},
    {"ExifIFD:ExposureCompensation", [](const TExifInfo& x) { return x.ExposureBiasValue.Value; }},
    {"ExifIFD:SubjectDistance", [](const TExifInfo& x) { return x.SubjectDistance.Value; }},
    {"ExifIFD:MeteringMode", [](const TExifInfo& x) { return double(x.MeteringMode.Value); }},
    {"ExifIFD:LightSource", [](const TExifInfo& x) { return double(x.LightSource.Value); }},
    {"ExifIFD:Flash", [](const TExifInfo& x) { return double(x.Flash.Value); }},
    {"ExifIFD:FocalLength", [](const TExifInfo& x) { return x.FocalLength.Value; }},
    {"ExifIFD:ColorSpace", [](const TExifInfo& x) { return double(x.ColorSpace.Value); }},
    {"ExifIFD:ExifImageWidth", [](const TExifInfo& x) { return double(x.PixelXDimension); }},
    {"ExifIFD:ExifImageHeight", [](const TExifInfo& x) { return double(x.PixelYDimension); }},
    {"ExifIFD:FocalPlaneXResolution",
     [](const TExifInfo& x) { return x.FocalPlaneXResolution.Value; }},
    {"ExifIFD:FocalPlaneYResolution",
     [](const TExifInfo& x) { return x.FocalPlaneYResolution.Value; }},
    {"ExifIFD:FocalPlaneResolutionUnit",
     [](const TExifInfo& x) { return double(x.FocalPlaneResolutionUnit.Value); }},
    {"ExifIFD:SensingMethod", [](const TExifInfo& x) { return double(x.SensingMethod.Value); }},
    {"IFD1:Compression", [](const TExifInfo& x) { return double(x.Compression.Value); }},
    {"IFD1:XResolution", [](const TExifInfo& x) { return x.ThumbXResolution.Value; }},
    {"IFD1:YResolution", [](const TExifInfo& x) { return x.ThumbYResolution.Value; }},
    {"IFD1:ResolutionUnit", [](const TExifInfo& x) { return double(x.ThumbResolutionUnit.Value); }},
    {"IFD1:ThumbnailLength",
     [](const TExifInfo& x) { return double(x.JPEGInterchangeFormatLength); }},
};

bool near(double a, double b) { return std::fabs(a - b) <= 1e-6 * std::max(1.0, std::fabs(b)); }

TEST(ExifCameraFiles, AgreeWithExiftool) {
  ASSERT_TRUE(testing::haveExiftool()) << "exiftool is missing (scripts/setup.sh installs it)";
  int compared = 0, files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(testing::testData("camera"))) {
    const std::string path = entry.path().string();
    TExifInfo x;
    // Every camera file has EXIF, also those whose APP1 follows a long colour profile.
    EXPECT_TRUE(x.HasExif(path)) << path;
    x.setImageFileName(path);
    ++files;
    const ExiftoolTags tool = testing::readWithExiftool(path);
    for (const TextField& f : kTexts) {
      const auto it = tool.find(f.tag);
      const std::string expected = it == tool.end() ? "" : rtrim(it->second);
      EXPECT_EQ(rtrim(f.ours(x)), expected) << path << " " << f.tag;
      ++compared;
    }
    for (const NumberField& f : kNumbers) {
      const auto it = tool.find(f.tag);
      if (it == tool.end()) continue;
      // A rational n/0 reads as 0 here; of several values the first counts.
      if (it->second == "undef" || it->second == "inf") {
        EXPECT_EQ(f.ours(x), 0) << path << " " << f.tag;
        continue;
      }
      char* end = nullptr;
      const double theirs = std::strtod(it->second.c_str(), &end);
      if (end == it->second.c_str() || (*end != '\0' && *end != ' ')) {
        ADD_FAILURE() << path << " " << f.tag << ": exiftool gives " << it->second;
        continue;
      }
      EXPECT_TRUE(near(f.ours(x), theirs))
          << path << " " << f.tag << ": ours " << f.ours(x) << ", exiftool " << it->second;
      ++compared;
    }
    // The user comment, without the blanks cameras pad it with (exiftool drops them).
    std::string comment;
    for (const std::string& item : x.UserComment) comment += item;
    const auto toolComment = tool.find("ExifIFD:UserComment");
    EXPECT_EQ(trimText(comment), toolComment == tool.end() ? "" : trimText(toolComment->second))
        << path;
    // ISO: the ExposureIndex, when present, replaces it.
    if (!tool.count("ExifIFD:ExposureIndex") && tool.count("ExifIFD:ISO")) {
      EXPECT_EQ(x.ISOSpeedRatings, std::stoi(tool.at("ExifIFD:ISO"))) << path;
    }
    // The thumbnail offset: exiftool counts from the start of the file, the record from the
    // TIFF header.
    if (tool.count("IFD1:ThumbnailOffset")) {
      EXPECT_GT(std::stoll(tool.at("IFD1:ThumbnailOffset")), x.JPEGInterchangeFormat) << path;
    }
  }
  EXPECT_GE(files, 20);
  EXPECT_GT(compared, 500);
}

TEST(ExifCameraFiles, ReadsUnicodeCommentsAsExiftoolWritesThem) {
  ASSERT_TRUE(testing::haveExiftool()) << "exiftool is missing (scripts/setup.sh installs it)";
  testing::TempDir dir;
  for (const char* order : {"II", "MM"}) {
    const std::string path = dir.write(std::string(order) + ".jpg", testing::jpegWithSegments({}));
    const auto r = testing::runProcess({"exiftool", "-q", "-overwrite_original",
                                        std::string("-ExifByteOrder=") + order,
                                        "-UserComment=日本語 ok", path});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    TExifInfo x;
    x.setImageFileName(path);
    EXPECT_EQ(x.MotorolaOrder, std::string(order) == "MM");
    EXPECT_EQ(x.UserComment, std::vector<std::string>{"日本語 ok"}) << order;
  }
}

}  // namespace
}  // namespace sortelia::exif
