// What a second start of the program does instead of starting.
#pragma once

#include <functional>
#include <string>

#include "core/ports/ui.h"

namespace sortelia {

// Name of the single-instance lock, also shown in the refusal.
inline constexpr const char* kInstanceName = "ZEL";

// The refusal text of a second start.
std::string secondStartMessage();

// Shows the refusal in a plain message box, then asks the first instance to come to the front
// through activateFirst (which may fail silently: the refusal has been shown either way).
void refuseSecondStart(Ui& ui, const std::function<bool()>& activateFirst);

}  // namespace sortelia
