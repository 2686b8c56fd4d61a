// TForm2: the information window, a read-only text beside the main window.
#pragma once

#include <QFont>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWidget>
#include <functional>
#include <optional>

namespace sortelia::app {

class InfoWindow : public QWidget {
  Q_OBJECT
 public:
  explicit InfoWindow(QWidget* parent = nullptr);

  // Whole text; CR LF in text become line breaks.
  void setText(const std::string& text);
  // Whole text with CR LF between lines.
  std::string text() const;

  // The popup menu of the text: "フォント" (the font dialog, starting from the font chosen last)
  // and "全コピー" (the whole text to the clipboard).
  QMenu* popupMenu() const { return popup_; }
  // The font dialog; tests put a chooser of their own in its place.
  std::function<std::optional<QFont>(const QFont& current)> chooseFont;
  QPlainTextEdit* memo() const { return memo_; }

 Q_SIGNALS:
  void closed();

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  QPlainTextEdit* memo_;
  QMenu* popup_;
  QFont chosenFont_;
};

}  // namespace sortelia::app
