// The one table of the EXIF and TIFF tags this program knows: number, standard name, the IFDs
// it belongs to and its TIFF type. The reader dispatches on it, the writer and the test
// builders take their tag numbers and types from it, and a dump can name what it shows.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace sortelia::exif {

// TIFF field types (the type code of an IFD entry).
enum class TiffType : std::uint16_t {
  BYTE = 1,
  ASCII = 2,
  SHORT = 3,
  LONG = 4,
  RATIONAL = 5,
  SBYTE = 6,
  UNDEFINED = 7,
  SSHORT = 8,
  SLONG = 9,
  SRATIONAL = 10,
  FLOAT = 11,
  DOUBLE = 12,
};

// Bytes per value of a type code: 1 for BYTE, ASCII, SBYTE, UNDEFINED; 2 for SHORT, SSHORT;
// 4 for LONG, SLONG, FLOAT; 8 for RATIONAL, SRATIONAL, DOUBLE and any unknown code.
unsigned tiffTypeSize(unsigned typeCode);
inline unsigned tiffTypeSize(TiffType type) { return tiffTypeSize(static_cast<unsigned>(type)); }

// The standard name of a type code ("SHORT"); "" for an unknown code.
std::string_view tiffTypeName(unsigned typeCode);

// The image file directories of an EXIF block.
enum class Ifd { kIfd0, kExif, kGps, kInterop, kIfd1 };

// The name of an IFD as dumps show it ("IFD0", "Exif", "GPS", "Interop", "IFD1").
std::string_view ifdName(Ifd ifd);

// The tag numbers, by standard name.
namespace tags {
inline constexpr std::uint16_t InteroperabilityIndex = 0x0001;
inline constexpr std::uint16_t InteroperabilityVersion = 0x0002;
inline constexpr std::uint16_t ImageWidth = 0x0100;
inline constexpr std::uint16_t ImageLength = 0x0101;
inline constexpr std::uint16_t Compression = 0x0103;
inline constexpr std::uint16_t PhotometricInterpretation = 0x0106;
inline constexpr std::uint16_t ImageDescription = 0x010E;
inline constexpr std::uint16_t Make = 0x010F;
inline constexpr std::uint16_t Model = 0x0110;
inline constexpr std::uint16_t Orientation = 0x0112;
inline constexpr std::uint16_t SamplesPerPixel = 0x0115;
inline constexpr std::uint16_t XResolution = 0x011A;
inline constexpr std::uint16_t YResolution = 0x011B;
inline constexpr std::uint16_t PlanarConfiguration = 0x011C;
inline constexpr std::uint16_t ResolutionUnit = 0x0128;
inline constexpr std::uint16_t Software = 0x0131;
inline constexpr std::uint16_t DateTime = 0x0132;
inline constexpr std::uint16_t JPEGInterchangeFormat = 0x0201;
inline constexpr std::uint16_t JPEGInterchangeFormatLength = 0x0202;
inline constexpr std::uint16_t RelatedImageWidth = 0x1001;
inline constexpr std::uint16_t RelatedImageLength = 0x1002;
inline constexpr std::uint16_t Copyright = 0x8298;
inline constexpr std::uint16_t ExposureTime = 0x829A;
inline constexpr std::uint16_t FNumber = 0x829D;
inline constexpr std::uint16_t ExifIFDPointer = 0x8769;
inline constexpr std::uint16_t ExposureProgram = 0x8822;
inline constexpr std::uint16_t GPSInfoIFDPointer = 0x8825;
inline constexpr std::uint16_t ISOSpeedRatings = 0x8827;
inline constexpr std::uint16_t ExifVersion = 0x9000;
inline constexpr std::uint16_t DateTimeOriginal = 0x9003;
inline constexpr std::uint16_t DateTimeDigitized = 0x9004;
inline constexpr std::uint16_t CompressedBitsPerPixel = 0x9102;
inline constexpr std::uint16_t ShutterSpeedValue = 0x9201;
inline constexpr std::uint16_t ApertureValue = 0x9202;
inline constexpr std::uint16_t BrightnessValue = 0x9203;
inline constexpr std::uint16_t ExposureBiasValue = 0x9204;
inline constexpr std::uint16_t MaxApertureValue = 0x9205;
inline constexpr std::uint16_t SubjectDistance = 0x9206;
inline constexpr std::uint16_t MeteringMode = 0x9207;
inline constexpr std::uint16_t LightSource = 0x9208;
inline constexpr std::uint16_t Flash = 0x9209;
inline constexpr std::uint16_t FocalLength = 0x920A;
inline constexpr std::uint16_t MakerNote = 0x927C;
inline constexpr std::uint16_t UserComment = 0x9286;
inline constexpr std::uint16_t SubSecTime = 0x9290;
inline constexpr std::uint16_t SubSecTimeOriginal = 0x9291;
inline constexpr std::uint16_t SubSecTimeDigitized = 0x9292;
inline constexpr std::uint16_t FlashpixVersion = 0xA000;
inline constexpr std::uint16_t ColorSpace = 0xA001;
inline constexpr std::uint16_t PixelXDimension = 0xA002;
inline constexpr std::uint16_t PixelYDimension = 0xA003;
inline constexpr std::uint16_t RelatedSoundFile = 0xA004;
inline constexpr std::uint16_t InteroperabilityIFDPointer = 0xA005;
inline constexpr std::uint16_t FocalPlaneXResolution = 0xA20E;
inline constexpr std::uint16_t FocalPlaneYResolution = 0xA20F;
inline constexpr std::uint16_t FocalPlaneResolutionUnit = 0xA210;
inline constexpr std::uint16_t ExposureIndex = 0xA215;
inline constexpr std::uint16_t SensingMethod = 0xA217;
}  // namespace tags

// One known tag. ifds has bit (1 << Ifd) set for every IFD the tag belongs to; type is the
// type the EXIF standard gives it (of "SHORT or LONG" the wider one). read tells whether the
// EXIF reader takes a value from it (the GPS pointer and InteroperabilityVersion it skips).
struct ExifTag {
  std::uint16_t number;
  std::string_view name;
  unsigned ifds;
  TiffType type;
  bool read;

  bool in(Ifd ifd) const { return (ifds & (1u << static_cast<unsigned>(ifd))) != 0; }
};

// Every known tag, in ascending tag order.
std::span<const ExifTag> exifTags();

// The tag with this number that belongs to ifd; nullptr when there is none.
const ExifTag* findTag(std::uint16_t number, Ifd ifd);
// The tag with this number in any IFD (numbers below 0x0100 are only meaningful per IFD and
// give the Interoperability tag); nullptr when there is none.
const ExifTag* findTag(std::uint16_t number);

// The standard name of a tag in an IFD ("DateTimeOriginal"); "" for an unknown tag.
std::string_view tagName(std::uint16_t number, Ifd ifd);

// The type the table gives a tag; UNDEFINED for an unknown tag.
TiffType tagType(std::uint16_t number);

// True when the EXIF reader takes a value from a tag with this number (in whichever IFD).
bool isReadTag(std::uint16_t number);

}  // namespace sortelia::exif
