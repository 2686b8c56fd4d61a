// The thumbnail browser, the full-size display and printing, as real widgets offscreen; the
// printed page goes to a PDF that pdftoppm renders back to pixels.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>

#include "app/application.h"
#include "app/qt_wait.h"
#include "imaging/jpeg_codec.h"
#include "platform/line_file.h"
#include "support/raw_builder.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::app {
namespace {

using testing::TempDir;

// A solid-colour JPEG.
std::string solidJpeg(int w, int h, int r, int g, int b) {
  imaging::Bitmap bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = bitmap.row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(b);
      p[1] = static_cast<std::uint8_t>(g);
      p[2] = static_cast<std::uint8_t>(r);
    }
  return imaging::encodeJpeg(bitmap, 95);
}

class BrowsePrint : public ::testing::Test {
 protected:
  void start(const std::vector<std::pair<std::string, std::string>>& files) {
    data = root.mkdir("data");
    for (const auto& [name, bytes] : files) root.write("src/" + name, bytes);
    std::vector<std::string> l(12);
    l.push_back(root.path() + "/src/");
    for (const char* v : {"100", "100", "603", "545", "FALSE", "3", "FALSE", "FALSE", "FALSE"})
      l.push_back(v);
    l.push_back("110011010101110010101100000");
    ASSERT_TRUE(writeTextLines(data + "/zel.ini", l).ok());
    app = std::make_unique<Application>(data);
    app->mainWindow().resize(700, 500);
    app->mainWindow().show();
    ASSERT_TRUE(waitFor([&] { return !app->state().firstActivation; }));
  }
  // Runs body while the browser is shown modally by the main window's Browse button.
  void inBrowser(const std::function<void(BrowseWindow&)>& body) {
    BrowseWindow& b = app->browseWindow();
    QTimer::singleShot(0, [&] {
      waitFor([&] { return b.isVisible(); });
      body(b);
      b.reject();
    });
    app->mainWindow().find<QPushButton>(Control::Button14)->click();
  }
  void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons held = Qt::NoButton) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  TempDir root;
  std::string data;
  std::unique_ptr<Application> app;
};

