#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include <system_error>
#include "app/app_settings.h"
#include "app/application.h"
#include "app/qt_wait.h"
#include "app/widget_named.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

using sortelia::testing::widgetNamed;

namespace sortelia::app {
namespace {

using testing::TempDir;

// A started main window on a source folder holding the given files.
class ShownWindow : public ::testing::Test {
 protected:
  void start(const std::vector<std::pair<std::string, std::string>>& files) {
    data = root.mkdir("data");
    for (const auto& [name, bytes] : files) root.write("src/" + name, bytes);
    root.mkdir("src");
    ASSERT_TRUE(writeTextLines(data + "/zel.ini", settingsLines({}, root.path() + "/src/")).ok());
    app = std::make_unique<Application>(data);
    app->mainWindow().show();
    ASSERT_TRUE(waitFor([&] { return !app->state().firstActivation; }));
  }
  TempDir root;
  std::string data;
  std::unique_ptr<Application> app;
};

TEST_F(ShownWindow, ShowsARealCameraPictureFittedIntoTheDisplayArea) {
  const std::string camera =
      testing::readAll(testing::testData("camera/Canon_DIGITAL_IXUS_400.jpg"));
  start({{"IMG_0001.JPG", camera}});
  MainWindow& w = app->mainWindow();
  const std::string path = root.path() + "/src/IMG_0001.JPG";
  EXPECT_EQ(w.statusText().toStdString(), path + " [ 1 / 1 files ]");
  PictureView* view = w.displayArea()->pictureView();
  ASSERT_NE(view->picture(), nullptr);
  const int pw = view->picture()->width();
  const int ph = view->picture()->height();
  // Smaller than the area: its own size, centred.
  EXPECT_EQ(view->size(), QSize(pw, ph));
  EXPECT_EQ(view->x(), (w.displayArea()->width() - pw) / 2);
  // The painted image is the decoded picture, not an empty widget.
  const QImage grabbed = view->grab().toImage();
  EXPECT_EQ(grabbed.size(), QSize(pw, ph));
  EXPECT_NE(grabbed.pixelColor(pw / 2, ph / 2), w.displayArea()->palette().color(QPalette::Dark));

  // At start the information window greets; showing the picture again (as every later step
  // does) puts its photo information there, and the date overlay its shooting date and size.
  EXPECT_EQ(app->infoWindow().text().substr(0, 27), "右クリックしてネ！");
  app->session().scan().showListPosition(1);
  const std::string info = app->infoWindow().text();
  EXPECT_EQ(info.substr(0, info.find("\r\n")), "01:画像ファイル名 ------> " + path);
  EXPECT_NE(info.find("\r\n02:撮影日時 ------------> 2004.08.27 13:52:55.\r\n"), std::string::npos)
      << info;
  EXPECT_NE(info.find("\r\n99:サイズ --------------> 9 KB ( 9,198 bytes )"), std::string::npos)
      << info;
  EXPECT_EQ(w.displayArea()->dateLabel()->text().toStdString(), "2004.08.27 13:52:55.");
  EXPECT_EQ(w.displayArea()->sizeLabel()->text(), QString("%1 x %2").arg(pw).arg(ph));

  // The date switch shows the three overlay labels together.
  widgetNamed<QCheckBox>(w, "CheckDATE")->setChecked(true);
  EXPECT_TRUE(w.displayArea()->sizeLabel()->isVisibleTo(&w));
  widgetNamed<QCheckBox>(w, "CheckDATE")->setChecked(false);
  EXPECT_FALSE(w.displayArea()->sizeLabel()->isVisibleTo(&w));
}

TEST_F(ShownWindow, LargePictureIsRefittedWhenTheWindowIsResized) {
  start({{"big.jpg", testing::makeTestJpeg(3000, 2000)}});
  MainWindow& w = app->mainWindow();
  PictureView* view = w.displayArea()->pictureView();
  const QSize area = w.displayArea()->size();
  EXPECT_EQ(view->width(), std::min(area.width(), 3000 * area.height() / 2000));
  w.resize(w.width() + 200, w.height());
  ASSERT_TRUE(waitFor([&] { return w.displayArea()->width() == area.width() + 200; }));
  const QSize grown = w.displayArea()->size();
  EXPECT_EQ(view->width(), std::min(grown.width(), 3000 * grown.height() / 2000));
  EXPECT_LE(view->height(), grown.height());
}

// When the list runs out the picture leaves the screen for good: a later resize paints nothing.
TEST_F(ShownWindow, NoPictureIsPaintedOnceTheListRunsOut) {
  start({{"big.jpg", testing::makeTestJpeg(3000, 2000)}});
  MainWindow& w = app->mainWindow();
  PictureView* view = w.displayArea()->pictureView();
  ASSERT_NE(view->screenPicture(), nullptr);
  const std::string empty = root.mkdir("empty");
  app->state().list.sourceDir = empty + "/";
  QTimer answer;  // the "no pictures" message is answered as a person would
  QObject::connect(&answer, &QTimer::timeout, [] {
    for (QWidget* t : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(t); box && box->isVisible()) box->accept();
    }
  });
  answer.start(20);
  app->session().scan().rescanSourceFolder();
  EXPECT_EQ(view->picture(), nullptr);
  EXPECT_EQ(view->screenPicture(), nullptr);
  EXPECT_FALSE(app->session().display().hasPicture());
  EXPECT_EQ(app->session().display().pictureWidth(), 0);
  w.resize(w.width() + 120, w.height() + 40);
  ASSERT_TRUE(waitFor([&] { return w.displayArea()->width() > 460; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(view->picture(), nullptr);
  EXPECT_EQ(view->screenPicture(), nullptr);
  // The picture control paints no pixel of the old picture.
  const QImage grabbed = w.displayArea()->grab().toImage();
  const QRect r = view->geometry();
  if (!r.isEmpty()) {
    const QColor c = grabbed.pixelColor(r.center());
    EXPECT_EQ(c, grabbed.pixelColor(QPoint(r.center().x(), r.top())));
    EXPECT_EQ(c.rgb(), w.displayArea()->palette().color(w.displayArea()->backgroundRole()).rgb());
  }
}

TEST_F(ShownWindow, FolderDroppedOnASlotBindsIt) {
  start({{"a.jpg", testing::makeTestJpeg(8, 8)}});
  const std::string folder = root.mkdir("家族 2007");
  MainWindow& w = app->mainWindow();
  QPushButton* slot3 = w.slotButton(3);
  const QPoint at = slot3->mapTo(&w, slot3->rect().center());
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(folder)),
                QUrl::fromLocalFile(QString::fromStdString(root.path()))});
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &move);
  EXPECT_EQ(app->slots().PointedSlot(), 3);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  EXPECT_EQ(slot3->text().toStdString(), "家族 2007");
  EXPECT_EQ(app->state().slots[2].folder, folder);
  EXPECT_TRUE(slot3->toolTip().contains("F3"));

