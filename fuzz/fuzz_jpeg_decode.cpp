// libFuzzer target: the JPEG decoder at both scales, the resampling of what it decoded at 1/8,
// and the decode that reduces while decoding.
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
  // is covered by the decoder's own limit, which is checked here on every input too. The cap
  // lies just above a megapixel, where the reducing decode moves its width pass to a second
  // thread, so that both ways are fuzzed.
  const auto declared = sortelia::imaging::readJpegSize(bytes);
  if (declared && static_cast<std::int64_t>(declared->width) * declared->height > 1'100'000) {
    return 0;
  }
  for (auto scale : {sortelia::imaging::JpegScale::Eighth, sortelia::imaging::JpegScale::Full}) {
    auto r = sortelia::imaging::decodeJpeg(bytes, scale);
    // The resampler's paths depend on the sizes, not on the pixels: the small picture reaches
    // them all, where the full one would spend most of each run in its pixel loops.
    if (!r.ok() || scale != sortelia::imaging::JpegScale::Eighth) continue;
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
