#include "imaging/quarter_turn.h"

#include <algorithm>
#include <cstring>

namespace sortelia::imaging {
namespace {

// Tiles of 64 x 64 pixels keep the rows read and the rows written in the cache when the turn
// reads along rows and writes along columns.
constexpr int kTile = 64;

inline void copyPixel(const std::uint8_t* from, std::uint8_t* to) {
  to[0] = from[0];
  to[1] = from[1];
  to[2] = from[2];
}

void turn90(const Bitmap& s, Bitmap& d) {
  const int w = s.width();
  const int h = s.height();
  for (int y0 = 0; y0 < h; y0 += kTile) {
    const int y1 = std::min(h, y0 + kTile);
    for (int x0 = 0; x0 < w; x0 += kTile) {
      const int x1 = std::min(w, x0 + kTile);
      for (int x = x0; x < x1; ++x) {
        std::uint8_t* out = d.row(x);  // source column x becomes row x
        for (int y = y0; y < y1; ++y) copyPixel(s.row(y) + 3 * x, out + 3 * (h - 1 - y));
      }
    }
  }
}

void turn270(const Bitmap& s, Bitmap& d) {
  const int w = s.width();
  const int h = s.height();
  for (int y0 = 0; y0 < h; y0 += kTile) {
    const int y1 = std::min(h, y0 + kTile);
    for (int x0 = 0; x0 < w; x0 += kTile) {
      const int x1 = std::min(w, x0 + kTile);
      for (int x = x0; x < x1; ++x) {
        std::uint8_t* out = d.row(w - 1 - x);
        for (int y = y0; y < y1; ++y) copyPixel(s.row(y) + 3 * x, out + 3 * y);
      }
    }
  }
}

void turn180(const Bitmap& s, Bitmap& d) {
  const int w = s.width();
  const int h = s.height();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* in = s.row(y);
    std::uint8_t* out = d.row(h - 1 - y);
    for (int x = 0; x < w; ++x) copyPixel(in + 3 * x, out + 3 * (w - 1 - x));
  }
}

}  // namespace

Bitmap quarterTurn(const Bitmap& source, int angle) {
  if (source.format() != PixelFormat::Bgr24) {
    Bitmap converted = source;
    convertTo24Bit(converted);
    return quarterTurn(converted, angle);
  }
  const int w = source.width();
  const int h = source.height();
  switch (angle) {
    case 90: {
      Bitmap d(h, w);
      turn90(source, d);
      return d;
    }
    case 270: {
      Bitmap d(h, w);
      turn270(source, d);
      return d;
    }
    case 180: {
      Bitmap d(w, h);
      turn180(source, d);
      return d;
    }
    default:
      return source;
  }
}

}  // namespace sortelia::imaging
