// Whole-picture colour effects on 24-bit BGR bitmaps: sepia tone and black-and-white.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/bitmap.h"

namespace sortelia::imaging {

// One entry of the sepia table, in pixel byte order.
struct SepiaEntry {
  std::uint8_t blue, green, red;
};

// The 65537-entry sepia table (index = weighted luminance in 1/65536 steps), built from the
// sepia chroma and colour coefficients in extended precision.
std::vector<SepiaEntry> buildSepiaTable();

// Replaces every pixel by its sepia tone: index = (b*7500 + g*38620 + r*19672) >> 8, then
// the table entry. Throws std::invalid_argument unless the bitmap is Bgr24.
void ApplySepia(Bitmap& bitmap);

// Replaces the picture by a grey one: grey = r*0.289 + g*0.586 + b*0.114 in extended
// precision, rounded half to even, written into all three bytes. A bitmap of another format
// is converted to Bgr24 first.
void ApplyBlackAndWhite(Bitmap& bitmap);

}  // namespace sortelia::imaging