  // The pointer over a resetting control makes the window forget the pointed slot; over a
  // slot it points at that slot.
  QWidget* info = widgetNamed<QWidget>(w, "CheckInfo");
  QMouseEvent overInfo(QEvent::MouseMove, QPointF(2, 2), info->mapToGlobal(QPointF(2, 2)),
                       Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(info, &overInfo);
  EXPECT_EQ(app->slots().PointedSlot(), 0);
}

TEST_F(ShownWindow, FunctionKeysActAsClicksOnEnabledSlots) {
  start({{"a.jpg", testing::makeTestJpeg(8, 8)}});
  MainWindow& w = app->mainWindow();
  std::vector<int> clicked;
  w.onSlotClicked = [&](int slot) { clicked.push_back(slot); };
  for (int key : {Qt::Key_F1, Qt::Key_F12}) {
    QKeyEvent press(QEvent::ShortcutOverride, key, Qt::NoModifier);
    QShortcutEvent shortcut(QKeySequence(key), false);
    for (QShortcut* s : w.findChildren<QShortcut*>()) {
      if (s->key() == QKeySequence(key)) Q_EMIT s->activated();
    }
  }
  EXPECT_EQ(clicked, (std::vector<int>{1, 12}));
  w.slotButton(5)->setEnabled(false);
  for (QShortcut* s : w.findChildren<QShortcut*>()) {
    if (s->key() == QKeySequence(Qt::Key_F5)) Q_EMIT s->activated();
  }
  EXPECT_EQ(clicked.size(), 2u);
}

TEST_F(ShownWindow, InformationWindowFollowsCheckInfo) {
  start({{"a.jpg", testing::makeTestJpeg(8, 8)}});
  MainWindow& w = app->mainWindow();
  auto* check = widgetNamed<QCheckBox>(w, "CheckInfo");
  check->setChecked(true);
  EXPECT_TRUE(app->infoWindow().isVisible());
  EXPECT_EQ(app->infoWindow().windowTitle().toStdString(), "写真情報");
  app->infoWindow().close();
  EXPECT_FALSE(check->isChecked());
}

// A read error while a picture is read (a card pulled out, a bad sector) ends the command with
// a message; the program goes on. The error is raised by a listener of the display, where the
// photo data of the first picture are read.
TEST(Robustness, ReadErrorsDuringActivationOpenAndMoveEndOnlyTheCommand) {
  struct FailingRead : EntryListener {
    void entryShown(const ShownEntry&) override {
      throw std::system_error(EIO, std::generic_category(), "read");
    }
  } failing;
  TempDir root;
  const std::string data = root.mkdir("data");
  root.write("src/a.jpg", testing::makeTestJpeg(16, 16));
  const std::string other = root.mkdir("other");
  root.write("other/b.jpg", testing::makeTestJpeg(16, 16));
  ASSERT_TRUE(
      writeTextLines(data + "/zel.ini", settingsLines({other}, root.path() + "/src/")).ok());

  std::vector<std::string> boxes;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    for (QWidget* t : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(t); box && box->isVisible()) {
        boxes.push_back(box->text().toStdString());
        box->accept();
      }
    }
  });
  answer.start(20);
  Application app(data);
  app.session().display().events().subscribe(failing);
  MainWindow& w = app.mainWindow();
  w.show();
  ASSERT_TRUE(waitFor([&] { return !boxes.empty(); }));
  EXPECT_NE(boxes[0].find("read"), std::string::npos) << boxes[0];
  // Move to This Folder on slot 1, then the same read error: a message again, no end.
  w.onPointedSlot(1);
  w.find<QAction>(Control::MoveFolder1)->trigger();
  ASSERT_TRUE(waitFor([&] { return boxes.size() >= 2; }));
  EXPECT_EQ(app.state().list.sourceDir, other + "/");
  app.session().display().events().unsubscribe(failing);
  EXPECT_TRUE(w.isVisible());
}

