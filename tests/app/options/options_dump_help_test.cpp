// The options, dump and help windows as a person uses them: the options window opened from the
// menu edits the options at once and recomposes the caption when closed; the dump list goes to
// the dump window and back; the comparison colours both views; pointing at a byte; Help and
// Version from the menu.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <deque>
#include <functional>

#include "app/application.h"
#include "app/qt_wait.h"
#include "app/widget_named.h"
#include "core/options/language_setting.h"
#include "core/sorting/comment_edit.h"
#include "platform/file_ops.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"

using sortelia::testing::widgetNamed;

namespace sortelia::app {
namespace {

using testing::TempDir;

// Runs scripted steps while modal windows are up: each step is tried every 20 ms until it
// returns true; message boxes are answered (Yes, else OK) and their texts kept.
class Script : public QObject {
 public:
  Script() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible()) continue;
        messages.push_back(box->text().toStdString());
        parents.push_back(box->parentWidget());
        QAbstractButton* b = box->button(QMessageBox::Yes);
        if (!b) b = box->button(QMessageBox::Ok);
        if (b) b->click();
        return;
      }
      if (!steps.empty() && steps.front()()) steps.pop_front();
    });
    timer_.start(20);
  }
  std::deque<std::function<bool()>> steps;
  std::vector<std::string> messages;
  std::vector<QWidget*> parents;  // of each message box

 private:
  QTimer timer_;
};

// Presses a button of a modal window from outside the script's own timer, so that the message
// boxes it brings up are answered meanwhile; done is set once the button's command has ended.
void pressLater(QAbstractButton* b, bool& done) {
  QTimer::singleShot(0, b, [b, &done] {
    b->click();
    done = true;
  });
}

std::unique_ptr<Application> startOn(TempDir& root, const std::vector<std::string>& pictures) {
  for (const auto& name : pictures) {
    const std::string camera = testing::readAll(testing::testData("camera/" + name));
    root.write("src/" + name, camera);
  }
  std::vector<std::string> l(12);
  l.push_back(root.path() + "/src/");
  for (const char* v : {"100", "100", "603", "545", "FALSE", "3", "FALSE", "FALSE", "FALSE"}) {
    l.push_back(v);
  }
  l.push_back(exif::kDefaultExifItemMask);
  (void)writeTextLines(root.mkdir("data") + "/zel.ini", l);
  auto app = std::make_unique<Application>(root.path() + "/data");
  app->mainWindow().show();
  EXPECT_TRUE(waitFor([&] { return !app->state().firstActivation; }));
  return app;
}

QListWidget* itemList(OptionsWindow& w) { return widgetNamed<QListWidget>(w, "ExifChkListBox"); }

