// sortelia-cli album: the batch reduction with the HTML album over a folder's image list, as
// the reduced-size save window runs it. The item mask and the window width for the grid come
// from the settings file in the data folder, as the program would use them.
#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/folder_pictures.h"
#include "core/ports/main_view.h"
#include "core/session/settings_file.h"
#include "exif/camera_params.h"
#include "outputs/album/album_run.h"
#include "outputs/album/album_template.h"
#include "outputs/album/album_text.h"
#include "platform/data_folder.h"
#include "platform/file_ops.h"
#include "platform/line_file.h"

namespace sortelia::cli {
namespace {

struct AlbumArgs {
  std::optional<int> width, height, columns;
  int level = 8;
  bool sepia = false, bw = false;
};

Syntax albumSyntax(AlbumArgs& a) {
  const std::string sizeRange = "width and height must be 1 to 65535 pixels";
  return operandsFirst(syntaxOf(
      "album",
      {required(withRangeText(
           integerFlag("--width", "W", "the largest width of a reduced picture, in pixels", 1,
                       65535, a.width),
           sizeRange)),
       required(withRangeText(
           integerFlag("--height", "H", "the largest height of a reduced picture, in pixels", 1,
                       65535, a.height),
           sizeRange)),
       withRangeText(
           integerFlag("--level", "L", "the JPEG quality level, 1 to 10 (8)", 1, 10, a.level),
           "the level must be between 1 and 10"),
       switchFlag("--sepia", "sepia tones", a.sepia), switchFlag("--bw", "black and white", a.bw),
       withRangeText(integerFlag("--columns", "N",
                                 "pictures per row of the grid page (from the window width)", 1,
                                 std::numeric_limits<int>::max(), a.columns),
                     "the columns must be at least 1")},
      "SOURCE-FOLDER", 1, 1));
}

// The folder as the program keeps a source folder: absolute, ending with "/".
std::string sourceFolder(const std::string& arg) {
  std::error_code ec;
  std::string dir = std::filesystem::absolute(arg, ec).lexically_normal().string();
  if (ec) dir = arg;
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

int runAlbum(const std::vector<std::string>& args) {
  AlbumArgs a;
  const auto operands = parseOrReport(albumSyntax(a), args);
  if (!operands) return 2;
  const std::string folder = sourceFolder(operands->front());
  if (!fs::isDirectory(folder)) {
    std::fprintf(stderr, "sortelia-cli album: no folder \"%s\"\n", operands->front().c_str());
    return 2;
  }
  const auto files = folderImageList("album", folder);
  if (!files) return 1;
  const std::string data = ensureDataFolder();
  if (data.empty()) {
    std::fprintf(stderr, "sortelia-cli album: the data folder cannot be created\n");
    return 1;
  }
  outputs::album::writeMissingTemplates(data);
  SettingsRead settings;
  if (const auto lines = readTextLines(data + "/" + kSettingsFileName)) {
    settings = parseSettings(*lines);
  }
  const int windowWidth =
      settings.geometry.size() == 4 ? settings.geometry[3] : WindowBounds{}.width;
  exif::CameraParams params;
  const std::string paramError = params.SetPdPrm(data);
  if (!paramError.empty()) std::fprintf(stderr, "%s\n", paramError.c_str());

  outputs::album::AlbumJob job;
  job.sourceDir = folder;
  for (const std::string& f : *files) job.entries.push_back({f, false});
  job.size = {*a.width, *a.height};
  job.level = a.level;
  job.options = {.sepia = a.sepia, .blackAndWhite = a.bw};
  job.columns = a.columns ? *a.columns : outputs::album::albumColumns(windowWidth, *a.width);
  job.templateFolder = data;
  job.itemMask = settings.exifItemMask;
  job.cameraSet = params.table[0];
  const outputs::album::AlbumResult result = outputs::album::runAlbum(job, {}, CancelToken());
  for (const BatchFailure& f : result.report.failed) {
    std::fprintf(stderr, "sortelia-cli album: %s: %s\n", f.path.c_str(), f.text.c_str());
  }
  std::printf("%s\n", result.paths.folder.c_str());
  return result.report.ok() ? 0 : 1;
}

const Registrar registrar{declaredCommand(albumSyntax, runAlbum)};

}  // namespace
}  // namespace sortelia::cli
