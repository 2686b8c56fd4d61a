#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <map>

#include "app/application.h"
#include "app/qt_wait.h"
#include "app/widget_named.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"

using sortelia::testing::widgetNamed;

namespace sortelia::app {
namespace {

using testing::TempDir;

std::vector<std::string> settingsNaming(const std::string& source, const std::string& slot1) {
  std::vector<std::string> l(12);
  l[0] = slot1;
  l.push_back(source);
  for (const char* v : {"120", "260", "640", "560", "FALSE", "5", "FALSE", "FALSE", "FALSE"}) {
    l.push_back(v);
  }
  l.push_back("110011010101110010101100000");
  return l;
}

// Fault: a widget looked up by a misspelt name gave a null pointer, and the first use of it
// ended the whole test program instead of failing one test.
TEST(MainWindow, AWidgetLookedUpByANameNoWidgetHasFailsOnlyThatTest) {
  QWidget parent;
  auto* box = new QCheckBox(&parent);
  box->setObjectName("CheckInfo");
  EXPECT_EQ(widgetNamed<QCheckBox>(parent, "CheckInfo"), box);
  EXPECT_THROW(widgetNamed<QCheckBox>(parent, "CheckInfp"), std::runtime_error);
  EXPECT_THROW(widgetNamed<QPushButton>(parent, "CheckInfo"), std::runtime_error);
}

TEST(MainWindow, EveryControlIdentityHasItsWidgetAndTakesCaptionsAndStates) {
  MainWindow w;
  for (Control c : allControls()) {
    const QString name = QString::fromUtf8(controlName(c).data());
    QObject* o = c == Control::Form1 ? &w : w.findChild<QObject*>(name);
    ASSERT_NE(o, nullptr) << name.toStdString();
    // Exactly one object carries the name, so the identity cannot reach the wrong widget.
    if (c != Control::Form1) {
      EXPECT_EQ(w.findChildren<QObject*>(name).size(), 1) << name.toStdString();
    }
    w.setEnabled(c, false);
    const bool enabled = qobject_cast<QAction*>(o) ? qobject_cast<QAction*>(o)->isEnabled()
                                                   : qobject_cast<QWidget*>(o)->isEnabled();
    EXPECT_FALSE(enabled) << name.toStdString();
    w.setEnabled(c, true);
  }
  w.setCaption(Control::Button13, "削除");
  EXPECT_EQ(w.find<QPushButton>(Control::Button13)->text(), "削除");
  w.setCaption(Control::Undo1, "Undo[元に戻す]");
  EXPECT_EQ(w.find<QAction>(Control::Undo1)->text(), "Undo[元に戻す]");
  w.setCaption(Control::Form1, "x");
  EXPECT_EQ(w.windowTitle(), "x");
  w.setChecked(Control::CheckInfo, true);
  EXPECT_TRUE(w.isChecked(Control::CheckInfo));
  EXPECT_EQ(w.find<QWidget>(slotControl(12)), w.slotButton(12));
}

TEST(MainWindow, WindowsAreCreatedInOrderWithTheDesignGeometry) {
  TempDir root;
  Application app(root.mkdir("data"));
  EXPECT_EQ(app.windowNames(),
            (std::vector<std::string>{"Form1", "Form2", "Form3", "Form4", "Form5", "Form6", "Form7",
                                      "Form8", "Form9"}));
  MainWindow& w = app.mainWindow();
  EXPECT_EQ(w.windowTitle(), "Sortelia for Windows");
  EXPECT_EQ(w.normalBounds(), (WindowBounds{108, 250, 603, 545}));
  EXPECT_EQ(widgetNamed<QWidget>(w, "Panel2")->width(), 85);
  // The slots: 79 x 21, three groups of four.
  EXPECT_EQ(w.slotButton(1)->geometry(), QRect(0, 0, 79, 21));
  EXPECT_EQ(w.slotButton(4)->geometry().top(), 63);
  EXPECT_EQ(w.slotButton(5)->geometry().top(), 87);
  EXPECT_EQ(w.slotButton(12)->geometry().top(), 237);
  EXPECT_EQ(widgetNamed<QSpinBox>(w, "Edit4")->value(), 7);
  EXPECT_EQ(widgetNamed<QSpinBox>(w, "Edit2")->maximum(), 600);
  EXPECT_FALSE(widgetNamed<QCheckBox>(w, "CheckShow")->isEnabled());
}

TEST(MainWindow, FirstActivationScansTheSourceFolderAndCloseWritesSettings) {
  TempDir root;
  const std::string data = root.mkdir("data");
  const std::string dst = root.mkdir("写真 dest");
  root.write("src/b.JPG", "x");
  root.write("src/a.jpg", "x");
  const std::string src = root.path() + "/src/";
  auto lines = settingsNaming(src, dst);
  ASSERT_TRUE(writeTextLines(data + "/zel.ini", lines).ok());

  Application app(data);
  MainWindow& w = app.mainWindow();
  w.show();
  ASSERT_TRUE(waitFor([&] { return !app.state().firstActivation; }));
  EXPECT_EQ(w.statusText().toStdString(), src + "a.jpg [ 1 / 2 files ]");
  EXPECT_EQ(app.state().list.images, (std::vector<std::string>{src + "a.jpg", src + "b.JPG"}));
  EXPECT_EQ(w.slotButton(1)->text().toStdString(), "写真 dest");
  EXPECT_EQ(w.slotButton(1)->toolTip().toStdString(), dst + "  [F1]");
  EXPECT_TRUE(w.slotButton(1)->isEnabled());
  EXPECT_EQ(widgetNamed<QCheckBox>(w, "CheckInfo")->text().toStdString(), "写真情報");
  EXPECT_EQ(widgetNamed<QPushButton>(w, "Button13")->text().toStdString(), "削除");
  EXPECT_EQ(app.infoWindow().text().substr(0, 29), "右クリックしてネ！\r\n");
  EXPECT_EQ(w.normalBounds(), (WindowBounds{120, 260, 640, 560}));
  EXPECT_EQ(w.intervalText(), "5");

  w.close();
  EXPECT_EQ(*readTextLines(data + "/zel.ini"), lines);
  const std::string bytes = testing::readAll(data + "/zel.ini");
  std::size_t bareLineFeeds = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bareLineFeeds += bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
  EXPECT_EQ(bareLineFeeds, 0u);
}

// Fault: the quality spin box keeps the focus once its arrows were clicked (the buttons of the
// column never take it), and it kept Ctrl+Z for its own text undo: the window's Undo did not
// run until the person clicked elsewhere. Every shortcut of the window and every slot key, pressed
// in each field that takes typing, reaches the window exactly once.
TEST(MainWindow, WindowShortcutsWorkWhateverFieldHasTheFocus) {
  MainWindow w;
  for (QWidget* c : w.findChildren<QWidget*>()) c->setEnabled(true);
  for (QAction* a : w.actions()) {
    a->setEnabled(true);
    QObject::disconnect(a, &QAction::triggered, &w, nullptr);  // End1 would close the window
  }
  w.displayArea()->commentField()->show();
  w.show();
  w.activateWindow();
  ASSERT_TRUE(waitFor([&] { return w.isActiveWindow(); }));
  std::map<std::string, int> fired;
  for (QAction* a : w.actions()) {
    QObject::connect(a, &QAction::triggered,
                     [&fired, a] { ++fired[a->shortcut().toString().toStdString()]; });
  }
  for (int i = 1; i <= 12; ++i) {
    QObject::connect(w.slotButton(i), &QPushButton::clicked,
                     [&fired, i] { ++fired["F" + std::to_string(i)]; });
  }
  for (const char* name : {"Edit4", "Edit2", "Edit3"}) {
    auto* field = widgetNamed<QWidget>(w, name);
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field) << name;
    fired.clear();
    std::map<std::string, int> expected;
    for (QAction* a : w.actions()) {
      const QKeyCombination k = a->shortcut()[0];
      QTest::keyClick(field, k.key(), k.keyboardModifiers());
      expected[a->shortcut().toString().toStdString()] = 1;
    }
    for (Qt::Key k : {Qt::Key_F1, Qt::Key_F12}) QTest::keyClick(field, k);
    expected["F1"] = expected["F12"] = 1;
    EXPECT_EQ(fired, expected) << name;
  }
}

// Fault: F1 to F12 repeated while held down, as a key does after half a second, and each
// repeat clicked the slot again: pictures the person never saw went into the folder one after
// another. A slot key acts once per press, as a held Space on a focused button does.
TEST(MainWindow, AHeldSlotKeyClicksItsSlotOnce) {
  MainWindow w;
  w.show();
  w.activateWindow();
  ASSERT_TRUE(waitFor([&] { return w.isActiveWindow(); }));
  int clicks = 0;
  QObject::connect(w.slotButton(5), &QPushButton::clicked, [&] { ++clicks; });
  QWidget* to = widgetNamed<QWidget>(w, "Edit4");
  to->setFocus();
  QTest::simulateEvent(to, true, Qt::Key_F5, Qt::NoModifier, {}, false);
  for (int i = 0; i < 3; ++i) QTest::simulateEvent(to, true, Qt::Key_F5, Qt::NoModifier, {}, true);
  QTest::simulateEvent(to, false, Qt::Key_F5, Qt::NoModifier, {}, false);
  EXPECT_EQ(clicks, 1);
  QTest::keyClick(to, Qt::Key_F5);  // the next press acts again
  EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace sortelia::app
