// The arithmetic of the rotation mark: which mark a sum of quarter turns gives, and how far a
// mark turns.
#pragma once

#include <string>

namespace sortelia {

// The quarter turn a mark stands for: 90, 180 or 270 for "@090:", "@180:", "@270:"; 0 for the
// empty mark and anything else.
int rotationOfMark(const std::string& mark);

// The mark of a turn by degrees (taken modulo 360): "@090:", "@180:", "@270:", or "" for none.
std::string markForRotation(int degrees);

// The angle a rotation menu item stands for, read from its name ("rot090" gives 90).
int rotationOfItem(const std::string& itemName);

}  // namespace sortelia
