// The thumbnail browser (TForm6): one painted grid of cells (ScrollBox1), the size, build and
// stop controls, and the popup menu; and the full-size display (TForm7).
#pragma once

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QDialog>
#include <QImage>
#include <QPoint>
#include <functional>
#include <map>

#include "core/browse/thumb_browser.h"
#include "core/ports/browser_view.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QScrollArea;
class QSpinBox;

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

// TForm6.
class BrowseWindow : public QDialog, public BrowserView {
  Q_OBJECT
 public:
  explicit BrowseWindow(QWidget* parent = nullptr);

  void attach(ThumbBrowser& browser);
  ThumbGridView* grid() const { return grid_; }
  QSpinBox* sizeBox() const { return size_; }
  QPushButton* buildButton() const { return build_; }
  QPushButton* stopButton() const { return stop_; }
  QCheckBox* realSizeBox() const { return realSize_; }
  QMenu* popupMenu() const { return popup_; }
  QAction* action(const char* name) const;

  // BrowserView.
  std::string caption() const override;
  void setCaption(const std::string& text) override;
  void setStopEnabled(bool enabled) override;
  int gridWidth() const override;
  void setScrollStep(int pixels) override;
  void scrollToTop() override;
  void gridChanged() override;
  void showFullSize(const std::string& path, bool realSize) override;
  void openPrint(const std::string& fileList, const std::string& caption) override;

  std::function<void(const std::string& path, bool realSize)> onShowFullSize;
  std::function<void(const std::string& list, const std::string& caption)> onOpenPrint;
  std::function<void()> onResized;
  std::function<void()> onClosed;

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  ThumbGridView* grid_;
  QSpinBox* size_;
  QPushButton* build_;
  QPushButton* stop_;
  QCheckBox* realSize_;
  QWidget* sizeControls_;
  QWidget* bottom_;
  QMenu* popup_;
};

// TForm7: one picture (Image1) in a window that scrolls both ways; a click closes it.
class FullSizeWindow : public QWidget {
  Q_OBJECT
 public:
  explicit FullSizeWindow(QWidget* parent = nullptr);
  // ImgDblDsp's window part: caption, border and placement, then DrawPictureInto at full
  // scale. False (the window stays closed) when the picture cannot be decoded; error says why.
  bool showPicture(const std::string& path, bool realSize, std::string& error);
  // Image1Click: clears the picture and closes.
  void clearAndClose();
  QWidget* picture() const { return image1_; }

 private:
  QScrollArea* scroll_;
  QWidget* image1_;
};

}  // namespace sortelia::app
