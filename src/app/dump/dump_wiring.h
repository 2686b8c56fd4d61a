// The dump window's wiring: its buttons and clicks to the dump commands, and the dump list
// that the options window opens.
#pragma once

#include <QObject>
#include <QRect>
#include <functional>
#include <optional>
#include <string>

#include "app/dump/dump_window.h"
#include "core/dump/dump_commands.h"
#include "core/ports/ui.h"
#include "core/session/sorting_session.h"
#include "platform/progress.h"

namespace sortelia::app {

class DumpWiring : public QObject {
  Q_OBJECT
 public:
  DumpWiring(DumpWindow& window, Ui& ui, SortingSession& session);

  // The dump list: the window takes the main window's place and size, the upper pane the
  // dump of picture (when there is one), and is shown modally until it closes.
  void showDumpList(const std::optional<std::string>& picture, const QRect& mainGeometry);
  // Chk: compares the two panes, colouring the differences red in both views.
  void Chk();

  DumpCommands& commands() { return commands_; }

 private:
  void guarded(const std::function<void()>& command);
  void showPane(int pane);

  DumpWindow& w_;
  Ui& ui_;
  DumpCommands commands_;
  CancelToken stop_;
  bool comparing_ = false;
};

}  // namespace sortelia::app
