// The reduction pipeline of reduced-size saves: resample, optional sepia or black-and-white,
// JPEG encoding at a quality level 1..10, and the file-to-file reductions built on it.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "imaging/bitmap.h"

namespace sortelia::outputs {

// A reduction could not be done (unreadable or undecodable source, bad size); nothing was
// written.
class ReductionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// JPEG quality for a quality level: Trunc(sqrt(sqrt(level / 0.099)) * pi * 10), so levels
// 1..10 give 56 66 73 79 83 87 91 94 97 99. Levels outside 1..10 are clamped into it.
int jpegQualityForLevel(int level);

// Resamples picture to width x height, then applies sepia when asked, then black-and-white
// when asked. Throws ReductionError for a size below 1 or above 65535 (the JPEG limit).
imaging::Bitmap ReduceWithEffects(imaging::Bitmap picture, int width, int height, bool sepia,
                                  bool blackAndWhite);

// Encodes picture as a JPEG at the level's quality. Throws ReductionError when the encoder
// fails.
std::string encodeJpegAtLevel(const imaging::Bitmap& picture, int level);

// Encodes picture at the level's JPEG quality and writes it to file, replacing the file
// atomically; an EXIF segment given (exif::buildExifSegment, for the picture's size) goes
// directly after SOI in the same write. Throws ReductionError when encoding or writing fails
// (the file is then untouched).
void SaveJpegAtLevel(const imaging::Bitmap& picture, const std::string& file, int level,
                     std::string_view exifSegment = {});

// The name of a single reduced save beside file: "<dir>0_[S_]<base>-<w>x<h>-<level>.jpg".
std::string MakeReducedName(const std::string& file, int width, int height, int level, bool sepia);

// Decodes a picture file (JPEG, HEIF or RAW) at full size and resamples it to width x height
// (the same bytes as decoding, then ResampleBitmap); a damaged file gives what could be
// decoded.
// Throws ReductionError when nothing could be decoded.
imaging::Bitmap loadPictureResampled(const std::string& file, int width, int height);

// The options of the reduced-size save window that the file-to-file reductions follow.
struct ReduceOptions {
  bool sepia = false;
  bool blackAndWhite = false;
  bool addExif = false;  // give the result the source's EXIF data
};

// The box a picture is reduced to, in pixels.
struct ReduceSize {
  int width = 0;
  int height = 0;
};

// How the file-to-file reduction reads its source (resampled to the size asked) and writes
// its result. Without save the result is encoded as a JPEG at the level, given the source's
// EXIF segment when asked, and written to the destination in one atomic write; a save of the
// caller's own writes the picture instead (no EXIF data can be added then).
struct PictureFiles {
  std::function<imaging::Bitmap(const std::string& file, int width, int height)> loadResampled =
      loadPictureResampled;
  std::function<void(const imaging::Bitmap&, const std::string& file, int level)> save;
};

// Reduces the picture in source into dest at size and level, with the options' effects. When
// the source's EXIF data call it landscape (PixelYDimension < PixelXDimension) and the box is
// portrait (height > width), width and height are exchanged. With addExif the source's EXIF
// data, with the reduced size, go into dest as its first APP1 segment. dest is written once,
// atomically; on failure nothing is written. A dest that names source itself (the same file
// under any name) is refused. Throws ReductionError, or exif::ExifWriteError when the EXIF
// data do not fit one segment.
void FToFJpgStrchTD(const std::string& source, const std::string& dest,
                    const ReduceOptions& options, ReduceSize size, int level,
                    const PictureFiles& files = {});

// The path FToFJpgStrch writes for source in folder: folder + "0_[S_]<source file name>"
// (the source's extension kept).
std::string reducedPathInFolder(const std::string& source, const std::string& folder, bool sepia);

// Reduces source into folder as reducedPathInFolder names it; returns the path written.
// Throws as FToFJpgStrchTD.
std::string FToFJpgStrch(const std::string& source, const std::string& folder,
                         const ReduceOptions& options, ReduceSize size, int level);

}  // namespace sortelia::outputs
