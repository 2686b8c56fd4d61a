// sortelia-cli album: the batch reduction with the HTML album over a folder's image list, as
// the reduced-size save window runs it. The item mask and the window width for the grid come
// from the settings file in the data folder, as the program would use them.
#include <charconv>
#include <cstdio>
#include <filesystem>
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

constexpr const char* kUsage =
    "album SOURCE-FOLDER --width W --height H [--level L] [--sepia] [--bw] [--columns N]";

struct AlbumArgs {
  std::string folder;
  std::optional<int> width, height, columns;
  int level = 8;
  bool sepia = false, bw = false;
};

int usage() {
  std::fprintf(stderr, "usage: sortelia-cli %s\n", kUsage);
  return 2;
}

// Parses the arguments; prints the problem and returns nullopt when they are not usable.
std::optional<AlbumArgs> parseArgs(const std::vector<std::string>& args) {
  AlbumArgs r;
  int folders = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--sepia") {
      r.sepia = true;
    } else if (a == "--bw") {
      r.bw = true;
    } else if (a == "--width" || a == "--height" || a == "--level" || a == "--columns") {
      const auto v = i + 1 < args.size() ? parseInt(args[i + 1]) : std::nullopt;
      if (!v) {
        std::fprintf(stderr, "sortelia-cli album: %s needs a whole number\n", a.c_str());
        return std::nullopt;
      }
      ++i;
      if (a == "--width") r.width = *v;
      if (a == "--height") r.height = *v;
      if (a == "--level") r.level = *v;
      if (a == "--columns") r.columns = *v;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "sortelia-cli album: unknown option %s\n", a.c_str());
      return std::nullopt;
    } else {
      r.folder = a;
      ++folders;
    }
  }
  if (folders != 1 || !r.width || !r.height) {
    usage();
    return std::nullopt;
  }
  if (*r.width < 1 || *r.height < 1 || *r.width > 65535 || *r.height > 65535) {
    std::fprintf(stderr, "sortelia-cli album: width and height must be 1 to 65535 pixels\n");
    return std::nullopt;
  }
  if (r.level < 1 || r.level > 10) {
    std::fprintf(stderr, "sortelia-cli album: the level must be between 1 and 10\n");
    return std::nullopt;
  }
  if (r.columns && *r.columns < 1) {
    std::fprintf(stderr, "sortelia-cli album: the columns must be at least 1\n");
    return std::nullopt;
  }
  return r;
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
  const auto a = parseArgs(args);
  if (!a) return 2;
  const std::string folder = sourceFolder(a->folder);
  if (!fs::isDirectory(folder)) {
    std::fprintf(stderr, "sortelia-cli album: no folder \"%s\"\n", a->folder.c_str());
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
  job.size = {*a->width, *a->height};
  job.level = a->level;
  job.options = {.sepia = a->sepia, .blackAndWhite = a->bw};
  job.columns = a->columns ? *a->columns : outputs::album::albumColumns(windowWidth, *a->width);
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

const Registrar registrar{{"album", kUsage, runAlbum}};

}  // namespace
}  // namespace sortelia::cli
