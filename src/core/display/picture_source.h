// Where the entry display gets its pictures: decoded on the spot, or prepared ahead of time by
// the prefetcher while the person looks at the previous picture.
#pragma once

#include <memory>
#include <string>

#include "imaging/bitmap.h"

namespace sortelia {

// A decoded picture and, when it was prepared for a display area, its screen copy for that
// area (null otherwise).
struct PreparedPicture {
  std::shared_ptr<const imaging::Bitmap> picture;  // null when nothing could be decoded
  std::shared_ptr<const imaging::Bitmap> screen;
  int areaWidth = 0;  // the display area the screen copy was made for
  int areaHeight = 0;
};

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // The picture in the JPEG file at path, for a display area of the given size.
  virtual PreparedPicture load(const std::string& path, int areaWidth, int areaHeight) = 0;
};

// Decodes on the spot, at full size; no screen copy.
class DirectPictureSource : public PictureSource {
 public:
  PreparedPicture load(const std::string& path, int areaWidth, int areaHeight) override;
};

// Decodes path and makes its screen copy for the area (the work a prefetch job does). Safe on
// any thread: it touches nothing but the file and its own bitmaps.
PreparedPicture preparePicture(const std::string& path, int areaWidth, int areaHeight);

}  // namespace sortelia
