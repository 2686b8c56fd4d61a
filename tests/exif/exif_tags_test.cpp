// The tag table: names and types as the EXIF standard gives them, and the writer's entries
// typed as the table says.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "exif/byte_source.h"
#include "exif/exif_tags.h"
#include "exif/exif_writer.h"

namespace sortelia::exif {
namespace {

TEST(ExifTags, NamesAndTypesByNumberAndIfd) {
  const struct {
    std::uint16_t number;
    Ifd ifd;
    const char* name;
    TiffType type;
  } known[] = {
      {0x9003, Ifd::kExif, "DateTimeOriginal", TiffType::ASCII},
      {0x010F, Ifd::kIfd0, "Make", TiffType::ASCII},
      {0x0112, Ifd::kIfd1, "Orientation", TiffType::SHORT},
      {0x9204, Ifd::kExif, "ExposureBiasValue", TiffType::SRATIONAL},
      {0x829D, Ifd::kExif, "FNumber", TiffType::RATIONAL},
      {0x9286, Ifd::kExif, "UserComment", TiffType::UNDEFINED},
      {0x0001, Ifd::kInterop, "InteroperabilityIndex", TiffType::ASCII},
      {0x0201, Ifd::kIfd1, "JPEGInterchangeFormat", TiffType::LONG},
      {0x8825, Ifd::kIfd0, "GPSInfoIFDPointer", TiffType::LONG},
      {0xA005, Ifd::kExif, "InteroperabilityIFDPointer", TiffType::LONG},
  };
  for (const auto& k : known) {
    EXPECT_EQ(tagName(k.number, k.ifd), k.name) << k.number;
    EXPECT_EQ(tagType(k.number), k.type) << k.name;
  }
  // A number outside the IFDs it belongs to, or unknown, has no name.
  EXPECT_EQ(tagName(0x9003, Ifd::kIfd0), "");
  EXPECT_EQ(tagName(0x0001, Ifd::kGps), "");
  EXPECT_EQ(tagName(0x1234, Ifd::kExif), "");
  EXPECT_EQ(findTag(0x1234), nullptr);
}

TEST(ExifTags, TheReaderTakes56TagsAndNamesAreUnique) {
  std::set<std::string_view> names;
  int read = 0;
  for (const ExifTag& t : exifTags()) {
    EXPECT_TRUE(names.insert(t.name).second) << t.name;
    EXPECT_NE(t.ifds, 0u) << t.name;
    EXPECT_EQ(isReadTag(t.number), t.read) << t.name;
    read += t.read;
  }
  EXPECT_EQ(read, 56);
  EXPECT_FALSE(isReadTag(tags::GPSInfoIFDPointer));
  EXPECT_FALSE(isReadTag(tags::InteroperabilityVersion));
}

TEST(ExifTags, TypeSizesAndNames) {
  const struct {
    unsigned code;
    unsigned size;
    const char* name;
  } types[] = {{1, 1, "BYTE"},     {2, 1, "ASCII"},      {3, 2, "SHORT"},     {4, 4, "LONG"},
               {5, 8, "RATIONAL"}, {6, 1, "SBYTE"},      {7, 1, "UNDEFINED"}, {8, 2, "SSHORT"},
               {9, 4, "SLONG"},    {10, 8, "SRATIONAL"}, {11, 4, "FLOAT"},    {12, 8, "DOUBLE"},
               {0, 8, ""},         {13, 8, ""},          {255, 8, ""}};
  for (const auto& t : types) {
    EXPECT_EQ(tiffTypeSize(t.code), t.size) << t.code;
    EXPECT_EQ(tiffTypeName(t.code), t.name) << t.code;
  }
  EXPECT_EQ(tiffTypeSize(TiffType::SRATIONAL), 8u);
}

// Every entry of every IFD of a written segment: (IFD, tag, type).
struct WrittenEntry {
  Ifd ifd;
  std::uint16_t tag;
  unsigned type;
};

std::vector<WrittenEntry> entriesOf(const std::string& tiff, bool mm) {
  const auto* p = reinterpret_cast<const unsigned char*>(tiff.data());
  std::vector<WrittenEntry> out;
  const auto walk = [&](std::uint32_t at, Ifd ifd, auto& self) -> void {
    const unsigned n = getU16(p + at, mm);
    for (unsigned i = 0; i < n; ++i) {
      const unsigned char* e = p + at + 2 + 12 * i;
      const std::uint16_t tag = getU16(e, mm);
      out.push_back({ifd, tag, getU16(e + 2, mm)});
      if (tag == tags::ExifIFDPointer) self(getU32(e + 8, mm), Ifd::kExif, self);
      if (tag == tags::InteroperabilityIFDPointer) self(getU32(e + 8, mm), Ifd::kInterop, self);
    }
  };
  walk(getU32(p + 4, mm), Ifd::kIfd0, walk);
  return out;
}

TEST(ExifTags, TheWriterTypesEveryEntryAsTheTableDoes) {
  TExifInfo x;
  x.MotorolaOrder = true;
  x.ImageDescription = "d";
  x.Copyright = "c";
  x.XResolution = {"72/1", 72};
  x.YResolution = {"72/1", 72};
  x.ResolutionUnit = {"inch", 2};
  for (TExifRational* r :
       {&x.ExposureTime, &x.FNumber, &x.CompressedBitsPerPixel, &x.ShutterSpeedValue,
        &x.ApertureValue, &x.BrightnessValue, &x.ExposureBiasValue, &x.MaxApertureValue,
        &x.FocalPlaneXResolution, &x.FocalPlaneYResolution}) {
    *r = {"1/2", 0.5};
  }
  x.ExposureProgram = {"p", 2};
  x.FocalPlaneResolutionUnit = {"cm", 3};
  x.UserComment = {"comment"};
  x.SubSecTime = x.SubSecTimeOriginal = x.SubSecTimeDigitized = "12";
  x.FlashpixVersion = "0100";
  const std::string seg = buildExifSegment(x, 8, 8);
  const auto entries = entriesOf(seg.substr(10), true);
  EXPECT_EQ(entries.size(), 11u + 31u + 2u);
  for (const WrittenEntry& e : entries) {
    const ExifTag* t = findTag(e.tag, e.ifd);
    ASSERT_NE(t, nullptr) << std::hex << e.tag;
    // The user comment is written as plain ASCII, without the character code of UNDEFINED.
    const TiffType want = e.tag == tags::UserComment ? TiffType::ASCII : t->type;
    EXPECT_EQ(e.type, static_cast<unsigned>(want)) << t->name;
  }
}

}  // namespace
}  // namespace sortelia::exif
