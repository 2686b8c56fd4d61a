#include "core/session/start_up.h"

#include "platform/format.h"

namespace sortelia {

std::string secondStartMessage() { return format("%s は二重起動できません", {kInstanceName}); }

void refuseSecondStart(Ui& ui, const std::function<bool()>& activateFirst) {
  ui.message(Icon::None, secondStartMessage(), Buttons::Ok);
  activateFirst();
}

}  // namespace sortelia
