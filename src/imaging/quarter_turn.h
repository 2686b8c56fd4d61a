// Turning a 24-bit bitmap by quarter turns, clockwise.
#pragma once

#include <memory>

#include "imaging/bitmap.h"

namespace sortelia::imaging {

// source turned clockwise by angle degrees (90, 180 or 270; any other angle gives a copy).
// The result is width x height for 180 and height wide, width high for 90 and 270. The source
// pixel in column x, row y goes to
//   90:  column H - 1 - y, row x
//   180: column W - 1 - x, row H - 1 - y
//   270: column y,         row W - 1 - x
// Works on Bgr24 bitmaps; any other format is converted first. Throws std::bad_alloc when
// there is no room for the result.
Bitmap quarterTurn(const Bitmap& source, int angle);

// quarterTurn into a shared bitmap; null when there is no room for the turned picture.
std::shared_ptr<const Bitmap> quarterTurned(const Bitmap& source, int angle);

}  // namespace sortelia::imaging