TEST(OptionsWindow, CaptionsFlagsCameraSetsAndTheItemList) {
  OptionsWindow w;
  std::vector<Options> edits;
  w.onEdited = [&](const Options& o) { edits.push_back(o); };
  Options o;
  o.cameraParamIndex = 1;
  w.load(o, {"OLYMPUS-C700UZ", "SET-2", "SET-3"});
  EXPECT_TRUE(edits.empty());  // loading is no edit
  EXPECT_EQ(w.windowTitle(), "オプション");
  ASSERT_EQ(w.tabs()->count(), 2);
  EXPECT_EQ(w.tabs()->tabText(0), "General");
  EXPECT_EQ(w.tabs()->tabText(1), "for ExifData");
  EXPECT_EQ(widgetNamed<QCheckBox>(w, "SSLoopCBOX")->text(), "繰り返し連続表示の設定");
  EXPECT_EQ(widgetNamed<QPushButton>(w, "Button2")->text(),
            "写真データの名前を撮影日時につけかえる");
  EXPECT_EQ(widgetNamed<QPushButton>(w, "Button6")->text(), "全項目表示");
  auto* sets = widgetNamed<QComboBox>(w, "ComboBox1");
  ASSERT_EQ(sets->count(), 3);
  EXPECT_EQ(sets->currentIndex(), 1);

  widgetNamed<QCheckBox>(w, "SSLoopCBOX")->click();
  widgetNamed<QCheckBox>(w, "SNFAEAutoCBOX")->click();
  widgetNamed<QCheckBox>(w, "OPRemainCBOX")->click();
  sets->setCurrentIndex(2);
  ASSERT_EQ(edits.size(), 4u);
  EXPECT_TRUE(edits.back().loopSlideShow && edits.back().autoRename && edits.back().keepOriginal);
  EXPECT_EQ(edits.back().cameraParamIndex, 2);

  QListWidget* items = itemList(w);
  ASSERT_EQ(items->count(), 27);
  EXPECT_EQ(items->item(0)->text(), "01:画像ファイル名");
  EXPECT_EQ(items->item(26)->text(), "27:音声ファイル名");
  items->item(2)->setCheckState(Qt::Checked);
  EXPECT_EQ(edits.back().exifItemMask, "111011010101110010101100000");
  widgetNamed<QPushButton>(w, "Button5")->click();
  EXPECT_EQ(edits.back().exifItemMask, std::string(27, '0'));
  widgetNamed<QPushButton>(w, "Button6")->click();
  EXPECT_EQ(edits.back().exifItemMask, std::string(27, '1'));
  widgetNamed<QPushButton>(w, "Button4")->click();
  EXPECT_EQ(edits.back().exifItemMask, exif::kDefaultExifItemMask);
  EXPECT_EQ(items->item(2)->checkState(), Qt::Unchecked);  // the list shows the default again

  auto* language = widgetNamed<QComboBox>(w, "LanguageBox");
  language->setCurrentIndex(1);
  EXPECT_FALSE(edits.back().japaneseMode);
  EXPECT_EQ(w.windowTitle(), "Option");
  EXPECT_EQ(widgetNamed<QPushButton>(w, "Button4")->text(), "Set Default");
}

TEST(OptionsWindow, FromTheMenuEditsAtOnceAndRecomposesTheCaptionWhenClosed) {
  TempDir root;
  auto app = startOn(root, {"fujifilm-dx10.jpg"});
  OptionsWindow& form3 = app->optionsWindow();
  Script s;
  bool seenModal = false;
  s.steps.push_back([&] {
    if (!form3.isVisible()) return false;
    seenModal = form3.isModal();
    widgetNamed<QCheckBox>(form3, "OPRemainCBOX")->click();
    widgetNamed<QCheckBox>(form3, "SSLoopCBOX")->click();
    return true;
  });
  s.steps.push_back([&] {
    form3.close();
    return true;
  });
  app->mainWindow().find<QAction>(Control::Option1)->trigger();
  EXPECT_TRUE(seenModal);
  EXPECT_TRUE(app->state().options.keepOriginal);
  EXPECT_TRUE(app->state().options.loopSlideShow);
  EXPECT_EQ(app->mainWindow().windowTitle().toStdString(),
            "Sortelia for Windows [ " + root.path() + "/src/ ] < 整理中[複写] >");
}

