// The options window's wiring: the main menu's Option item opens it with the current options,
// its controls apply their copy at once, its commands run guarded, the dump list goes to the
// dump window and back, and closing it recomposes the main window's caption.
#pragma once

#include <QObject>
#include <functional>

#include "app/dump/dump_wiring.h"
#include "app/main/main_window.h"
#include "app/options/options_window.h"
#include "core/options/options_commands.h"
#include "core/ports/ui.h"
#include "core/session/sorting_session.h"

namespace sortelia::app {

class OptionsWiring : public QObject {
  Q_OBJECT
 public:
  OptionsWiring(MainWindow& main, OptionsWindow& window, DumpWiring& dump, Ui& ui,
                SortingSession& session);

  // Option1Click: the options window, modally, until it is closed.
  void Option1Click();
  OptionsCommands& commands() { return commands_; }

 private:
  void guarded(const std::function<void()>& command);
  std::vector<std::string> cameraSetNames() const;

  MainWindow& main_;
  OptionsWindow& w_;
  DumpWiring& dump_;
  Ui& ui_;
  SortingSession& session_;
  OptionsCommands commands_;
};

}  // namespace sortelia::app
