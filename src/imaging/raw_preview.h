// The preview JPEG a camera embeds in its RAW files, found without developing the RAW: the
// container readers of TIFF-based RAWs (DNG, NEF, ARW, CR2, PEF, ORF, RW2, SRW, ...), Canon's
// CR3 and Fujifilm's RAF, and LibRaw's thumbnail for every other kind.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "imaging/bitmap.h"
#include "imaging/jpeg_codec.h"

namespace sortelia::imaging {

// Largest RAW file read from disk, in bytes.
inline constexpr std::size_t kMaxRawFileBytes = 1024u * 1024 * 1024;

// Where the preview was found.
enum class RawContainer { None, Tiff, Cr3, Raf, LibRaw };

// What the extraction found: the largest preview JPEG (by its pixel size) with the RAW's
// orientation, or an empty jpeg and a message.
struct [[nodiscard]] RawPreview {
  std::string jpeg;  // the preview's bytes, a complete JPEG file
  int width = 0;     // its pixel size, from its frame header
  int height = 0;
  int orientation = 1;  // how to turn it to show it: EXIF Orientation 1..8
  RawContainer container = RawContainer::None;
  // A CR3's metadata as TIFF data for the EXIF reader: CMT1 holds IFD0 (Make, Model,
  // Orientation), CMT2 the EXIF IFD (DateTimeOriginal) as the IFD0 of its own TIFF block.
  // Empty for other containers (a TIFF-based RAW is TIFF data itself).
  std::string cr3Ifd0;
  std::string cr3ExifIfd;
  std::string error;
  bool ok() const { return !jpeg.empty(); }
};

// Finds the largest embedded preview JPEG in a RAW file's bytes and the RAW's orientation.
// Candidates are taken from IFD0, its chain and SubIFDs (JPEGInterchangeFormat, strips of
// JPEG compression, RW2's JpgFromRaw); from a CR3's PRVW box and its first track's sample;
// from a RAF's header. A candidate counts only when its bytes lie in the file and start a JPEG
// whose frame header libjpeg-turbo reads. For files of other kinds (CRW, X3F, MRW, ...) and
// ORFs whose containers hold no preview, LibRaw's thumbnail is asked for (within LibRaw's
// memory limits; the RAW itself is never decoded).
// Never throws for bad input; allocates no more than the file's size.
RawPreview extractRawPreview(std::string_view bytes);

// As extractRawPreview, for a file read up to kMaxRawFileBytes.
RawPreview extractRawPreviewFile(const std::string& path);

// extractRawPreview without LibRaw: only the container readers of this unit.
RawPreview extractOwnRawPreview(std::string_view bytes);

// source as it is to be shown under an EXIF orientation: 3, 6 and 8 turn it (a half turn, a
// quarter turn clockwise, a quarter turn anticlockwise); the mirrored ones swap left and right
// first and then turn as their numbers say: 2 (mirror), 4 (mirror and a half turn: upside
// down), 5 (mirror and a quarter turn anticlockwise: the transpose), 7 (mirror and a quarter
// turn clockwise). 1 and unknown values leave the picture as it is.
Bitmap orientBitmap(const Bitmap& source, int orientation);

// The preview decoded through decodeJpeg and turned by the RAW's orientation. A preview that
// decodes only in part keeps its partial flag and message.
JpegDecodeResult decodeRawPreview(const RawPreview& preview, JpegScale scale = JpegScale::Full);

}  // namespace sortelia::imaging
