// The reduced-size save window (Form4): the picture's size, the target size fields with their
// up-down arrows, the quality, the effect and EXIF boxes, the four buttons and the preview.
// Its behaviour is StretchSave's; the window shows that state and passes the person's input.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <functional>

#include "core/album/album_command.h"
#include "core/stretch/stretch_save.h"

namespace sortelia::app {

class StretchWindowForm : public QDialog, public StretchWindow, public AlbumView {
  Q_OBJECT
 public:
  explicit StretchWindowForm(QWidget* parent = nullptr);
  // The behaviour the window shows; guarded runs a command and shows the error that ends it.
  // Given once, before the window is first shown.
  void attach(StretchSave& save, std::function<void(const std::function<void()>&)> guarded);
  // The batch run behind "全実行", which a mouse press on the window stops.
  void attachAlbum(AlbumCommand& album);

  // Over the window place (the main window's frame), modally.
  void showModal(const std::string& caption) override;
  // The place the window takes when shown (the main window's); the main window hides meanwhile.
  std::function<QWidget*()> placeOf;

  // Shows the state of StretchSave: fields, their maximum, the options and the preview.
  void refresh();

  QSpinBox* widthField() const { return edit1_; }
  QSpinBox* heightField() const { return edit2_; }
  QSpinBox* qualityField() const { return edit3_; }
  QCheckBox* sepiaBox() const { return sepia_; }
  QCheckBox* bwBox() const { return bw_; }
  QCheckBox* exifBox() const { return exif_; }
  QPushButton* viewButton() const { return button1_; }
  QPushButton* saveButton() const { return button2_; }
  QPushButton* stopButton() const { return button3_; }
  QPushButton* runAllButton() const { return button4_; }
  QLabel* previewLabel() const { return image1_; }
  QLabel* sizeLabel() const { return label2_; }
  QLabel* progressText() const { return label3_; }
  QProgressBar* progressBar() const { return progress_; }

  // AlbumView
  void showProgress(int count) override;
  void setProgress(int position) override;
  void hideProgress() override;
  void setProgressText(const std::string& text) override;
  void setRunning(bool running) override;

  // While a run goes, closing the window only stops it; the window closes as usual after.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void showFields();
  void showPreview();

  StretchSave* save_ = nullptr;
  AlbumCommand* album_ = nullptr;
  std::function<void(const std::function<void()>&)> guarded_;
  QLabel* label2_ = nullptr;
  QSpinBox* edit1_ = nullptr;
  QSpinBox* edit2_ = nullptr;
  QSpinBox* edit3_ = nullptr;
  QCheckBox* sepia_ = nullptr;
  QCheckBox* bw_ = nullptr;
  QCheckBox* exif_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button2_ = nullptr;
  QPushButton* button3_ = nullptr;
  QPushButton* button4_ = nullptr;
  QScrollArea* panel_ = nullptr;
  QLabel* image1_ = nullptr;
  QLabel* label3_ = nullptr;
  QProgressBar* progress_ = nullptr;
};

}  // namespace sortelia::app
