// The options kept outside "zel.ini", whose fixed lines stay as they are: one file of
// "Key=value" lines in the data folder. Each stored option is one row of a table (its key, how
// its value is written and read), so a new one is a new row. Unknown lines are ignored when
// read and kept when written; a missing key or a value that does not read keeps the default.
#pragma once

#include <string>
#include <vector>

#include "core/session/sorting_session.h"
#include "core/state/sorting_state.h"

namespace sortelia {

inline constexpr const char* kExtraOptionsFileName = "zel-opt.txt";

// The lines stored for the options, one per stored option in table order ("Companions=1").
std::vector<std::string> extraOptionLines(const Options& options);

// Reads the stored options from lines into options: a line "Key=value" of a known key with a
// value that reads sets that option; anything else is ignored, and a later line of the same
// key wins.
void readExtraOptionLines(const std::vector<std::string>& lines, Options& options);

// Reads the data folder's file into options; nothing changes when it is missing or unreadable.
void readExtraOptions(const std::string& dataFolder, Options& options);

// Stores the options in the data folder's file, keeping the lines of keys this program does
// not know. False when it cannot be written.
bool writeExtraOptions(const std::string& dataFolder, const Options& options);

// Applies the stored options to the state at the start, beside the stored language.
void applyStoredExtraOptions(SortingSession& session);

}  // namespace sortelia
