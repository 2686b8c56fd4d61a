#include "cli/folder_pictures.h"

#include <cstdio>
#include <cstring>

#include "core/display/image_list.h"
#include "exif/camera_params.h"
#include "platform/data_folder.h"
#include "platform/file_list.h"
#include "platform/file_ops.h"
#include "platform/path.h"

namespace sortelia::cli {

std::optional<std::vector<std::string>> folderImageList(const std::string& command,
                                                        const std::string& folder) {
  if (const int error = folderReadError(folder)) {
    const std::string bare = fs::withoutTrailingSlashes(folder);
    std::fprintf(stderr, "sortelia-cli %s: cannot read the folder \"%s\": %s\n", command.c_str(),
                 bare.c_str(), std::strerror(error));
    return std::nullopt;
  }
  return listImages({folder});
}

std::optional<bool> parsePhotoOption(const std::vector<std::string>& args, std::size_t& i,
                                     PhotoOptions& options) {
  const std::string& a = args[i];
  if (a != "--mask" && a != "--camera-set") return std::nullopt;
  if (i + 1 >= args.size()) return false;
  const std::string& v = args[++i];
  if (a == "--mask") {
    options.mask = v;
    return v.size() == static_cast<std::size_t>(exif::kExifItemCount);
  }
  if (v.empty() || v.size() > 2 || v.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  options.cameraSet = std::stoi(v);
  return options.cameraSet < exif::kCameraParamSetCount;
}

CommandLoader::CommandLoader(const PhotoOptions& options) {
  exif::CameraParams params;
  const std::string error = params.SetPdPrm(ensureDataFolder());
  if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
  loader_ =
      std::make_unique<exif::PhotoInfoLoader>(info_, options.mask, params.table[options.cameraSet]);
}

std::optional<std::string> folderArgument(const std::string& command, const std::string& folder) {
  if (!fs::isDirectory(folder)) {
    std::fprintf(stderr, "sortelia-cli %s: \"%s\" is not a folder\n", command.c_str(),
                 folder.c_str());
    return std::nullopt;
  }
  const std::string bare = fs::withoutTrailingSlashes(folder);
  return bare == "/" ? bare : bare + "/";
}

}  // namespace sortelia::cli
