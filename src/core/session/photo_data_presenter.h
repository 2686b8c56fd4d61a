// The photo data of the picture on display: read with GetPdata when an entry is shown, shown
// with DspPdata in the information window, the comment field and the date overlay; and the
// camera parameter sets it reads them with.
#pragma once

#include <string>

#include "core/display/entry_events.h"
#include "core/ports/main_view.h"
#include "core/ports/ui.h"
#include "core/state/sorting_state.h"
#include "exif/camera_params.h"
#include "exif/photo_info.h"

namespace sortelia {

class EntryDisplay;

class PhotoDataPresenter : public EntryListener {
 public:
  PhotoDataPresenter(SortingState& state, Ui& ui, CommentField& comment);
  // The display whose date overlay DspPdata sets (set once, when both exist).
  void attach(EntryDisplay& display) { display_ = &display; }

  // GetPdata for path with the current mask and camera parameter set. It only reads: the
  // shown picture's pending rotation is set when an entry is shown, never here.
  void GetPdata(const std::string& path);
  // DspPdata: the information window shows the photo information text, the comment field
  // the comment, and the date overlay the shooting date.
  void DspPdata();
  // The date-and-time line of a file with the photo record of the last picture read ("FILE"
  // and "." in the date overlay: a movie has no shooting date, and a picture without one must
  // not show the date of the picture read before it).
  std::string fileDateLine(const std::string& path) const;

  // A JPEG entry on display gets its photo data read and shown.
  void entryShown(const ShownEntry& e) override;

  exif::PhotoInfo& photo() { return photo_; }
  exif::CameraParams& cameraParams() { return cameraParams_; }
  // The camera parameter set the options select (an index out of range takes the nearest set).
  const exif::CameraParamSet& selectedCameraSet() const;

 private:
  SortingState& state_;
  Ui& ui_;
  CommentField& comment_;
  EntryDisplay* display_ = nullptr;
  exif::PhotoInfo photo_;
  exif::CameraParams cameraParams_;
};

}  // namespace sortelia
