// Every kind of picture the list shows, decoded alike: a JPEG by libjpeg-turbo, a HEIC, HEIF or
// AVIF by libheif with its transformations applied, a RAW by its largest preview JPEG turned by
// the RAW's orientation. The outputs (screen copy, thumbnails, reduced saves, album, print)
// take their pixels from here, so a phone's or a RAW camera's picture goes wherever a JPEG goes.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_size.h"

namespace sortelia::imaging {

enum class PictureCoding { Jpeg, Heif, Raw };

// How a file is decoded: bytes that start a JPEG or a HEIF file are decoded as such whatever
// the name says (phones export HEIF pictures named ".jpg"); otherwise a RAW extension means
// its preview, a HEIF extension libheif, anything else the JPEG decoder. head is the file's
// start (12 bytes are enough; fewer when the file is shorter).
PictureCoding pictureCodingOf(std::string_view name, std::string_view head);

// The largest file of that coding read from disk.
std::size_t maxFileBytes(PictureCoding coding);

// The file's bytes up to the limit of its coding, with that coding; nullopt when the file
// cannot be read.
struct PictureBytes {
  std::string bytes;
  PictureCoding coding = PictureCoding::Jpeg;
};
std::optional<PictureBytes> readPictureFile(const std::string& path);

// The picture as it is to be shown, at full size or 1/8 of each side (rounded up). Never
// throws for bad input: a file that cannot be decoded gives an empty bitmap and a message.
JpegDecodeResult decodePicture(const PictureBytes& picture, JpegScale scale = JpegScale::Full);
JpegDecodeResult decodePictureFile(const std::string& path, JpegScale scale = JpegScale::Full);

// decodePicture at full size followed by ResampleBitmap(newWidth, newHeight), with the same
// pixels; a JPEG is reduced while it is decoded, so its full-size pixels are never held.
// Throws std::invalid_argument for a size below 1.
JpegDecodeResult decodePictureResampled(const PictureBytes& picture, int newWidth, int newHeight);

// How long a HEIF decode may take before it is abandoned (libheif cannot stop one): the
// caller gets a message at once, and the decode ends on its own thread, its result dropped.
// Pictures within the size limits decode in well under a second or two; the bound is for
// hostile files that make the decoder crawl.
inline constexpr std::chrono::milliseconds kDefaultDecodeBound{20000};
void setDecodeBound(std::chrono::milliseconds bound);
// HEIF decodes abandoned and still running.
int abandonedDecodesRunning();

// The picture's size as it is shown, read without decoding where the format allows (JPEG,
// HEIF); a RAW's is its preview's, turned by its orientation. nullopt when it cannot be read.
std::optional<PixelSize> pictureSize(const PictureBytes& picture);

}  // namespace sortelia::imaging
