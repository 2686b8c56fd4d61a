// Where the program keeps its own files ("zel.ini", "zel-prm.txt", the album templates).
#pragma once

#include <string>

namespace sortelia {

// $XDG_CONFIG_HOME/sortelia, or ~/.config/sortelia when XDG_CONFIG_HOME is unset or relative.
std::string dataFolder();

// The data folder, created with its parents when missing; empty when it cannot be created.
std::string ensureDataFolder();

// Folder for the single-instance lock and socket: $XDG_RUNTIME_DIR when set, else a per-user
// folder under /tmp.
std::string runtimeFolder();

}  // namespace sortelia
