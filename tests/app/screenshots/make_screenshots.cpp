// Renders the main window in the situations the documentation shows and saves each as a PNG:
//   make_screenshots OUTPUT_FOLDER
// Run it under a real X server (Xvfb) so that message boxes and fonts render as on a desktop.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "app/application.h"
#include "app/common/app_font.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"

namespace {

using sortelia::app::Application;

void settle(int ms = 300) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A source folder of copies of the given test pictures and files, and a data folder whose
// zel.ini names it and binds three slots.
std::unique_ptr<Application> startOn(
    const sortelia::testing::TempDir& root,
    const std::vector<std::pair<std::string, std::string>>& files) {
  for (const auto& [name, bytes] : files) root.write("src/" + name, bytes);
  std::vector<std::string> l{root.mkdir("dst/家族"), root.mkdir("dst/旅行"),
                             root.mkdir("dst/仕事")};
  l.resize(12);
  l.push_back(root.path() + "/src/");
  for (const char* v : {"100", "100", "603", "545", "FALSE", "3", "FALSE", "FALSE", "FALSE"}) {
    l.push_back(v);
  }
  l.push_back("110011010101110010101100000");
  (void)sortelia::writeTextLines(root.mkdir("data") + "/zel.ini", l);
  auto app = std::make_unique<Application>(root.path() + "/data");
  app->mainWindow().move(100, 100);
  app->mainWindow().show();
  settle();
  return app;
}

// A window with its frame, as it stands on the screen.
void saveWindow(QWidget* w, const QString& file) {
  QScreen* screen = QGuiApplication::primaryScreen();
  screen
      ->grabWindow(0, w->frameGeometry().x(), w->frameGeometry().y(), w->frameGeometry().width(),
                   w->frameGeometry().height())
      .save(file);
  std::printf("%s\n", qPrintable(file));
}

// Accepts the next message box that comes up within a few seconds.
void acceptNextMessage() {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, timer, [timer] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box || !box->isVisible()) continue;
      box->accept();
      timer->deleteLater();
    }
  });
  timer->start(50);
}

void saveScreen(const QString& file) {
  QScreen* screen = QGuiApplication::primaryScreen();
  screen->grabWindow(0, 90, 60, 900, 680).save(file);
  std::printf("%s\n", qPrintable(file));
}

// Shortly after this, the screen with the message box then shown, which is answered by button.
void shootNextMessage(const QString& file, QMessageBox::StandardButton button) {
  QTimer::singleShot(800, [file, button] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(w);
      if (!box || !box->isVisible()) continue;
      box->move(200, 300);
      settle(300);
      saveScreen(file);
      box->button(button)->click();
    }
  });
}

}  // namespace

