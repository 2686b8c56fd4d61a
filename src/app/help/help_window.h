// TForm9: the help window, a read-only text view of the readme, shown beside the main window
// (not modal).
#pragma once

#include <QTextEdit>
#include <QWidget>
#include <string>

namespace sortelia::app {

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  // Shows the window with caption and text (lines joined by "\n").
  void showText(const std::string& caption, const std::string& text);
  QTextEdit* view() const { return richEdit1_; }

 private:
  QTextEdit* richEdit1_;
};

}  // namespace sortelia::app