TEST_F(BrowsePrint, BrowserBuildsTheGridOverTheMainWindowAndOpensPicturesFullSize) {
  start({{"a.jpg", testing::makeTestJpeg(640, 480)},
         {"b.jpg", testing::makeTestJpeg(1600, 1200)},
         {"c.mov", "movie"},
         {"d.jpg", testing::makeTestJpeg(800, 600)}});
  app->state().list.images[1] = "!:" + app->state().list.images[1];  // b marked for deletion
  const QRect mainGeometry = app->mainWindow().geometry();
  bool ran = false;
  inBrowser([&](BrowseWindow& b) {
    ran = true;
    EXPECT_FALSE(app->mainWindow().isVisible());
    EXPECT_EQ(b.geometry(), mainGeometry);
    const std::string caption = "縮小一覧表示[ " + root.path() + "/src/ ](4)";
    EXPECT_EQ(b.windowTitle().toStdString(), caption);
    EXPECT_FALSE(b.stopButton()->isEnabled());

    b.buildButton()->click();
    ThumbBrowser& thumbs = app->browseWiring().thumbs();
    ASSERT_TRUE(waitFor([&] { return !thumbs.building(); }));
    EXPECT_EQ(b.windowTitle().toStdString(), caption);
    ASSERT_EQ(thumbs.cells().size(), 3u);  // a, c, d: b's slot stays empty
    EXPECT_EQ(thumbs.cells()[1].index, 2);
    EXPECT_EQ(b.grid()->verticalScrollBar()->singleStep(), 102);

    // The popup over a picture, over a movie and over the background.
    QWidget* vp = b.grid()->viewport();
    auto popupAt = [&](QPoint at) {
      mouse(vp, QEvent::MouseMove, at);
      Q_EMIT b.popupMenu()->aboutToShow();
      std::string on;
      for (const char* n : {"Info1", "Delete1", "Undo1", "PrtMark", "Print1"})
        on += b.action(n)->isEnabled() ? "1" : "0";
      return on;
    };
    const outputs::Rect a = thumbs.cells()[0].rect;
    const outputs::Rect c = thumbs.cells()[1].rect;
    const QPoint aPicture(a.left + 50, a.top + 40);
    // (Undo1 is hidden, and so off, until a Del. can be undone.)
    EXPECT_EQ(popupAt(aPicture), "11011");
    EXPECT_EQ(popupAt(QPoint(c.left + 50, c.top + 40)), "01000");
    EXPECT_EQ(popupAt(QPoint(a.left + 50, a.top + 500)), "00000");

    // The cells in the accessibility tree, named after their files.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(b.grid());
    ASSERT_NE(list, nullptr);
    auto names = [&] {
      QStringList n;
      for (int i = 0; i < list->childCount(); ++i) n << list->child(i)->text(QAccessible::Name);
      return n.join(",").toStdString();
    };
    EXPECT_EQ(list->text(QAccessible::Name).toStdString(), "ScrollBox1");
    EXPECT_EQ(names(), "a.jpg,c.mov,d.jpg");

    // Del. hides the cell and marks the entry; Undo brings both back.
    EXPECT_EQ(popupAt(aPicture), "11011");
    b.action("Delete1")->trigger();
    EXPECT_EQ(app->state().list.images[0].substr(0, 2), "!:");
    EXPECT_EQ(names(), "c.mov,d.jpg");
    Q_EMIT b.popupMenu()->aboutToShow();
    EXPECT_TRUE(b.action("Undo1")->isVisible());
    EXPECT_TRUE(b.action("Undo1")->isEnabled());
    b.action("Undo1")->trigger();
    EXPECT_EQ(app->state().list.images[0].substr(0, 2), root.path().substr(0, 2));

    // Double click opens the full-size window; a click on its picture closes it.
    mouse(vp, QEvent::MouseButtonPress, aPicture, Qt::LeftButton);
    mouse(vp, QEvent::MouseButtonRelease, aPicture);
    mouse(vp, QEvent::MouseButtonDblClick, aPicture, Qt::LeftButton);
    FullSizeWindow& full = app->fullSizeWindow();
    ASSERT_TRUE(waitFor([&] { return full.isVisible(); }));
    EXPECT_EQ(full.windowTitle().toStdString(), "全画面表示");
    EXPECT_EQ(thumbs.cells()[0].label, LabelColour::Green);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(full.picture(), &press);
    EXPECT_TRUE(waitFor([&] { return !full.isVisible(); }));

    // At real size: a sizeable window named after the file, the picture at its own size.
    b.realSizeBox()->setChecked(true);
    const outputs::Rect d = thumbs.cells()[2].rect;
    mouse(vp, QEvent::MouseButtonDblClick, QPoint(d.left + 50, d.top + 40), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return full.isVisible(); }));
    EXPECT_EQ(full.windowTitle().toStdString(), "実サイズ表示[ " + root.path() + "/src/d.jpg ]");
    EXPECT_EQ(thumbs.cells()[0].label, LabelColour::Red);
    EXPECT_EQ(thumbs.cells()[2].label, LabelColour::Green);
    full.clearAndClose();

    // A narrower grid closes the gap left by b.
    b.resize(300, b.height());  // (300 - 20) div 102: two columns
    ASSERT_TRUE(waitFor([&] { return thumbs.cells()[1].rect.left == 104; }));
    EXPECT_EQ(thumbs.cells()[2].rect, (outputs::Rect{2, 104, 100, 100}));

    // A wheel step moves the grid 10 pixels.
    b.resize(b.width(), 150);
    ASSERT_TRUE(waitFor([&] { return b.grid()->verticalScrollBar()->maximum() > 20; }));
    QWheelEvent wheel(QPointF(50, 50), vp->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &wheel);
    EXPECT_EQ(b.grid()->verticalScrollBar()->value(), 10);
    b.resize(b.width(), 500);

    const char* shots = std::getenv("SORTELIA_SCREENSHOT_DIR");
    if (shots) {
      b.resize(700, 500);
      mouse(vp, QEvent::MouseMove, QPoint(c.left + 50, c.top + 40));
      b.action("PrtMark")->setEnabled(true);
      thumbs.setUnderMouse(2);
      thumbs.PrtMarkClick();
      waitFor([] { return false; }, 200);
      b.grab().save(QString(shots) + "/browser.png");
    }
  });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(app->mainWindow().isVisible());
}

