// The local socket through which a second start asks the running window to come to the front.
#pragma once

#include <string>

namespace sortelia::app {

// Path of the socket of the running instance, in the per-user runtime folder.
std::string instanceSocketPath(const std::string& runtimeFolder);

// Asks the running instance to bring its main window to the front; true when it answered
// within timeoutMs.
bool askFirstInstanceToActivate(const std::string& socketPath, int timeoutMs);

}  // namespace sortelia::app
