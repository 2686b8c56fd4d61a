// Fuzzes the reading of "zel.ini": decoding, line splitting and the positional parse.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/session/settings_file.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const auto lines = sortelia::splitLines(sortelia::text::decodeExternal(bytes));
  const sortelia::SettingsRead r = sortelia::parseSettings(lines);
  // Whatever was read must compose back into a well-formed file.
  sortelia::SettingsValues v;
  v.slotFolders = r.slotLines;
  v.exifItemMask = r.exifItemMask;
  if (sortelia::composeSettings(v).size() != 23) __builtin_trap();
  return 0;
}
