// The help window's wiring: the main menu's Help and Version items.
#pragma once

#include <QObject>
#include <string>
#include <vector>

#include "app/help/help_window.h"
#include "app/main/main_window.h"
#include "core/help/help_commands.h"
#include "core/ports/ui.h"
#include "core/session/sorting_session.h"

namespace sortelia::app {

// Where the readme is looked for: the data folder, the executable's folder, the share folder
// beside the executable's folder (`bin/../share/sortelia`), and the share folder of the
// configured installation prefix.
std::vector<std::string> readmeFolders(const std::string& dataFolder);

class HelpWiring : public QObject {
  Q_OBJECT
 public:
  HelpWiring(MainWindow& main, HelpWindow& window, Ui& ui, SortingSession& session);
  HelpCommands& commands() { return commands_; }

 private:
  void guarded(const std::function<void()>& command);

  Ui& ui_;
  HelpCommands commands_;
};

}  // namespace sortelia::app
