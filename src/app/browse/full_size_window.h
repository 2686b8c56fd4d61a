// The full-size display of the thumbnail browser (TForm7).
#pragma once

#include <QWidget>
#include <string>

#include "imaging/bitmap.h"

class QScrollArea;

namespace sortelia::app {

// TForm7: one picture (Image1) in a window that scrolls both ways; a click closes it.
class FullSizeWindow : public QWidget {
  Q_OBJECT
 public:
  explicit FullSizeWindow(QWidget* parent = nullptr);
  // ImgDblDsp's window part: caption, border and placement, then DrawPictureInto of picture
  // (the decoded file of path) at full scale.
  // over is the window that asks (the modal browser): the full-size window stays its
  // transient, so that the browser's modality leaves it open to clicks, wheel and closing.
  void showPicture(const std::string& path, imaging::Bitmap picture, bool realSize,
                   QWidget* over = nullptr);
  // Image1Click: clears the picture and closes.
  void clearAndClose();
  QWidget* picture() const { return image1_; }

 private:
  QScrollArea* scroll_;
  QWidget* image1_;
};

}  // namespace sortelia::app
