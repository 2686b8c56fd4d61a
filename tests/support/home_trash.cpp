#include "support/home_trash.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace sortelia::testing {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string percentDecode(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

}  // namespace

std::string homeTrash() {
  const char* data = std::getenv("XDG_DATA_HOME");
  return data ? std::string(data) + "/Trash" : std::string();
}

bool homeTrashIsTemporary() {
  const std::string temp = std::filesystem::temp_directory_path().string();
  const std::string trash = homeTrash();
  return !trash.empty() && trash.rfind(temp + (temp.back() == '/' ? "" : "/"), 0) == 0 &&
         trash.find("/../") == std::string::npos;
}

void emptyHomeTrash() {
  if (!homeTrashIsTemporary()) return;
  std::error_code ec;
  std::filesystem::remove_all(homeTrash(), ec);
}

std::vector<TrashedFile> trashedFiles() {
  std::vector<TrashedFile> out;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(homeTrash() + "/files", ec)) {
    TrashedFile f;
    f.name = entry.path().filename().string();
    f.path = entry.path().string();
    const std::string info = readAll(homeTrash() + "/info/" + f.name + ".trashinfo");
    f.hasHeader = info.rfind("[Trash Info]\n", 0) == 0;
    std::size_t start = 0;
    while (start < info.size()) {
      std::size_t end = info.find('\n', start);
      if (end == std::string::npos) end = info.size();
      const std::string line = info.substr(start, end - start);
      if (line.rfind("Path=", 0) == 0) f.infoPath = line.substr(5);
      if (line.rfind("DeletionDate=", 0) == 0) f.hasDeletionDate = line.size() > 13;
      start = end + 1;
    }
    f.originalPath = percentDecode(f.infoPath);
    out.push_back(f);
  }
  std::sort(out.begin(), out.end(),
            [](const TrashedFile& a, const TrashedFile& b) { return a.name < b.name; });
  return out;
}

std::string trashInfoEscape(const std::string& path) {
  std::string out;
  for (const unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace sortelia::testing
