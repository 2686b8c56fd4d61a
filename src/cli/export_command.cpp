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

struct ExportArgs {
  PhotoOptions photo;
  bool allInOne = false, each = false;
};

Syntax exportSyntax(ExportArgs& a) {
  std::vector<Flag> flags = {
      switchFlag("--all-in-one", "all the pictures' information in \"_Photo.txt\"", a.allInOne),
      switchFlag("--each", "one \".txt\" file beside each picture", a.each)};
  for (Flag& f : flags) {
    f.group = "mode";
    f.required = true;
  }
  for (Flag& f : photoFlags(a.photo)) flags.push_back(std::move(f));
  return syntaxOf("export", std::move(flags), "FOLDER", 1, 1);
}

int runExport(const std::vector<std::string>& args) {
  ExportArgs a;
  const auto folders = parseOrReport(exportSyntax(a), args);
  if (!folders) return 2;
  const auto folder = folderArgument("export", folders->front());
  if (!folder) return 1;
  const auto list = folderImageList("export", *folder);
  if (!list) return 1;
  const std::vector<std::string>& entries = *list;
  if (entries.empty()) {
    std::fprintf(stderr, "sortelia-cli export: no pictures in \"%s\"\n", folder->c_str());
    return 0;
  }
  CommandLoader loader(a.photo);
  const auto print = [](const std::string& picture, const std::string& file) {
    std::printf("'%s' -> '%s'\n", picture.c_str(), file.c_str());
  };
  const BatchReport report = a.allInOne
                                 ? exif::exportAllInOne(entries, *folder, loader.loader(), print)
                                 : exif::exportEachPicture(entries, loader.loader(), print);
  std::fflush(stdout);
  for (const BatchFailure& f : report.failed) {
    std::fprintf(stderr, "sortelia-cli export: %s\n", f.text.c_str());
  }
  return report.ok() ? 0 : 1;
}

const Registrar kExport{declaredCommand(exportSyntax, runExport)};

}  // namespace
}  // namespace sortelia::cli
