// Panel1: the display area of the main window with the picture Image1 and the overlays drawn
// over it (date and size labels, the deletion frame and label, the movie button, the comment
// field).
#pragma once

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <memory>

#include "core/ports/main_view.h"
#include "imaging/bitmap.h"

namespace sortelia::app {

// Image1: paints the shared bitmap scaled to its own size. Only the full bitmap and one
// screen-sized copy are kept.
class PictureView : public QWidget {
  Q_OBJECT
 public:
  explicit PictureView(QWidget* parent);
  void setPicture(std::shared_ptr<const imaging::Bitmap> picture);
  // The picture already at this widget's size; painted without scaling while it fits.
  void setScreenPicture(std::shared_ptr<const imaging::Bitmap> screen);
  const imaging::Bitmap* picture() const { return picture_.get(); }
  const imaging::Bitmap* screenPicture() const { return screen_.get(); }
  // The screen-sized image drawn last (empty before the first paint); for tests.
  const QImage& scaledImage() const { return scaled_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  std::shared_ptr<const imaging::Bitmap> picture_;
  std::shared_ptr<const imaging::Bitmap> screen_;
  QImage scaled_;
};

class DisplayArea : public QWidget {
  Q_OBJECT
 public:
  explicit DisplayArea(QWidget* parent);

  PictureView* pictureView() const { return picture_; }
  QPushButton* movieButton() const { return movie_; }
  QLineEdit* commentField() const { return comment_; }
  QLabel* dateLabel() const { return date1_; }
  QLabel* sizeLabel() const { return size_; }
  QLabel* deletedLabel() const { return deleted_; }

  void setPictureRect(const Rect& r);
  void setDateOverlay(const QString& date, const QString& size);
  void setDateOverlayVisible(bool visible);
  void setDeletionOverlay(bool visible);
  void showMovieButton(const QString& caption, const Rect& r);
  // Called after the area changed size, so that the overlays follow.
  std::function<void()> onResized;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void placeDateOverlay();

  PictureView* picture_;
  QWidget* frame_;  // Shape1
  QLabel* deleted_;
  QLabel* date2_;
  QLabel* date1_;
  QLabel* size_;
  QPushButton* movie_;
  QLineEdit* comment_;
};

}  // namespace sortelia::app
