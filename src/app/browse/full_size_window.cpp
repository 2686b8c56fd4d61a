#include "app/browse/full_size_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWindow>

#include "app/common/bitmap_image.h"
#include "outputs/browse/thumb_geometry.h"
#include "platform/format.h"

namespace sortelia::app {

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
    p.drawImage(qrect(r), bitmapImage(bitmap_));
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

void FullSizeWindow::showPicture(const std::string& path, imaging::Bitmap picture, bool realSize,
                                 QWidget* over) {
  auto* image = static_cast<PictureControl*>(image1_);
  if (realSize) {
    setWindowTitle(QString::fromStdString(format("実サイズ表示[ %s ]", {path})));
    setWindowFlags(Qt::Window);
  } else {
    setWindowTitle("全画面表示");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  }
  if (over && over->windowHandle()) {
    create();  // the native window, which the flags above may have replaced
    windowHandle()->setTransientParent(over->windowHandle());
  }
  showMaximized();
  // Real size: the control takes the picture's size at (0, 0) and the window scrolls; fitted:
  // the control fills the window. A picture smaller than the window is centred either way.
  const QSize area = scroll_->viewport()->size();
  const bool larger = picture.width() >= area.width() || picture.height() >= area.height();
  scroll_->setWidgetResizable(!(realSize && larger));
  if (realSize && larger) image->resize(picture.width(), picture.height());
  image->setPicture(std::move(picture), !realSize);
  raise();
  activateWindow();
}

void FullSizeWindow::clearAndClose() {
  static_cast<PictureControl*>(image1_)->clear();
  close();
}

}  // namespace sortelia::app
