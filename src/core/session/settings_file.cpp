#include "core/session/settings_file.h"

#include <cstdint>

#include "platform/path.h"

namespace sortelia {
namespace {

const char* boolText(bool v) { return v ? "TRUE" : "FALSE"; }

}  // namespace

std::optional<int> parseInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + digit;
    if (value > (hex ? 0xFFFFFFFFLL : 0x80000000LL)) return std::nullopt;
  }
  if (hex && value > 0x7FFFFFFF) value -= 0x100000000LL;  // "$FFFFFFFF" is -1
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int>(value);
}

SettingsRead parseSettings(const std::vector<std::string>& lines) {
  SettingsRead r;
  // Empty lines after the 23rd (left by an editor) do not count as moved lines.
  int count = static_cast<int>(lines.size());
  while (count > kSettingsLineCount && lines[count - 1].empty()) --count;
  r.lineCount = count;
  r.foldersDiscarded = count > kSettingsLineCount;
  const int shift = r.foldersDiscarded ? count - kSettingsLineCount : 0;
  auto line = [&](int n) -> std::string {  // 1-based; past the end reads as empty
    if (n > kSlotCount + 1) n += shift;
    return n <= count ? lines[n - 1] : std::string();
  };
  if (!r.foldersDiscarded) {
    for (int i = 0; i < kSlotCount; ++i) r.slotLines[i] = line(i + 1);
    r.sourceLine = line(13);
  }
  for (int n = 14; n <= 17; ++n) {
    auto v = parseInteger(line(n));
    if (!v) return r;
    r.geometry.push_back(*v);
  }
  r.complete = true;
  r.loopSlideShow = line(18) == "TRUE";
  r.intervalText = line(19);
  r.autoRename = line(20) == "TRUE";
  r.keepOriginal = line(21) == "TRUE";
  r.maximized = line(22) == "TRUE";
  const std::string mask = text::trimWhitespace(line(23));
  r.exifItemMask = mask.size() == 27 ? mask : exif::kDefaultExifItemMask;
  return r;
}

std::vector<std::string> composeSettings(const SettingsValues& v) {
  std::vector<std::string> lines(v.slotFolders.begin(), v.slotFolders.end());
  lines.push_back(v.sourceDir);
  lines.push_back(std::to_string(v.bounds.top));
  lines.push_back(std::to_string(v.bounds.left));
  lines.push_back(std::to_string(v.bounds.height));
  lines.push_back(std::to_string(v.bounds.width));
  lines.push_back(boolText(v.loopSlideShow));
  lines.push_back(v.intervalText);
  lines.push_back(boolText(v.autoRename));
  lines.push_back(boolText(v.keepOriginal));
  lines.push_back(boolText(v.maximized));
  lines.push_back(v.exifItemMask);
  return lines;
}

}  // namespace sortelia
