// The preview candidates of TIFF-based RAW files.
#include <algorithm>
#include <deque>
#include <set>

#include "imaging/raw_containers.h"
#include "imaging/tiff_walk.h"

namespace sortelia::imaging::raw {
namespace {

constexpr std::uint16_t kCompression = 0x0103;
constexpr std::uint16_t kStripOffsets = 0x0111;
constexpr std::uint16_t kOrientation = 0x0112;
constexpr std::uint16_t kStripByteCounts = 0x0117;
constexpr std::uint16_t kSubIfds = 0x014A;
constexpr std::uint16_t kJpegOffset = 0x0201;
constexpr std::uint16_t kJpegLength = 0x0202;
// Panasonic RW2 keeps a whole JPEG file as the value of this IFD0 entry.
constexpr std::uint16_t kRw2JpgFromRaw = 0x002E;
constexpr std::uint16_t kRw2Magic = 0x55;
// JPEG compression as TIFF numbers it: old-style (6) and the one of TIFF technical note 2 (7).
constexpr std::uint32_t kOldJpeg = 6;
constexpr std::uint32_t kJpeg = 7;
// Strips of one picture read at most; a preview has one or a few.
constexpr std::uint32_t kMaxStrips = 256;

// A picture kept in JPEG strips is one candidate when its strips follow one another in the
// file: from the first strip's start to the last one's end.
void addStrips(const TiffReader& r, const TiffEntry& offsets, const TiffEntry& counts,
               Found& found) {
  if (offsets.count == 0 || offsets.count != counts.count || offsets.count > kMaxStrips) return;
  std::uint64_t start = 0, end = 0;
  for (std::uint32_t i = 0; i < offsets.count; ++i) {
    const auto at = r.number(offsets, i);
    const auto size = r.number(counts, i);
    if (!at || !size) return;
    if (i == 0) {
      start = *at;
    } else if (*at != end) {
      return;
    }
    end = std::uint64_t(*at) + *size;
  }
  found.candidates.push_back({start, end - start});
}

}  // namespace

bool isTiffRaw(std::string_view bytes) { return TiffReader(bytes).ok(); }

Found readTiffRaw(std::string_view bytes) {
  Found found;
  const TiffReader r(bytes);
  if (!r.ok()) return found;
  // Breadth first from IFD0: its chain (IFD1 holds the thumbnail) and its SubIFDs (where DNG,
  // NEF, ARW and PEF keep their larger previews). Each IFD is visited once, so a chain or
  // SubIFD pointing back to an IFD already seen ends there.
  std::deque<std::uint32_t> queue{r.firstIfd()};
  std::set<std::uint32_t> seen;
  int visited = 0;
  while (!queue.empty() && visited < kMaxIfds) {
    const std::uint32_t offset = queue.front();
    queue.pop_front();
    if (offset == 0 || !seen.insert(offset).second) continue;
    std::uint32_t next = 0;
    const auto entries = r.readIfd(offset, next);
    if (!entries) continue;
    const bool ifd0 = visited++ == 0;

    std::optional<std::uint32_t> jpegAt, jpegLength, compression;
    const TiffEntry* stripOffsets = nullptr;
    const TiffEntry* stripCounts = nullptr;
    for (const TiffEntry& e : *entries) {
      switch (e.tag) {
        case kOrientation:
          if (ifd0) {
            const auto v = r.number(e);
            if (v && *v >= 1 && *v <= 8) found.orientation = static_cast<int>(*v);
          }
          break;
        case kCompression:
          compression = r.number(e);
          break;
        case kJpegOffset:
          jpegAt = r.number(e);
          break;
        case kJpegLength:
          jpegLength = r.number(e);
          break;
        case kStripOffsets:
          stripOffsets = &e;
          break;
        case kStripByteCounts:
          stripCounts = &e;
          break;
        case kSubIfds:
          for (std::uint32_t i = 0; i < std::min(e.count, kMaxSubIfds); ++i) {
            const auto sub = r.number(e, i);
            if (sub && queue.size() < kMaxIfds) queue.push_back(*sub);
          }
          break;
        case kRw2JpgFromRaw:
          if (ifd0 && r.magic() == kRw2Magic && e.type == 7) {
            found.candidates.push_back({e.valueAt, e.valueSize});
          }
          break;
        default:
          break;
      }
    }
    if (jpegAt && jpegLength) found.candidates.push_back({*jpegAt, *jpegLength});
    if (stripOffsets && stripCounts && compression &&
        (*compression == kOldJpeg || *compression == kJpeg)) {
      addStrips(r, *stripOffsets, *stripCounts, found);
    }
    if (next != 0 && queue.size() < kMaxIfds) queue.push_back(next);
  }
  return found;
}

}  // namespace sortelia::imaging::raw
