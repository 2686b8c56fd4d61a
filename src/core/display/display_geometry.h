// Geometry of the main window's display: fitting a picture into the display area, the date
// overlay's placement and the movie button's rectangle.
#pragma once

#include <optional>

#include "core/ports/main_view.h"

namespace sortelia {

// FitImageToPanel and CenterImage: where a picture of imageHeight x imageWidth stands in a
// display area of areaHeight x areaWidth. A picture that fits keeps its size; a larger one is
// scaled down, keeping its proportions (sizes truncated), and centred. nullopt when the area is
// smaller than 2 pixels in either direction (nothing changes then).
std::optional<Rect> FitImageToPanel(int imageHeight, int imageWidth, int areaHeight, int areaWidth);

struct DateOverlayPlacement {
  int dateLeft;
  int shadowLeft;
  int sizeLeft;
};

// SetDateLBL's placement: the date text at the right edge (5 pixels in), its shadow 2 pixels
// further right, the size text centred under the date text (rounded to nearest, ties to even).
DateOverlayPlacement placeDateOverlayLabels(int displayWidth, int dateWidth, int sizeWidth);

// The movie button: top 2h, left h, width displayWidth - 2h, height displayHeight - 3h, with h
// the height of the deletion label.
Rect movieButtonRect(int displayWidth, int displayHeight, int labelHeight);

}  // namespace sortelia
