// The thumbnail browser's grid (ScrollBox1): one painted view of the cells, each cell a list
// item in the accessibility tree.
#pragma once

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QPoint>
#include <functional>
#include <map>

#include "core/browse/thumb_browser.h"

namespace sortelia::app {

// ScrollBox1: paints the cells of the browser's grid and turns mouse input into its commands.
class ThumbGridView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit ThumbGridView(QWidget* parent = nullptr);
  ~ThumbGridView() override;
  void attach(ThumbBrowser& browser) { browser_ = &browser; }
  const ThumbBrowser* browser() const { return browser_; }
  // The accessibility item of a cell (a list item named after its file).
  QAccessibleInterface* cellInterface(int cell);
  // The content height changed, or cells were repainted.
  void refresh();

  std::function<void(int cell)> onDoubleClick;
  std::function<void(int cell)> onLabelClick;
  std::function<void(const QPoint& global)> onContextMenu;
  std::function<void(const QString& path)> onDragOut;

  // The colours of the label texts and backgrounds by mark.
  static QColor labelBackground(LabelColour c);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  QPoint toGrid(const QPoint& viewportPos) const;

  ThumbBrowser* browser_ = nullptr;
  std::map<int, QAccessible::Id> cellInterfaces_;
  QPoint downAt_{-1, -1};
  int downCell_ = -1;
  bool labelPressed_ = false;
};

}  // namespace sortelia::app
