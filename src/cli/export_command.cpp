// sortelia-cli export: writes the photo information of a folder's pictures into text files,
// all into "_Photo.txt" in the folder or one ".txt" file beside each picture.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/folder_pictures.h"
#include "exif/photo_export.h"

namespace sortelia::cli {
namespace {

constexpr const char* kUsage = "export --all-in-one|--each [--mask MASK] [--camera-set N] FOLDER";

int usage() {
  std::fprintf(stderr, "usage: sortelia-cli %s\n", kUsage);
  return 2;
}

int runExport(const std::vector<std::string>& args) {
  int mode = 0;  // 1 all in one, 2 one file per picture
  PhotoOptions options;
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (const auto ok = parsePhotoOption(args, i, options)) {
      if (!*ok) return usage();
    } else if (args[i] == "--all-in-one" || args[i] == "--each") {
      const int m = args[i] == "--all-in-one" ? 1 : 2;
      if (mode != 0 && mode != m) return usage();
      mode = m;
    } else if (args[i].starts_with("-") && args[i].size() > 1) {
      return usage();
    } else {
      folders.push_back(args[i]);
    }
  }
  if (mode == 0 || folders.size() != 1) return usage();
  const auto folder = folderArgument("export", folders[0]);
  if (!folder) return 1;
  const auto list = folderImageList("export", *folder);
  if (!list) return 1;
  const std::vector<std::string>& entries = *list;
  if (entries.empty()) {
    std::fprintf(stderr, "sortelia-cli export: no pictures in \"%s\"\n", folder->c_str());
    return 0;
  }
  CommandLoader loader(options);
  const auto print = [](const std::string& picture, const std::string& file) {
    std::printf("'%s' -> '%s'\n", picture.c_str(), file.c_str());
  };
  const BatchReport report = mode == 1
                                 ? exif::exportAllInOne(entries, *folder, loader.loader(), print)
                                 : exif::exportEachPicture(entries, loader.loader(), print);
  std::fflush(stdout);
  for (const BatchFailure& f : report.failed) {
    std::fprintf(stderr, "sortelia-cli export: %s\n", f.text.c_str());
  }
  return report.ok() ? 0 : 1;
}

const Registrar kExport{{"export", kUsage, runExport, ""}};

}  // namespace
}  // namespace sortelia::cli
