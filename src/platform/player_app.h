// The application the desktop associates with a file (GIO), and starting it on that file.
#pragma once

#include <string>

namespace sortelia {

// FindPlayerApp: the file name of the executable of the desktop's default application for
// path's content type (guessed from the name and the first bytes); "" when there is none.
std::string FindPlayerApp(const std::string& path);

// Starts the desktop's default application for path with path as its one file argument (never
// through a shell). Returns "" on success, otherwise a reason. noApp is set when no application
// is associated.
std::string startAssociatedApp(const std::string& path, bool* noApp);

}  // namespace sortelia
