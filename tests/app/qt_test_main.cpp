// GoogleTest entry for the Qt tests: one QApplication for the whole run.
#include <gtest/gtest.h>
#include <QApplication>
#include "app/common/app_font.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  QApplication::setApplicationName("Sortelia");
  sortelia::app::applyDesignFont();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
