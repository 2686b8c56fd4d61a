#include "exif/exif_segment.h"

#include <cstring>
#include <string>

#include "platform/text_codec.h"

namespace sortelia::exif {
namespace {

constexpr unsigned char kMarkerApp1 = 0xE1;
constexpr unsigned char kMarkerSos = 0xDA;
constexpr unsigned char kMarkerEoi = 0xD9;

// The 2-byte big-endian length field of the segment whose marker starts at p; nullopt when it
// cannot be read.
std::optional<unsigned> segmentLength(const ByteSource& src, std::uint64_t p) {
  unsigned char b[2];
  if (!src.read(p + 2, 2, b)) return std::nullopt;
  return unsigned{b[0]} << 8 | b[1];
}

// The byte search for the FF E1 pair within the first searchRange bytes.
std::optional<ExifSegment> searchBytes(const ByteSource& src, std::int32_t searchRange) {
  unsigned char b[6];
  for (std::uint64_t p = 2;; ++p) {
    if (!src.read(p, 2, b)) return std::nullopt;
    if (b[0] == 0xFF && b[1] == kMarkerApp1) {
      if (!src.read(p + 4, 6, b)) return std::nullopt;
      std::string id;
      for (unsigned char c : b) {
        if (c == 0) break;
        id += static_cast<char>(c);
      }
      if (text::asciiLower(id) != "exif") return std::nullopt;
      const auto length = segmentLength(src, p);
      return ExifSegment{p, p + 10, p + 2 + length.value_or(0), false};
    }
    if (static_cast<std::int64_t>(p) + 2 > searchRange) return std::nullopt;
  }
}

// True for markers that stand alone or cannot begin a segment before the scan.
bool noSegmentMarker(unsigned char m) {
  return m == 0x00 || m == 0x01 || m == 0xD8 || (m >= 0xD0 && m <= 0xD7);
}

// The walk over the marker segments from SOI to the start of scan.
std::optional<ExifSegment> walkSegments(const ByteSource& src) {
  unsigned char b[6];
  std::uint64_t p = 2;
  for (;;) {
    if (!src.read(p, 2, b) || b[0] != 0xFF) return std::nullopt;
    while (b[1] == 0xFF) {  // fill bytes before a marker
      ++p;
      if (!src.read(p, 2, b)) return std::nullopt;
    }
    const unsigned char marker = b[1];
    if (marker == kMarkerSos || marker == kMarkerEoi || noSegmentMarker(marker)) {
      return std::nullopt;
    }
    const auto length = segmentLength(src, p);
    if (!length || *length < 2 || !src.contains(p + 2, *length)) return std::nullopt;
    if (marker == kMarkerApp1 && *length >= 8 && src.read(p + 4, 6, b) &&
        std::memcmp(b, "Exif\0\0", 6) == 0) {
      return ExifSegment{p, p + 10, p + 2 + *length, true};
    }
    p += 2 + *length;
  }
}

}  // namespace

std::optional<ExifSegment> findExifSegment(const ByteSource& src, std::int32_t searchRange) {
  unsigned char b[2];
  if (!src.read(0, 2, b) || b[0] != 0xFF || b[1] != 0xD8) return std::nullopt;
  if (auto found = searchBytes(src, searchRange)) return found;
  return walkSegments(src);
}

}  // namespace sortelia::exif
