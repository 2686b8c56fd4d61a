// The print window (TForm8): the two comment groups, text size and colour, "Exif DT", and the
// printing of one page per picture.
#pragma once

#include <QDialog>
#include <QImage>
#include <functional>
#include <string>

#include "exif/photo_info.h"
#include "outputs/print/print_layout.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QSpinBox;

namespace sortelia::app {

class PrintWindow : public QDialog {
  Q_OBJECT
 public:
  explicit PrintWindow(QWidget* parent = nullptr);

  // The file list: quoted full paths separated by CR LF (or commas and blanks).
  void setFileList(const std::string& list) { fileList_ = list; }
  const std::string& fileList() const { return fileList_; }
  // The window's choices as they stand.
  outputs::PrintOptions options() const;

  QCheckBox* box(const char* name) const;
  QLineEdit* freeText(int line) const;  // 1: top, 2: bottom
  QSpinBox* sizeBox() const { return size_; }
  QComboBox* colourBox() const { return colour_; }
  QPushButton* printButton() const { return print_; }

  // Button2Click after the setup dialog: prints every existing file of the list on printer,
  // one page each, reading photo data with readPhoto. An undecodable picture ends the run
  // with an error (pages before it are printed). Returns the number of pages.
  int printFiles(QPrinter& printer,
                 const std::function<exif::PhotoRecord(const std::string& path)>& readPhoto);

  // Button2Click: set by the wiring (runs the setup dialog, then printFiles).
  std::function<void()> onPrint;

 private:
  std::string fileList_;
  QSpinBox* size_;
  QComboBox* colour_;
  QPushButton* print_;
};

// PrintPicture's page (drawn at the page's top-left corner) for a printable area of that
// size in device pixels. Throws outputs::PrintError when the picture cannot be decoded.
QImage PrintPage(const std::string& path, const outputs::CommentLines& lines, outputs::Rgb colour,
                 int size, QSize printable);

}  // namespace sortelia::app
