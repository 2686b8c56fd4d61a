// The home Trash of a test process as the freedesktop Trash layout has it: the trashed files
// in $XDG_DATA_HOME/Trash/files, each with Trash/info/NAME.trashinfo naming where it came from.
// The Trash tests run with XDG_DATA_HOME set to a temporary folder (tests/trash_test_main.cpp).
#pragma once

#include <string>
#include <vector>

namespace sortelia::testing {

struct TrashedFile {
  std::string name;          // its name in Trash/files
  std::string path;          // its path in Trash/files
  std::string infoPath;      // the value of Path= in its .trashinfo, as written
  std::string originalPath;  // that value with its percent escapes decoded
  bool hasHeader = false;    // the .trashinfo begins with "[Trash Info]"
  bool hasDeletionDate = false;
};

// The home Trash folder: $XDG_DATA_HOME/Trash ("" when XDG_DATA_HOME is unset).
std::string homeTrash();

// True when the home Trash lies in the temporary folder, as the Trash tests' main sets it;
// a test checks this before it trashes anything, so the person's own Trash is never touched.
bool homeTrashIsTemporary();

// Empties the home Trash (only when homeTrashIsTemporary()).
void emptyHomeTrash();

// Every file in the home Trash with what its .trashinfo says, sorted by name in the Trash.
std::vector<TrashedFile> trashedFiles();

// A path percent-encoded as a .trashinfo keeps it: every byte except letters, digits,
// "-._~" and "/" as %XX.
std::string trashInfoEscape(const std::string& path);

}  // namespace sortelia::testing
