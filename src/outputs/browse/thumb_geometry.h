// Geometry of the thumbnail grid and of a picture drawn into a picture control, and the
// thumbnail decode that runs on a worker thread.
#pragma once

#include <string>

#include "imaging/bitmap.h"
#include "imaging/jpeg_codec.h"
#include "imaging/rect.h"

namespace sortelia::outputs {

// Height of a cell's name label; the picture area is the rest of the cell.
inline constexpr int kCellLabelHeight = 12;

using sortelia::Rect;

// Columns of a grid gridWidth pixels wide for cells cellWidth wide: (gridWidth - 20) div
// (cellWidth + 2), at least 1.
int thumbGridColumns(int gridWidth, int cellWidth);

// PlaceCell: the rectangle of a height x width cell at slot k (0-based) of a grid gridWidth
// pixels wide, in grid content coordinates.
Rect PlaceCell(int slot, int height, int width, int gridWidth);

// How DrawPictureInto shows a decoded w x h picture in a cw x ch control.
enum class DrawMode {
  Centred,   // smaller in both directions: unscaled, centred
  Fitted,    // stretched into rect, keeping the proportions
  RealSize,  // the control takes the picture's size at (0, 0)
};

struct PicturePlacement {
  DrawMode mode = DrawMode::Centred;
  Rect rect;  // where the picture goes, in control coordinates (RealSize: the control's new place)
};

// The three cases of DrawPictureInto for a decoded w x h picture and a cw x ch control.
PicturePlacement placePicture(int w, int h, int cw, int ch, bool fit);

// A plain stretch (nearest pixel) of a Bgr24 bitmap to width x height.
imaging::Bitmap stretchBitmap(const imaging::Bitmap& source, int width, int height);

// What a worker hands back for one thumbnail.
struct ThumbImage {
  bool exists = false;     // a file was found at the path
  bool picture = false;    // ".jpg": a picture to draw (movies get a label only)
  imaging::Bitmap bitmap;  // the picture as drawn into the picture area (empty: none)
  Rect rect;               // where in the picture area it is drawn
  std::string error;       // set when the picture could not be decoded
};

// FillThumbCell's work for one entry: checks the file, decodes a ".jpg" at 1/8 scale and
// places it into a cellSize x (cellSize - label) picture area as a fitted thumbnail.
ThumbImage makeThumbImage(const std::string& path, int cellSize);

}  // namespace sortelia::outputs
