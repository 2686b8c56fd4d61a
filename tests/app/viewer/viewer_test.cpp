#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDrag>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

#include "app/application.h"
#include "app/main/picture_drag.h"
#include "app/qt_wait.h"
#include "app/widget_named.h"
#include "platform/file_ops.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

using sortelia::testing::widgetNamed;

namespace sortelia::app {
namespace {

using testing::TempDir;

void key(QWidget* w, int k, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
  QApplication::sendEvent(w, &release);
}

void typeText(QWidget* w, const QString& text) {
  for (QChar c : text) key(w, c.toUpper().unicode(), QString(c));
}

// The program over a source folder of ten pictures, started and sorted up to entry 4.
class ViewerWindow : public ::testing::Test {
 protected:
  ViewerWindow() {
    for (int i = 1; i <= 10; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "src/IMG_%04d.JPG", i);
      root.write(name, testing::makeTestJpeg(40 + i, 30));
    }
    src = root.path() + "/src/";
    std::vector<std::string> ini(12);
    ini.push_back(src);
    for (const char* v : {"100", "100", "603", "545", "FALSE", "3", "FALSE", "FALSE", "FALSE"}) {
      ini.push_back(v);
    }
    ini.push_back("110011010101110010101100000");
    const std::string data = root.mkdir("data");
    (void)writeTextLines(data + "/zel.ini", ini);
    app = std::make_unique<Application>(data);
    w().show();
    waitFor([&] { return !app->state().firstActivation; });
  }
  MainWindow& w() { return app->mainWindow(); }
  QLineEdit* edit1() { return w().find<QLineEdit>(Control::Edit1); }
  QString status() { return w().statusText(); }

  TempDir root;
  std::string src;
  std::unique_ptr<Application> app;
};

TEST_F(ViewerWindow, TheCaptionAndTheTypedPositionsInTheRealFields) {
  ASSERT_EQ(app->state().list.imageCount, 10);
  EXPECT_EQ(w().windowTitle().toStdString(),
            "Sortelia for Windows [ " + src + " ] < 整理中[移動] >");
  app->state().list.sortIndex = 4;
  auto* view = w().find<QCheckBox>(Control::CheckView);
  EXPECT_EQ(view->text(), "ビューワ");
  ASSERT_TRUE(view->isEnabled());
  view->click();
  EXPECT_EQ(w().windowTitle().toStdString(), "Sortelia for Windows [ " + src + " ] < 閲覧 >");
  EXPECT_EQ(widgetNamed<QLabel>(w(), "Label1")->text(), "( 4 - 10 )");
  EXPECT_EQ(edit1()->text(), "4");
  EXPECT_TRUE(edit1()->isEnabled());
  EXPECT_TRUE(w().upDown1()->isEnabled());
  EXPECT_FALSE(w().find<QAction>(Control::Undo1)->isEnabled());

  struct Step {
    const char* typed;  // keys typed before Enter
    const char* text;   // Edit1 afterwards
    const char* shown;  // in the status text
  };
  const Step steps[] = {{"99", "10", "[ 10 / 10 files ]"},
                        {"1", "4", "[ 4 / 10 files ]"},
                        {"abc", "4", "[ 4 / 10 files ]"},
                        {"", "5", "[ 5 / 10 files ]"}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.typed);
    edit1()->setFocus();
    edit1()->selectAll();
    typeText(edit1(), s.typed);
    if (!*s.typed) edit1()->setModified(false);
    key(edit1(), Qt::Key_Return);
    EXPECT_EQ(edit1()->text().toStdString(), s.text);
    EXPECT_TRUE(status().contains(s.shown)) << status().toStdString();
  }
  widgetNamed<QToolButton>(*w().upDown1(), "UpDown1Up")->click();
  EXPECT_EQ(edit1()->text(), "6");
  EXPECT_TRUE(status().contains("[ 6 / 10 files ]"));

