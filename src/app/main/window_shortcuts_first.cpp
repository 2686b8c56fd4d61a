#include "app/main/window_shortcuts_first.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

namespace sortelia::app {
namespace {

class WindowShortcutsFirst : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    const QKeySequence pressed(key->keyCombination());
    auto* field = qobject_cast<QWidget*>(watched);
    if (!field) return false;
    for (const QAction* a : field->window()->actions()) {
      if (a->shortcut().matches(pressed) == QKeySequence::ExactMatch) {
        e->ignore();  // not overridden: the shortcut map hands the key to the action
        return true;
      }
    }
    return false;
  }
};

}  // namespace

void letWindowShortcutsFirst(QWidget* field) {
  field->installEventFilter(new WindowShortcutsFirst(field));
}

}  // namespace sortelia::app
