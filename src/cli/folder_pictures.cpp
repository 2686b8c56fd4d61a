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

std::optional<ImageListing> folderListing(const std::string& command, const std::string& folder) {
  if (const int error = folderReadError(folder)) {
    const std::string bare = fs::withoutTrailingSlashes(folder);
    std::fprintf(stderr, "sortelia-cli %s: cannot read the folder \"%s\": %s\n", command.c_str(),
                 bare.c_str(), std::strerror(error));
    return std::nullopt;
  }
  return listPictures({folder}, true);
}

std::optional<std::vector<std::string>> folderImageList(const std::string& command,
                                                        const std::string& folder) {
  auto listing = folderListing(command, folder);
  if (!listing) return std::nullopt;
  return std::move(listing->entries);
}

std::vector<Flag> photoFlags(PhotoOptions& options) {
  return {textFlag("--mask", "MASK",
                   "the items of the photo information to show: " +
                       std::to_string(exif::kExifItemCount) + " characters of 0 or 1",
                   options.mask,
                   [](const std::string& mask) {
                     return mask.size() == static_cast<std::size_t>(exif::kExifItemCount);
                   }),
          integerFlag("--camera-set", "N",
                      "the camera parameter set, 0 to " +
                          std::to_string(exif::kCameraParamSetCount - 1) + " (0)",
                      0, exif::kCameraParamSetCount - 1, options.cameraSet)};
}

CommandLoader::CommandLoader(const PhotoOptions& options) {
  exif::CameraParams params;
  const std::string error = params.SetPdPrm(ensureDataFolder());
  if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
  loader_ =
      std::make_unique<exif::PhotoInfoLoader>(info_, options.mask, params.table[options.cameraSet]);
}

bool readableFile(const std::string& path) {
  const int err = fs::readError(path);
  if (err == 0) return true;
  std::fflush(stdout);
  std::fprintf(stderr, "%s: cannot read the file: %s\n", path.c_str(), std::strerror(err));
  return false;
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
