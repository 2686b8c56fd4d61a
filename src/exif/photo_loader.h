// The photo data loader that the export and the rename read pictures through, and the image
// list entry format they walk.
#pragma once

#include <string>
#include <string_view>

#include "exif/camera_params.h"
#include "exif/photo_info.h"

namespace sortelia::exif {

// Loads the photo data of one file at a time. The window commands hand in the loader of the
// main window, so that afterwards its photo data describe the last file loaded.
class PhotoDataLoader {
 public:
  virtual ~PhotoDataLoader() = default;
  // GetPdata: loads the photo data of the file at path and returns the record it filled.
  virtual const PhotoRecord& GetPdata(const std::string& path) = 0;
  // MakeDspPdat: the information text of the file of the last GetPdata.
  virtual std::string MakeDspPdat() const = 0;
};

// The loader over one PhotoInfo with the item mask and camera parameter set of the run.
class PhotoInfoLoader : public PhotoDataLoader {
 public:
  PhotoInfoLoader(PhotoInfo& info, std::string mask, CameraParamSet cameraSet)
      : info_(info), mask_(std::move(mask)), cameraSet_(std::move(cameraSet)) {}
  const PhotoRecord& GetPdata(const std::string& path) override {
    info_.GetPdata(path, mask_, cameraSet_);
    return info_.record;
  }
  std::string MakeDspPdat() const override { return info_.MakeDspPdat(mask_); }

 private:
  PhotoInfo& info_;
  std::string mask_;
  CameraParamSet cameraSet_;
};

// The deletion mark in front of a marked image list entry.
inline constexpr std::string_view kEntryDeletionMark = "!:";

// True when an image list entry carries the deletion mark.
inline bool isMarkedEntry(std::string_view entry) { return entry.starts_with(kEntryDeletionMark); }

}  // namespace sortelia::exif