// The page rendered from the PDF at the printer's resolution.
QImage renderPdf(const std::string& pdf, const std::string& prefix, int page) {
  const std::string cmd = "pdftoppm -r 300 -f " + std::to_string(page) + " -l " +
                          std::to_string(page) + " -singlefile -png '" + pdf + "' '" + prefix + "'";
  if (std::system(cmd.c_str()) != 0) return {};
  return QImage(QString::fromStdString(prefix + ".png"));
}

bool near(QColor c, int r, int g, int b, int tolerance = 40) {
  return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
         std::abs(c.blue() - b) <= tolerance;
}

// The HEIC and the RAW of one picture get the same thumbnail as its JPEG: each cell is drawn
// on the real grid, not only counted in the model.
TEST_F(BrowsePrint, HeicAndRawCellsAreDrawnLikeTheJpegOfTheSamePicture) {
  const std::string jpeg = solidJpeg(800, 600, 200, 60, 30);
  start({{"a.jpg", jpeg}, {"empty.mov", "movie"}});
  // The HEIC made by ImageMagick through libheif; the RAW a TIFF holding the JPEG as its
  // preview, as DNG and NEF files do.
  const std::string heic = root.file("src/b.HEIC");
  ASSERT_EQ(std::system(("convert '" + root.file("src/a.jpg") + "' '" + heic + "'").c_str()), 0);
  testing::TiffBuilder tiff;
  const int ifd0 = tiff.addIfd();
  const int blob = tiff.addBlob(jpeg);
  tiff.entry(ifd0, 0x0201, 4, {testing::TiffBuilder::blob(blob)});
  tiff.entry(ifd0, 0x0202, 4, {testing::TiffBuilder::num(static_cast<std::uint32_t>(jpeg.size()))});
  root.write("src/c.NEF", tiff.build());
  app->session().scan().rescanSourceFolder();
  ASSERT_EQ(app->state().list.images.size(), 4u);
  bool ran = false;
  inBrowser([&](BrowseWindow& b) {
    ran = true;
    b.buildButton()->click();
    ThumbBrowser& thumbs = app->browseWiring().thumbs();
    ASSERT_TRUE(waitFor([&] { return !thumbs.building(); }));
    ASSERT_EQ(thumbs.cells().size(), 4u);
    const QImage grid = b.grid()->viewport()->grab().toImage();
    // The colour at the middle of a cell's picture area.
    auto middle = [&](int cell) {
      const outputs::Rect r = thumbs.cells()[cell].rect;
      return grid.pixelColor(r.left + r.width / 2, r.top + (r.height - 20) / 2);
    };
    const QColor a = middle(0);
    EXPECT_TRUE(near(a, 200, 60, 30, 12)) << a.name().toStdString();
    for (int cell : {1, 2}) {  // b.HEIC, c.NEF
      const QColor c = middle(cell);
      EXPECT_TRUE(near(c, 200, 60, 30, 12)) << cell << " " << c.name().toStdString();
    }
    EXPECT_FALSE(near(middle(3), 200, 60, 30, 60)) << "the movie's cell has no picture";
  });
  EXPECT_TRUE(ran);
}

