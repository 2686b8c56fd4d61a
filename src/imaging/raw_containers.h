// The container readers behind raw_preview: each lists the byte ranges of a RAW file that may
// hold a preview JPEG, and what it knows of the orientation. Only raw_preview uses them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sortelia::imaging::raw {

// A byte range of the file, not yet checked to lie inside it or to hold a JPEG.
struct Range {
  std::uint64_t at = 0;
  std::uint64_t size = 0;
};

struct Found {
  std::vector<Range> candidates;
  int orientation = 0;  // EXIF 1..8; 0 when the container says nothing
  std::string ifd0;     // CR3: the TIFF data of CMT1 and CMT2
  std::string exifIfd;
};

// Limits of the walks: IFDs visited (and waiting) in all, SubIFDs followed from one entry,
// boxes read.
inline constexpr int kMaxIfds = 64;
inline constexpr std::uint32_t kMaxSubIfds = 16;
inline constexpr int kMaxBoxes = 4096;

// TIFF-based RAWs: "II" or "MM" followed by the magic 42, 0x55 (RW2) or the ORF magics.
bool isTiffRaw(std::string_view bytes);
Found readTiffRaw(std::string_view bytes);

// Canon CR3: an ISO base media file whose ftyp box has the brand "crx ".
bool isCr3(std::string_view bytes);
Found readCr3(std::string_view bytes);

}  // namespace sortelia::imaging::raw
