// The EXIF record of a JPEG file: TExifInfo reads the EXIF block of a picture into a fixed set
// of fields (the 56 tags exif_tags.h marks as read), each kept as display text and as a
// number. WriteExif (exif_writer.h) writes the fields back into a JPEG as a new APP1 segment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sortelia::exif {

// A rational tag: Text is "n/d" exactly as stored ("%u/%u", or "%d/%d" when signed); Value is
// n / d, or 0 when d is 0.
struct TExifRational {
  std::string Text;
  double Value = 0;
};

// An enumerated tag: Value is the stored code, Text its label (empty for a code without one).
struct TExifStringValue {
  std::string Text;
  std::int32_t Value = 0;
};

// One decoded IFD entry value. For ASCII entries Text holds the raw bytes (NULs dropped), for
// UNDEFINED entries two upper-case hexadecimal digits per byte.
struct TDatas {
  double DoubleValue = 0;
  std::int32_t SignedValue = 0;
  std::string Text;
  std::uint32_t UnsignedValue = 0;
};

class ByteSource;

class TExifInfo {
 public:
  // Every field cleared, no file name, SearchRange 32.
  TExifInfo() = default;

  // The record, in declared order. Texts are UTF-8 (taken from the file as UTF-8 when valid,
  // otherwise as CP932).
  bool MotorolaOrder = false;  // "MM" byte order; kept across reads, used by the writer
  TExifRational ApertureValue;
  TExifRational BrightnessValue;
  TExifStringValue ColorSpace;
  TExifStringValue Compression;
  TExifRational CompressedBitsPerPixel;
  std::string Copyright;
  std::string DateTime;
  std::string DateTimeDigitized;
  std::string DateTimeOriginal;
  std::string ExifVersion;
  TExifRational ExposureBiasValue;
  TExifStringValue ExposureProgram;
  TExifRational ExposureTime;
  TExifStringValue Flash;
  std::string FlashpixVersion;
  TExifRational FNumber;
  TExifRational FocalLength;
  TExifStringValue FocalPlaneResolutionUnit;
  TExifRational FocalPlaneXResolution;
  TExifRational FocalPlaneYResolution;
  std::string ImageDescription;
  // ImageFileName: see ImageFileName() / setImageFileName() below.
  std::int32_t PixelYDimension = 0;
  std::int32_t PixelXDimension = 0;
  std::uint16_t ISOSpeedRatings = 0;
  std::int32_t JPEGInterchangeFormat = 0;
  std::int32_t JPEGInterchangeFormatLength = 0;
  TExifStringValue LightSource;
  std::string Make;
  std::int32_t MakerNoteSize = 0;
  std::int32_t MakerNoteOffset = 0;
  TExifRational MaxApertureValue;
  TExifStringValue MeteringMode;
  std::string Model;
  std::uint8_t Orientation = 0;
  // Called with the component when a read finds no EXIF segment.
  std::function<void(TExifInfo&)> OnReadError;
  TExifStringValue PhotometricInterpretation;
  std::uint16_t PlanarConfiguration = 0;
  std::string RelatedSoundFile;
  TExifStringValue ResolutionUnit;
  std::uint16_t SamplesPerPixel = 0;
  std::int32_t SearchRange = 32;  // bytes searched for the APP1 marker before the segment walk
  TExifStringValue SensingMethod;
  TExifRational ShutterSpeedValue;
  std::string Software;
  TExifRational SubjectDistance;
  std::string SubSecTime;
  std::string SubSecTimeDigitized;
  std::string SubSecTimeOriginal;
  std::int32_t ImageLength = 0;
  std::int32_t ImageWidth = 0;
  std::uint8_t ThumbOrientation = 0;
  TExifStringValue ThumbResolutionUnit;
  TExifRational ThumbXResolution;
  TExifRational ThumbYResolution;
  std::vector<std::string> UserComment;  // one item per UserComment entry read
  TExifRational XResolution;
  TExifRational YResolution;

  // The file last assigned.
  const std::string& ImageFileName() const { return imageFileName_; }

  // Assigning ImageFileName: stores the name, clears the record and reads the file's EXIF
  // block: a JPEG's EXIF segment; else a HEIC's, HEIF's or AVIF's Exif item; a TIFF-based
  // RAW's own IFDs; a CR3's TIFF blocks; another RAW's preview JPEG's EXIF segment. Without
  // any of these the record stays cleared and OnReadError is called.
  // Throws std::system_error only for an I/O error while reading an opened file.
  void setImageFileName(const std::string& path);

  // Reads the EXIF block of an in-memory JPEG as if it were the file's content (the file name
  // is kept). Returns false when no EXIF segment was found (OnReadError is then called).
  bool readFromBytes(std::string_view jpegBytes);

  // True when the file is a JPEG with an EXIF segment (see findExifSegment in exif_segment.h: the
  // byte search within SearchRange bytes, then the walk over the segments); no field changes.
  bool HasExif(const std::string& path) const;

  // Empties every text, zeroes every number and clears UserComment; the file name,
  // SearchRange and MotorolaOrder are kept.
  void ClearAll();

 private:
  // The EXIF of a file that has no JPEG EXIF segment, read from the kinds setImageFileName
  // names; false when it holds none.
  bool readOtherPicture(const ByteSource& src, const std::string& path);
  std::string imageFileName_;
};

// Label of an enumerated tag's code; empty for codes without a label. Tag is the EXIF tag
// number (tags::ExposureProgram, MeteringMode, LightSource, Flash, SensingMethod, ColorSpace,
// Compression, PhotometricInterpretation, FocalPlaneResolutionUnit, ResolutionUnit).
std::string exifLabel(std::uint16_t tag, std::uint32_t code);

// The comment of an UNDEFINED UserComment value (8-byte character code, then the text) as
// UTF-8: ASCII, Unicode (UTF-16 in the file's byte order) and JIS are decoded; any other code
// gives "". NUL characters are dropped.
std::string DecodeUserComment(std::string_view bytes, bool motorolaOrder);

}  // namespace sortelia::exif
