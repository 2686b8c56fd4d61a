#include "core/viewer/rotation.h"

namespace sortelia {

int rotationOfMark(const std::string& mark) {
  if (mark == "@090:") return 90;
  if (mark == "@180:") return 180;
  if (mark == "@270:") return 270;
  return 0;
}

std::string markForRotation(int degrees) {
  switch (((degrees % 360) + 360) % 360) {
    case 90:
      return "@090:";
    case 180:
      return "@180:";
    case 270:
      return "@270:";
    default:
      return "";
  }
}

int rotationOfItem(const std::string& itemName) {
  // Characters 4 to 6 of the name: "rot090" -> "090".
  if (itemName.size() < 6) return 0;
  int angle = 0;
  for (std::size_t i = 3; i < 6; ++i) {
    const char c = itemName[i];
    if (c < '0' || c > '9') return 0;
    angle = angle * 10 + (c - '0');
  }
  return angle;
}

}  // namespace sortelia
