#include "app/browse/browse_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/format.h"

namespace sortelia::app {

// ---------------------------------------------------------------- TForm6

BrowseWindow::BrowseWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("Form6");
  setWindowTitle("Browse");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  grid_ = new ThumbGridView(this);
  layout->addWidget(grid_, 1);

  bottom_ = new QWidget(this);
  bottom_->setFixedHeight(30);
  layout->addWidget(bottom_);
  auto* label1 = new QLabel("画像のダブルクリックで拡大表示！", bottom_);
  label1->setObjectName("Label1");
  label1->move(6, 8);
  sizeControls_ = new QWidget(bottom_);
  auto* row = new QHBoxLayout(sizeControls_);
  row->setContentsMargins(0, 2, 0, 2);
  row->setSpacing(4);
  auto* label4 = new QLabel("表示サイズ(50-300)");
  label4->setObjectName("Label4");
  size_ = new QSpinBox;
  size_->setObjectName("Edit1");
  size_->setAccessibleName("表示サイズ(50-300)");
  size_->setRange(50, 300);
  size_->setSingleStep(5);
  size_->setValue(100);
  size_->setFixedWidth(56);
  label4->setBuddy(size_);
  build_ = new QPushButton("表示");
  build_->setObjectName("Button1");
  stop_ = new QPushButton("止");
  stop_->setObjectName("Button2");
  stop_->setToolTip("検索表示の中止");
  stop_->setEnabled(false);
  realSize_ = new QCheckBox("実寸拡大表示");
  realSize_->setObjectName("CheckBox1");
  for (QPushButton* b : {build_, stop_}) b->setFixedWidth(44);
  row->addWidget(label4);
  row->addWidget(size_);
  row->addWidget(build_);
  row->addWidget(stop_);
  row->addWidget(realSize_);
  sizeControls_->adjustSize();

  popup_ = new QMenu(this);
  popup_->setObjectName("PopupMenu1");
  auto add = [this](const char* name, const char* text) {
    QAction* a = popup_->addAction(text);
    a->setObjectName(name);
    return a;
  };
  add("Info1", "Info.[情報]");
  popup_->addSeparator();
  add("Delete1", "Del.[削除]");
  add("Undo1", "Undo[復活]")->setVisible(false);
  popup_->addSeparator();
  add("PrtMark", "Mark[印刷マーク]");
  add("Print1", "印刷");
  grid_->onContextMenu = [this](const QPoint& at) { popup_->exec(at); };
}

QAction* BrowseWindow::action(const char* name) const { return popup_->findChild<QAction*>(name); }

void BrowseWindow::attach(ThumbBrowser& browser) { grid_->attach(browser); }

std::string BrowseWindow::caption() const { return windowTitle().toStdString(); }
void BrowseWindow::setCaption(const std::string& text) {
  setWindowTitle(QString::fromStdString(text));
}
void BrowseWindow::setStopEnabled(bool enabled) { stop_->setEnabled(enabled); }
int BrowseWindow::gridWidth() const { return grid_->width(); }
void BrowseWindow::setScrollStep(int pixels) { grid_->verticalScrollBar()->setSingleStep(pixels); }
void BrowseWindow::scrollToTop() { grid_->verticalScrollBar()->setValue(0); }
void BrowseWindow::gridChanged() { grid_->refresh(); }
void BrowseWindow::showFullSize(const std::string& path, imaging::Bitmap picture, bool realSize) {
  if (onShowFullSize) onShowFullSize(path, std::move(picture), realSize);
}
void BrowseWindow::openPrint(const std::string& fileList, const std::string& caption) {
  if (onOpenPrint) onOpenPrint(fileList, caption);
}

void BrowseWindow::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  // The size controls stay at the right end of the bottom panel.
  sizeControls_->move(bottom_->width() - sizeControls_->width() - 2, 0);
  if (onResized) onResized();
}

void BrowseWindow::done(int result) {
  if (onClosed) onClosed();
  QDialog::done(result);
}

}  // namespace sortelia::app
