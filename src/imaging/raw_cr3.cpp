// The preview candidates and metadata of Canon CR3 files (ISO base media boxes).
#include <optional>

#include "imaging/iso_boxes.h"
#include "imaging/raw_containers.h"
#include "imaging/tiff_walk.h"

namespace sortelia::imaging::raw {
namespace {

// The uuid box at the top level that holds the PRVW box (a 1620 x 1080 JPEG).
constexpr std::string_view kPreviewUuid(
    "\xea\xf4\x2b\x5e\x1c\x98\x4b\x88\xb9\xfb\xb7\xdc\x40\x6e\x4d\x16", 16);
// The uuid box inside moov with Canon's metadata boxes: CMT1..CMT4 (TIFF data) and THMB.
constexpr std::string_view kCanonUuid(
    "\x85\xc0\xb6\x87\x82\x0f\x11\xe0\x81\x11\xf4\xce\x46\x2b\x6a\x48", 16);

using iso::bigEndian;
using iso::Box;

// The reader of one file: its box budget is shared by all the walks below.
struct BoxReader : iso::BoxReader {
  explicit BoxReader(std::string_view bytes) : iso::BoxReader(bytes, kMaxBoxes) {}
};

// PRVW: 4 bytes, a 16-bit 1, width and height (16 bits each), 16 bits, the JPEG's length
// (32 bits), then the JPEG.
void addPrvw(std::string_view bytes, const Box& prvw, Found& found) {
  if (prvw.end - prvw.body < 16) return;
  const std::uint64_t length = bigEndian(bytes, prvw.body + 12, 4);
  if (length <= prvw.end - prvw.body - 16) found.candidates.push_back({prvw.body + 16, length});
}

// THMB (a 160 x 120 JPEG): version and flags, width and height (16 bits each), the JPEG's
// length (32 bits), 4 bytes, then the JPEG.
void addThmb(std::string_view bytes, const Box& thmb, Found& found) {
  if (thmb.end - thmb.body < 16) return;
  const std::uint64_t length = bigEndian(bytes, thmb.body + 8, 4);
  if (length <= thmb.end - thmb.body - 16) found.candidates.push_back({thmb.body + 16, length});
}

// The first sample of a track: its size from stsz, its offset from co64 or stco.
void addFirstSample(std::string_view bytes, BoxReader& reader, const Box& trak, Found& found) {
  std::optional<Box> box = trak;
  for (std::string_view type : {"mdia", "minf", "stbl"}) {
    box = reader.child(*box, type);
    if (!box) return;
  }
  const auto stsz = reader.child(*box, "stsz");
  const auto co64 = reader.child(*box, "co64");
  const auto stco = co64 ? std::nullopt : reader.child(*box, "stco");
  if (!stsz || (!co64 && !stco)) return;
  // stsz: version and flags, the size of every sample (0: each has its own), the count, then
  // the sizes when they differ.
  if (stsz->end - stsz->body < 12) return;
  std::uint64_t size = bigEndian(bytes, stsz->body + 4, 4);
  const std::uint64_t count = bigEndian(bytes, stsz->body + 8, 4);
  if (count == 0) return;
  if (size == 0) {
    if (stsz->end - stsz->body < 16) return;
    size = bigEndian(bytes, stsz->body + 12, 4);
  }
  // co64 and stco: version and flags, the count, then 64- or 32-bit offsets.
  const Box& offsets = co64 ? *co64 : *stco;
  const int width = co64 ? 8 : 4;
  if (offsets.end - offsets.body < std::uint64_t(8 + width)) return;
  if (bigEndian(bytes, offsets.body + 4, 4) == 0) return;
  found.candidates.push_back({bigEndian(bytes, offsets.body + 8, width), size});
}

}  // namespace

bool isCr3(std::string_view bytes) {
  return bytes.size() >= 12 && bytes.substr(4, 4) == "ftyp" && bytes.substr(8, 4) == "crx ";
}

Found readCr3(std::string_view bytes) {
  Found found;
  if (!isCr3(bytes)) return found;
  BoxReader reader(bytes);
  bool trackSeen = false;
  for (const Box& top : reader.read(0, bytes.size())) {
    if (top.type == "uuid" && top.userType == kPreviewUuid) {
      // Eight bytes come before the PRVW box.
      if (const auto prvw = reader.child(top, "PRVW", 8)) addPrvw(bytes, *prvw, found);
    } else if (top.type == "moov") {
      for (const Box& b : reader.read(top.body, top.end)) {
        if (b.type == "uuid" && b.userType == kCanonUuid) {
          for (const Box& m : reader.read(b.body, b.end)) {
            const std::string_view data = bytes.substr(m.body, m.end - m.body);
            if (m.type == "CMT1") found.ifd0 = std::string(data);
            if (m.type == "CMT2") found.exifIfd = std::string(data);
            if (m.type == "THMB") addThmb(bytes, m, found);
          }
        } else if (b.type == "trak" && !trackSeen) {
          // Track 1 holds the full-size JPEG; the others the RAW data.
          trackSeen = true;
          addFirstSample(bytes, reader, b, found);
        }
      }
    }
  }
  found.orientation = tiffOrientation(found.ifd0);
  return found;
}

}  // namespace sortelia::imaging::raw
