#include "core/session/start_up.h"

#include <cstring>

#include "platform/format.h"

namespace sortelia {

std::string secondStartMessage() { return format("%s は二重起動できません", {kInstanceName}); }

std::string lockFailureLine(const std::string& lockPath, const LockResult& lock) {
  const char* fmt = lock.outcome == LockResult::Outcome::LockFailed
                        ? "ロックファイル[ %s ]をロックできません: %s"
                        : "ロックファイル[ %s ]を開けません: %s";
  return format(fmt, {lockPath, std::string(std::strerror(lock.error))});
}

std::string startsUncheckedLine() { return "二重起動の確認をせずに起動します。"; }

void refuseSecondStart(Ui& ui, const std::function<bool()>& activateFirst) {
  ui.message(Icon::None, secondStartMessage(), Buttons::Ok);
  activateFirst();
}

bool mayStart(Ui& ui, const std::string& lockPath, const LockResult& lock,
              const std::function<bool()>& activateFirst,
              const std::function<void(const std::string&)>& warn) {
  if (lock.heldByAnother()) {
    warn(secondStartMessage());
    refuseSecondStart(ui, activateFirst);
    return false;
  }
  if (lock.failed()) {
    const std::string failure = lockFailureLine(lockPath, lock);
    warn(failure);
    warn(startsUncheckedLine());
    ui.message(Icon::None, failure + "\r\n" + startsUncheckedLine(), Buttons::Ok);
  }
  return true;
}

}  // namespace sortelia
