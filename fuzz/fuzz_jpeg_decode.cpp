// libFuzzer target: the JPEG decoder at both scales, the reduction of what it decoded, and
// the decode that reduces while decoding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_size.h"
#include "imaging/jpeg_stream.h"
#include "imaging/resample.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Large declared sizes are legal and only slow the fuzzer down; the refusal of absurd ones
  // is covered by the decoder's own limit, which is checked here on every input too.
  const auto declared = sortelia::imaging::readJpegSize(bytes);
  if (declared && static_cast<std::int64_t>(declared->width) * declared->height > 4'000'000) {
    return 0;
  }
  for (auto scale : {sortelia::imaging::JpegScale::Eighth, sortelia::imaging::JpegScale::Full}) {
    auto r = sortelia::imaging::decodeJpeg(bytes, scale);
    if (!r.ok()) continue;
    sortelia::imaging::ResampleBitmap(r.bitmap, 1 + r.bitmap.width() / 3,
                                      1 + r.bitmap.height() * 2);
  }
  // The row-by-row decode with the width pass beside it (on a second thread above a megapixel).
  auto reduced = sortelia::imaging::decodeJpegResampled(bytes, 37, 23);
  if (reduced.ok() && (reduced.bitmap.width() != 37 || reduced.bitmap.height() != 23)) {
    __builtin_trap();
  }
  return 0;
}