// The two boxes kept outside "zel.ini": on by default, named by their captions in either
// language; each click reaches the options at once and "zel-opt.txt", which the next start
// reads.
TEST(OptionsWindow, CompanionAndTrashBoxesReachTheOptionsAndTheirFile) {
  TempDir root;
  auto app = startOn(root, {"fujifilm-dx10.jpg"});
  const std::string file = root.path() + "/data/zel-opt.txt";
  OptionsWindow& form3 = app->optionsWindow();
  QCheckBox* companions = widgetNamed<QCheckBox>(form3, "CompanionsCBOX");
  QCheckBox* trash = widgetNamed<QCheckBox>(form3, "TrashCBOX");
  QSpinBox* steps = widgetNamed<QSpinBox>(form3, "QueueStepsEdit");
  QSpinBox* megabytes = widgetNamed<QSpinBox>(form3, "QueueMegabytesEdit");
  QCheckBox* classic = widgetNamed<QCheckBox>(form3, "JpegMovMpgCBOX");
  Script s;
  std::vector<std::string> stored;
  s.steps.push_back([&] {
    if (!form3.isVisible()) return false;
    EXPECT_TRUE(companions->isChecked());
    EXPECT_TRUE(trash->isChecked());
    companions->click();
    EXPECT_FALSE(app->state().options.keepCompanions);
    stored.push_back(testing::readAll(file));
    trash->click();
    EXPECT_FALSE(app->state().options.trashDeleted);
    stored.push_back(testing::readAll(file));
    // The transfer queue's bounds, beside them.
    EXPECT_EQ(steps->value(), 8);
    EXPECT_EQ(megabytes->value(), 512);
    steps->stepDown();
    megabytes->setValue(100);
    EXPECT_EQ(app->state().options.queueSteps, 7);
    EXPECT_EQ(app->state().options.queueMegabytes, 100);
    stored.push_back(testing::readAll(file));
    // The list's file kinds: the newer ones until the person asks for the old three only.
    EXPECT_FALSE(classic->isChecked());
    classic->click();
    EXPECT_TRUE(app->state().options.jpegMovMpgOnly);
    return true;
  });
  s.steps.push_back([&] {
    form3.close();
    return true;
  });
  app->mainWindow().find<QAction>(Control::Option1)->trigger();
  EXPECT_EQ(
      stored,
      (std::vector<std::string>{
          "Companions=0\r\nTrash=1\r\nQueueSteps=8\r\nQueueMegabytes=512\r\nJpegMovMpgOnly=0\r\n",
          "Companions=0\r\nTrash=0\r\nQueueSteps=8\r\nQueueMegabytes=512\r\nJpegMovMpgOnly=0\r\n",
          "Companions=0\r\nTrash=0\r\nQueueSteps=7\r\nQueueMegabytes=100\r\nJpegMovMpgOnly="
          "0\r\n"}));
  EXPECT_TRUE(s.messages.empty());

  for (const bool japanese : {true, false}) {
    form3.applyLanguage(japanese);
    const char* companionsCaption = japanese ? "RAW・XMPなどの関連ファイルも一緒に扱う"
                                             : "Keep RAW and sidecar files with their picture";
    const char* trashCaption =
        japanese ? "削除した写真はごみ箱へ" : "Deleted pictures go to the Trash";
    EXPECT_EQ(companions->text(), companionsCaption);
    EXPECT_EQ(companions->accessibleName(), companionsCaption);
    EXPECT_EQ(trash->text(), trashCaption);
    EXPECT_EQ(trash->accessibleName(), trashCaption);
    const char* classicCaption = japanese ? "JPEG・MOV・MPGだけを扱う" : "JPEG, MOV and MPG only";
    EXPECT_EQ(classic->text(), classicCaption);
    EXPECT_EQ(classic->accessibleName(), classicCaption);
    EXPECT_EQ(steps->accessibleName(),
              japanese ? "転送待ちの上限 (枚)" : "Pending transfers at most (pictures)");
    EXPECT_EQ(megabytes->accessibleName(),
              japanese ? "転送待ちの上限 (MB)" : "Pending transfers at most (MB)");
  }

  app.reset();
  Application again(root.path() + "/data");
  EXPECT_FALSE(again.state().options.keepCompanions);
  EXPECT_FALSE(again.state().options.trashDeleted);
  again.optionsWindow().load(again.state().options, {"SET-1"});
  EXPECT_FALSE(widgetNamed<QCheckBox>(again.optionsWindow(), "CompanionsCBOX")->isChecked());
  EXPECT_FALSE(widgetNamed<QCheckBox>(again.optionsWindow(), "TrashCBOX")->isChecked());
  EXPECT_EQ(widgetNamed<QSpinBox>(again.optionsWindow(), "QueueStepsEdit")->value(), 7);
  EXPECT_EQ(widgetNamed<QSpinBox>(again.optionsWindow(), "QueueMegabytesEdit")->value(), 100);
  EXPECT_TRUE(widgetNamed<QCheckBox>(again.optionsWindow(), "JpegMovMpgCBOX")->isChecked());
}