TEST_F(BrowsePrint, PrintsOnePagePerPictureScaledWithTheCommentLines) {
  start({{"wide.jpg", solidJpeg(400, 300, 0, 160, 0)},
         {"tall.jpg", solidJpeg(300, 600, 200, 200, 0)}});
  PrintWindow& w = app->printWindow();
  const std::string wide = root.path() + "/src/wide.jpg";
  const std::string tall = root.path() + "/src/tall.jpg";
  w.setFileList("\"" + wide + "\"\r\n\"" + root.path() + "/src/gone.jpg\"\r\n\"" + tall + "\"");
  w.box("CBfnam1")->setChecked(true);
  w.colourBox()->setCurrentText("青");
  w.sizeBox()->setValue(50);
  w.freeText(2)->setText("下");

  QPrinter printer(QPrinter::HighResolution);
  printer.setResolution(300);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = root.file("out.pdf");
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setFullPage(true);
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  exif::PhotoInfo photo;
  const int pages = w.printFiles(printer, [&](const std::string& p) {
    photo.GetPdata(p, "110011010101110010101100000", {});
    return photo.record;
  });
  EXPECT_EQ(pages, 2);  // the missing file is skipped

  const QImage one = renderPdf(pdf, root.file("page1"), 1);
  ASSERT_FALSE(one.isNull());
  ASSERT_EQ(one.width(), 2480);
  ASSERT_NEAR(one.height(), 3508, 1);
  // Landscape on portrait: the page width, 2480 x 1860, at the top-left; below it is empty.
  EXPECT_TRUE(near(one.pixelColor(1200, 900), 0, 160, 0));
  EXPECT_TRUE(near(one.pixelColor(2475, 1855), 0, 160, 0));
  EXPECT_TRUE(near(one.pixelColor(1200, 1866), 255, 255, 255));
  EXPECT_TRUE(near(one.pixelColor(3, 3), 0, 160, 0));
  // The top line "wide.jpg" in blue over white, inside (20, 20) - (8 * 50 + 20, 71).
  int blue = 0, white = 0, outside = 0;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 1000; ++x) {
      const QColor c = one.pixelColor(x, y);
      const bool inClip = x >= 20 && x < 420 && y >= 20 && y < 71;
      if (near(c, 0, 0, 255, 60)) (inClip ? blue : outside)++;
      // The white copy shows as a one-pixel, antialiased edge below and right of the blue.
      if (c.red() > 150 && c.green() > 150 && c.blue() > 150) (inClip ? white : outside)++;
    }
  EXPECT_GT(blue, 200);
  EXPECT_GT(white, 20);
  EXPECT_EQ(outside, 0);
  // The bottom line "下" near the picture's bottom: y from 1860 - 70 to 1841.
  int bottomBlue = 0;
  for (int y = 1780; y < 1845; ++y)
    for (int x = 15; x < 80; ++x) bottomBlue += near(one.pixelColor(x, y), 0, 0, 255, 60);
  EXPECT_GT(bottomBlue, 50);

  const QImage two = renderPdf(pdf, root.file("page2"), 2);
  ASSERT_FALSE(two.isNull());
  // Taller in proportion than the page: the page height, 1754 x 3508; the right part is empty.
  EXPECT_TRUE(near(two.pixelColor(1000, 3000), 200, 200, 0));
  EXPECT_TRUE(near(two.pixelColor(1745, 3500), 200, 200, 0));
  EXPECT_TRUE(near(two.pixelColor(1765, 1000), 255, 255, 255));
}

// Fault: a single-picture print from the browser coloured the picture's label in the print
// mark's colour (68, 34, 255) instead of pure blue; and the print window's size field took
// typed text, where it moves only by its arrows, ten at a time.
TEST_F(BrowsePrint, ASinglePrintFromTheBrowserShowsItsLabelPureBlueAndTheSizeMovesByTens) {
  start({{"a.jpg", testing::makeTestJpeg(64, 48)}, {"b.jpg", testing::makeTestJpeg(64, 48)}});
  PrintWindow& w = app->printWindow();
  QColor printing;
  int typed = 0, stepped = 0;
  bool readOnly = false;
  inBrowser([&](BrowseWindow& b) {
    b.buildButton()->click();
    ThumbBrowser& thumbs = app->browseWiring().thumbs();
    ASSERT_TRUE(waitFor([&] { return !thumbs.building() && thumbs.cells().size() == 2; }));
    const outputs::Rect a = thumbs.cells()[0].rect;
    mouse(b.grid()->viewport(), QEvent::MouseMove, QPoint(a.left + 50, a.top + 40));
    QTimer::singleShot(0, [&] {
      if (!waitFor([&] { return w.isVisible(); })) return;
      const QImage grid = b.grid()->viewport()->grab().toImage();
      printing = grid.pixelColor(a.left + 3, a.top + a.height - 3);
      QSpinBox* size = w.sizeBox();
      auto* text = size->findChild<QLineEdit*>();
      readOnly = text && text->isReadOnly();
      size->setFocus();
      text->selectAll();
      QTest::keyClicks(size, "80");
      typed = size->value();
      QTest::keyClick(size, Qt::Key_Up);
      stepped = size->value();
      w.reject();
    });
    b.action("Print1")->trigger();
    EXPECT_EQ(thumbs.cells()[0].label, LabelColour::Face);  // its colour again afterwards
  });
  EXPECT_EQ(w.windowTitle().toStdString(), "印刷[ a.jpg ]");
  EXPECT_EQ(printing, QColor(0, 0, 255));
  EXPECT_TRUE(readOnly);
  EXPECT_EQ(typed, 50);
  EXPECT_EQ(stepped, 60);
}

