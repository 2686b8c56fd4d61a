#include "app/main/display_area.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "app/main/window_shortcuts_first.h"
#include "core/display/display_geometry.h"

namespace sortelia::app {
namespace {

// Shape1: a red dotted rounded frame, pen width 5, transparent inside.
class DeletionFrame : public QWidget {
 public:
  explicit DeletionFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::red, 5, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5), 12, 12);
  }
};

QLabel* overlayLabel(QWidget* parent, const char* name, int pixelHeight, const QColor& colour,
                     bool italic = false) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  QFont f = l->font();
  f.setPixelSize(pixelHeight);
  f.setBold(true);
  f.setItalic(italic);
  l->setFont(f);
  l->setStyleSheet(QString("QLabel { color: %1; }").arg(colour.name()));
  l->setAttribute(Qt::WA_TranslucentBackground);
  l->setAttribute(Qt::WA_TransparentForMouseEvents);
  l->hide();
  return l;
}

}  // namespace

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setObjectName("Image1");
  setAccessibleName("Image1");
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureView::setPicture(std::shared_ptr<const imaging::Bitmap> picture) {
  picture_ = std::move(picture);
  scaled_ = QImage();
  update();
}

void PictureView::setScreenPicture(std::shared_ptr<const imaging::Bitmap> screen) {
  screen_ = std::move(screen);
  scaled_ = QImage();
  update();
}

void PictureView::paintEvent(QPaintEvent*) {
  if (screen_ && screen_->format() == imaging::PixelFormat::Bgr24 &&
      QSize(screen_->width(), screen_->height()) == size()) {
    QPainter p(this);
    p.drawImage(0, 0,
                QImage(screen_->data(), screen_->width(), screen_->height(),
                       static_cast<qsizetype>(screen_->stride()), QImage::Format_BGR888));
    return;
  }
  if (!picture_ || picture_->empty() || picture_->format() != imaging::PixelFormat::Bgr24) return;
  if (scaled_.size() != size()) {
    // Wraps the shared pixels without copying; only the screen-sized result is kept.
    const QImage full(picture_->data(), picture_->width(), picture_->height(),
                      static_cast<qsizetype>(picture_->stride()), QImage::Format_BGR888);
    scaled_ = (full.size() == size())
                  ? full.copy()
                  : full.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  QPainter p(this);
  p.drawImage(0, 0, scaled_);
}

DisplayArea::DisplayArea(QWidget* parent) : QWidget(parent) {
  setObjectName("Panel1");
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Dark);
  setMinimumSize(40, 40);
  picture_ = new PictureView(this);
  frame_ = new DeletionFrame(this);
  frame_->setObjectName("Shape1");
  frame_->hide();
  deleted_ = overlayLabel(this, "DelLbl", 24, Qt::red, true);
  deleted_->setText("<< Deleted >>");
  deleted_->adjustSize();
  date2_ = overlayLabel(this, "dateLBL2", 33, palette().color(QPalette::HighlightedText));
  date1_ = overlayLabel(this, "dateLBL1", 33, QColor(0xFF, 0x50, 0x00));
  size_ = overlayLabel(this, "sizeLBL", 33, Qt::blue);
  movie_ = new QPushButton(this);
  movie_->setObjectName("BitBtn1");
  QFont mf = movie_->font();
  mf.setPixelSize(27);
  movie_->setFont(mf);
  movie_->setStyleSheet("QPushButton { color: blue; }");
  movie_->hide();
  comment_ = new QLineEdit(this);
  comment_->setObjectName("Edit3");
  comment_->setAccessibleName("Edit3");
  letWindowShortcutsFirst(comment_);
  comment_->hide();
}

void DisplayArea::setPictureRect(const Rect& r) {
  picture_->setGeometry(r.left, r.top, r.width, r.height);
}

void DisplayArea::setDateOverlay(const QString& date, const QString& size) {
  date1_->setText(date);
  date2_->setText(date);
  size_->setText(size);
  placeDateOverlay();
}

void DisplayArea::placeDateOverlay() {
  date1_->adjustSize();
  date2_->adjustSize();
  size_->adjustSize();
  const DateOverlayPlacement p = placeDateOverlayLabels(width(), date1_->width(), size_->width());
  const int top = 4;
  date1_->move(p.dateLeft, top);
  date2_->move(p.shadowLeft, top + 1);
  size_->move(p.sizeLeft, top + date1_->height());
}

void DisplayArea::setDateOverlayVisible(bool visible) {
  date2_->setVisible(visible);
  date1_->setVisible(visible);
  size_->setVisible(visible);
  date2_->raise();
  date1_->raise();
  size_->raise();
}

void DisplayArea::setDeletionOverlay(bool visible) {
  deleted_->move((width() - deleted_->width()) / 2, 0);
  frame_->setGeometry(0, deleted_->height(), width(), height() - deleted_->height());
  deleted_->setVisible(visible);
  frame_->setVisible(visible);
  frame_->raise();
  deleted_->raise();
}

void DisplayArea::showMovieButton(const QString& caption, const Rect& r) {
  // 27-pixel text, made smaller only as far as needed for the longest line (a long path) to fit.
  QFont f = movie_->font();
  f.setPixelSize(27);
  int widest = 0;
  for (const QString& line : caption.split('\n')) {
    widest = std::max(widest, QFontMetrics(f).horizontalAdvance(line));
  }
  const int room = r.width - 16;
  if (widest > room && room > 0) f.setPixelSize(std::max(9, 27 * room / widest));
  movie_->setFont(f);
  movie_->setText(caption);
  movie_->setGeometry(r.left, r.top, r.width, r.height);
  movie_->show();
  movie_->raise();
  for (QLabel* l : {date2_, date1_, size_}) l->raise();  // the overlay stays readable
}

void DisplayArea::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  placeDateOverlay();
  if (deleted_->isVisible()) setDeletionOverlay(true);
  if (onResized) onResized();
}

}  // namespace sortelia::app
