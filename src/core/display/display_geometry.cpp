#include "core/display/display_geometry.h"

#include <cmath>

namespace sortelia {

std::optional<Rect> FitImageToPanel(int imageHeight, int imageWidth, int areaHeight,
                                    int areaWidth) {
  if (areaHeight < 2 || areaWidth < 2 || imageHeight < 1 || imageWidth < 1) return std::nullopt;
  // 64-bit products: a picture side times an area side can pass 2^31.
  long long h = imageHeight;
  long long w = imageWidth;
  const bool tooHigh = imageHeight > areaHeight;
  const bool tooWide = imageWidth > areaWidth;
  if (tooHigh) {
    h = areaHeight;
    w = static_cast<long long>(imageWidth) * areaHeight / imageHeight;
  }
  if ((tooWide && !tooHigh) || (tooHigh && w > areaWidth)) {
    w = areaWidth;
    h = static_cast<long long>(imageHeight) * areaWidth / imageWidth;
  }
  Rect r;
  r.width = static_cast<int>(w);
  r.height = static_cast<int>(h);
  r.top = (areaHeight - r.height) / 2;
  r.left = (areaWidth - r.width) / 2;
  return r;
}

DateOverlayPlacement placeDateOverlayLabels(int displayWidth, int dateWidth, int sizeWidth) {
  const int r = displayWidth - dateWidth - 5;
  const double centre = dateWidth / 2.0 - sizeWidth / 2.0;
  return {r, r + 2, r + static_cast<int>(std::nearbyint(centre))};
}

Rect movieButtonRect(int displayWidth, int displayHeight, int labelHeight) {
  const int h = labelHeight;
  return {h, 2 * h, displayWidth - 2 * h, displayHeight - 3 * h};
}

}  // namespace sortelia
