// The wiring of viewer mode: connects the main window's viewer controls (CheckView, Edit1 and
// its arrows, CheckShow), the rotation menu items, the subfolder switch and the drag of the
// shown picture to the viewer's core unit, each command run guarded.
#pragma once

#include <QObject>
#include <functional>

#include "app/common/qt_ui.h"
#include "app/main/main_window.h"
#include "app/main/picture_drag.h"
#include "core/viewer/viewer_mode.h"

namespace sortelia::app {

class ViewerWiring : public QObject {
  Q_OBJECT
 public:
  ViewerWiring(MainWindow& window, QtUi& ui, ViewerMode& viewer);

 private:
  // Runs a command; an error that ends it is shown in a message box.
  void guarded(const std::function<void()>& command);

  MainWindow& w_;
  QtUi& ui_;
  ViewerMode& viewer_;
  PictureDragSource* drag_ = nullptr;
};

}  // namespace sortelia::app
