#include "app/info/info_window.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace sortelia::app {

InfoWindow::InfoWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName("Form2");
  setWindowTitle("Photo Information");
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("Memo1");
  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(memo_);
  resize(320, 420);
}

void InfoWindow::setText(const std::string& text) {
  QString t = QString::fromStdString(text);
  t.replace("\r\n", "\n");
  memo_->setPlainText(t);
}

std::string InfoWindow::text() const {
  QString t = memo_->toPlainText();
  t.replace("\n", "\r\n");
  return t.toStdString();
}

void InfoWindow::closeEvent(QCloseEvent* e) {
  Q_EMIT closed();
  QWidget::closeEvent(e);
}

}  // namespace sortelia::app
