#include "app/info/info_window.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFontDialog>
#include <QGuiApplication>
#include <QVBoxLayout>

namespace sortelia::app {

InfoWindow::InfoWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
  setObjectName("Form2");
  setWindowTitle("Photo Information");
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName("Memo1");
  memo_->setAccessibleName("Memo1");
  memo_->setReadOnly(true);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(memo_);
  resize(320, 420);

  // The design font "ＭＳ Ｐゴシック" as its counterpart IPAPGothic, until another is chosen.
  chosenFont_ = QFont("IPAPGothic");
  chosenFont_.setPixelSize(12);
  chooseFont = [this](const QFont& current) -> std::optional<QFont> {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, current, this);
    if (!ok) return std::nullopt;
    return f;
  };
  popup_ = new QMenu(this);
  popup_->setObjectName("InfoPopupMenu");
  QAction* font = popup_->addAction("フォント");
  font->setObjectName("Font1");
  QAction* copyAll = popup_->addAction("全コピー");
  copyAll->setObjectName("AllCopy1");
  connect(font, &QAction::triggered, this, [this] {
    if (const auto f = chooseFont(chosenFont_)) {
      chosenFont_ = *f;
      memo_->setFont(*f);
    }
  });
  connect(copyAll, &QAction::triggered, this, [this] {
    memo_->selectAll();
    QGuiApplication::clipboard()->setText(memo_->toPlainText());
  });
  memo_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(memo_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& p) { popup_->popup(memo_->mapToGlobal(p)); });
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
