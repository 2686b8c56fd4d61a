// The display language: Japanese (the default) or English, chosen in the options window and
// kept in a file of its own in the data folder, so that "zel.ini" keeps its fixed lines.
#pragma once

#include <optional>
#include <string>

#include "core/session/sorting_session.h"

namespace sortelia {

inline constexpr const char* kLanguageFileName = "zel-lang.txt";

// The language stored in the data folder: true for Japanese, false for English; nullopt when
// the file is missing, unreadable or holds neither word.
std::optional<bool> readJapaneseMode(const std::string& dataFolder);

// Stores the language ("Japanese" or "English" on one line). False when it cannot be written.
bool writeJapaneseMode(const std::string& dataFolder, bool japanese);

// Applies the stored language to the state, before the first activation puts the captions on.
void applyStoredLanguage(SortingSession& session);

// Switches the language now: the mode, the stored file, and the main window's captions
// (Japanese ones through SetJpMode, the design's English ones otherwise).
void switchLanguage(SortingSession& session, bool japanese);

}  // namespace sortelia
