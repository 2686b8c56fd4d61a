#include "imaging/quarter_turn.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace sortelia::imaging {
namespace {

// Tiles of 16 x 16 pixels keep the rows read and the rows written in the cache, and their
// pages in the TLB, when the turn reads along rows and writes along columns (larger tiles
// measured slower on 24-megapixel pictures).
constexpr int kTile = 16;

inline void copyPixel(const std::uint8_t* from, std::uint8_t* to) {
  to[0] = from[0];
  to[1] = from[1];
  to[2] = from[2];
}

// Copies a pixel as four bytes: the fourth lands on the first byte of the next pixel of the
// row written, which is written afterwards, and is read from the next pixel of the source row,
// which exists.
inline void copyPixelWide(const std::uint8_t* from, std::uint8_t* to) { std::memcpy(to, from, 4); }

// The quarter turns: source column x becomes a row of the result, read down the source rows of
// a tile. Within a result row the pixels are written from left to right (and the tiles so that
// a later tile never writes left of an earlier one in the same row), so that the wide copy only
// ever spills onto a pixel still to be written. The last pixel of a result row, and the last
// column of the source, are copied narrowly.
void turn90(const Bitmap& s, Bitmap& d) {
  const int w = s.width();
  const int h = s.height();
  const std::uint8_t* rows[kTile];
  // Result row x holds the source rows from the bottom up: tiles from the bottom.
  for (int y1 = h; y1 > 0; y1 -= kTile) {
    const int y0 = std::max(0, y1 - kTile);
    for (int y = y0; y < y1; ++y) rows[y - y0] = s.row(y);
    for (int x0 = 0; x0 < w; x0 += kTile) {
      const int x1 = std::min(w, x0 + kTile);
      for (int x = x0; x < x1; ++x) {
        std::uint8_t* out = d.row(x);
        const std::size_t at = 3 * static_cast<std::size_t>(x);
        int y = y1 - 1;
        if (x + 1 < w) {
          for (; y >= y0 && y > 0; --y) copyPixelWide(rows[y - y0] + at, out + 3 * (h - 1 - y));
        }
        for (; y >= y0; --y) copyPixel(rows[y - y0] + at, out + 3 * (h - 1 - y));
      }
    }
  }
}

void turn270(const Bitmap& s, Bitmap& d) {
  const int w = s.width();
  const int h = s.height();
  const std::uint8_t* rows[kTile];
  for (int y0 = 0; y0 < h; y0 += kTile) {
    const int y1 = std::min(h, y0 + kTile);
    for (int y = y0; y < y1; ++y) rows[y - y0] = s.row(y);
    for (int x0 = 0; x0 < w; x0 += kTile) {
      const int x1 = std::min(w, x0 + kTile);
      for (int x = x0; x < x1; ++x) {
        std::uint8_t* out = d.row(w - 1 - x);
        const std::size_t at = 3 * static_cast<std::size_t>(x);
        int y = y0;
        if (x + 1 < w) {
          for (; y < y1 && y < h - 1; ++y) copyPixelWide(rows[y - y0] + at, out + 3 * y);
        }
        for (; y < y1; ++y) copyPixel(rows[y - y0] + at, out + 3 * y);
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

std::shared_ptr<const Bitmap> quarterTurned(const Bitmap& source, int angle) {
  try {
    return std::make_shared<const Bitmap>(quarterTurn(source, angle));
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
}

}  // namespace sortelia::imaging