int main(int argc, char** argv) {
  // The deletion pass shown here may move test pictures to the Trash: a Trash of this run's own.
  const sortelia::testing::TempDir dataHome;
  ::setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
  QApplication qapp(argc, argv);
  QApplication::setApplicationName("Sortelia");
  sortelia::app::applyDesignFont();
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  const std::string camera =
      sortelia::testing::readAll(sortelia::testing::testData("camera/fujifilm-dx10.jpg"));

  {  // A picture with the date overlay on and the information window beside it.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}, {"MVI_0002.MOV", "movie"}});
    app->mainWindow().findChild<QCheckBox*>("CheckDATE")->setChecked(true);
    app->session().scan().showListPosition(1);
    app->mainWindow().findChild<QCheckBox*>("CheckInfo")->setChecked(true);
    app->infoWindow().move(660, 100);
    settle();
    saveScreen(out + "/picture-with-date-overlay.png");
  }
  {  // A movie entry: the big button naming the player.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"MVI_0002.MOV", "movie"}});
    app->mainWindow().findChild<QCheckBox*>("CheckDATE")->setChecked(true);
    app->session().scan().showListPosition(1);
    settle();
    saveScreen(out + "/movie-entry.png");
  }
  {  // The deletion pass: its list in the information window behind its question.
    sortelia::testing::TempDir root;
    auto app = startOn(
        root, {{"DSCF0001.JPG", camera}, {"DSCF0002.JPG", camera}, {"DSCF0003.JPG", camera}});
    auto* del = app->mainWindow().findChild<QPushButton*>("Button13");
    del->click();
    del->click();
    settle();
    shootNextMessage(out + "/deletion-pass-question.png", QMessageBox::No);
    app->session().runDeletionPass();
  }
  {  // The Version box with the licence.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}});
    settle();
    shootNextMessage(out + "/version-box.png", QMessageBox::Ok);
    app->mainWindow().findChild<QAction*>("Version1")->trigger();
  }
  {  // The comment field in use.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}});
    app->mainWindow().findChild<QPushButton*>("SpeedButton1")->setChecked(true);
    app->mainWindow().displayArea()->commentField()->setText("お好み焼き、広島風 2001");
    settle();
    saveScreen(out + "/comment-field-in-use.png");
  }
  {  // A phone's HEIC, turned as the phone showed it, with the comment field's note.
    sortelia::testing::TempDir root;
    const std::string heic =
        sortelia::testing::readAll(sortelia::testing::testData("heif/canon_40d_rot90.heic"));
    auto app = startOn(root, {{"IMG_0001.HEIC", heic}});
    app->mainWindow().findChild<QPushButton*>("SpeedButton1")->click();
    settle();
    saveScreen(out + "/heic-entry.png");
  }
  {  // The reduced-size save window with a sepia preview.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}});
    app->mainWindow().findChild<QAbstractButton*>("RadioButton2")->click();
    settle();
    saveScreen(out + "/size-option-2m.png");
    QTimer::singleShot(300, [&] {
      auto& f = app->stretchWindow();
      f.sepiaBox()->click();
      f.widthField()->setValue(320);
      f.viewButton()->click();
      settle();
      saveScreen(out + "/stretch-window-sepia.png");
      f.stopButton()->click();
      QTimer::singleShot(300, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
          if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
            box->button(QMessageBox::No)->click();
          }
        }
      });
    });
    app->mainWindow().findChild<QAction*>("stretchsave1")->trigger();
  }
  {  // Viewer mode on a picture turned by a quarter turn.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}, {"DSCF0002.JPG", camera}});
    app->mainWindow().findChild<QCheckBox*>("CheckView")->click();
    app->mainWindow().findChild<QAction*>("rot090")->trigger();
    settle();
    saveScreen(out + "/viewer-rotated-picture.png");
  }
  {  // A slide show running: the caption names it, the viewer's controls are locked.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}, {"DSCF0002.JPG", camera}});
    app->mainWindow().findChild<QCheckBox*>("CheckView")->click();
    app->mainWindow().findChild<QCheckBox*>("CheckShow")->click();
    settle();
    saveScreen(out + "/slide-show-caption.png");
    app->mainWindow().findChild<QCheckBox*>("CheckShow")->click();
  }
  {  // The options window, both tabs.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}});
    sortelia::app::OptionsWindow& w = app->optionsWindow();
    w.load(app->state().options, app->session().photoData().cameraParams().setNames);
    w.move(200, 120);
    w.show();
    settle();
    saveWindow(&w, out + "/options-general.png");
    w.tabs()->setCurrentIndex(1);
    settle();
    saveWindow(&w, out + "/options-exif-items.png");
    w.hide();
  }
  {  // The dump window comparing the heads of two camera files.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}});
    sortelia::app::DumpWiring& dump = app->dumpWiring();
    sortelia::app::DumpWindow& w = app->dumpWindow();
    const std::string a = sortelia::testing::testData("camera/Canon_40D.jpg");
    const std::string b = sortelia::testing::testData("camera/Canon_DIGITAL_IXUS_400.jpg");
    (void)dump.commands().MakeDump(1, a);
    (void)dump.commands().MakeDump(2, b);
    for (int pane : {1, 2}) {
      w.setPanePath(pane, dump.commands().pane(pane).path);
      w.setPaneLines(pane, dump.commands().pane(pane).lines);
    }
    w.setWindowTitle("ダンプリスト");
    w.setGeometry(120, 80, 640, 640);
    w.setModal(false);
    w.show();
    settle();
    dump.Chk();
    w.view(2)->verticalScrollBar()->setValue(w.view(2)->verticalScrollBar()->maximum() / 3);
    settle();
    saveWindow(&w, out + "/dump-comparison.png");
    w.hide();
  }
  {  // The help window with the readme.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}});
    acceptNextMessage();
    app->helpWiring().commands().Help1Click();
    app->helpWindow().setGeometry(160, 100, 620, 560);
    settle();
    saveWindow(&app->helpWindow(), out + "/help-readme.png");
  }
  {  // The thumbnail browser over three camera pictures, from its menu item.
    sortelia::testing::TempDir root;
    auto app = startOn(
        root, {{"DSCF0001.JPG", camera}, {"DSCF0002.JPG", camera}, {"DSCF0003.JPG", camera}});
    QTimer::singleShot(300, [&] {
      auto& w = app->browseWindow();
      w.buildButton()->click();
      settle(1500);
      saveWindow(&w, out + "/browser-grid.png");
      w.close();
    });
    app->mainWindow().findChild<QAction*>("Browse1")->trigger();
  }
  {  // The print window for the picture on display, from its menu item.
    sortelia::testing::TempDir root;
    auto app = startOn(root, {{"DSCF0001.JPG", camera}});
    QTimer::singleShot(300, [&] {
      auto& w = app->printWindow();
      settle();
      saveWindow(&w, out + "/print-window.png");
      w.close();
    });
    app->mainWindow().findChild<QAction*>("Print1")->trigger();
  }
  return 0;
}
