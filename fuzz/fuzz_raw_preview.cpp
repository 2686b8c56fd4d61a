// libFuzzer target: the preview of a RAW file found by the container readers (TIFF-based,
// CR3, RAF) and LibRaw, its orientation, and the chosen preview decoded and turned.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "imaging/raw_preview.h"
#include "imaging/tiff_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto preview = sortelia::imaging::extractRawPreview(bytes);
  if (preview.orientation < 1 || preview.orientation > 8) __builtin_trap();
  (void)sortelia::imaging::tiffOrientation(preview.cr3Ifd0);
  (void)sortelia::imaging::tiffOrientation(sortelia::imaging::jpegExifTiff(preview.jpeg));
  if (!preview.ok()) return 0;
  if (preview.jpeg.size() > size) __builtin_trap();
  // Large previews only slow the fuzzer down; the reduced decode reaches the same paths.
  const auto scale = static_cast<std::int64_t>(preview.width) * preview.height > 1'100'000
                         ? sortelia::imaging::JpegScale::Eighth
                         : sortelia::imaging::JpegScale::Full;
  const auto shown = sortelia::imaging::decodeRawPreview(preview, scale);
  if (shown.ok() && scale == sortelia::imaging::JpegScale::Full) {
    const bool across = preview.orientation >= 5;
    if (shown.bitmap.width() != (across ? preview.height : preview.width)) __builtin_trap();
  }
  return 0;
}
