#include "core/display/image_list.h"

#include <algorithm>

#include "exif/rotation_mark.h"
#include "platform/file_list.h"
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
  exif::ApplyRotationMark(mark, text);
}

void sortImageList(std::vector<std::string>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(lowerAscii(x)) < static_cast<unsigned char>(lowerAscii(y));
    });
  });
}

std::vector<std::string> listImages(const std::vector<std::string>& folders) {
  std::vector<std::string> entries;
  for (const std::string& folder : folders) {
    listImageFiles(folder, {".jpg"}, entries);
    listImageFiles(folder, {".mov", ".mpg"}, entries);
  }
  sortImageList(entries);
  return entries;
}

}  // namespace sortelia
