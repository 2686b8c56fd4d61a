// JPEG decoding into 24-bit BGR bitmaps and encoding from them (libjpeg-turbo).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "imaging/bitmap.h"

namespace sortelia::imaging {

// Largest picture the decoder accepts, in declared pixels (width x height before any
// scaling). Bigger declarations are refused before any pixel memory is allocated.
inline constexpr std::int64_t kMaxDecodePixels = 200'000'000;

// Largest JPEG file read from disk, in bytes.
inline constexpr std::size_t kMaxJpegFileBytes = 512u * 1024 * 1024;

// Full size, or 1/8 of each side through DCT scaling (for thumbnails).
enum class JpegScale { Full, Eighth };

// What a decode produced. A complete decode has a bitmap and no message. A damaged or
// truncated file that could still be decoded has a bitmap (missing parts grey), partial set
// and a message; a file that could not be decoded has an empty bitmap and a message.
struct [[nodiscard]] JpegDecodeResult {
  Bitmap bitmap;
  bool partial = false;
  std::string error;
  bool ok() const { return !bitmap.empty(); }
};

// Decodes JPEG bytes into a Bgr24 bitmap (grey pictures come out as grey BGR). Refuses
// non-JPEG data, CMYK/YCCK, precisions other than 8 bits and sizes above kMaxDecodePixels
// with a message; never throws for bad input.
JpegDecodeResult decodeJpeg(std::string_view bytes, JpegScale scale = JpegScale::Full);

// The checks every decode makes before allocating: "" when the bytes are an 8-bit JPEG of
// an accepted colour space and size (width and height are then set), else the message.
std::string jpegHeaderProblem(std::string_view bytes, int& width, int& height);

// As decodeJpeg, for a file; a file that cannot be read gives a message naming it.
JpegDecodeResult decodeJpegFile(const std::string& path, JpegScale scale = JpegScale::Full);

// Encodes a bitmap (any format; converted to 24-bit colour) as a baseline JPEG with 4:2:0
// chroma subsampling at quality 1..100 (clamped). Throws std::runtime_error when the
// encoder fails (for instance a side above 65,535 pixels).
std::string encodeJpeg(const Bitmap& bitmap, int quality);

}  // namespace sortelia::imaging
