#include "app/help/help_window.h"

#include <QVBoxLayout>

namespace sortelia::app {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Form9");
  setWindowTitle("Sortelia Readme");
  // The readme never keeps the program running: closing the main window ends it.
  setAttribute(Qt::WA_QuitOnClose, false);
  richEdit1_ = new QTextEdit(this);
  richEdit1_->setObjectName("RichEdit1");
  richEdit1_->setAccessibleName("RichEdit1");
  richEdit1_->setReadOnly(true);
  richEdit1_->setAcceptRichText(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(richEdit1_);
  resize(560, 520);
}

void HelpWindow::showText(const std::string& caption, const std::string& text) {
  setWindowTitle(QString::fromStdString(caption));
  richEdit1_->setPlainText(QString::fromStdString(text));
  show();
  raise();
  activateWindow();
}

}  // namespace sortelia::app
