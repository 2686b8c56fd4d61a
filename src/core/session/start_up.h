// What the start of the program does with the single-instance lock: refuses a second start,
// or says that the lock cannot be used and starts without it.
#pragma once

#include <functional>
#include <string>

#include "core/ports/ui.h"
#include "platform/instance_lock.h"

namespace sortelia {

// Name of the single-instance lock, also shown in the refusal.
inline constexpr const char* kInstanceName = "ZEL";

// The refusal text of a second start.
std::string secondStartMessage();

// The two lines shown when the lock cannot be used (lock.failed()): what failed, naming the
// lock file and the system's error text, and that the program starts without the check.
std::string lockFailureLine(const std::string& lockPath, const LockResult& lock);
std::string startsUncheckedLine();

// Shows the refusal in a plain message box, then asks the first instance to come to the front
// through activateFirst (which may fail silently: the refusal has been shown either way).
void refuseSecondStart(Ui& ui, const std::function<bool()>& activateFirst);

// Decides from the outcome of the lock whether the program may start; warn receives the same
// texts line by line for the error output, before any message box is up.
// - Acquired: true, nothing said.
// - Held by another copy: the refusal (refuseSecondStart) and false.
// - The lock cannot be used: whether another copy runs is unknown, and refusing would claim
//   one does, so the failure is shown in a plain message box and the start goes on (true)
//   without the single-instance check.
bool mayStart(Ui& ui, const std::string& lockPath, const LockResult& lock,
              const std::function<bool()>& activateFirst,
              const std::function<void(const std::string&)>& warn);

}  // namespace sortelia
