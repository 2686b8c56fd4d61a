// Binary PPM (P6, maxval 255) reading and writing, for exchanging raw pixels with other tools.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "imaging/bitmap.h"

namespace sortelia::imaging {

// Parses a P6 file with maxval 255 into a Bgr24 bitmap. nullopt (with *error set when given)
// for anything else, a truncated body, or more than kMaxDecodePixels pixels.
std::optional<Bitmap> readPpm(std::string_view bytes, std::string* error = nullptr);

// The P6 bytes of a bitmap (converted to colour when it is not Bgr24).
std::string writePpm(const Bitmap& bitmap);

}  // namespace sortelia::imaging
