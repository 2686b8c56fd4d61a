// The reduced-size save window as its command sees it.
#pragma once

#include <string>

namespace sortelia {

// The window as the command sees it: shown modally, returning when it is closed.
class StretchWindow {
 public:
  virtual ~StretchWindow() = default;
  // Shows the window with caption over the main window's place (the main window hidden
  // meanwhile); its fields and preview read the state of save.
  virtual void showModal(const std::string& caption) = 0;
};

}  // namespace sortelia
