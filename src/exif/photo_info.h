// The photo record of the picture on display and its information text, in EXIF item mode
// (the item mask holds a "1") or camera parameter mode (it holds none).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "exif/camera_params.h"
#include "exif/exif_info.h"

namespace sortelia::exif {

inline constexpr int kExifItemCount = 27;
// The item mask a new installation and the command line start with: one "0" or "1" per item.
inline constexpr const char* kDefaultExifItemMask = "110011010101110010101100000";
inline constexpr std::size_t kParamHeaderSize = 1537;

// The photo data of the last file passed to GetPdata.
struct PhotoRecord {
  std::string Comment;  // user comment without the rotation mark
  std::string CameraMaker;
  std::string CameraModel;
  std::string ShotDate;  // "YYYY:MM:DD" as stored
  std::string ShotTime;  // "HH:MM:SS"
  std::int32_t Iso = 0;
  std::uint8_t FlashOn = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t ExposureCode = 0;  // see ret_shutter
  std::uint8_t FNumber10 = 0;
  std::int32_t ExposureBias10 = 0;
  std::int32_t FocalLength10 = 0;
  std::string FilePath;
  std::int32_t FileSize = 0;  // bytes; 0 when the file cannot be opened
};

// The labels of the 27 EXIF items ("01:画像ファイル名" ...).
extern const char* const ItemLabels[kExifItemCount];

// True when the mask selects EXIF item mode (holds at least one "1").
bool isExifItemMode(std::string_view mask);

// Label followed by a blank and hyphens, cut to 23 CP932 bytes.
std::string PadLabel(std::string_view label);
// The first two ":" replaced by "." ("2007:03:12 10:20:30" -> "2007.03.12 10:20:30").
std::string DotDate(std::string_view text);
// "---" for 0, "%g" of x from 1 s on, else "1/%g" of 1 / x.
std::string FormatSeconds(double x);
// Exposure time text of an ExposureCode: "1/%.0n" of code / 10 above 10, "%d" for other
// non-zero codes, "---" for 0.
std::string ret_shutter(std::int32_t code);
// The bytes at offset, at most length of them, up to the first zero byte, as UTF-8. Offset and
// length are clamped to the header and to 60 bytes.
std::string ReadParamString(std::string_view header, std::int32_t offset, std::int32_t length);
// The little-endian unsigned integer of length bytes at offset; clamped to the header and to
// 4 bytes.
std::uint32_t ReadParamInteger(std::string_view header, std::int32_t offset, std::int32_t length);

// The photo data of one picture at a time, read through its own EXIF reader (ExifInfo1).
class PhotoInfo {
 public:
  TExifInfo ExifInfo1;
  PhotoRecord record;
  std::string RotationMark;  // of the last file read in EXIF item mode

  // GetPdata: fills record (and RotationMark in EXIF item mode) for the file at path. mask is
  // the 27-character item mask; cameraSet is used in camera parameter mode.
  void GetPdata(const std::string& path, std::string_view mask, const CameraParamSet& cameraSet);
  // MakeDspPdat: the information text of the file of the last GetPdata (CR LF between lines,
  // none at the end).
  std::string MakeDspPdat(std::string_view mask) const;
  // DspPdata: MakeDspPdat, handed with record.Comment to show (the information window's text
  // and the comment field).
  void DspPdata(std::string_view mask,
                const std::function<void(const std::string& infoText, const std::string& comment)>&
                    show) const;

 private:
  void readFromExif(const std::string& path);
  void readFromHeader(const std::string& path, const CameraParamSet& set);
  std::string exifItemText(std::string_view mask) const;
  std::string cameraParamText() const;
};

}  // namespace sortelia::exif
