// A plain in-memory bitmap: rows from the top, a fixed stride, one of a few pixel formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sortelia::imaging {

// Pixel layouts a Bitmap can hold. Bgr24 is the working format of every operation here:
// three bytes per pixel in the order blue, green, red. The others exist so that pictures
// handed in by other code can be converted.
enum class PixelFormat { Gray8, Bgr24, Bgrx32 };

// Bytes per pixel of a format.
int bytesPerPixel(PixelFormat format);

// Owns its pixels. Each row starts on a 4-byte boundary (stride = row bytes rounded up to a
// multiple of 4), so a toolkit image can wrap data() without copying.
class Bitmap {
 public:
  Bitmap() = default;
  // A width x height bitmap with all bytes 0; throws std::invalid_argument for negative
  // sizes and std::length_error when the buffer size would not fit in size_t.
  Bitmap(int width, int height, PixelFormat format = PixelFormat::Bgr24);

  int width() const { return width_; }
  int height() const { return height_; }
  PixelFormat format() const { return format_; }
  // Bytes from the start of one row to the start of the next.
  std::size_t stride() const { return stride_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  std::uint8_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * stride_;
  }
  std::uint8_t* data() { return pixels_.data(); }
  const std::uint8_t* data() const { return pixels_.data(); }
  std::size_t byteCount() const { return pixels_.size(); }

  // Pixel bytes only (no row padding) compare equal.
  bool samePixels(const Bitmap& other) const;

 private:
  int width_ = 0;
  int height_ = 0;
  PixelFormat format_ = PixelFormat::Bgr24;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> pixels_;
};

// Row stride for a width in a format: row bytes rounded up to a multiple of 4.
std::size_t strideFor(int width, PixelFormat format);

// Converts bitmap to Bgr24 in place (grey g becomes (g, g, g); the fourth byte of Bgrx32 is
// dropped). A Bgr24 bitmap is left as it is.
void convertTo24Bit(Bitmap& bitmap);

}  // namespace sortelia::imaging
