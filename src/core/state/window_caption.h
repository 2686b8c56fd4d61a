// The main window's caption: the product title, the source folder and the mode.
#pragma once

#include <string>

#include "core/state/sorting_state.h"

namespace sortelia {

// The product title at the head of the window caption and in the version box.
inline constexpr const char* kProductTitle = "Sortelia for Windows";

// "Sortelia for Windows [ SourceDir ] < mode >": the mode names sorting by copy or move
// (KeepOriginal), viewing, or a looping or one-way slide show, in the language of the options.
std::string windowCaption(const SortingState& state, bool slideShowOn);

}  // namespace sortelia
