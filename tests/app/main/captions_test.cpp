// The main window's captions in both languages on the real widgets: each fits the room its
// control gives it, and the English captions are the same whether the program starts in
// English or is switched to it in the options window.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTimer>

#include "app/app_settings.h"
#include "app/application.h"
#include "app/qt_wait.h"
#include "app/widget_named.h"
#include "core/options/language_setting.h"
#include "platform/line_file.h"
#include "support/temp_dir.h"

using sortelia::testing::widgetNamed;

namespace sortelia::app {
namespace {

using testing::TempDir;

std::unique_ptr<Application> startIn(TempDir& root, bool japanese) {
  const std::string data = root.mkdir("data");
  root.write("src/a.jpg", "x");
  EXPECT_TRUE(writeTextLines(data + "/zel.ini", settingsLines({}, root.path() + "/src/")).ok());
  EXPECT_TRUE(writeJapaneseMode(data, japanese));
  auto app = std::make_unique<Application>(data);
  app->mainWindow().show();
  EXPECT_TRUE(waitFor([&] { return !app->state().firstActivation; }));
  return app;
}

// The width a caption may take in its control: the contents rectangle the style gives the
// text (beside the indicator of a check or radio box, inside the frame of a push button).
int roomFor(QWidget* w) {
  QStyleOptionButton o;
  o.initFrom(w);
  if (auto* b = qobject_cast<QAbstractButton*>(w)) o.text = b->text();
  if (qobject_cast<QCheckBox*>(w))
    return w->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, w).width();
  if (qobject_cast<QRadioButton*>(w))
    return w->style()->subElementRect(QStyle::SE_RadioButtonContents, &o, w).width();
  if (qobject_cast<QPushButton*>(w))
    return w->style()->subElementRect(QStyle::SE_PushButtonContents, &o, w).width();
  return w->contentsRect().width();
}

// Every caption of the button column that does not fit its control: "name: text (needs n,
// has m)". The slots are left out: they show folder names, cut to fit by design.
std::vector<std::string> captionsCutOff(MainWindow& w) {
  std::vector<std::string> cut;
  auto check = [&](QWidget* widget, const QString& text, int room) {
    if (text.isEmpty()) return;
    const int needs = QFontMetrics(widget->font()).horizontalAdvance(text);
    if (needs > room) {
      cut.push_back(QString("%1: %2 (needs %3, has %4)")
                        .arg(widget->objectName(), text)
                        .arg(needs)
                        .arg(room)
                        .toStdString());
    }
  };
  QWidget* column = widgetNamed<QWidget>(w, "Panel2");
  QWidget* slotPanel = widgetNamed<QWidget>(w, "Panel3");
  for (QWidget* widget : column->findChildren<QWidget*>()) {
    if (widget->parentWidget() == slotPanel) continue;
    widget->ensurePolished();
    if (auto* b = qobject_cast<QAbstractButton*>(widget)) check(b, b->text(), roomFor(b));
    if (auto* l = qobject_cast<QLabel*>(widget)) check(l, l->text(), roomFor(l));
    // The group's title starts 3 pixels in and must end before the frame's right edge.
    if (auto* g = qobject_cast<QGroupBox*>(widget)) check(g, g->title(), g->width() - 4);
  }
  return cut;
}

// Fault: "Photo Info." and "Slide Show" were cut off in the 85-pixel button column.
TEST(Captions, EveryCaptionOfTheButtonColumnFitsItsControlInBothLanguages) {
  for (const bool japanese : {true, false}) {
    SCOPED_TRACE(japanese ? "Japanese" : "English");
    TempDir root;
    auto app = startIn(root, japanese);
    MainWindow& w = app->mainWindow();
    EXPECT_EQ(w.find<QCheckBox>(Control::CheckInfo)->text(), japanese ? "写真情報" : "Photo Info.");
    EXPECT_EQ(w.find<QCheckBox>(Control::CheckShow)->text(), japanese ? "連続表示" : "Slide Show");
    EXPECT_EQ(captionsCutOff(w), std::vector<std::string>{});
    if (const char* shots = std::getenv("SORTELIA_SCREENSHOT_DIR")) {
      w.grab().save(QString("%1/captions-%2.png").arg(shots, japanese ? "ja" : "en"));
    }
  }
}

// The main window's captions and hints that a language sets.
std::vector<std::string> languageCaptions(MainWindow& w) {
  std::vector<std::string> out;
  for (Control c : allControls()) {
    if (c == Control::Form1) continue;
    QObject* o = w.findChild<QObject*>(QString::fromUtf8(controlName(c).data()));
    if (auto* a = qobject_cast<QAction*>(o)) {
      out.push_back(a->objectName().toStdString() + ": " + a->text().toStdString() + " / " +
                    a->toolTip().toStdString());
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
      if (b->parentWidget() == widgetNamed<QWidget>(w, "Panel3")) continue;  // folder names
      out.push_back(b->objectName().toStdString() + ": " + b->text().toStdString() + " / " +
                    b->toolTip().toStdString());
    }
  }
  return out;
}

// Fault: after switching to English in the options window the Undo item read "Undo", while
// a start in English mode gives "Undoのヘルプ★記録なし★".
TEST(Captions, SwitchingToEnglishGivesTheCaptionsOfAStartInEnglish) {
  TempDir english;
  auto started = startIn(english, false);
  EXPECT_EQ(started->mainWindow().find<QAction>(Control::Undo1)->text(), "Undoのヘルプ★記録なし★");
  const std::vector<std::string> reference = languageCaptions(started->mainWindow());

  TempDir root;
  auto app = startIn(root, true);
  OptionsWindow& form3 = app->optionsWindow();
  QTimer::singleShot(0, [&] {
    if (!waitFor([&] { return form3.isVisible(); })) return;
    widgetNamed<QComboBox>(form3, "LanguageBox")->setCurrentIndex(1);
    form3.close();
  });
  app->mainWindow().find<QAction>(Control::Option1)->trigger();
  ASSERT_FALSE(app->state().options.japaneseMode);
  EXPECT_EQ(languageCaptions(app->mainWindow()), reference);
}

}  // namespace
}  // namespace sortelia::app
