// Builds EXIF blocks byte by byte for reader and writer tests, in either TIFF byte order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exif/exif_tags.h"

namespace sortelia::testing {

using exif::Ifd;

class ExifBuilder {
 public:
  explicit ExifBuilder(bool motorola) : mm_(motorola) {}

  // An entry with raw value bytes (already in the builder's byte order); values of up to four
  // bytes go into the entry, longer ones into the data area.
  ExifBuilder& raw(Ifd ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                   const std::string& value);
  ExifBuilder& ascii(Ifd ifd, std::uint16_t tag, const std::string& text);  // adds the NUL
  ExifBuilder& shortValue(Ifd ifd, std::uint16_t tag, std::uint16_t v);
  ExifBuilder& longValue(Ifd ifd, std::uint16_t tag, std::uint32_t v);
  ExifBuilder& rational(Ifd ifd, std::uint16_t tag, std::uint32_t num, std::uint32_t den);
  ExifBuilder& srational(Ifd ifd, std::uint16_t tag, std::int32_t num, std::int32_t den);
  ExifBuilder& undefined(Ifd ifd, std::uint16_t tag, const std::string& bytes);
  // IFD0's link points back at IFD0 itself (a loop).
  ExifBuilder& loopLink() {
    loop_ = true;
    return *this;
  }

  // TIFF data: header, IFD0 (pointing to the EXIF and GPS IFDs, linking to IFD1), EXIF IFD
  // (pointing to the Interoperability IFD), Interoperability IFD, GPS IFD, IFD1; empty IFDs
  // other than IFD0 are left out.
  std::string tiff() const;
  // An APP1 segment: FF E1, length, identifier (default "Exif\0\0"), TIFF data.
  std::string app1(const std::string& identifier = std::string("Exif\0\0", 6)) const;

  std::string u16(std::uint16_t v) const;
  std::string u32(std::uint32_t v) const;

 private:
  struct Entry {
    std::uint16_t tag, type;
    std::uint32_t count;
    std::string value;
  };
  std::string layout(std::uint32_t start, const std::vector<Entry>& entries,
                     std::uint32_t link) const;
  std::uint32_t sizeOf(const std::vector<Entry>& entries) const;

  bool mm_;
  bool loop_ = false;
  std::vector<Entry> ifds_[5];
};

// A JPEG segment: FF, marker, 2-byte big-endian length, payload.
std::string jpegSegment(unsigned char marker, const std::string& payload);
// An 18-byte JFIF APP0 segment.
std::string jfifApp0();
// A small real JPEG (width x height) with segments inserted directly after SOI.
std::string jpegWithSegments(const std::vector<std::string>& segments, int width = 16,
                             int height = 8);

}  // namespace sortelia::testing