// Fault: the OK of the export's OK/Cancel question was read as Cancel, so neither export of the
// options window wrote a file or told its end. Both buttons are pressed on the real windows,
// every question answered OK, and each question stands on the options window that asked it
// (it used to stand on the main window, which then came up above the modal options window).
TEST(OptionsWindow, BothExportButtonsWriteTheirFilesAndTellTheEnd) {
  TempDir root;
  auto app = startOn(root, {"Canon_40D.jpg", "fujifilm-dx10.jpg"});
  OptionsWindow& form3 = app->optionsWindow();
  Script s;
  bool allDone = false, eachDone = false, renameDone = false;
  s.steps.push_back([&] {
    if (!form3.isVisible()) return false;
    pressLater(widgetNamed<QPushButton>(form3, "BTN_SaveInfo"), allDone);
    return true;
  });
  s.steps.push_back([&] {
    if (!allDone) return false;
    pressLater(widgetNamed<QPushButton>(form3, "Button1"), eachDone);
    return true;
  });
  s.steps.push_back([&] {
    if (!eachDone) return false;
    pressLater(widgetNamed<QPushButton>(form3, "Button2"), renameDone);
    return true;
  });
  s.steps.push_back([&] {
    if (!renameDone) return false;
    form3.close();
    return true;
  });
  app->mainWindow().find<QAction>(Control::Option1)->trigger();
  ASSERT_EQ(s.messages.size(), 5u);
  EXPECT_EQ(s.messages[4], "写真データのファイル名を撮影日時につけかえます");
  EXPECT_EQ(s.messages[0].rfind("☆テキストファイルで写真情報を書き出します☆", 0), 0u);
  EXPECT_EQ(s.messages[1], "処理が終了しました。");
  EXPECT_EQ(s.messages[3], "処理が終了しました。");
  for (QWidget* parent : s.parents) EXPECT_EQ(parent, &form3);
  const std::string src = root.path() + "/src/";
  const std::string all = testing::readAll(src + "_Photo.txt");
  EXPECT_NE(all.find("Canon_40D.jpg"), std::string::npos);
  EXPECT_NE(all.find("fujifilm-dx10.jpg"), std::string::npos);
  EXPECT_TRUE(fs::exists(src + "Canon_40D.txt"));
  EXPECT_TRUE(fs::exists(src + "fujifilm-dx10.txt"));
  EXPECT_FALSE(fs::exists(src + "Canon_40D.jpg"));  // renamed after its shooting time
}

TEST(OptionsWindow, DumpListShowsTheCurrentPictureThenComesBack) {
  TempDir root;
  auto app = startOn(root, {"Canon_40D.jpg", "fujifilm-dx10.jpg"});
  OptionsWindow& form3 = app->optionsWindow();
  DumpWindow& form5 = app->dumpWindow();
  Script s;
  QString title, upperPath;
  int upperLines = 0, shownAgain = 0;
  QRect dumpGeometry;
  s.steps.push_back([&] {
    if (!form3.isVisible()) return false;
    widgetNamed<QPushButton>(form3, "Button3")->click();
    return true;
  });
  s.steps.push_back([&] {
    if (!form5.isVisible()) return false;
    EXPECT_FALSE(form3.isVisible());
    title = form5.windowTitle();
    upperPath = form5.pathLabel(1)->text();
    upperLines = form5.view(1)->document()->blockCount();
    dumpGeometry = form5.geometry();
    form5.close();
    return true;
  });
  s.steps.push_back([&] {
    if (!form3.isVisible()) return false;
    ++shownAgain;
    form3.close();
    return true;
  });
  app->mainWindow().find<QAction>(Control::Option1)->trigger();
  EXPECT_EQ(title, "ダンプリスト");
  EXPECT_EQ(upperPath.toStdString(), root.path() + "/src/Canon_40D.jpg");
  EXPECT_EQ(upperLines, 96);
  EXPECT_EQ(dumpGeometry, app->mainWindow().geometry());
  EXPECT_EQ(shownAgain, 1);
  EXPECT_TRUE(fs::exists(root.path() + "/data/zel-prm.txt"));  // RWparam ran on the way back
}

// The colour of the character at column of line row in a dump view.
QColor colourAt(QTextEdit* v, int row, int column) {
  const QTextBlock b = v->document()->findBlockByNumber(row);
  QTextCursor c(v->document());
  c.setPosition(b.position() + column + 1);  // the format of the character before the cursor
  return c.charFormat().foreground().color();
}

