// Speed of the imaging layer and the reduction pipeline on a 24-megapixel picture:
// decoding, the resampler's passes, encoding, and the whole file-to-file reduction.
// Set SORTELIA_BENCH_JPEG to a camera JPEG to use it instead of the synthetic picture.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_stream.h"
#include "imaging/resample.h"
#include "outputs/reduce_pipeline.h"
#include "platform/file_ops.h"

namespace {

using sortelia::imaging::Bitmap;

constexpr int kWidth = 6000, kHeight = 4000, kTargetWidth = 1600, kTargetHeight = 1067;

// A camera-like picture: smooth gradients with fine noise, so that the JPEG is about as large
// and as slow to decode as a real 24-megapixel photograph.
const Bitmap& picture() {
  static const Bitmap b = [] {
    Bitmap p(kWidth, kHeight);
    std::mt19937 rng(1);
    for (int y = 0; y < kHeight; ++y) {
      std::uint8_t* r = p.row(y);
      for (int x = 0; x < kWidth; ++x) {
        const unsigned noise = rng() & 31;
        r[x * 3] = static_cast<std::uint8_t>((x / 24 + noise) & 255);
        r[x * 3 + 1] = static_cast<std::uint8_t>((y / 16 + noise) & 255);
        r[x * 3 + 2] = static_cast<std::uint8_t>(((x + y) / 40 + noise) & 255);
      }
    }
    return p;
  }();
  return b;
}

const std::string& jpegPath() {
  static const std::string path = [] {
    if (const char* env = std::getenv("SORTELIA_BENCH_JPEG")) return std::string(env);
    const std::string p = (std::filesystem::temp_directory_path() / "sortelia-bench-24mp.jpg");
    if (!std::filesystem::exists(p)) {
      (void)sortelia::fs::writeFileAtomic(p, sortelia::imaging::encodeJpeg(picture(), 95));
    }
    return p;
  }();
  return path;
}

void megapixels(benchmark::State& state, double pixels) {
  state.counters["MP/s"] =
      benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_StretchWidthDown(benchmark::State& state) {
  Bitmap dst(kTargetWidth, kHeight);
  for (auto _ : state) sortelia::imaging::StretchWidthDown(picture(), dst);
  megapixels(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_StretchWidthDown)->Unit(benchmark::kMillisecond);

void BM_StretchHeightDown(benchmark::State& state) {
  Bitmap src(kTargetWidth, kHeight), dst(kTargetWidth, kTargetHeight);
  for (auto _ : state) sortelia::imaging::StretchHeightDown(src, dst);
  megapixels(state, double(kTargetWidth) * kHeight);
}
BENCHMARK(BM_StretchHeightDown)->Unit(benchmark::kMillisecond);

void BM_ResampleDown24MP(benchmark::State& state) {
  for (auto _ : state) {
    Bitmap b = picture();
    sortelia::imaging::ResampleBitmap(b, kTargetWidth, kTargetHeight);
    benchmark::DoNotOptimize(b.data());
  }
  megapixels(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_ResampleDown24MP)->Unit(benchmark::kMillisecond);

void BM_StretchUp(benchmark::State& state) {
  Bitmap src(1600, 1067);
  for (auto _ : state) {
    Bitmap b = src;
    sortelia::imaging::ResampleBitmap(b, 3200, 2134);
    benchmark::DoNotOptimize(b.data());
  }
  megapixels(state, 3200.0 * 2134);
}
BENCHMARK(BM_StretchUp)->Unit(benchmark::kMillisecond);

void BM_Decode24MP(benchmark::State& state) {
  const auto bytes = sortelia::fs::readFile(jpegPath(), 1u << 30);
  for (auto _ : state) {
    auto r = sortelia::imaging::decodeJpeg(*bytes);
    benchmark::DoNotOptimize(r.bitmap.data());
  }
  megapixels(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_Decode24MP)->Unit(benchmark::kMillisecond);

void BM_DecodeEighth24MP(benchmark::State& state) {
  const auto bytes = sortelia::fs::readFile(jpegPath(), 1u << 30);
  for (auto _ : state) {
    auto r = sortelia::imaging::decodeJpeg(*bytes, sortelia::imaging::JpegScale::Eighth);
    benchmark::DoNotOptimize(r.bitmap.data());
  }
  megapixels(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_DecodeEighth24MP)->Unit(benchmark::kMillisecond);

void BM_DecodeResampled24MP(benchmark::State& state) {
  const auto bytes = sortelia::fs::readFile(jpegPath(), 1u << 30);
  for (auto _ : state) {
    auto r = sortelia::imaging::decodeJpegResampled(*bytes, kTargetWidth, kTargetHeight);
    benchmark::DoNotOptimize(r.bitmap.data());
  }
  megapixels(state, double(kWidth) * kHeight);
}
BENCHMARK(BM_DecodeResampled24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EncodeLevel7(benchmark::State& state) {
  Bitmap b = picture();
  sortelia::imaging::ResampleBitmap(b, kTargetWidth, kTargetHeight);
  for (auto _ : state) benchmark::DoNotOptimize(sortelia::imaging::encodeJpeg(b, 91));
}
BENCHMARK(BM_EncodeLevel7)->Unit(benchmark::kMillisecond);

void BM_ReduceFileTo1600Level7(benchmark::State& state) {
  const std::string out = (std::filesystem::temp_directory_path() / "sortelia-bench-out.jpg");
  for (auto _ : state) {
    sortelia::outputs::FToFJpgStrchTD(jpegPath(), out, {}, {kTargetWidth, kTargetHeight}, 7);
  }
  std::filesystem::remove(out);
}
BENCHMARK(BM_ReduceFileTo1600Level7)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
