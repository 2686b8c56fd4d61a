// The main window's wiring: connects its buttons, menu items, slots, drops and resizes to the
// core units of the sorting session, each command run guarded (an error that ends it is shown
// in a message box and the program goes on).
#pragma once

#include <QObject>
#include <functional>

#include "app/common/qt_ui.h"
#include "app/info/info_window.h"
#include "app/main/main_window.h"
#include "core/session/sorting_session.h"
#include "core/sorting/destination_slots.h"
#include "core/sorting/sorting_loop.h"

namespace sortelia::app {

class MainWiring : public QObject {
  Q_OBJECT
 public:
  MainWiring(MainWindow& window, InfoWindow& info, QtUi& ui, SortingSession& session,
             DestinationSlots& slots, SortingLoop& loop);

  // Runs a command; an error that ends it is shown in a message box.
  void guarded(const std::function<void()>& command);

 private:
  void connectSlots();
  void connectMenus();
  void connectSortingLoop();
  void connectInfoWindow();

  MainWindow& w_;
  InfoWindow& info_;
  QtUi& ui_;
  SortingSession& session_;
  DestinationSlots& slots_;
  SortingLoop& loop_;
};

}  // namespace sortelia::app
