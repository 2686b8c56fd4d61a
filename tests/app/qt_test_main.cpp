// GoogleTest entry for the Qt tests: one QApplication for the whole run. The deletion pass of
// the windows under test moves files to the desktop Trash, so the process gets a home Trash of
// its own first: GLib reads XDG_DATA_HOME once, before anything else of GLib runs here.
#include <gtest/gtest.h>
#include <QApplication>
#include <cstdlib>
#include "app/common/app_font.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
  const sortelia::testing::TempDir dataHome;
  ::setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  QApplication::setApplicationName("Sortelia");
  sortelia::app::applyDesignFont();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
