#include "imaging/bitmap.h"

#include <cstring>
#include <limits>
#include <stdexcept>

namespace sortelia::imaging {

int bytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::Gray8:
      return 1;
    case PixelFormat::Bgr24:
      return 3;
    case PixelFormat::Bgrx32:
      return 4;
  }
  return 3;
}

std::size_t strideFor(int width, PixelFormat format) {
  const std::size_t bytes = static_cast<std::size_t>(width) * bytesPerPixel(format);
  return (bytes + 3) & ~static_cast<std::size_t>(3);
}

Bitmap::Bitmap(int width, int height, PixelFormat format)
    : width_(width), height_(height), format_(format) {
  if (width < 0 || height < 0) throw std::invalid_argument("negative bitmap size");
  stride_ = strideFor(width, format);
  if (height > 0 && stride_ > std::numeric_limits<std::size_t>::max() / height) {
    throw std::length_error("bitmap too large");
  }
  pixels_.assign(stride_ * static_cast<std::size_t>(height), 0);
}

bool Bitmap::samePixels(const Bitmap& other) const {
  if (width_ != other.width_ || height_ != other.height_ || format_ != other.format_) {
    return false;
  }
  const std::size_t rowBytes = static_cast<std::size_t>(width_) * bytesPerPixel(format_);
  for (int y = 0; y < height_; ++y) {
    if (std::memcmp(row(y), other.row(y), rowBytes) != 0) return false;
  }
  return true;
}

void convertTo24Bit(Bitmap& bitmap) {
  if (bitmap.format() == PixelFormat::Bgr24) return;
  Bitmap out(bitmap.width(), bitmap.height(), PixelFormat::Bgr24);
  const int bpp = bytesPerPixel(bitmap.format());
  for (int y = 0; y < bitmap.height(); ++y) {
    const std::uint8_t* s = bitmap.row(y);
    std::uint8_t* d = out.row(y);
    for (int x = 0; x < bitmap.width(); ++x, s += bpp, d += 3) {
      if (bpp == 1) {
        d[0] = d[1] = d[2] = s[0];
      } else {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
      }
    }
  }
  bitmap = std::move(out);
}

}  // namespace sortelia::imaging
