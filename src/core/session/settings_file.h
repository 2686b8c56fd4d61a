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
//
// A file of more than 23 lines has had a line break written inside a folder name (lines 1-13),
// which moved every later line down. The folder lines can then no longer be told apart, so
// all thirteen are discarded (`foldersDiscarded`); lines 14-23 are taken from the end of the
// file, where the break cannot have moved them. A shorter file keeps its lines in their places
// and the missing ones read as empty.
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
  int lineCount = 0;              // lines the file held
  bool foldersDiscarded = false;  // more than 23 lines: lines 1-13 were not trusted
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
