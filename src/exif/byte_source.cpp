#include "exif/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace sortelia::exif {
namespace {

// Reads exactly n bytes at pos, retrying short reads; false at an unexpected end of file.
bool preadAll(int fd, std::uint64_t pos, std::size_t n, char* dst) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t r = ::pread(fd, dst + done, n - done, static_cast<off_t>(pos + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "read");
    }
    if (r == 0) return false;
    done += static_cast<std::size_t>(r);
  }
  return true;
}

}  // namespace

ByteSource::ByteSource(std::string_view bytes) : view_(bytes), size_(bytes.size()) {}

ByteSource::ByteSource(const std::string& path, std::size_t prefixBytes)
    : fd_(path.empty() ? -1 : fs::openForReading(path)) {
  struct stat st {};
  opened_ = fd_.get() >= 0 && ::fstat(fd_.get(), &st) == 0 && S_ISREG(st.st_mode);
  if (!opened_) return;
  size_ = static_cast<std::uint64_t>(st.st_size);
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size_, prefixBytes));
  cache_.resize(n);
  if (!preadAll(fd_.get(), 0, n, cache_.data())) cache_.resize(0);
  view_ = cache_;
}

bool ByteSource::read(std::uint64_t pos, std::size_t n, void* dst) const {
  if (!contains(pos, n)) return false;
  if (pos + n <= view_.size()) {
    if (n > 0) std::memcpy(dst, view_.data() + pos, n);
    return true;
  }
  if (fd_.get() < 0) return false;
  return preadAll(fd_.get(), pos, n, static_cast<char*>(dst));
}

std::uint16_t getU16(const unsigned char* p, bool motorola) {
  return motorola ? static_cast<std::uint16_t>(p[0] << 8 | p[1])
                  : static_cast<std::uint16_t>(p[1] << 8 | p[0]);
}

std::uint32_t getU32(const unsigned char* p, bool motorola) {
  if (motorola) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
  }
  return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

void putU16(std::string& out, std::uint16_t v, bool motorola) {
  const char hi = static_cast<char>(v >> 8), lo = static_cast<char>(v & 0xFF);
  if (motorola) {
    out += hi;
    out += lo;
  } else {
    out += lo;
    out += hi;
  }
}

void putU32(std::string& out, std::uint32_t v, bool motorola) {
  if (motorola) {
    putU16(out, static_cast<std::uint16_t>(v >> 16), true);
    putU16(out, static_cast<std::uint16_t>(v & 0xFFFF), true);
  } else {
    putU16(out, static_cast<std::uint16_t>(v & 0xFFFF), false);
    putU16(out, static_cast<std::uint16_t>(v >> 16), false);
  }
}

}  // namespace sortelia::exif
