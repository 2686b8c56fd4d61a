// Where a JPEG file keeps its EXIF block: the APP1 segment the reader reads and the writer
// replaces or puts in front of.
#pragma once

#include <cstdint>
#include <optional>

#include "exif/byte_source.h"

namespace sortelia::exif {

struct ExifSegment {
  std::uint64_t marker = 0;      // offset of the FF E1 marker
  std::uint64_t tiffHeader = 0;  // offset of the TIFF header behind the 6-byte identifier
  std::uint64_t end = 0;         // offset just past the segment, by its length field
  bool foundByWalk = false;      // found by walking the segments, not by the byte search
};

// The EXIF segment of a JPEG (the data must start with FF D8).
// First the byte search: the first FF E1 pair starting within the first searchRange bytes;
// it counts when its identifier reads "exif" (any case) up to its first NUL. When that finds
// nothing, the segments are walked from SOI up to the start of scan, and the first APP1 whose
// identifier is "Exif\0\0" counts. The walk stops at SOS or EOI and at anything that is not a
// well-formed segment (a missing marker, a length below 2, a segment running past the end).
// Throws std::system_error only on an I/O error of a file source.
std::optional<ExifSegment> findExifSegment(const ByteSource& src, std::int32_t searchRange);

}  // namespace sortelia::exif
