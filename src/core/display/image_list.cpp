#include "core/display/image_list.h"

#include <algorithm>

#include "exif/rotation_mark.h"
#include "platform/text_codec.h"

namespace sortelia {
namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool ChkDMRK(const std::string& entry, std::string& path) {
  if (entry.rfind(kDeletionMark, 0) == 0) {
    path = entry.substr(2);
    return true;
  }
  path = entry;
  return false;
}

std::string entryPath(const std::string& entry) {
  std::string path;
  ChkDMRK(entry, path);
  return path;
}

std::string ExtractRotationMark(const std::string& text) { return exif::rotationMarkOf(text); }

void ApplyRotationMark(const std::string& mark, std::string& text) {
  if (!ExtractRotationMark(text).empty()) {
    std::string rest = text.substr(5, 512);
    // Never keep half of a UTF-8 character at the cut.
    if (text.size() > 5 + 512) {
      std::size_t end = rest.size();
      std::size_t start = end;
      while (start > 0 && (static_cast<unsigned char>(rest[start - 1]) & 0xC0) == 0x80) --start;
      if (start > 0) {
        const auto lead = static_cast<unsigned char>(rest[start - 1]);
        if (lead >= 0x80 && start - 1 + text::utf8SequenceLength(lead) > end)
          rest.resize(start - 1);
      }
    }
    text = mark + rest;
  } else {
    text = mark + text;
  }
}

void sortImageList(std::vector<std::string>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(lowerAscii(x)) < static_cast<unsigned char>(lowerAscii(y));
    });
  });
}

}  // namespace sortelia
