// WriteExif: gives a JPEG file a new APP1 EXIF segment, built from a TExifInfo record, directly
// after its SOI marker, or directly before an EXIF segment found only behind other segments.
// Everything the file held (an older EXIF segment included) is kept.
#pragma once

#include <stdexcept>
#include <string>

#include "exif/exif_info.h"

namespace sortelia::exif {

// A picture could not be given its EXIF segment; the file is left as it was.
class ExifWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The target file is missing, cannot be opened or is not a JPEG file.
class EFOpenError : public ExifWriteError {
 public:
  using ExifWriteError::ExifWriteError;
};

// The largest APP1 body (identifier and TIFF data) one segment can hold.
inline constexpr std::size_t kMaxApp1Body = 65533;

// The APP1 segment (marker FF E1, 2-byte length, "Exif\0\0", TIFF data) for the record, in the
// record's byte order (MotorolaOrder), with width x height as PixelX/YDimension.
// Throws ExifWriteError when the body would exceed kMaxApp1Body bytes.
std::string buildExifSegment(const TExifInfo& info, int width, int height);

// Writes the record into the JPEG file at path, with the pixel size the file's own JPEG data
// declare, as a new first APP1 segment; when the reader finds the file's EXIF segment only by
// walking the segments (it stands behind a colour profile, a comment ...), the new segment
// goes directly before that segment instead, which stays whole behind it. The file is replaced
// atomically (temporary file in the same folder, fsync, rename).
// Throws EFOpenError ("%s は存在しないか、または開けません。", "%s は無効なファイルです。")
// or ExifWriteError ("%s を書き込めません: <reason>", also for a file the user may not write,
// checked before anything is written; "%s は読み込んだ後に変更されたか移動されたため、
// 書き込みませんでした。" for a file changed, replaced or moved away while it was rewritten);
// the file is then untouched.
void WriteExif(const TExifInfo& info, const std::string& path);

}  // namespace sortelia::exif