TEST(DumpWindow, ComparingTwoCameraFilesColoursTheSameDifferencesInBothViews) {
  TempDir root;
  auto app = startOn(root, {"Canon_40D.jpg"});
  DumpWiring& dump = app->dumpWiring();
  DumpWindow& w = app->dumpWindow();
  const std::string a = testing::testData("camera/Canon_40D.jpg");
  const std::string b = testing::testData("camera/Nikon_D70.jpg");
  ASSERT_TRUE(dump.commands().MakeDump(1, a));
  ASSERT_TRUE(dump.commands().MakeDump(2, a));
  w.setPaneLines(1, dump.commands().pane(1).lines);
  w.setPaneLines(2, dump.commands().pane(2).lines);
  w.chkButton()->click();  // identical files: nothing red
  for (int pane : {1, 2}) {
    for (int row : {0, 10, 95}) EXPECT_NE(colourAt(w.view(pane), row, 8), QColor(Qt::red));
  }

  ASSERT_TRUE(dump.commands().MakeDump(2, b));
  w.setPaneLines(2, dump.commands().pane(2).lines);
  const QString caption = w.windowTitle();
  w.chkButton()->click();
  EXPECT_EQ(w.windowTitle(), caption);  // restored after the progress captions
  const auto marks =
      outputs::compareDumps(dump.commands().pane(1).lines, dump.commands().pane(2).lines, {}).marks;
  ASSERT_FALSE(marks.empty());
  for (const auto& m : {marks.front(), marks.back()}) {
    for (int pane : {1, 2}) EXPECT_EQ(colourAt(w.view(pane), m.row, m.column), QColor(Qt::red));
  }
  // Offsets never differ, so they stay in the normal colour.
  EXPECT_NE(colourAt(w.view(1), 5, 0), QColor(Qt::red));
}

TEST(DumpWindow, AClickInADumpStopsARunningComparison) {
  TempDir root;
  auto app = startOn(root, {"Canon_40D.jpg"});
  DumpWiring& dump = app->dumpWiring();
  DumpWindow& w = app->dumpWindow();
  ASSERT_TRUE(dump.commands().MakeDump(1, testing::testData("camera/Canon_40D.jpg")));
  ASSERT_TRUE(dump.commands().MakeDump(2, testing::testData("camera/Nikon_D70.jpg")));
  w.setPaneLines(1, dump.commands().pane(1).lines);
  w.setPaneLines(2, dump.commands().pane(2).lines);
  const auto marks =
      outputs::compareDumps(dump.commands().pane(1).lines, dump.commands().pane(2).lines, {}).marks;
  ASSERT_GT(marks.back().row, 10);
  // The release waits in the queue and is handled while the comparison yields after a line.
  QCoreApplication::postEvent(
      w.view(2)->viewport(),
      new QMouseEvent(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier));
  w.chkButton()->click();
  EXPECT_EQ(colourAt(w.view(1), marks.front().row, marks.front().column), QColor(Qt::red));
  EXPECT_NE(colourAt(w.view(1), marks.back().row, marks.back().column), QColor(Qt::red));
}

TEST(DumpWindow, ClickingAByteCharacterSelectsItsHexPair) {
  DumpWindow w;
  int clicks = 0;
  w.onDumpClicked = [&] { ++clicks; };
  w.setPaneLines(1, outputs::dumpLines(std::string("\xFF\xD8\xFF\xE1..Exif\0\0MM\0*", 16) +
                                       std::string(40, 'x')));
  w.resize(700, 400);
  w.show();
  QTextEdit* v = w.view(1);
  auto releaseAt = [&](int row, int column) {
    QTextCursor c(v->document());
    c.setPosition(v->document()->findBlockByNumber(row).position() + column);
    v->setTextCursor(c);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(v->viewport(), &release);
    QCoreApplication::processEvents();
  };
  releaseAt(0, 58 + 6);  // the "E" of "Exif"
  EXPECT_EQ(v->textCursor().selectedText(), "45");
  EXPECT_EQ(clicks, 1);
  releaseAt(1, 58);  // the first character of the second line
  EXPECT_EQ(v->textCursor().selectedText(), "78");
  EXPECT_EQ(v->textCursor().selectionStart(), v->document()->findBlockByNumber(1).position() + 8);
  releaseAt(0, 20);  // in the hex part: only a stop
  EXPECT_FALSE(v->textCursor().hasSelection());
  EXPECT_EQ(clicks, 3);
}

