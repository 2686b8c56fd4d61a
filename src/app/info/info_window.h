// TForm2: the information window, a read-only text beside the main window.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

namespace sortelia::app {

class InfoWindow : public QWidget {
  Q_OBJECT
 public:
  explicit InfoWindow(QWidget* parent = nullptr);

  // Whole text; CR LF in text become line breaks.
  void setText(const std::string& text);
  // Whole text with CR LF between lines.
  std::string text() const;

 Q_SIGNALS:
  void closed();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QPlainTextEdit* memo_;
};

}  // namespace sortelia::app