  auto* show = w().find<QCheckBox>(Control::CheckShow);
  show->click();
  EXPECT_EQ(w().windowTitle().toStdString(),
            "Sortelia for Windows [ " + src + " ] < 自動連続表示[片道] >");
  EXPECT_FALSE(edit1()->isEnabled());
  EXPECT_FALSE(view->isEnabled());
  show->click();
  EXPECT_TRUE(edit1()->isEnabled());
  view->click();
  EXPECT_EQ(w().windowTitle().toStdString(),
            "Sortelia for Windows [ " + src + " ] < 整理中[移動] >");
  EXPECT_FALSE(edit1()->isEnabled());
  EXPECT_TRUE(status().contains("[ 4 / 10 files ]"));
}

TEST_F(ViewerWindow, RotationItemsTurnTheShownPicture) {
  auto* rot = w().find<QAction>(Control::rot090);
  ASSERT_TRUE(rot->isEnabled());
  rot->trigger();
  EXPECT_EQ(app->state().comment.rotationMark, "@090:");
  const imaging::Bitmap* shown = w().displayArea()->pictureView()->picture();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->width(), 30);
  EXPECT_EQ(shown->height(), 41);
}

TEST_F(ViewerWindow, DraggingThePictureOffersItsFileForCopyOnly) {
  QWidget* image1 = w().displayArea()->pictureView();
  ASSERT_TRUE(w().acceptDrops());
  bool acceptedDuring = true;
  QDrag* seen = nullptr;
  // The drag runs its own loop (or returns at once where the platform has none); look at it as
  // soon as it exists.
  QTimer probe;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    if (auto* d = image1->findChild<QDrag*>(); d && !seen) {
      seen = d;
      acceptedDuring = w().acceptDrops();
      key(QApplication::focusWidget() ? QApplication::focusWidget() : &w(), Qt::Key_Escape);
    }
  });
  probe.start(5);
  const QPointF at(5, 5);
  QMouseEvent press(QEvent::MouseButtonPress, at, image1->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(image1, &press);
  const QPointF to(15, 9);
  QMouseEvent move(QEvent::MouseMove, to, image1->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(image1, &move);
  QDrag* drag = image1->findChild<QDrag*>();
  ASSERT_NE(drag, nullptr);
  EXPECT_EQ(drag->supportedActions(), Qt::CopyAction);
  ASSERT_TRUE(drag->mimeData()->hasUrls());
  EXPECT_EQ(drag->mimeData()->urls(),
            QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(src + "IMG_0001.JPG"))});
  // Offscreen the drag ends at once; on X it runs until Escape, and the window took no drops
  // meanwhile.
  if (QGuiApplication::platformName() == "xcb") {
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(acceptedDuring);
    EXPECT_EQ(seen, drag);
  }
  EXPECT_TRUE(w().acceptDrops());
  EXPECT_TRUE(fs::exists(src + "IMG_0001.JPG"));
  EXPECT_EQ(app->state().list.images.size(), 10u);
}

TEST(PictureDrag, OneTo1024FilesMakeADrag) {
  auto paths = [](int n) { return std::vector<std::string>(n, "/tmp/x.jpg"); };
  EXPECT_EQ(fileDragData(paths(0)), nullptr);
  EXPECT_EQ(fileDragData(paths(1025)), nullptr);
  std::unique_ptr<QMimeData> one(fileDragData(paths(1)));
  ASSERT_TRUE(one);
  EXPECT_EQ(one->urls().size(), 1);
  std::unique_ptr<QMimeData> most(fileDragData(paths(1024)));
  ASSERT_TRUE(most);
  EXPECT_EQ(most->urls().size(), 1024);
  QWidget target;
  target.setAcceptDrops(true);
  EXPECT_EQ(dragFilesOut(&target, &target, paths(1025)), Qt::IgnoreAction);
  EXPECT_TRUE(target.acceptDrops());
}

}  // namespace
}  // namespace sortelia::app