// In sorting mode with pictures every command is live but the viewer's own controls.
TEST_F(ShownWindow, InSortingModeEveryCommandButTheViewersIsLive) {
  start({{"a.jpg", testing::makeTestJpeg(16, 16)}, {"b.jpg", testing::makeTestJpeg(16, 16)}});
  MainWindow& w = app->mainWindow();
  auto enabled = [&](Control c) {
    QObject* o = c == Control::Form1 ? &w : w.findChild<QObject*>(controlName(c).data());
    if (auto* a = qobject_cast<QAction*>(o)) return a->isEnabled();
    return qobject_cast<QWidget*>(o)->isEnabled();
  };
  for (Control c : {Control::CheckShow, Control::Edit1, Control::Edit2}) {
    EXPECT_FALSE(enabled(c)) << controlName(c);
  }
  for (Control c :
       {Control::Button1,      Control::Button12,  Control::Button13,    Control::SpeedButton1,
        Control::CheckInfo,    Control::CheckDATE, Control::Undo1,       Control::Open1,
        Control::End1,         Control::SetBox1,   Control::MoveFolder1, Control::stretchsave1,
        Control::RadioButton2, Control::Edit4,     Control::CheckView,   Control::rot090,
        Control::SubDchkBox,   Control::Option1,   Control::Help1,       Control::Version1,
        Control::Button14,     Control::Browse1,   Control::Print1,      Control::rot270}) {
    EXPECT_TRUE(enabled(c)) << controlName(c);
  }
}

}  // namespace
}  // namespace sortelia::app
