// What the commands share: the image list of a folder as the program's scan builds it (export,
// rename, album), the photo data loader with the item mask and camera set of the run, and the
// check that a file named on the command line can be read (exif, info).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/flags.h"
#include "core/display/image_list.h"
#include "exif/photo_loader.h"

namespace sortelia::cli {

// The image list of folder (ending with "/") with its companions, as the window lists it with
// companions kept: its ".jpg" files, then its ".mov" and ".mpg" files less the movies of Live
// Photos, sorted ignoring letter case; subfolders are not entered. A folder that cannot be
// listed gives nullopt, after a message on standard error naming the command and the platform
// error ("sortelia-cli rename: cannot read the folder "X": Permission denied"): unlike the
// window's silent scan, the command line does not take it for an empty folder.
std::optional<ImageListing> folderListing(const std::string& command, const std::string& folder);

// The entries of folderListing.
std::optional<std::vector<std::string>> folderImageList(const std::string& command,
                                                        const std::string& folder);

// The options that choose how photo data are read, as "info" takes them.
struct PhotoOptions {
  std::string mask = exif::kDefaultExifItemMask;
  int cameraSet = 0;
};

// The flags "--mask MASK" and "--camera-set N" that fill options.
std::vector<Flag> photoFlags(PhotoOptions& options);

// The photo data loader of a command: the camera parameter sets from the data folder (their
// problems printed on standard error) and a reader with the options' mask and set.
class CommandLoader {
 public:
  explicit CommandLoader(const PhotoOptions& options);
  exif::PhotoDataLoader& loader() { return *loader_; }

 private:
  exif::PhotoInfo info_;
  std::unique_ptr<exif::PhotoInfoLoader> loader_;
};

// False, after saying why on standard error ("FILE: cannot read the file: Is a directory"),
// when path is not a file that can be read: a missing, unreadable or special file has no EXIF
// and no photo information only in the sense that nothing was read.
bool readableFile(const std::string& path);

// folder with exactly one "/" at its end, or nullopt (with a message on standard error
// naming the command) when it is not a folder.
std::optional<std::string> folderArgument(const std::string& command, const std::string& folder);

}  // namespace sortelia::cli
