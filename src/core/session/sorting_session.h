// The sorting session: start-up and close of the main window, the image list scan and the
// step to a position. Owns no widgets; talks to the person through Ui and to the window
// through MainView.
#pragma once

#include <functional>
#include <string>

#include "core/display/entry_display.h"
#include "core/ports/main_view.h"
#include "core/session/settings_file.h"
#include "core/session/sorting_state.h"
#include "core/ports/ui.h"
#include "exif/camera_params.h"
#include "exif/photo_info.h"

namespace sortelia {

class SortingSession {
 public:
  // FormCreate: puts the creation defaults into state and onto the view. dataFolder holds
  // "zel.ini"; an empty dataFolder means there is none (nothing is read or written).
  SortingSession(SortingState& state, Ui& ui, MainView& view, std::string dataFolder);

  // FormActivate: the first-activation sequence, once; later calls return at once.
  void FormActivate();
  // FormClose: writes the settings file (write failures are ignored).
  void FormClose();

  // Rebuilds the image list from SourceDir and shows entry 1.
  void FirstStepGetImgLst();
  // Position check: false (with its message) when n is past the end of the list.
  bool iDSPchk(int n);
  // Moves the display to position n; in sorting mode marked entries are skipped.
  void imageDSP(int n);
  // Enables or disables the sorting controls as a whole.
  void AllBtnEnabled(bool enable);
  // Enables or disables the twelve destination slots.
  void zelBTNctr(bool enabled);
  // The Japanese captions of the main window and its menus.
  void SetJpMode();

  // Binds slot i (1..12) to folder (caption = its last component), or unbinds it when empty.
  void setSlot(int i, const std::string& folder);

  // The deferred deletion of marked pictures, run before every rebuild of the list and at
  // close; does nothing until a pass is installed.
  std::function<void()> deletionPass;
  void runDeletionPass() {
    if (deletionPass) deletionPass();
  }

  // Filter of the picture open dialog shared by Open and Set Folder (Delphi style
  // "description|patterns|..."); Open replaces the design value.
  std::string openDialogFilter = "すべてのファイル (*.*)|*.*|JPEG イメージファイル (*.jpg)|*.jpg";

  // Chooses the Japanese or the English text of a message pair.
  const char* tr(const char* japanese, const char* english) const {
    return state_.options.japaneseMode ? japanese : english;
  }

  const std::string& dataFolder() const { return dataFolder_; }
  SortingState& state() { return state_; }
  Ui& ui() { return ui_; }
  MainView& view() { return view_; }
  EntryDisplay& display() { return display_; }
  // The photo data of the picture on display, and the camera parameter sets.
  exif::PhotoInfo& photo() { return photo_; }
  exif::CameraParams& cameraParams() { return cameraParams_; }

  // GetPdata for path with the current mask and camera parameter set.
  void GetPdata(const std::string& path);
  // DspPdata: the information window shows the photo information text, the comment field
  // the comment, and the date overlay the shooting date.
  void DspPdata();

 private:
  void readSettingsFile(const std::string& path);
  void restoreSlots(const SettingsRead& read);
  void restoreSourceDir(const std::string& line);
  void showEntry(int n);

  SortingState& state_;
  Ui& ui_;
  MainView& view_;
  std::string dataFolder_;
  EntryDisplay display_;
  exif::PhotoInfo photo_;
  exif::CameraParams cameraParams_;
};

}  // namespace sortelia
