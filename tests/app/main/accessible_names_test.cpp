// What the accessibility tree shows of every window: each field, list and picture a person can
// reach has a name, so that a screen reader (or a test driving the program from outside) can
// find it.
#include <gtest/gtest.h>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <set>

#include "app/application.h"
#include "support/temp_dir.h"

namespace sortelia::app {
namespace {

bool isFieldOrPicture(QWidget* w) {
  if (qobject_cast<QLineEdit*>(w) && qobject_cast<QAbstractSpinBox*>(w->parentWidget())) {
    return false;  // the edit inside a spin box: the spin box carries the name
  }
  return qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
         qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
         qobject_cast<QListWidget*>(w) || w->inherits("sortelia::app::PictureView");
}

TEST(AccessibleNames, EveryFieldListAndPictureOfEveryWindowIsNamed) {
  testing::TempDir root;
  Application app(root.mkdir("data"));
  std::vector<std::string> unnamed;
  int fields = 0;
  std::set<std::string> windows;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    windows.insert(top->objectName().toStdString());
    for (QWidget* w : top->findChildren<QWidget*>()) {
      if (!isFieldOrPicture(w)) continue;
      ++fields;
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      if (!a || a->text(QAccessible::Name).trimmed().isEmpty()) {
        unnamed.push_back(top->objectName().toStdString() + "/" + w->objectName().toStdString() +
                          " (" + w->metaObject()->className() + ")");
      }
    }
  }
  EXPECT_TRUE(unnamed.empty()) << ::testing::PrintToString(unnamed);
  // Every window was looked at, and the look found what it is for.
  for (const std::string& name : app.windowNames()) EXPECT_TRUE(windows.count(name)) << name;
  EXPECT_GE(fields, 10);
}

}  // namespace
}  // namespace sortelia::app
