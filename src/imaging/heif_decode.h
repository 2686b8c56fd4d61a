// Decoding HEIF pictures (HEIC from phones, AVIF) into 24-bit BGR bitmaps through libheif.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "imaging/bitmap.h"
#include "imaging/jpeg_size.h"

namespace sortelia::imaging {

// Largest HEIF file read from disk, in bytes.
inline constexpr std::size_t kMaxHeifFileBytes = 512u * 1024 * 1024;

// Longest side libheif accepts in an image's declared size (its ispe property), refused while
// the file is read, and in a decoded picture (libheif's own default, set explicitly).
inline constexpr int kMaxHeifSide = 32768;

// What a decode produced: a bitmap and no message, or an empty bitmap and the message.
struct [[nodiscard]] HeifDecodeResult {
  Bitmap bitmap;
  std::string error;
  bool ok() const { return !bitmap.empty(); }
};

// Whether the bytes start like a HEIF file libheif can read (an ftyp box of a HEIC, HEIF or
// AVIF brand); at least the first 12 bytes are needed.
bool looksLikeHeif(std::string_view bytes);

// Decodes the primary image of a HEIF file (HEIC, HEIF or AVIF) into a Bgr24 bitmap, with the
// image's transformations applied as the file asks (rotation, mirroring, cropping), so that
// the picture stands as the camera showed it. A grid image is decoded whole, its tiles on up
// to maxThreads threads (0: libheif's default; 1: one background thread). HDR pictures come
// out at 8 bits; an alpha channel is dropped. Refuses pictures above kMaxDecodePixels before
// decoding and never throws for bad input: a damaged, truncated or unsupported file gives a
// message. Not abandonable once started: libheif 1.15 has no way to stop a running decode.
HeifDecodeResult decodeHeif(std::string_view bytes, int maxThreads = 0);

// As decodeHeif, for a file read up to kMaxHeifFileBytes; a file that cannot be read gives a
// message naming it.
HeifDecodeResult decodeHeifFile(const std::string& path, int maxThreads = 0);

// The size of the primary image as it is shown (after its rotation and cropping), from the
// file's boxes without decoding; nullopt when libheif cannot read them.
std::optional<PixelSize> readHeifSize(std::string_view bytes);

// The Exif block of the primary image from its TIFF header on ("II*\0" or "MM\0*"), ready for
// the EXIF reader; "" when there is none or it is damaged.
std::string heifExif(std::string_view bytes);

}  // namespace sortelia::imaging
