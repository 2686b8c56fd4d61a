#include "imaging/tiff_walk.h"

#include <algorithm>

namespace sortelia::imaging {
namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;

// Bytes per value of the TIFF types; 0 for types this reader does not know.
std::uint64_t typeSize(std::uint16_t type) {
  switch (type) {
    case 1:  // BYTE
    case 2:  // ASCII
    case 6:  // SBYTE
    case 7:  // UNDEFINED
      return 1;
    case 3:  // SHORT
    case 8:  // SSHORT
      return 2;
    case 4:   // LONG
    case 9:   // SLONG
    case 11:  // FLOAT
    case 13:  // IFD
      return 4;
    case 5:   // RATIONAL
    case 10:  // SRATIONAL
    case 12:  // DOUBLE
      return 8;
    default:
      return 0;
  }
}

}  // namespace

TiffReader::TiffReader(std::string_view tiff) : tiff_(tiff) {
  if (tiff.size() < 8) return;
  if (tiff.substr(0, 2) == "II") {
    bigEndian_ = false;
  } else if (tiff.substr(0, 2) == "MM") {
    bigEndian_ = true;
  } else {
    return;
  }
  magic_ = *u16(2);
  if (magic_ != 42 && magic_ != 0x55 && magic_ != 0x4F52 && magic_ != 0x5352) return;
  firstIfd_ = *u32(4);
  ok_ = true;
}

std::optional<std::uint16_t> TiffReader::u16(std::uint64_t at) const {
  if (at > tiff_.size() || tiff_.size() - at < 2) return std::nullopt;
  const auto b0 = static_cast<std::uint8_t>(tiff_[at]);
  const auto b1 = static_cast<std::uint8_t>(tiff_[at + 1]);
  return static_cast<std::uint16_t>(bigEndian_ ? (b0 << 8 | b1) : (b1 << 8 | b0));
}

std::optional<std::uint32_t> TiffReader::u32(std::uint64_t at) const {
  if (at > tiff_.size() || tiff_.size() - at < 4) return std::nullopt;
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    const auto b = static_cast<std::uint8_t>(tiff_[at + (bigEndian_ ? i : 3 - i)]);
    v = v << 8 | b;
  }
  return v;
}

std::optional<std::vector<TiffEntry>> TiffReader::readIfd(std::uint32_t offset, std::uint32_t& next,
                                                          std::size_t maxEntries) const {
  next = 0;
  const auto count = u16(offset);
  if (!count) return std::nullopt;
  const std::uint64_t entriesEnd = std::uint64_t(offset) + 2 + 12ull * *count;
  if (entriesEnd > tiff_.size()) return std::nullopt;
  std::vector<TiffEntry> entries;
  const std::size_t n = std::min<std::size_t>(*count, maxEntries);
  entries.reserve(n);
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint64_t at = std::uint64_t(offset) + 2 + 12 * k;
    TiffEntry e;
    e.tag = *u16(at);
    e.type = *u16(at + 2);
    e.count = *u32(at + 4);
    e.valueSize = typeSize(e.type) * e.count;
    e.valueAt = e.valueSize <= 4 ? at + 8 : *u32(at + 8);
    entries.push_back(e);
  }
  next = u32(entriesEnd).value_or(0);
  return entries;
}

std::optional<std::uint32_t> TiffReader::number(const TiffEntry& entry, std::uint32_t index) const {
  if (index >= entry.count) return std::nullopt;
  switch (entry.type) {
    case 1:
    case 7:
      if (entry.valueAt + index >= tiff_.size()) return std::nullopt;
      return static_cast<std::uint8_t>(tiff_[entry.valueAt + index]);
    case 3: {
      const auto v = u16(entry.valueAt + 2ull * index);
      if (!v) return std::nullopt;
      return *v;
    }
    case 4:
    case 13:
      return u32(entry.valueAt + 4ull * index);
    default:
      return std::nullopt;
  }
}

int tiffOrientation(std::string_view tiff) {
  const TiffReader reader(tiff);
  if (!reader.ok()) return 0;
  std::uint32_t next = 0;
  const auto entries = reader.readIfd(reader.firstIfd(), next);
  if (!entries) return 0;
  for (const TiffEntry& e : *entries) {
    if (e.tag != kOrientationTag) continue;
    const auto v = reader.number(e);
    return v && *v >= 1 && *v <= 8 ? static_cast<int>(*v) : 0;
  }
  return 0;
}

std::string_view jpegExifTiff(std::string_view jpeg) {
  if (jpeg.size() < 4 || jpeg.substr(0, 2) != "\xFF\xD8") return {};
  std::size_t p = 2;
  while (p + 4 <= jpeg.size() && static_cast<std::uint8_t>(jpeg[p]) == 0xFF) {
    const auto marker = static_cast<std::uint8_t>(jpeg[p + 1]);
    if (marker == 0xFF) {  // fill byte
      ++p;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) break;
    const std::size_t length =
        static_cast<std::uint8_t>(jpeg[p + 2]) << 8 | static_cast<std::uint8_t>(jpeg[p + 3]);
    if (length < 2 || p + 2 + length > jpeg.size()) break;
    const std::string_view body = jpeg.substr(p + 4, length - 2);
    if (marker == 0xE1 && body.substr(0, 6) == std::string_view("Exif\0\0", 6)) {
      return body.substr(6);
    }
    p += 2 + length;
  }
  return {};
}

}  // namespace sortelia::imaging
