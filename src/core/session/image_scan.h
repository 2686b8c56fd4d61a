// The image list scan and the step to a position: rescanSourceFolder lists the source folder,
// showListPosition moves the display, enableSortingControls and enableSlotButtons switch the
// sorting controls. Each carries its design name in its comment.
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

  // rescanSourceFolder: rebuilds the image list from SourceDir and shows entry 1.
  // The entry shown first is entry 1, or the entry of firstShown when the list holds it.
  void rescanSourceFolder(const std::string& firstShown = "");
  // checkListPosition, the position check: false (with its message) when n is past the end of the
  // list.
  bool checkListPosition(int n);
  // showListPosition: moves the display to position n; in sorting mode marked entries are skipped.
  void showListPosition(int n);
  // enableSortingControls: enables or disables the sorting controls as a whole.
  void enableSortingControls(bool enable);
  // enableSlotButtons: enables or disables the twelve destination slots.
  void enableSlotButtons(bool enabled);

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
