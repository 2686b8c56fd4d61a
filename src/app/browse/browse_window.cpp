#include "app/browse/browse_window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "imaging/jpeg_codec.h"
#include "outputs/browse/thumb_geometry.h"
#include "platform/format.h"

namespace sortelia::app {

namespace {

QRect qrect(const outputs::Rect& r) { return QRect(r.left, r.top, r.width, r.height); }

// A Bgr24 bitmap as a QImage sharing its pixels (valid while the bitmap lives).
QImage wrap(const imaging::Bitmap& b) {
  return QImage(b.data(), b.width(), b.height(), static_cast<qsizetype>(b.stride()),
                QImage::Format_BGR888);
}

}  // namespace

// ---------------------------------------------------------------- accessibility

namespace {

// One cell as the accessibility tree shows it: a list item named after its file.
class CellAccessible : public QAccessibleInterface {
 public:
  CellAccessible(ThumbGridView* grid, int cell) : grid_(grid), cell_(cell) {}
  bool isValid() const override { return grid_ && cellData() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(grid_);
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override {
    const ThumbCell* c = cellData();
    if (!c) return {};
    if (t == QAccessible::Name) return QString::fromStdString(c->name);
    if (t == QAccessible::Description) return QString::fromStdString(c->path);
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const ThumbCell* c = cellData();
    if (!c || !grid_) return {};
    const QPoint origin =
        grid_->viewport()->mapToGlobal(QPoint(0, -grid_->verticalScrollBar()->value()));
    return QRect(origin + QPoint(c->rect.left, c->rect.top), QSize(c->rect.width, c->rect.height));
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.selectable = true;
    return s;
  }

 private:
  const ThumbCell* cellData() const {
    const ThumbBrowser* b = grid_ ? grid_->browser() : nullptr;
    if (!b || cell_ >= static_cast<int>(b->cells().size())) return nullptr;
    return &b->cells()[cell_];
  }
  QPointer<ThumbGridView> grid_;
  int cell_;
};

// The grid as a list of its visible cells.
class GridAccessible : public QAccessibleWidget {
 public:
  explicit GridAccessible(ThumbGridView* grid) : QAccessibleWidget(grid, QAccessible::List) {}
  int childCount() const override { return static_cast<int>(visibleCells().size()); }
  QAccessibleInterface* child(int i) const override {
    const std::vector<int> cells = visibleCells();
    if (i < 0 || i >= static_cast<int>(cells.size())) return nullptr;
    auto* grid = static_cast<ThumbGridView*>(widget());
    return grid->cellInterface(cells[i]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (int i = 0; i < childCount(); ++i)
      if (this->child(i) == child) return i;
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    for (int i = 0; i < childCount(); ++i)
      if (child(i)->rect().contains(x, y)) return child(i);
    return nullptr;
  }

 private:
  std::vector<int> visibleCells() const {
    std::vector<int> out;
    const ThumbBrowser* b = static_cast<ThumbGridView*>(widget())->browser();
    if (!b) return out;
    for (int k = 0; k < static_cast<int>(b->cells().size()); ++k)
      if (b->cells()[k].visible) out.push_back(k);
    return out;
  }
};

QAccessibleInterface* gridAccessibleFactory(const QString& className, QObject* object) {
  if (className == "sortelia::app::ThumbGridView" && object && object->isWidgetType())
    return new GridAccessible(static_cast<ThumbGridView*>(object));
  return nullptr;
}

}  // namespace

QAccessibleInterface* ThumbGridView::cellInterface(int cell) {
  auto found = cellInterfaces_.find(cell);
  if (found != cellInterfaces_.end()) return QAccessible::accessibleInterface(found->second);
  auto* iface = new CellAccessible(this, cell);
  cellInterfaces_[cell] = QAccessible::registerAccessibleInterface(iface);
  return iface;
}

// ---------------------------------------------------------------- the grid

ThumbGridView::ThumbGridView(QWidget* parent) : QAbstractScrollArea(parent) {
  // Installed before anything asks for this widget's accessible interface.
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(gridAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  setObjectName("ScrollBox1");
  setAccessibleName("ScrollBox1");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(true);
  viewport()->setBackgroundRole(QPalette::Window);
  verticalScrollBar()->setTracking(true);
}

ThumbGridView::~ThumbGridView() {
  for (const auto& [cell, id] : cellInterfaces_) QAccessible::deleteAccessibleInterface(id);
}

QColor ThumbGridView::labelBackground(LabelColour c) {
  switch (c) {
    case LabelColour::Green:
      return QColor(136, 255, 136);
    case LabelColour::Red:
      return QColor(255, 153, 153);
    case LabelColour::Blue:
      return QColor(68, 34, 255);
    case LabelColour::Printing:
      return QColor(0, 0, 255);
    case LabelColour::Face:
      break;
  }
  return QApplication::palette().color(QPalette::Button);
}

void ThumbGridView::refresh() {
  // Cells are made anew by a build: their accessible items follow the current list.
  const int count = browser_ ? static_cast<int>(browser_->cells().size()) : 0;
  for (auto it = cellInterfaces_.begin(); it != cellInterfaces_.end();) {
    if (it->first >= count) {
      QAccessible::deleteAccessibleInterface(it->second);
      it = cellInterfaces_.erase(it);
    } else {
      ++it;
    }
  }
  const int content = browser_ ? browser_->contentHeight() : 0;
  verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
  verticalScrollBar()->setPageStep(viewport()->height());
  viewport()->update();
}

QPoint ThumbGridView::toGrid(const QPoint& p) const {
  return p + QPoint(0, verticalScrollBar()->value());
}

void ThumbGridView::paintEvent(QPaintEvent*) {
  if (!browser_) return;
  QPainter p(viewport());
  const int top = verticalScrollBar()->value();
  const QRect visible(0, top, viewport()->width(), viewport()->height());
  p.translate(0, -top);
  const QColor face = QApplication::palette().color(QPalette::Window);
  QFont labelFont = font();
  labelFont.setPixelSize(10);
  p.setFont(labelFont);
  for (const ThumbCell& c : browser_->cells()) {
    const QRect r = qrect(c.rect);
    if (!c.visible || !r.intersects(visible)) continue;
    // The raised panel: the grid's colour (blue while its information is shown), bevel 1.
    p.fillRect(r, c.infoShown ? QColor(0, 0, 255) : face);
    p.setPen(QColor(255, 255, 255));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(128, 128, 128));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    if (!c.picture.empty())
      p.drawImage(qrect(c.pictureRect).translated(r.topLeft()), wrap(c.picture));
    const QRect label(r.left() + 1, r.bottom() - outputs::kCellLabelHeight + 1, r.width() - 2,
                      outputs::kCellLabelHeight - 1);
    p.fillRect(label, labelBackground(c.label));
    const bool white =
        c.label == LabelColour::Blue || c.label == LabelColour::Printing || c.infoShown;
    p.setPen(white ? Qt::white : Qt::black);
    p.drawText(label, Qt::AlignCenter, QString::fromStdString(c.name));
  }
}

void ThumbGridView::mousePressEvent(QMouseEvent* e) {
  setFocus();  // ObjClickSetF, ScrollBox1Click
  downCell_ = -1;
  labelPressed_ = false;
  if (!browser_) return;
  const QPoint g = toGrid(e->position().toPoint());
  const int cell = browser_->cellAt(g.x(), g.y());
  if (cell >= 0 && browser_->onPicture(cell, g.x(), g.y())) {
    downAt_ = e->position().toPoint();  // DDMouseDown
    downCell_ = cell;
  } else if (cell >= 0 && e->button() == Qt::LeftButton) {
    labelPressed_ = true;
    downCell_ = cell;
  }
}

void ThumbGridView::mouseReleaseEvent(QMouseEvent* e) {
  if (labelPressed_ && browser_ && e->button() == Qt::LeftButton) {
    const QPoint g = toGrid(e->position().toPoint());
    if (browser_->cellAt(g.x(), g.y()) == downCell_ && onLabelClick) onLabelClick(downCell_);
  }
  labelPressed_ = false;
}

void ThumbGridView::mouseMoveEvent(QMouseEvent* e) {
  if (!browser_) return;
  const QPoint g = toGrid(e->position().toPoint());
  const int cell = browser_->cellAt(g.x(), g.y());
  if (cell < 0) {
    browser_->setUnderMouse(-1);  // ScrollBox1MouseMove
  } else if (browser_->onPicture(cell, g.x(), g.y())) {
    browser_->setUnderMouse(cell);
    // DDMouseMove: with the left button held anywhere but where it went down, drag it out.
    if ((e->buttons() & Qt::LeftButton) && downCell_ == cell && !labelPressed_ &&
        e->position().toPoint() != downAt_ && onDragOut) {
      const QString path = QString::fromStdString(browser_->cells()[cell].path);
      downCell_ = -1;
      onDragOut(path);
    }
  }
}

void ThumbGridView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (!browser_ || e->button() != Qt::LeftButton) return;
  const QPoint g = toGrid(e->position().toPoint());
  const int cell = browser_->cellAt(g.x(), g.y());
  labelPressed_ = false;
  if (cell >= 0 && browser_->onPicture(cell, g.x(), g.y()) && onDoubleClick) onDoubleClick(cell);
}

void ThumbGridView::wheelEvent(QWheelEvent* e) {
  const int steps = e->angleDelta().y() / 120;
  if (steps == 0) return;
  verticalScrollBar()->setValue(verticalScrollBar()->value() - 10 * steps);
  e->accept();
}

void ThumbGridView::contextMenuEvent(QContextMenuEvent* e) {
  if (browser_ && e->reason() == QContextMenuEvent::Mouse) {
    const QPoint g = toGrid(viewport()->mapFrom(this, e->pos()));
    const int cell = browser_->cellAt(g.x(), g.y());
    if (cell < 0)
      browser_->setUnderMouse(-1);
    else if (browser_->onPicture(cell, g.x(), g.y()))
      browser_->setUnderMouse(cell);
  }
  if (onContextMenu) onContextMenu(e->globalPos());
}

void ThumbGridView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  refresh();
}

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
void BrowseWindow::showFullSize(const std::string& path, bool realSize) {
  if (onShowFullSize) onShowFullSize(path, realSize);
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

void BrowseWindow::closeEvent(QCloseEvent* e) {
  if (onClosed) onClosed();
  QDialog::closeEvent(e);
}

// ---------------------------------------------------------------- TForm7

namespace {

// Image1: a picture drawn by DrawPictureInto's rules; a click closes its window.
class PictureControl : public QWidget {
 public:
  explicit PictureControl(QWidget* parent) : QWidget(parent) {
    setObjectName("Image1");
    setAccessibleName("Image1");
  }
  void setPicture(imaging::Bitmap b, bool fit) {
    bitmap_ = std::move(b);
    fit_ = fit;
    update();
  }
  void clear() { setPicture({}, fit_); }
  const imaging::Bitmap& bitmap() const { return bitmap_; }
  std::function<void()> onClick;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (bitmap_.empty()) return;
    QPainter p(this);
    const outputs::PicturePlacement place =
        outputs::placePicture(bitmap_.width(), bitmap_.height(), width(), height(), fit_);
    const outputs::Rect r = place.mode == outputs::DrawMode::RealSize
                                ? outputs::Rect{0, 0, bitmap_.width(), bitmap_.height()}
                                : place.rect;
    p.drawImage(QRect(r.left, r.top, r.width, r.height), wrap(bitmap_));
  }
  void mousePressEvent(QMouseEvent*) override {
    if (onClick) onClick();
  }

 private:
  imaging::Bitmap bitmap_;
  bool fit_ = true;
};

}  // namespace

FullSizeWindow::FullSizeWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Form7");
  setWindowTitle("Full Size");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  layout->addWidget(scroll_);
  auto* image = new PictureControl(nullptr);
  image->onClick = [this] { clearAndClose(); };
  image1_ = image;
  scroll_->setWidget(image1_);
  scroll_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

bool FullSizeWindow::showPicture(const std::string& path, bool realSize, std::string& error) {
  imaging::JpegDecodeResult decoded = imaging::decodeJpegFile(path, imaging::JpegScale::Full);
  if (!decoded.ok()) {
    error = decoded.error;
    return false;
  }
  imaging::convertTo24Bit(decoded.bitmap);
  auto* image = static_cast<PictureControl*>(image1_);
  if (realSize) {
    setWindowTitle(QString::fromStdString(format("実サイズ表示[ %s ]", {path})));
    setWindowFlags(Qt::Window);
  } else {
    setWindowTitle("全画面表示");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  }
  showMaximized();
  // Real size: the control takes the picture's size at (0, 0) and the window scrolls; fitted:
  // the control fills the window. A picture smaller than the window is centred either way.
  const QSize area = scroll_->viewport()->size();
  const bool larger =
      decoded.bitmap.width() >= area.width() || decoded.bitmap.height() >= area.height();
  scroll_->setWidgetResizable(!(realSize && larger));
  if (realSize && larger) image->resize(decoded.bitmap.width(), decoded.bitmap.height());
  image->setPicture(std::move(decoded.bitmap), !realSize);
  raise();
  activateWindow();
  return true;
}

void FullSizeWindow::clearAndClose() {
  static_cast<PictureControl*>(image1_)->clear();
  close();
}

}  // namespace sortelia::app
