// The picture at the size it is shown on screen.
#pragma once

#include <memory>

#include "imaging/bitmap.h"

namespace sortelia::imaging {

// source reduced (area averaging, width pass then height pass) or enlarged (cubic) to
// width x height; the source itself when it already has that size. Null for an empty source,
// a non-24-bit one or a size below 1.
std::shared_ptr<const Bitmap> scaleForScreen(const std::shared_ptr<const Bitmap>& source, int width,
                                             int height);

}  // namespace sortelia::imaging
