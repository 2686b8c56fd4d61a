// The print window's wiring: the main window's Print command, the opening of the window for
// a file list (also by the browser), and its print button with the printer setup dialog.
#pragma once

#include <QObject>
#include <string>

#include "app/common/qt_ui.h"
#include "app/main/main_window.h"
#include "app/print/print_window.h"
#include "core/session/sorting_session.h"
#include "exif/photo_info.h"

namespace sortelia::app {

class PrintWiring : public QObject {
  Q_OBJECT
 public:
  PrintWiring(MainWindow& main, PrintWindow& window, QtUi& ui, SortingSession& session);

  // Sets the file list and the caption and shows the window modally.
  void open(const std::string& fileList, const std::string& caption);
  // Print1Click of the main window.
  void Print1Click();
  // Button2Click: the setup dialog, then every file of the list; the window closes.
  void Button2Click();

 private:
  exif::PhotoRecord readPhoto(const std::string& path);

  MainWindow& main_;
  PrintWindow& w_;
  QtUi& ui_;
  SortingSession& session_;
  // The printing reads photo data into its own record, so the shown picture's record (and
  // the rotation mark its comment is written back with) stays the main window's.
  exif::PhotoInfo photo_;
};

}  // namespace sortelia::app
