// Where the entry display gets its pictures: decoded on the spot, or prepared ahead of time by
// the prefetcher while the person looks at the previous picture.
#pragma once

#include <memory>
#include <string>

#include "imaging/bitmap.h"

namespace sortelia {

// A picture prepared for a display area: its size and its screen copy for that area. A picture
// larger than the area is decoded straight to its screen copy, row by row, and the full-size
// pixels are not kept (picture null); one that is shown at its own size is both.
struct PreparedPicture {
  std::shared_ptr<const imaging::Bitmap> picture;  // the full-size pixels, when kept
  std::shared_ptr<const imaging::Bitmap> screen;   // null when nothing could be decoded
  int width = 0;  // the picture's full size; 0 when nothing could be decoded
  int height = 0;
  int areaWidth = 0;  // the display area the screen copy was made for
  int areaHeight = 0;
  int turn = 0;  // clockwise quarter turns of picture and screen (0, 90, 180, 270 degrees)
  bool decoded() const { return width > 0 && screen != nullptr; }
};

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // The picture in the file at path (a JPEG, HEIF or RAW), for a display area of the given
  // size.
  virtual PreparedPicture load(const std::string& path, int areaWidth, int areaHeight) = 0;
};

// Decodes on the spot (preparePicture).
class DirectPictureSource : public PictureSource {
 public:
  PreparedPicture load(const std::string& path, int areaWidth, int areaHeight) override;
};

// Decodes path for a display area of areaWidth x areaHeight: a picture that must be reduced to
// fit comes straight out of the decoder at its fitted size, with exactly the pixels the
// full-size decode reduced by imaging::scaleForScreen gives; a picture that fits (or an area
// too small to fit into) is decoded at full size and is its own screen copy. Safe on any
// thread: it touches nothing but the file and its own bitmaps.
PreparedPicture preparePicture(const std::string& path, int areaWidth, int areaHeight);
// The same for the picture turned clockwise by turn degrees (90, 180 or 270), as the display
// turns a picture by its rotation mark: the full-size decode turned, then fitted and reduced.
// Only the screen copy is kept (the picture too when it is its own screen copy).
PreparedPicture prepareTurnedPicture(const std::string& path, int areaWidth, int areaHeight,
                                     int turn);

// The full-size picture of path, decoded now; null when it cannot be decoded.
std::shared_ptr<const imaging::Bitmap> decodeFullPicture(const std::string& path);

}  // namespace sortelia
