#include "platform/path.h"

#include <cctype>

namespace sortelia::fs {

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string folderPrefixOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool hasExtension(const std::string& path, std::string_view ext) {
  const std::string name = fileNameOf(path);
  if (ext.empty() || name.size() < ext.size()) return false;
  const std::string_view tail = std::string_view(name).substr(name.size() - ext.size());
  for (std::size_t i = 0; i < ext.size(); ++i) {
    const auto a = static_cast<unsigned char>(tail[i]);
    const auto b = static_cast<unsigned char>(ext[i]);
    if (std::tolower(a) != std::tolower(b)) return false;
  }
  return true;
}

std::string withoutTrailingSlashes(const std::string& path) {
  std::size_t end = path.size();
  while (end > 1 && path[end - 1] == '/') --end;
  return path.substr(0, end);
}

}  // namespace sortelia::fs

namespace sortelia::text {
namespace {

std::string trimOf(std::string_view s, std::string_view set) {
  const auto b = s.find_first_not_of(set);
  if (b == std::string_view::npos) return "";
  return std::string(s.substr(b, s.find_last_not_of(set) - b + 1));
}

}  // namespace

std::string trimBlanks(std::string_view s) { return trimOf(s, " \t"); }

std::string trimWhitespace(std::string_view s) { return trimOf(s, " \t\r\n\v\f"); }

}  // namespace sortelia::text
