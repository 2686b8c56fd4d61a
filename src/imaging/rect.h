// A rectangle in pixels: where a picture or a control stands.
#pragma once

namespace sortelia {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

}  // namespace sortelia
