// The image list scan and the step to a position: FirstStepGetImgLst lists the source folder,
// imageDSP moves the display, AllBtnEnabled and zelBTNctr switch the sorting controls.
#pragma once

#include "core/display/entry_display.h"
#include "core/ports/main_view.h"
#include "core/ports/ui.h"
#include "core/state/sorting_state.h"

namespace sortelia {

class ImageScan {
 public:
  ImageScan(SortingState& state, Ui& ui, PictureView& picture, ControlPanel& controls,
            EntryDisplay& display);

  // Rebuilds the image list from SourceDir and shows entry 1.
  // The entry shown first is entry 1, or the entry of firstShown when the list holds it.
  void FirstStepGetImgLst(const std::string& firstShown = "");
  // Position check: false (with its message) when n is past the end of the list.
  bool iDSPchk(int n);
  // Moves the display to position n; in sorting mode marked entries are skipped.
  void imageDSP(int n);
  // Enables or disables the sorting controls as a whole.
  void AllBtnEnabled(bool enable);
  // Enables or disables the twelve destination slots.
  void zelBTNctr(bool enabled);

 private:
  const char* tr(const char* japanese, const char* english) const {
    return state_.options.japaneseMode ? japanese : english;
  }

  SortingState& state_;
  Ui& ui_;
  PictureView& picture_;
  ControlPanel& controls_;
  EntryDisplay& display_;
};

}  // namespace sortelia
