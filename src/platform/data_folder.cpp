#include "platform/data_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/file_ops.h"

namespace sortelia {
namespace {

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

}  // namespace

std::string dataFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base = (xdg && xdg[0] == '/') ? std::string(xdg) : homeFolder() + "/.config";
  return base + "/sortelia";
}

std::string ensureDataFolder() {
  const std::string dir = dataFolder();
  return fs::makeDirectories(dir).ok() ? dir : std::string();
}

std::string runtimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && xdg[0] == '/' && fs::isDirectory(xdg)) return xdg;
  std::string dir = "/tmp/sortelia-" + std::to_string(getuid());
  ::mkdir(dir.c_str(), 0700);
  return dir;
}

}  // namespace sortelia
