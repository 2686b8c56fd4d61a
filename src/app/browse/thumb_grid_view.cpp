#include "app/browse/thumb_grid_view.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>

#include "app/common/bitmap_image.h"
#include "outputs/browse/thumb_geometry.h"
#include "platform/format.h"

namespace sortelia::app {

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
      p.drawImage(qrect(c.pictureRect).translated(r.topLeft()), bitmapImage(c.picture));
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

}  // namespace sortelia::app
