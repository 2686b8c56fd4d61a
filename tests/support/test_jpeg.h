// Small JPEG files for tests, made with libjpeg-turbo.
#pragma once

#include <string>

namespace sortelia::testing {

// A baseline JPEG of width x height pixels (a colour gradient), quality 90, without any APPn
// segment: SOI followed directly by the tables and the frame.
std::string makeTestJpeg(int width, int height);

}  // namespace sortelia::testing
