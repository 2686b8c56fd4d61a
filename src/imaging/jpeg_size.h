// The pixel size a JPEG file declares in its frame header.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sortelia::imaging {

struct PixelSize {
  int width = 0;
  int height = 0;
};

// Width and height from the JPEG's frame header (no pixel decoding); nullopt when the bytes
// are not a JPEG libjpeg-turbo can read the header of.
std::optional<PixelSize> readJpegSize(std::string_view jpegBytes);

// As above, for a file; nullopt when it cannot be read.
std::optional<PixelSize> readJpegFileSize(const std::string& path);

}  // namespace sortelia::imaging
