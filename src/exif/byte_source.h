// Bounded random access to the bytes of a file or of a memory buffer, for the EXIF reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace sortelia::exif {

// Reads bytes at absolute offsets. A file source keeps its first bytes in memory and reads
// the rest on demand; a read that would run past the end of the data fails instead.
class ByteSource {
 public:
  // Over bytes held by the caller (they must outlive the source).
  explicit ByteSource(std::string_view bytes);
  // Over the regular file at path, opened for reading and closed with the source; its first
  // prefixBytes are cached. isOpen() is false (and the source empty) when the file cannot be
  // opened or is not a regular file. Throws std::system_error when the prefix cannot be read.
  ByteSource(const std::string& path, std::size_t prefixBytes);

  // False for a file source whose file could not be opened.
  bool isOpen() const { return opened_; }

  // Copies n bytes at pos into dst; false (dst untouched) when pos + n runs past the end.
  // Throws std::system_error on an I/O error of the file.
  bool read(std::uint64_t pos, std::size_t n, void* dst) const;
  // True when pos + n lies within the data.
  bool contains(std::uint64_t pos, std::uint64_t n) const { return n <= size_ && pos <= size_ - n; }
  std::uint64_t size() const { return size_; }

 private:
  std::string cache_;  // file sources only: the prefix
  std::string_view view_;
  fs::UniqueFd fd_{-1};
  std::uint64_t size_ = 0;
  bool opened_ = true;
};

// Unsigned and signed 16- and 32-bit integers in the TIFF byte order (big-endian when
// motorola is true), used by reader and writer.
std::uint16_t getU16(const unsigned char* p, bool motorola);
std::uint32_t getU32(const unsigned char* p, bool motorola);
inline std::int16_t getS16(const unsigned char* p, bool motorola) {
  return static_cast<std::int16_t>(getU16(p, motorola));
}
inline std::int32_t getS32(const unsigned char* p, bool motorola) {
  return static_cast<std::int32_t>(getU32(p, motorola));
}
void putU16(std::string& out, std::uint16_t v, bool motorola);
void putU32(std::string& out, std::uint32_t v, bool motorola);

}  // namespace sortelia::exif
