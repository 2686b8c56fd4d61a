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
  for (std::size_t k = 0; k < files->size(); ++k) {
    info.GetPdata((*files)[k], options.mask, params.table[options.cameraSet]);
    if (k > 0) out += "\r\n";
    out += info.MakeDspPdat(options.mask) + "\r\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    out.clear();
  }
  return 0;
}

const Registrar kInfo{declaredCommand(infoSyntax, runInfo)};

}  // namespace
}  // namespace sortelia::cli
