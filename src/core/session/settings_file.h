// "zel.ini": 23 positional lines, read at the first activation and written at close.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/main_view.h"
#include "core/state/sorting_state.h"

namespace sortelia {

inline constexpr const char* kSettingsFileName = "zel.ini";
inline constexpr int kSettingsLineCount = 23;

// What a settings file holds, as far as it could be read. Reading stops silently at the first
// geometry line (14-17) that is not a number; `complete` tells whether it got past them, and
// only then do the values of lines 18-23 count.
struct SettingsRead {
  std::array<std::string, kSlotCount> slotLines;
  std::string sourceLine;
  std::vector<int> geometry;  // top, left, height, width: those read before a failure
  bool complete = false;
  bool loopSlideShow = false;
  std::string intervalText;
  bool autoRename = false;
  bool keepOriginal = false;
  bool maximized = false;
  std::string exifItemMask = exif::kDefaultExifItemMask;
};

// Everything the settings file stores.
struct SettingsValues {
  std::array<std::string, kSlotCount> slotFolders;
  std::string sourceDir;
  WindowBounds bounds;
  bool loopSlideShow = false;
  std::string intervalText;
  bool autoRename = false;
  bool keepOriginal = false;
  bool maximized = false;
  std::string exifItemMask;
};

// Integer as the program reads it: optional leading blanks, a sign, decimal digits or "$"
// and hexadecimal digits, within 32 bits; nullopt for anything else.
std::optional<int> parseInteger(const std::string& text);

// Interprets the lines of a settings file; missing lines read as empty.
SettingsRead parseSettings(const std::vector<std::string>& lines);

// The 23 lines that represent values.
std::vector<std::string> composeSettings(const SettingsValues& values);

}  // namespace sortelia
