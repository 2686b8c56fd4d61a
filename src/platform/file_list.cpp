#include "platform/file_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/path.h"

namespace sortelia {
namespace {

enum class Kind { File, Directory, Other };

struct DirEntry {
  std::string name;
  Kind kind;
};

// One pass over a directory; the type comes from the entry itself unless the file system
// leaves it unknown, then from lstat.
std::vector<DirEntry> readDirectory(const std::string& folder) {
  std::vector<DirEntry> out;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return out;
  while (const dirent* e = ::readdir(dir)) {
    if (e->d_name[0] == '.') continue;  // ".", ".." and hidden entries
    Kind kind = Kind::Other;
    unsigned char type = e->d_type;
    if (type == DT_UNKNOWN) {
      struct stat st {};
      if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISREG(st.st_mode)) type = DT_REG;
        if (S_ISDIR(st.st_mode)) type = DT_DIR;
      }
    }
    if (type == DT_REG) kind = Kind::File;
    if (type == DT_DIR) kind = Kind::Directory;
    if (kind != Kind::Other) out.push_back({e->d_name, kind});
  }
  ::closedir(dir);
  return out;
}

void collectSubfolders(const std::string& folder, std::vector<std::string>& list, int depth) {
  if (depth > 256) return;  // guards against pathological nesting
  for (const auto& e : readDirectory(folder)) {
    if (e.kind != Kind::Directory) continue;
    const std::string sub = folder + e.name + "/";
    list.push_back(sub);
    collectSubfolders(sub, list, depth + 1);
  }
}

}  // namespace

int listImageFiles(const std::string& folder, const std::vector<std::string>& extensions,
                   std::vector<std::string>& list) {
  const auto entries = readDirectory(folder);
  int found = 0;
  for (const auto& ext : extensions) {
    for (const auto& e : entries) {
      // The empty extension takes every file.
      if (e.kind == Kind::File && (ext.empty() || fs::hasExtension(e.name, ext))) {
        list.push_back(folder + e.name);
        ++found;
      }
    }
  }
  return found;
}

void listSubfolders(const std::string& folder, std::vector<std::string>& list) {
  collectSubfolders(folder, list, 0);
}

int folderReadError(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return errno == 0 ? EIO : errno;
  ::closedir(dir);
  return 0;
}

std::vector<std::string> listNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* e = ::readdir(dir)) names.emplace_back(e->d_name);
  ::closedir(dir);
  return names;
}

}  // namespace sortelia
