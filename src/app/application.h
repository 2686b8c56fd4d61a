// The running program: the sorting state, the nine windows in their creation order, the ports,
// the core units and each window's wiring. It only constructs them; the wiring units connect.
#pragma once

#include <QObject>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/browse/browse_window.h"
#include "app/browse/browse_wiring.h"
#include "app/common/qt_long_work.h"
#include "app/common/qt_timer.h"
#include "app/common/qt_ui.h"
#include "app/common/second_start.h"
#include "app/dump/dump_window.h"
#include "app/dump/dump_wiring.h"
#include "app/help/help_window.h"
#include "app/help/help_wiring.h"
#include "app/info/info_window.h"
#include "app/main/main_window.h"
#include "app/main/main_wiring.h"
#include "app/options/options_window.h"
#include "app/options/options_wiring.h"
#include "app/print/print_window.h"
#include "app/print/print_wiring.h"
#include "app/stretch/stretch_window.h"
#include "app/stretch/stretch_wiring.h"
#include "app/viewer/viewer_wiring.h"
#include "core/display/picture_prefetch.h"
#include "core/session/sorting_session.h"
#include "core/sorting/destination_slots.h"
#include "core/sorting/sorting_loop.h"
#include "core/state/sorting_state.h"
#include "core/stretch/stretch_save.h"
#include "core/viewer/viewer_mode.h"

namespace sortelia::app {

class Application : public QObject {
  Q_OBJECT
 public:
  // Creates Form1 ... Form9; dataFolder holds "zel.ini" (empty: none).
  // files: the file operations of the transfers (tests hold or fail them); the platform's own
  // when null.
  explicit Application(const std::string& dataFolder, fs::FileOperations* files = nullptr);
  ~Application() override;

  MainWindow& mainWindow() { return *form1_; }
  InfoWindow& infoWindow() { return *form2_; }
  OptionsWindow& optionsWindow() { return *form3_; }
  DumpWindow& dumpWindow() { return *form5_; }
  HelpWindow& helpWindow() { return *form9_; }
  OptionsWiring& optionsWiring() { return *optionsWiring_; }
  DumpWiring& dumpWiring() { return *dumpWiring_; }
  HelpWiring& helpWiring() { return *helpWiring_; }
  BrowseWindow& browseWindow() { return *form6_; }
  FullSizeWindow& fullSizeWindow() { return *form7_; }
  PrintWindow& printWindow() { return *form8_; }
  BrowseWiring& browseWiring() { return *browseWiring_; }
  SortingSession& session() { return *session_; }
  SortingState& state() { return state_; }
  DestinationSlots& slots() { return *slots_; }
  SortingLoop& loop() { return *loop_; }
  StretchWindowForm& stretchWindow() { return *form4_; }
  StretchSave& stretchSave() { return *stretch_; }
  ViewerMode& viewer() { return *viewer_; }
  // Object names of the created windows, in creation order.
  std::vector<std::string> windowNames() const;

  // Listens on socketPath for a later start asking this window to come to the front, or
  // handing over a folder or file to open.
  bool listenForSecondStart(const std::string& socketPath);

  // Opens the folder or file argument (relative to workingDir) as a start argument
  // (OpenStartPath), once the first activation has run and while no dialog, menu or long step
  // is open; a later call before then replaces an earlier one.
  void openStartPath(const std::string& argument, const std::string& workingDir);

 private:
  void openPendingStartPath();

  SortingState state_;
  std::unique_ptr<MainWindow> form1_;
  std::unique_ptr<InfoWindow> form2_;
  BrowseWindow* form6_ = nullptr;
  FullSizeWindow* form7_ = nullptr;
  PrintWindow* form8_ = nullptr;
  std::vector<std::unique_ptr<QWidget>> others_;
  StretchWindowForm* form4_ = nullptr;  // held in others_
  std::unique_ptr<QtUi> ui_;
  std::unique_ptr<SortingSession> session_;
  std::unique_ptr<DestinationSlots> slots_;
  fs::FileOperations ownFiles_;
  fs::FileOperations& files_;
  QtTaskPoster transferPoster_;  // outlives the loop: the transfer queue posts through it
  std::unique_ptr<SortingLoop> loop_;
  QtLongWork* longWork_ = nullptr;  // owned by form1_: large copies off the GUI thread
  WorkerPool prefetchPool_{1};      // one thread: the GUI thread keeps the other core
  std::unique_ptr<PicturePrefetch> prefetch_;
  std::unique_ptr<MainWiring> mainWiring_;
  std::unique_ptr<StretchSave> stretch_;
  std::unique_ptr<StretchWiring> stretchWiring_;
  QtTimer timer1_;  // the slide show's Timer1
  std::unique_ptr<ViewerMode> viewer_;
  std::unique_ptr<ViewerWiring> viewerWiring_;
  OptionsWindow* form3_ = nullptr;  // owned by others_, as the other windows after Form2
  DumpWindow* form5_ = nullptr;
  HelpWindow* form9_ = nullptr;
  std::unique_ptr<DumpWiring> dumpWiring_;
  std::unique_ptr<OptionsWiring> optionsWiring_;
  std::unique_ptr<HelpWiring> helpWiring_;
  std::unique_ptr<BrowseWiring> browseWiring_;
  std::unique_ptr<PrintWiring> printWiring_;
  SecondStartListener listener_;
  bool activated_ = false;                                           // the first activation has run
  std::optional<std::pair<std::string, std::string>> pendingStart_;  // argument, working folder
};

}  // namespace sortelia::app
