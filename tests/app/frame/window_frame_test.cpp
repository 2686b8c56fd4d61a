// The main window under a real window manager, whose frame puts the client area below a title
// bar: a start and a close with nothing moved write the window's lines of "zel.ini" back
// unchanged, run after run. Runs on X11 (Xvfb with openbox, see run_under_wm.sh).
#include <gtest/gtest.h>
#include <QApplication>
#include <QThread>
#include <QWindow>

#include "app/app_settings.h"
#include "app/application.h"
#include "app/qt_wait.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::app {
namespace {

TEST(WindowFrame, StartAndCloseWithNothingMovedKeepTheSavedBounds) {
  testing::TempDir root;
  const std::string data = root.mkdir("data");
  root.write("src/a.jpg", testing::makeTestJpeg(64, 48));
  const auto ini = settingsLines({}, root.path() + "/src/", exif::kDefaultExifItemMask,
                                 {"60", "60", "700", "760"});
  ASSERT_TRUE(writeTextLines(data + "/zel.ini", ini).ok());
  for (int run = 1; run <= 3; ++run) {
    SCOPED_TRACE(run);
    Application app(data);
    MainWindow& w = app.mainWindow();
    w.show();
    ASSERT_TRUE(waitFor([&] { return !app.state().firstActivation; }));
    // Wait until the window manager has framed the window and the frame stands still.
    ASSERT_TRUE(waitFor([&] { return !w.windowHandle()->frameMargins().isNull(); }, 10000))
        << "no window manager frame";
    QRect last;
    waitFor([&] {
      const QRect now = w.frameGeometry();
      const bool still = now == last;
      last = now;
      QThread::msleep(50);
      return still;
    });
    EXPECT_EQ(w.frameGeometry(), QRect(60, 60, 760, 700));
    w.close();
    const auto lines = readTextLines(data + "/zel.ini");
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(std::vector<std::string>(lines->begin() + 13, lines->begin() + 17),
              (std::vector<std::string>{"60", "60", "700", "760"}));
  }
}

}  // namespace
}  // namespace sortelia::app
