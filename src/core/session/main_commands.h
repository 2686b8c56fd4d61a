// Commands of the main window's pop-up menu that belong to the sorting session.
#pragma once

#include "core/session/sorting_session.h"

namespace sortelia {

// Open1Click: after the deletion pass, asks for any file inside the wanted source folder and
// rescans; cancelling changes nothing further.
void Open1Click(SortingSession& session);

// PopupMenu1Popup: the main menu's help text in the information window.
void PopupMenu1Popup(SortingSession& session);

}  // namespace sortelia