TEST(HelpWindow, HelpShowsTheReadmeAndVersionItsBox) {
  TempDir root;
  auto app = startOn(root, {"fujifilm-dx10.jpg"});
  ASSERT_TRUE(
      writeTextLines(root.path() + "/data/ZELreadme.txt", {"Sortelia の使い方", "二行目"}).ok());
  Script s;
  app->mainWindow().find<QAction>(Control::Help1)->trigger();
  ASSERT_TRUE(waitFor([&] { return app->helpWindow().isVisible(); }));
  ASSERT_EQ(s.messages.size(), 1u);
  EXPECT_EQ(s.messages[0], "ごめんなさい。ありませんが(^^;)ReadMeをどうぞ！");
  EXPECT_EQ(app->helpWindow().windowTitle(), "Help(ReadMe)");
  EXPECT_EQ(app->helpWindow().view()->toPlainText(), "Sortelia の使い方\n二行目");
  EXPECT_FALSE(app->helpWindow().isModal());

  app->mainWindow().find<QAction>(Control::Version1)->trigger();
  ASSERT_EQ(s.messages.size(), 2u);
  EXPECT_EQ(s.messages[1].rfind("Sortelia for Windows\nバージョン ZEL v2.4", 0), 0u);
  EXPECT_NE(s.messages[1].find("\nライセンス : GNU GPL バージョン3以降 (GPL-3.0-or-later)\n"),
            std::string::npos)
      << s.messages[1];
}

// Fault: with the readme open, closing the main window wrote the settings and left the
// program running behind the readme window (which kept the instance lock, so the next start
// went to this half-closed copy). Closing the main window ends the program, as the last of its
// windows that counts.
TEST(HelpWindow, ClosingTheMainWindowWithTheReadmeOpenEndsTheProgram) {
  TempDir root;
  auto app = startOn(root, {"fujifilm-dx10.jpg"});
  ASSERT_TRUE(writeTextLines(root.path() + "/data/ZELreadme.txt", {"Sortelia"}).ok());
  Script s;
  app->mainWindow().find<QAction>(Control::Help1)->trigger();
  ASSERT_TRUE(waitFor([&] { return app->helpWindow().isVisible(); }));
  // The program's event loop, as it runs: it returns 0 once the program ends, 1 if it did not.
  QTimer::singleShot(0, &app->mainWindow(), [&] { app->mainWindow().close(); });
  QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(1); });
  EXPECT_EQ(QApplication::exec(), 0);
  app->helpWindow().close();
}

TEST(HelpWindow, TheShippedReadmeIsFoundBesideTheExecutable) {
  const auto path = findReadme(readmeFolders(""));
  ASSERT_TRUE(path) << "no ZELreadme.txt beside "
                    << QCoreApplication::applicationDirPath().toStdString();
  const auto lines = readTextLines(*path);
  ASSERT_TRUE(lines);
  EXPECT_GT(lines->size(), 20u);
}

TEST(EnglishMode, StoredChoiceGivesEnglishCaptionsFromTheStart) {
  TempDir root;
  ASSERT_TRUE(writeJapaneseMode(root.mkdir("data"), false));
  auto app = startOn(root, {"fujifilm-dx10.jpg"});
  EXPECT_FALSE(app->state().options.japaneseMode);
  EXPECT_EQ(app->mainWindow().find<QAction>(Control::Option1)->text(), "Option");
  Script s;
  QString title;
  s.steps.push_back([&] {
    if (!app->optionsWindow().isVisible()) return false;
    title = app->optionsWindow().windowTitle();
    widgetNamed<QComboBox>(app->optionsWindow(), "LanguageBox")->setCurrentIndex(0);
    app->optionsWindow().close();
    return true;
  });
  app->mainWindow().find<QAction>(Control::Option1)->trigger();
  EXPECT_EQ(title, "Option");
  EXPECT_TRUE(app->state().options.japaneseMode);
  EXPECT_EQ(app->mainWindow().find<QAction>(Control::Option1)->text(), "Option[オプション]");
  EXPECT_EQ(readJapaneseMode(root.path() + "/data"), true);
  app->mainWindow().close();  // writes zel.ini, which keeps its lines
  const auto ini = readTextLines(root.path() + "/data/zel.ini");
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->size(), 23u);
}

