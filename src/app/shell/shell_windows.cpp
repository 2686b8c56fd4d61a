#include "app/shell/shell_windows.h"

namespace sortelia::app {

ShellWindow::ShellWindow(const char* name, const char* caption, QWidget* parent) : QDialog(parent) {
  setObjectName(name);
  setWindowTitle(caption);
}

}  // namespace sortelia::app
