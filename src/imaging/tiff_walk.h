// Reading TIFF structures (byte order, IFDs, their entries) from bytes in memory, every offset
// checked against the bytes' end: the containers of RAW files and the EXIF blocks inside
// preview JPEGs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace sortelia::imaging {

// One IFD entry. Where its value lies: inside the entry when it takes four bytes or fewer,
// else at the offset the entry holds; valueAt counts from the TIFF header and may point past
// the end of the bytes (the readers below check).
struct TiffEntry {
  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::uint64_t valueAt = 0;
  std::uint64_t valueSize = 0;
};

class TiffReader {
 public:
  // TIFF data from its header on. Besides the standard magic 42, the magics of RAW containers
  // that are TIFF otherwise are accepted: 0x55 (Panasonic RW2), "RO" and "RS" (Olympus ORF).
  explicit TiffReader(std::string_view tiff);

  bool ok() const { return ok_; }
  std::uint16_t magic() const { return magic_; }
  std::uint32_t firstIfd() const { return firstIfd_; }
  std::string_view bytes() const { return tiff_; }

  // Numbers at an offset in the data's byte order; nullopt past the end.
  std::optional<std::uint16_t> u16(std::uint64_t at) const;
  std::optional<std::uint32_t> u32(std::uint64_t at) const;

  // The entries of the IFD at offset (at most maxEntries are read) and the offset of the next
  // IFD in the chain (0 at its end); nullopt when the IFD does not lie within the data.
  std::optional<std::vector<TiffEntry>> readIfd(std::uint32_t offset, std::uint32_t& next,
                                                std::size_t maxEntries = 1024) const;

  // Value number index of a BYTE, SHORT, LONG or IFD entry as an unsigned number; nullopt for
  // other types, an index beyond the count or a value past the end.
  std::optional<std::uint32_t> number(const TiffEntry& entry, std::uint32_t index = 0) const;

 private:
  std::string_view tiff_;
  bool ok_ = false;
  bool bigEndian_ = false;
  std::uint16_t magic_ = 0;
  std::uint32_t firstIfd_ = 0;
};

// The Orientation (1..8) of a TIFF block's IFD0; 0 when absent or out of range.
int tiffOrientation(std::string_view tiff);

// The TIFF data of a JPEG's EXIF segment (APP1 "Exif\0\0"), found by walking the segments
// before the scan; empty when there is none.
std::string_view jpegExifTiff(std::string_view jpeg);

}  // namespace sortelia::imaging