TEST(InfoWindowPopup, FontStartsFromTheLastChoiceAndCopyAllTakesTheWholeText) {
  InfoWindow info;
  info.setText("01:画像ファイル名 : a.jpg\r\n02:撮影日時 : 2003:05:06");
  std::vector<QString> offered;
  std::optional<QFont> answer;
  info.chooseFont = [&](const QFont& current) {
    offered.push_back(current.family());
    return answer;
  };
  QAction* font = widgetNamed<QAction>(*info.popupMenu(), "Font1");
  QAction* copyAll = widgetNamed<QAction>(*info.popupMenu(), "AllCopy1");
  ASSERT_TRUE(font && copyAll);
  EXPECT_EQ(font->text(), "フォント");
  EXPECT_EQ(copyAll->text(), "全コピー");
  font->trigger();  // cancelled: nothing changes
  answer = QFont("IPAGothic");
  font->trigger();
  font->trigger();
  ASSERT_EQ(offered.size(), 3u);
  EXPECT_EQ(offered[0], "IPAPGothic");
  EXPECT_EQ(offered[1], "IPAPGothic");
  EXPECT_EQ(offered[2], "IPAGothic");
  EXPECT_EQ(info.memo()->font().family(), "IPAGothic");
  copyAll->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            "01:画像ファイル名 : a.jpg\n02:撮影日時 : 2003:05:06");
  EXPECT_EQ(info.memo()->textCursor().selectedText().size(), info.memo()->toPlainText().size());
}

TEST(ReadingCommands, LeaveThePendingTurnOfTheShownPictureAlone) {
  // Fault: printing read the shown picture's photo record through the shared reader, which
  // reset its pending rotation, so the picture turned in viewer mode was not written turned
  // when the person stepped on.
  struct Command {
    const char* name;
    std::function<void(Application&, Script&)> run;
  };
  auto closeWhenShown = [](Script& s, QDialog& d) {
    s.steps.push_back([&d] {
      if (!d.isVisible()) return false;
      d.reject();
      return true;
    });
  };
  const Command commands[] = {
      {"print",
       [&](Application& app, Script& s) {
         closeWhenShown(s, app.printWindow());
         app.mainWindow().find<QAction>(Control::Print1)->trigger();
       }},
      {"browser",
       [&](Application& app, Script& s) {
         closeWhenShown(s, app.browseWindow());
         app.mainWindow().find<QAction>(Control::Browse1)->trigger();
       }},
      {"information window",
       [](Application& app, Script&) {
         auto* info = app.mainWindow().find<QCheckBox>(Control::CheckInfo);
         info->click();
         info->click();
       }},
      {"options and dump",
       [](Application& app, Script& s) {
         OptionsWindow& form3 = app.optionsWindow();
         DumpWindow& form5 = app.dumpWindow();
         s.steps.push_back([&] {
           if (!form3.isVisible()) return false;
           widgetNamed<QPushButton>(form3, "Button3")->click();
           return true;
         });
         s.steps.push_back([&] {
           if (!form5.isVisible()) return false;
           form5.close();
           return true;
         });
         s.steps.push_back([&] {
           if (!form3.isVisible()) return false;
           form3.close();
           return true;
         });
         app.mainWindow().find<QAction>(Control::Option1)->trigger();
       }},
      {"help",
       [](Application& app, Script&) {
         app.mainWindow().find<QAction>(Control::Help1)->trigger();
         waitFor([&] { return app.helpWindow().isVisible(); });
         app.helpWindow().close();
         app.mainWindow().find<QAction>(Control::Version1)->trigger();
       }},
  };
  for (const Command& c : commands) {
    SCOPED_TRACE(c.name);
    TempDir root;
    auto app = startOn(root, {"Canon_40D.jpg", "fujifilm-dx10.jpg"});
    const std::string first = root.path() + "/src/Canon_40D.jpg";
    ASSERT_EQ(rotationMarkOfFile(first), "");
    MainWindow& w = app->mainWindow();
    w.find<QCheckBox>(Control::CheckView)->click();
    w.find<QAction>(Control::rot090)->trigger();
    ASSERT_EQ(app->state().comment.rotationMark, "@090:");
    {
      Script s;
      c.run(*app, s);
      EXPECT_TRUE(waitFor([&] { return s.steps.empty(); }));
    }
    EXPECT_EQ(app->state().comment.rotationMark, "@090:");
    widgetNamed<QToolButton>(*w.upDown1(), "UpDown1Up")->click();  // the step on
    EXPECT_EQ(rotationMarkOfFile(first), "@090:");
  }
}

}  // namespace
}  // namespace sortelia::app
