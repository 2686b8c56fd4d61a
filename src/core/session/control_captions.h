// The main window's captions in both languages: one row per control whose caption the language
// switches, with its Japanese and its English text. The delete button's caption follows the
// shown entry's mark and the undo item's follows the journal, so neither is a row here.
#pragma once

#include <span>

#include "core/ports/control_id.h"
#include "core/ports/main_view.h"

namespace sortelia {

struct ControlCaption {
  Control control;
  const char* japanese;
  const char* english;
};

// Every row, in the order the captions are set.
std::span<const ControlCaption> controlCaptions();

// Sets the caption of every row in one language.
void applyControlCaptions(ControlPanel& controls, bool japanese);

}  // namespace sortelia
