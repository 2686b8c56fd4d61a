// The Qt object name of a control of the main window: the design's name of its identity.
#pragma once

#include <QString>

#include "core/ports/control_id.h"

namespace sortelia::app {

inline QString objectNameOf(Control c) {
  const std::string_view name = controlName(c);
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace sortelia::app
