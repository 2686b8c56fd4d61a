// The program's secondary windows. Each is created at start-up in a fixed order and stays
// hidden until its command shows it; those whose commands have not landed yet are plain shells.
#pragma once

#include <QDialog>
#include <QWidget>

namespace sortelia::app {

// A named, hidden top-level window with its design caption.
class ShellWindow : public QDialog {
  Q_OBJECT
 public:
  ShellWindow(const char* name, const char* caption, QWidget* parent);
};

}  // namespace sortelia::app
