// The widget of a design name, for the Qt tests. A name no widget has (a misspelling, a widget
// renamed) fails the one test that asks, with the name in its message; a null pointer would
// have ended the whole test program.
#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace sortelia::testing {

template <typename T>
T* widgetNamed(const QObject& parent, const QString& name,
               Qt::FindChildOptions options = Qt::FindChildrenRecursively) {
  T* found = parent.findChild<T*>(name, options);
  if (!found) {
    throw std::runtime_error("no " + std::string(T::staticMetaObject.className()) + " named \"" +
                             name.toStdString() + "\" in " + parent.objectName().toStdString());
  }
  return found;
}

}  // namespace sortelia::testing
