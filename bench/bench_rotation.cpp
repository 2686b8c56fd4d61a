// Turning the shown picture: a quarter turn of a 24-megapixel bitmap against decoding the
// 24-megapixel JPEG it came from, in the same run. The turn should take no longer than the
// decode.
#include <benchmark/benchmark.h>

#include <string>

#include "imaging/jpeg_codec.h"
#include "imaging/quarter_turn.h"

namespace {

using namespace sortelia;

// A camera-like 6000 x 4000 picture (smooth gradients with fine texture).
const imaging::Bitmap& picture24MP() {
  static const imaging::Bitmap b = [] {
    imaging::Bitmap p(6000, 4000);
    for (int y = 0; y < 4000; ++y) {
      std::uint8_t* row = p.row(y);
      for (int x = 0; x < 6000; ++x) {
        row[3 * x] = static_cast<std::uint8_t>((x + y) * 255 / 10000);
        row[3 * x + 1] = static_cast<std::uint8_t>((y * 255 / 4000) ^ ((x * y) & 7));
        row[3 * x + 2] = static_cast<std::uint8_t>(x * 255 / 6000);
      }
    }
    return p;
  }();
  return b;
}

const std::string& jpeg24MP() {
  static const std::string bytes = imaging::encodeJpeg(picture24MP(), 90);
  return bytes;
}

void BM_Decode24MP(benchmark::State& state) {
  const std::string& bytes = jpeg24MP();
  for (auto _ : state) {
    imaging::JpegDecodeResult r = imaging::decodeJpeg(bytes);
    benchmark::DoNotOptimize(r.bitmap.data());
  }
}
BENCHMARK(BM_Decode24MP)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_QuarterTurn24MP(benchmark::State& state) {
  const imaging::Bitmap& b = picture24MP();
  const int angle = static_cast<int>(state.range(0));
  for (auto _ : state) {
    imaging::Bitmap t = imaging::quarterTurn(b, angle);
    benchmark::DoNotOptimize(t.data());
  }
}
BENCHMARK(BM_QuarterTurn24MP)
    ->Arg(90)
    ->Arg(180)
    ->Arg(270)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
