// Commands of the main window's pop-up menu that belong to the sorting session.
#pragma once

#include <string>

#include "core/session/sorting_session.h"

namespace sortelia {

// Open1Click: after the deletion pass, asks for any file inside the wanted source folder and
// rescans; cancelling changes nothing further.
void Open1Click(SortingSession& session);

// The absolute path a start argument names: a "file:" URI of this machine decoded (empty for
// another host), a relative path taken from workingDir, "." and ".." parts and repeated or
// trailing "/" removed by text ("/" stays "/"). Empty for an empty argument.
std::string startPathOf(const std::string& argument, const std::string& workingDir);

// OpenStartPath: the folder or file the program was started with (or that a later start
// handed over), opened as Open opens a chosen file: a folder becomes the source folder; a file
// makes its folder the source folder and is shown first when it is in the list. The deletion
// pass, the caption and the rescan run as for Open. A path that is missing or cannot be listed
// is told in a message and changes nothing; returns whether the folder was opened.
bool OpenStartPath(SortingSession& session, const std::string& argument,
                   const std::string& workingDir);

// PopupMenu1Popup: the main menu's help text in the information window.
void PopupMenu1Popup(SortingSession& session);

}  // namespace sortelia
