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

struct RenameFlags {
  PhotoOptions photo;
  bool alone = false;
};

Syntax renameSyntax(RenameFlags& flags) {
  std::vector<Flag> declared = photoFlags(flags.photo);
  declared.push_back(switchFlag("--alone",
                                "rename the pictures alone, leaving their RAW, sidecar and Live "
                                "Photo files under their names",
                                flags.alone));
  return syntaxOf("rename", declared, "FOLDER", 1, 1);
}

int runRename(const std::vector<std::string>& args) {
  RenameFlags flags;
  const auto folders = parseOrReport(renameSyntax(flags), args);
  if (!folders) return 2;
  const auto folder = folderArgument("rename", folders->front());
  if (!folder) return 1;
  const auto listing = folderListing("rename", *folder);
  if (!listing) return 1;
  const std::vector<std::string>& entries = listing->entries;
  CommandLoader loader(flags.photo);
  exif::RenameOptions renameOptions;
  if (!flags.alone) {
    renameOptions.companionsOf = [&](const std::string& entry) {
      return companionsOf(listing->companions, entry);
    };
  }
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

const Registrar kRename{declaredCommand(renameSyntax, runRename)};

}  // namespace
}  // namespace sortelia::cli
