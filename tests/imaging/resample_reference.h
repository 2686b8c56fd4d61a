// A deliberately plain transcription of the resampling arithmetic (pixel by pixel, no tables,
// no blocking), used to check the optimised passes byte for byte.
#pragma once

#include <cmath>
#include <cstdint>

#include "imaging/bitmap.h"
#include "imaging/resample.h"

namespace sortelia::imaging::reference {

inline std::uint8_t interpolate(const std::uint8_t* s[4], const CubicWeightSet& w) {
  std::int32_t sum = 1 << 19;
  for (int k = 0; k < 4; ++k) sum += *s[k] * w[k];
  if (sum < 0) return 0;
  if (sum > 255 * (1 << 20)) return 255;
  return static_cast<std::uint8_t>(sum >> 20);
}

inline int clampIndex(long long i, int n) {
  return static_cast<int>(i < 0 ? 0 : (i >= n ? n - 1 : i));
}

inline Bitmap widthUp(const Bitmap& src, int dW) {
  const int sW = src.width();
  Bitmap dst(dW, src.height());
  for (int dx = 0; dx < dW; ++dx) {
    const long double t = static_cast<long double>((sW - 1) * dx) / (dW - 1);
    const long long base = static_cast<long long>(std::trunc(t)) - 1;
    const CubicWeightSet w = CubicWeights(t - std::trunc(t) + 1, 1 << 20);
    for (int y = 0; y < src.height(); ++y) {
      for (int k = 0; k < 3; ++k) {
        const std::uint8_t* s[4];
        for (int j = 0; j < 4; ++j) s[j] = &src.row(y)[clampIndex(base + j, sW) * 3 + k];
        dst.row(y)[dx * 3 + k] = interpolate(s, w);
      }
    }
  }
  return dst;
}

inline Bitmap heightUp(const Bitmap& src, int dH) {
  const int sH = src.height();
  Bitmap dst(src.width(), dH);
  for (int dy = 0; dy < dH; ++dy) {
    const long double t = static_cast<long double>((sH - 1) * dy) / (dH - 1);
    const long long base = static_cast<long long>(std::trunc(t)) - 1;
    const CubicWeightSet w = CubicWeights(t - std::trunc(t) + 1, 1 << 20);
    for (int i = 0; i < src.width() * 3; ++i) {
      const std::uint8_t* s[4];
      for (int j = 0; j < 4; ++j) s[j] = &src.row(clampIndex(base + j, sH))[i];
      dst.row(dy)[i] = interpolate(s, w);
    }
  }
  return dst;
}

// The normaliser and boundaries as 32-bit values; accumulators as 64-bit so that the
// reference itself never overflows (identical to 32-bit ones for ratios up to 64).
inline std::uint32_t normaliser(int s, int d) {
  return static_cast<std::uint32_t>(
      std::trunc(1.0L / (static_cast<long double>(s) / d) * 4194304.0L + 0.5L));
}

inline void boundary(int s, int d, int i, long long& pos, std::uint32_t& frac) {
  const long double p = static_cast<long double>(static_cast<long long>(s) * i) / d;
  pos = static_cast<long long>(std::trunc(p));
  frac = static_cast<std::uint32_t>(std::trunc((p - std::trunc(p)) * 262144 + 0.5L));
}

inline std::uint8_t average(const Bitmap& src, bool alongRows, int line, int channelByte, int s,
                            int d, int out) {
  long long a, b;
  std::uint32_t fa, fb;
  boundary(s, d, out, a, fa);
  boundary(s, d, out + 1, b, fb);
  auto at = [&](long long i) -> std::uint64_t {
    return alongRows ? src.row(line)[i * 3 + channelByte] : src.row(static_cast<int>(i))[line];
  };
  std::uint64_t acc = 1 << 17;
  if (262144 - fa != 0) acc += at(a) * (262144 - fa);
  for (long long i = a + 1; i <= b - 1; ++i) acc += at(i) * 262144;
  if (fb != 0) acc += at(b) * fb;
  return static_cast<std::uint8_t>((acc * normaliser(s, d)) >> 40);
}

inline Bitmap widthDown(const Bitmap& src, int dW) {
  Bitmap dst(dW, src.height());
  for (int y = 0; y < src.height(); ++y)
    for (int dx = 0; dx < dW; ++dx)
      for (int k = 0; k < 3; ++k)
        dst.row(y)[dx * 3 + k] = average(src, true, y, k, src.width(), dW, dx);
  return dst;
}

inline Bitmap heightDown(const Bitmap& src, int dH) {
  Bitmap dst(src.width(), dH);
  for (int dy = 0; dy < dH; ++dy)
    for (int i = 0; i < src.width() * 3; ++i)
      dst.row(dy)[i] = average(src, false, i, 0, src.height(), dH, dy);
  return dst;
}

inline Bitmap resample(const Bitmap& src, int w, int h) {
  Bitmap b = src;
  if (w != b.width()) b = w > b.width() ? widthUp(b, w) : widthDown(b, w);
  if (h != b.height()) b = h > b.height() ? heightUp(b, h) : heightDown(b, h);
  return b;
}

}  // namespace sortelia::imaging::reference