TEST_F(BrowsePrint, MainPrintCommandOpensTheWindowForTheShownPicture) {
  start({{"a.jpg", testing::makeTestJpeg(64, 48)}});
  PrintWindow& w = app->printWindow();
  bool shown = false;
  QTimer::singleShot(0, [&] {
    shown = waitFor([&] { return w.isVisible(); });
    w.reject();
  });
  app->mainWindow().find<QAction>(Control::Print1)->trigger();
  EXPECT_TRUE(shown);
  EXPECT_EQ(w.windowTitle().toStdString(), "印刷[ a.jpg ]");
  EXPECT_EQ(w.fileList(), "\"" + root.path() + "/src/a.jpg\"");
  if (const char* shots = std::getenv("SORTELIA_SCREENSHOT_DIR"))
    w.grab().save(QString(shots) + "/print.png");
}

// Fault: closing the browser while it built its grid left the build running behind the main
// window: the hourglass stayed over the main window, and a picture the build could not read
// brought up its error over the main window, long after the browser had gone. Closing the
// browser ends its build quietly; the cells made so far stay.
TEST_F(BrowsePrint, ClosingTheBrowserEndsItsBuildQuietly) {
  std::vector<std::pair<std::string, std::string>> files;
  for (int i = 0; i < 20; ++i)
    files.push_back({"p" + std::to_string(10 + i) + ".jpg", testing::makeTestJpeg(640, 480)});
  files.push_back({"z.jpg", "not a picture"});
  start(files);
  ThumbBrowser& thumbs = app->browseWiring().thumbs();
  std::vector<std::string> boxes;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
        boxes.push_back(box->text().toStdString());
        box->accept();
      }
    }
  });
  answer.start(20);
  bool buildingWhenClosed = false;
  BrowseWindow& b = app->browseWindow();
  QTimer::singleShot(0, [&] {
    waitFor([&] { return b.isVisible(); });
    b.buildButton()->click();  // its cells arrive through the event loop, after the close
    buildingWhenClosed = thumbs.building();
    b.close();
  });
  app->mainWindow().find<QPushButton>(Control::Button14)->click();
  ASSERT_TRUE(buildingWhenClosed);
  EXPECT_FALSE(thumbs.building());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  waitFor([] { return false; }, 1000);  // time for the build's pictures, had it gone on
  EXPECT_EQ(boxes, std::vector<std::string>{});
  EXPECT_FALSE(thumbs.building());
}

// Fault: the full-size window opened over the modal browser was blocked by the browser's
// modality, as every other window of the program: a click on the picture did not close it, and
// the person faced a screen-filling picture that took no click. Escape, which closes the
// browser without a close event, left the full-size window open over the main window. The
// clicks here go through the window system's path, where modality is applied.
TEST_F(BrowsePrint, TheFullSizeWindowOverTheBrowserTakesClicksAndGoesWithIt) {
  start({{"a.jpg", testing::makeTestJpeg(640, 480)}});
  FullSizeWindow& full = app->fullSizeWindow();
  std::vector<bool> closedByClick;
  bool browserClosed = false, fullClosed = false;
  inBrowser([&](BrowseWindow& b) {
    b.buildButton()->click();
    ThumbBrowser& thumbs = app->browseWiring().thumbs();
    ASSERT_TRUE(waitFor([&] { return !thumbs.building(); }));
    const outputs::Rect a = thumbs.cells()[0].rect;
    const auto open = [&] {
      QTest::mouseDClick(b.grid()->viewport(), Qt::LeftButton, {}, {a.left + 50, a.top + 40});
      return waitFor([&] { return full.isVisible(); });
    };
    for (bool realSize : {false, true}) {  // fitted without a frame, then at real size
      b.realSizeBox()->setChecked(realSize);
      ASSERT_TRUE(open());
      QTest::mouseClick(full.windowHandle(), Qt::LeftButton, {},
                        full.picture()->mapTo(&full, QPoint(5, 5)));
      closedByClick.push_back(waitFor([&] { return !full.isVisible(); }, 500));
      full.clearAndClose();
    }
    ASSERT_TRUE(open());
    QTest::keyClick(&b, Qt::Key_Escape);
    browserClosed = !b.isVisible();
    fullClosed = !full.isVisible();
    full.clearAndClose();
  });
  EXPECT_EQ(closedByClick, (std::vector<bool>{true, true}));
  EXPECT_TRUE(browserClosed);
  EXPECT_TRUE(fullClosed);
}

}  // namespace
}  // namespace sortelia::app
