// Runs one command of a window: an error that ends it is shown in a message box, and the
// program goes on. Every wiring unit runs its commands through it.
#pragma once

#include <exception>
#include <functional>

#include "core/ports/ui.h"

namespace sortelia::app {

inline void runGuarded(Ui& ui, const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    ui.message(Icon::Error, e.what(), Buttons::Ok);
  }
}

}  // namespace sortelia::app
