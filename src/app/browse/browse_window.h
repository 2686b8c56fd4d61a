// The thumbnail browser (TForm6): the grid of cells (ScrollBox1, thumb_grid_view.h), the size,
// build and stop controls, and the popup menu. The full-size display is full_size_window.h.
#pragma once

#include <QDialog>
#include <functional>

#include "app/browse/full_size_window.h"
#include "app/browse/thumb_grid_view.h"
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
  void showFullSize(const std::string& path, imaging::Bitmap picture, bool realSize) override;
  void openPrint(const std::string& fileList, const std::string& caption) override;

  std::function<void(const std::string& path, imaging::Bitmap picture, bool realSize)>
      onShowFullSize;
  std::function<void(const std::string& list, const std::string& caption)> onOpenPrint;
  std::function<void()> onResized;
  std::function<void()> onClosed;  // however the browser closes: its close box, Escape

  // Every way out of the modal browser ends here (closing runs reject, Escape too, without a
  // close event).
  void done(int result) override;

 protected:
  void resizeEvent(QResizeEvent* e) override;

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

}  // namespace sortelia::app
