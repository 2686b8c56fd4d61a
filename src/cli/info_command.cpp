// sortelia-cli info: the photo information text of pictures, as the information window
// shows it.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/folder_pictures.h"
#include "exif/camera_params.h"
#include "exif/photo_info.h"
#include "platform/data_folder.h"

namespace sortelia::cli {
namespace {

Syntax infoSyntax(PhotoOptions& options) {
  return syntaxOf("info", photoFlags(options), "FILE...", 1);
}

int runInfo(const std::vector<std::string>& args) {
  PhotoOptions options;
  const auto files = parseOrReport(infoSyntax(options), args);
  if (!files) return 2;
  exif::CameraParams params;
  const std::string folder = ensureDataFolder();
  const std::string error = params.SetPdPrm(folder);
  if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
  exif::PhotoInfo info;
  std::string out;
  int status = 0;
  bool first = true;
  for (const std::string& path : *files) {
    if (!readableFile(path)) {
      status = 1;
      continue;
    }
    info.GetPdata(path, options.mask, params.table[options.cameraSet]);
    if (!first) out += "\r\n";
    first = false;
    out += info.MakeDspPdat(options.mask) + "\r\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    out.clear();
  }
  return status;
}

const Registrar kInfo{declaredCommand(infoSyntax, runInfo)};

}  // namespace
}  // namespace sortelia::cli
