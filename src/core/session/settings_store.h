// Start-up and close of the main window: the creation defaults, the first activation (captions,
// "zel.ini" read, slots and source folder restored, camera parameters loaded, first scan), and
// "zel.ini" written at close.
#pragma once

#include <string>

#include "core/ports/main_view.h"
#include "core/ports/ui.h"
#include "core/session/settings_file.h"
#include "core/state/sorting_state.h"

namespace sortelia {

class SortingSession;

class SettingsStore {
 public:
  explicit SettingsStore(SortingSession& session);

  // FormCreate: the creation defaults in state and on the view.
  void FormCreate();
  // FormActivate: the first-activation sequence, once; later calls return at once.
  void FormActivate();
  // FormClose: the deletion pass, then the settings file (write failures are ignored).
  void FormClose();
  // The Japanese captions of the main window and its menus.
  void SetJpMode();
  // The program was started with a folder or file to open right after the first activation:
  // the activation then leaves out its scan of the saved source folder (whose messages would
  // speak of a folder the person did not ask for).
  void deferFirstScan() { deferScan_ = true; }
  // Runs the scan the first activation left out, if it left one out (the start path could not
  // be opened, so the program goes on as started without it).
  void runDeferredScan();

 private:
  void readSettingsFile(const std::string& path);
  // Removes the temporaries of copies cut short from the slot folders, telling how many, and
  // from the source folder (an undo's copies back).
  void removeLeftoverCopies();
  void restoreSlots(const SettingsRead& read);
  void restoreSourceDir(const std::string& line);

  SortingSession& session_;
  bool deferScan_ = false;
  bool scanDeferred_ = false;
};

}  // namespace sortelia
