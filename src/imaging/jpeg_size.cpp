#include "imaging/jpeg_size.h"

#include <turbojpeg.h>

#include <limits>

#include "platform/file_ops.h"

namespace sortelia::imaging {

std::optional<PixelSize> readJpegSize(std::string_view jpegBytes) {
  if (jpegBytes.empty() || jpegBytes.size() > std::numeric_limits<unsigned long>::max()) {
    return std::nullopt;
  }
  tjhandle h = tjInitDecompress();
  if (!h) return std::nullopt;
  int w = 0, hgt = 0, subsamp = 0, colorspace = 0;
  const int rc = tjDecompressHeader3(h, reinterpret_cast<const unsigned char*>(jpegBytes.data()),
                                     static_cast<unsigned long>(jpegBytes.size()), &w, &hgt,
                                     &subsamp, &colorspace);
  tjDestroy(h);
  if (rc != 0 || w <= 0 || hgt <= 0) return std::nullopt;
  return PixelSize{w, hgt};
}

std::optional<PixelSize> readJpegFileSize(const std::string& path) {
  // The frame header sits after the metadata segments, which are at most a few hundred KB
  // in practice; read the whole file only up to a generous bound.
  auto bytes = fs::readFile(path, 64u * 1024 * 1024);
  if (!bytes) return std::nullopt;
  return readJpegSize(*bytes);
}

}  // namespace sortelia::imaging
