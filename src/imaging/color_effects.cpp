#include "imaging/color_effects.h"

#include <cmath>
#include <stdexcept>

namespace sortelia::imaging {
namespace {

constexpr std::uint32_t kSepiaBlueWeight = 7500;
constexpr std::uint32_t kSepiaGreenWeight = 38620;
constexpr std::uint32_t kSepiaRedWeight = 19672;
constexpr long double kSepiaCb = -0.08L;
constexpr long double kSepiaCr = 0.071L;
constexpr int kSepiaTableSize = 65537;

std::uint8_t sepiaByte(long double v) {
  if (v > 1) v = 1;
  if (v < 0) v = 0;
  return static_cast<std::uint8_t>(std::trunc(v * 255 + 0.5L));
}

}  // namespace

std::vector<SepiaEntry> buildSepiaTable() {
  std::vector<SepiaEntry> table(kSepiaTableSize);
  for (int i = 0; i < kSepiaTableSize; ++i) {
    const long double y = static_cast<long double>(i) / 65536;
    const long double red = y + 1.4026L * kSepiaCr;
    const long double green = y - 0.3444L * kSepiaCb - 0.7114L * kSepiaCr;
    const long double blue = y + 1.733L * kSepiaCb;
    table[i] = {sepiaByte(blue), sepiaByte(green), sepiaByte(red)};
  }
  return table;
}

void ApplySepia(Bitmap& bitmap) {
  if (bitmap.format() != PixelFormat::Bgr24) {
    throw std::invalid_argument("sepia needs a 24-bit bitmap");
  }
  const std::vector<SepiaEntry> table = buildSepiaTable();
  for (int y = 0; y < bitmap.height(); ++y) {
    std::uint8_t* p = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x, p += 3) {
      const std::uint32_t index =
          (p[0] * kSepiaBlueWeight + p[1] * kSepiaGreenWeight + p[2] * kSepiaRedWeight) >> 8;
      const SepiaEntry& e = table[index];
      p[0] = e.blue;
      p[1] = e.green;
      p[2] = e.red;
    }
  }
}

void ApplyBlackAndWhite(Bitmap& bitmap) {
  convertTo24Bit(bitmap);
  // Each pixel depends only on itself, so the grey picture is written over the source; no
  // step can fail half-way.
  for (int y = 0; y < bitmap.height(); ++y) {
    std::uint8_t* p = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x, p += 3) {
      const long double grey = std::nearbyint(p[2] * 0.289L + p[1] * 0.586L + p[0] * 0.114L);
      const std::uint8_t g = grey >= 255 ? 255 : (grey <= 0 ? 0 : static_cast<std::uint8_t>(grey));
      p[0] = p[1] = p[2] = g;
    }
  }
}

}  // namespace sortelia::imaging
