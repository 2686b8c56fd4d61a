// The error that ends an album run before or while its pages are written (an output folder
// that cannot be made, an unreadable template, a page that cannot be written).
#pragma once

#include <stdexcept>

namespace sortelia::outputs::album {

class AlbumError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace sortelia::outputs::album
