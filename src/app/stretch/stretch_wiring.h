// The reduced-size save window's wiring: the main window's "Stretch Save" command opens it
// over the shown picture; the size options and the quality field above the slots drive the
// reduction on transfer, which follows the window's black-and-white box; "全実行" runs the album
// over the image list, and the page templates are written when missing at the first start.
#pragma once

#include <QObject>

#include "app/common/qt_timer.h"
#include "app/common/qt_ui.h"
#include "app/main/main_window.h"
#include "app/stretch/stretch_window.h"
#include "core/album/album_command.h"
#include "core/session/sorting_session.h"
#include "core/sorting/sorting_loop.h"
#include "core/stretch/stretch_save.h"

namespace sortelia::app {

class StretchWiring : public QObject {
  Q_OBJECT
 public:
  StretchWiring(MainWindow& main, StretchWindowForm& window, QtUi& ui, StretchSave& save,
                SortingLoop& loop);

 private:
  void guarded(const std::function<void()>& command);

  MainWindow& main_;
  StretchWindowForm& window_;
  QtUi& ui_;
  StretchSave& save_;
  SortingLoop& loop_;
  QtTaskPoster poster_;  // outlives the album run, which posts through it
  AlbumCommand album_;
};

}  // namespace sortelia::app
