// sortelia-cli rename: renames a folder's pictures after their shooting time, never over an
// existing file.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/folder_pictures.h"
#include "exif/rename_by_date.h"

namespace sortelia::cli {
namespace {

constexpr const char* kUsage = "rename [--mask MASK] [--camera-set N] FOLDER";

int usage() {
  std::fprintf(stderr, "usage: sortelia-cli %s\n", kUsage);
  return 2;
}

int runRename(const std::vector<std::string>& args) {
  PhotoOptions options;
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (const auto ok = parsePhotoOption(args, i, options)) {
      if (!*ok) return usage();
    } else if (args[i].starts_with("-") && args[i].size() > 1) {
      return usage();
    } else {
      folders.push_back(args[i]);
    }
  }
  if (folders.size() != 1) return usage();
  const auto folder = folderArgument("rename", folders[0]);
  if (!folder) return 1;
  const auto list = folderImageList("rename", *folder);
  if (!list) return 1;
  const std::vector<std::string>& entries = *list;
  CommandLoader loader(options);
  exif::RenameOptions renameOptions;
  renameOptions.renamed = [](const std::string& from, const std::string& to) {
    std::printf("renamed '%s' -> '%s'\n", from.c_str(), to.c_str());
  };
  const BatchReport report = exif::renameByShootingTime(entries, loader.loader(), renameOptions);
  std::fflush(stdout);
  for (const BatchFailure& f : report.failed) {
    std::fprintf(stderr, "sortelia-cli rename: %s\n", f.text.c_str());
  }
  return report.ok() ? 0 : 1;
}

const Registrar kRename{{"rename", kUsage, runRename, ""}};

}  // namespace
}  // namespace sortelia::cli
