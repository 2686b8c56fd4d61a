#include "exif/exif_tags.h"

#include <algorithm>
#include <array>

namespace sortelia::exif {
namespace {

constexpr unsigned bit(Ifd ifd) { return 1u << static_cast<unsigned>(ifd); }

constexpr unsigned kIfd0 = bit(Ifd::kIfd0);
constexpr unsigned kExif = bit(Ifd::kExif);
constexpr unsigned kInterop = bit(Ifd::kInterop);
constexpr unsigned kIfd1 = bit(Ifd::kIfd1);
// TIFF tags that describe the main picture in IFD0 and the thumbnail in IFD1.
constexpr unsigned kTiff = kIfd0 | kIfd1;

using T = TiffType;

// clang-format off
constexpr ExifTag kTags[] = {
    {tags::InteroperabilityIndex,       "InteroperabilityIndex",       kInterop, T::ASCII,     true},
    {tags::InteroperabilityVersion,     "InteroperabilityVersion",     kInterop, T::UNDEFINED, false},
    {tags::ImageWidth,                  "ImageWidth",                  kTiff,    T::LONG,      true},
    {tags::ImageLength,                 "ImageLength",                 kTiff,    T::LONG,      true},
    {tags::Compression,                 "Compression",                 kTiff,    T::SHORT,     true},
    {tags::PhotometricInterpretation,   "PhotometricInterpretation",   kTiff,    T::SHORT,     true},
    {tags::ImageDescription,            "ImageDescription",            kTiff,    T::ASCII,     true},
    {tags::Make,                        "Make",                        kTiff,    T::ASCII,     true},
    {tags::Model,                       "Model",                       kTiff,    T::ASCII,     true},
    {tags::Orientation,                 "Orientation",                 kTiff,    T::SHORT,     true},
    {tags::SamplesPerPixel,             "SamplesPerPixel",             kTiff,    T::SHORT,     true},
    {tags::XResolution,                 "XResolution",                 kTiff,    T::RATIONAL,  true},
    {tags::YResolution,                 "YResolution",                 kTiff,    T::RATIONAL,  true},
    {tags::PlanarConfiguration,         "PlanarConfiguration",         kTiff,    T::SHORT,     true},
    {tags::ResolutionUnit,              "ResolutionUnit",              kTiff,    T::SHORT,     true},
    {tags::Software,                    "Software",                    kTiff,    T::ASCII,     true},
    {tags::DateTime,                    "DateTime",                    kTiff,    T::ASCII,     true},
    {tags::JPEGInterchangeFormat,       "JPEGInterchangeFormat",       kIfd1,    T::LONG,      true},
    {tags::JPEGInterchangeFormatLength, "JPEGInterchangeFormatLength", kIfd1,    T::LONG,      true},
    {tags::RelatedImageWidth,           "RelatedImageWidth",           kInterop, T::LONG,      true},
    {tags::RelatedImageLength,          "RelatedImageLength",          kInterop, T::LONG,      true},
    {tags::Copyright,                   "Copyright",                   kTiff,    T::ASCII,     true},
    {tags::ExposureTime,                "ExposureTime",                kExif,    T::RATIONAL,  true},
    {tags::FNumber,                     "FNumber",                     kExif,    T::RATIONAL,  true},
    {tags::ExifIFDPointer,              "ExifIFDPointer",              kIfd0,    T::LONG,      true},
    {tags::ExposureProgram,             "ExposureProgram",             kExif,    T::SHORT,     true},
    {tags::GPSInfoIFDPointer,           "GPSInfoIFDPointer",           kIfd0,    T::LONG,      false},
    {tags::ISOSpeedRatings,             "ISOSpeedRatings",             kExif,    T::SHORT,     true},
    {tags::ExifVersion,                 "ExifVersion",                 kExif,    T::UNDEFINED, true},
    {tags::DateTimeOriginal,            "DateTimeOriginal",            kExif,    T::ASCII,     true},
    {tags::DateTimeDigitized,           "DateTimeDigitized",           kExif,    T::ASCII,     true},
    {tags::CompressedBitsPerPixel,      "CompressedBitsPerPixel",      kExif,    T::RATIONAL,  true},
    {tags::ShutterSpeedValue,           "ShutterSpeedValue",           kExif,    T::SRATIONAL, true},
    {tags::ApertureValue,               "ApertureValue",               kExif,    T::RATIONAL,  true},
    {tags::BrightnessValue,             "BrightnessValue",             kExif,    T::SRATIONAL, true},
    {tags::ExposureBiasValue,           "ExposureBiasValue",           kExif,    T::SRATIONAL, true},
    {tags::MaxApertureValue,            "MaxApertureValue",            kExif,    T::RATIONAL,  true},
    {tags::SubjectDistance,             "SubjectDistance",             kExif,    T::RATIONAL,  true},
    {tags::MeteringMode,                "MeteringMode",                kExif,    T::SHORT,     true},
    {tags::LightSource,                 "LightSource",                 kExif,    T::SHORT,     true},
    {tags::Flash,                       "Flash",                       kExif,    T::SHORT,     true},
    {tags::FocalLength,                 "FocalLength",                 kExif,    T::RATIONAL,  true},
    {tags::MakerNote,                   "MakerNote",                   kExif,    T::UNDEFINED, true},
    {tags::UserComment,                 "UserComment",                 kExif,    T::UNDEFINED, true},
    {tags::SubSecTime,                  "SubSecTime",                  kExif,    T::ASCII,     true},
    {tags::SubSecTimeOriginal,          "SubSecTimeOriginal",          kExif,    T::ASCII,     true},
    {tags::SubSecTimeDigitized,         "SubSecTimeDigitized",         kExif,    T::ASCII,     true},
    {tags::FlashpixVersion,             "FlashpixVersion",             kExif,    T::UNDEFINED, true},
    {tags::ColorSpace,                  "ColorSpace",                  kExif,    T::SHORT,     true},
    {tags::PixelXDimension,             "PixelXDimension",             kExif,    T::LONG,      true},
    {tags::PixelYDimension,             "PixelYDimension",             kExif,    T::LONG,      true},
    {tags::RelatedSoundFile,            "RelatedSoundFile",            kExif,    T::ASCII,     true},
    {tags::InteroperabilityIFDPointer,  "InteroperabilityIFDPointer",  kExif,    T::LONG,      true},
    {tags::FocalPlaneXResolution,       "FocalPlaneXResolution",       kExif,    T::RATIONAL,  true},
    {tags::FocalPlaneYResolution,       "FocalPlaneYResolution",       kExif,    T::RATIONAL,  true},
    {tags::FocalPlaneResolutionUnit,    "FocalPlaneResolutionUnit",    kExif,    T::SHORT,     true},
    {tags::ExposureIndex,               "ExposureIndex",               kExif,    T::RATIONAL,  true},
    {tags::SensingMethod,               "SensingMethod",               kExif,    T::SHORT,     true},
};
// clang-format on

constexpr bool ascending() {
  for (std::size_t i = 1; i < std::size(kTags); ++i) {
    if (kTags[i - 1].number >= kTags[i].number) return false;
  }
  return true;
}
static_assert(ascending(), "the tag table is searched by number and must stay sorted");

constexpr std::array<std::string_view, 13> kTypeNames = {
    "",          "BYTE",   "ASCII", "SHORT",     "LONG",  "RATIONAL", "SBYTE",
    "UNDEFINED", "SSHORT", "SLONG", "SRATIONAL", "FLOAT", "DOUBLE"};

}  // namespace

unsigned tiffTypeSize(unsigned typeCode) {
  switch (static_cast<TiffType>(typeCode)) {
    case TiffType::BYTE:
    case TiffType::ASCII:
    case TiffType::SBYTE:
    case TiffType::UNDEFINED:
      return 1;
    case TiffType::SHORT:
    case TiffType::SSHORT:
      return 2;
    case TiffType::LONG:
    case TiffType::SLONG:
    case TiffType::FLOAT:
      return 4;
    default:
      return 8;
  }
}

std::string_view tiffTypeName(unsigned typeCode) {
  return typeCode < kTypeNames.size() ? kTypeNames[typeCode] : std::string_view();
}

std::string_view ifdName(Ifd ifd) {
  switch (ifd) {
    case Ifd::kIfd0:
      return "IFD0";
    case Ifd::kExif:
      return "Exif";
    case Ifd::kGps:
      return "GPS";
    case Ifd::kInterop:
      return "Interop";
    case Ifd::kIfd1:
      return "IFD1";
  }
  return {};
}

std::span<const ExifTag> exifTags() { return kTags; }

const ExifTag* findTag(std::uint16_t number) {
  const auto* it = std::lower_bound(std::begin(kTags), std::end(kTags), number,
                                    [](const ExifTag& t, std::uint16_t n) { return t.number < n; });
  return it != std::end(kTags) && it->number == number ? it : nullptr;
}

const ExifTag* findTag(std::uint16_t number, Ifd ifd) {
  const ExifTag* t = findTag(number);
  return t && t->in(ifd) ? t : nullptr;
}

std::string_view tagName(std::uint16_t number, Ifd ifd) {
  const ExifTag* t = findTag(number, ifd);
  return t ? t->name : std::string_view();
}

TiffType tagType(std::uint16_t number) {
  const ExifTag* t = findTag(number);
  return t ? t->type : TiffType::UNDEFINED;
}

bool isReadTag(std::uint16_t number) {
  const ExifTag* t = findTag(number);
  return t && t->read;
}

}  // namespace sortelia::exif
