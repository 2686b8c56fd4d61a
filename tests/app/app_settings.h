// "zel.ini" for a started window in the Qt tests.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/state/sorting_state.h"

namespace sortelia::app {

// The 23 lines of "zel.ini": the slot folders (the rest unbound), the source folder, the
// geometry (top, left, height, width), the default switches and the item mask.
inline std::vector<std::string> settingsLines(const std::vector<std::string>& slots,
                                              const std::string& source,
                                              const std::string& mask = exif::kDefaultExifItemMask,
                                              const std::array<const char*, 4>& geometry = {
                                                  "100", "100", "603", "545"}) {
  std::vector<std::string> l = slots;
  l.resize(kSlotCount);
  l.push_back(source);
  for (const char* v : geometry) l.push_back(v);
  for (const char* v : {"FALSE", "3", "FALSE", "FALSE", "FALSE"}) l.push_back(v);
  l.push_back(mask);
  return l;
}

}  // namespace sortelia::app
