#include "app/print/print_window.h"

#include <sys/stat.h>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <stdexcept>

#include <memory>
#include "outputs/print/print_page.h"

namespace sortelia::app {

namespace {

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

QGroupBox* commentGroup(const char* name, const char* title, int n, QWidget* parent) {
  auto* g = new QGroupBox(title, parent);
  g->setObjectName(name);
  auto* grid = new QGridLayout(g);
  const QString k = QString::number(n);
  auto check = [&](const QString& object, const char* text, int row, int col) {
    auto* c = new QCheckBox(text);
    c->setObjectName(object);
    grid->addWidget(c, row, col);
    return c;
  };
  check("CBfnam" + k, "ファイル名", 0, 0);
  check("CBdate" + k, "日付", 0, 1);
  check("CBtime" + k, "時刻", 0, 2);
  check("CBucmt" + k, "+コメント", 0, 3)->setToolTip("Exif情報のユーザコメントを追加する。");
  auto* label = new QLabel("自由文");
  label->setObjectName("Label" + k);
  auto* edit = new QLineEdit;
  edit->setObjectName("Edit" + k);
  edit->setAccessibleName(QString("%1 自由文").arg(title));
  label->setBuddy(edit);
  grid->addWidget(label, 1, 0);
  grid->addWidget(edit, 1, 1, 1, 3);
  return g;
}

}  // namespace

PrintWindow::PrintWindow(QWidget* parent) : QDialog(parent) {
  setObjectName("Form8");
  setWindowTitle("印刷");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(commentGroup("GroupBox1", "上部コメント", 1, this));
  layout->addWidget(commentGroup("GroupBox2", "下部コメント", 2, this));

  auto* row = new QHBoxLayout;
  auto* label3 = new QLabel("サイズ");
  label3->setObjectName("Label3");
  size_ = new QSpinBox;
  size_->setObjectName("Edit3");
  size_->setAccessibleName("サイズ");
  size_->setToolTip("文字印刷サイズ(10-100)");
  size_->setRange(10, 100);
  size_->setSingleStep(10);
  size_->setValue(50);
  size_->findChild<QLineEdit*>()->setReadOnly(true);  // the arrows only, ten at a time
  label3->setBuddy(size_);
  colour_ = new QComboBox;
  colour_->setObjectName("ComboBox1");
  colour_->setAccessibleName("文字印刷色");
  colour_->setToolTip("文字印刷色");
  colour_->addItems({"赤", "青", "緑"});
  auto* exifDT = new QCheckBox("Exif DT");
  exifDT->setObjectName("CBexifDT");
  exifDT->setToolTip("日付時刻をExif情報から取得する。");
  exifDT->setChecked(true);
  row->addWidget(label3);
  row->addWidget(size_);
  row->addWidget(colour_);
  row->addWidget(exifDT);
  row->addStretch();
  layout->addLayout(row);

  auto* buttons = new QHBoxLayout;
  print_ = new QPushButton("印刷開始");
  print_->setObjectName("Button2");
  print_->setDefault(true);
  auto* cancel = new QPushButton("キャンセル");
  cancel->setObjectName("Button3");
  buttons->addStretch();
  buttons->addWidget(print_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(print_, &QPushButton::clicked, this, [this] {
    if (onPrint) onPrint();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  print_->setFocus();
}

QCheckBox* PrintWindow::box(const char* name) const { return findChild<QCheckBox*>(name); }

QLineEdit* PrintWindow::freeText(int line) const {
  return findChild<QLineEdit*>(QString("Edit%1").arg(line));
}

outputs::PrintOptions PrintWindow::options() const {
  outputs::PrintOptions o;
  auto choice = [this](int n) {
    const std::string k = std::to_string(n);
    outputs::CommentChoice c;
    c.name = box(("CBfnam" + k).c_str())->isChecked();
    c.date = box(("CBdate" + k).c_str())->isChecked();
    c.time = box(("CBtime" + k).c_str())->isChecked();
    c.comment = box(("CBucmt" + k).c_str())->isChecked();
    c.freeText = freeText(n)->text().toStdString();
    return c;
  };
  o.top = choice(1);
  o.bottom = choice(2);
  o.size = size_->value();
  o.colourText = colour_->currentText().toStdString();
  o.exifDateTime = box("CBexifDT")->isChecked();
  return o;
}

QImage PrintPage(const std::string& path, const outputs::CommentLines& lines, outputs::Rgb colour,
                 int size, QSize printable) {
  auto page = std::make_shared<imaging::Bitmap>(
      outputs::renderPrintPage(path, lines, colour, size, printable.width(), printable.height()));
  // The image shares the bitmap's pixels and keeps the bitmap alive while it lives.
  return QImage(
      page->data(), page->width(), page->height(), static_cast<qsizetype>(page->stride()),
      QImage::Format_BGR888,
      [](void* p) { delete static_cast<std::shared_ptr<imaging::Bitmap>*>(p); },
      new std::shared_ptr<imaging::Bitmap>(page));
}

int PrintWindow::printFiles(QPrinter& printer,
                            const std::function<exif::PhotoRecord(const std::string&)>& readPhoto) {
  const outputs::PrintOptions o = options();
  const outputs::Rgb colour = outputs::printColour(o.colourText);
  // One document with a page per picture: a PDF file takes one document only.
  QPainter painter;
  int pages = 0;
  for (const std::string& path : outputs::parseFileList(fileList_)) {
    if (!fileExists(path)) continue;
    const exif::PhotoRecord record = readPhoto(path);
    const outputs::CommentLines lines = outputs::makeCommentLines(record, path, o);
    // The page is made before it is begun, so a picture that cannot be decoded leaves no
    // empty page behind.
    QImage page;
    try {
      page = PrintPage(path, lines, colour, o.size,
                       printer.pageLayout().paintRectPixels(printer.resolution()).size());
    } catch (...) {
      if (painter.isActive()) painter.end();
      throw;
    }
    if (pages == 0) {
      if (!painter.begin(&printer)) throw std::runtime_error("印刷を開始できません");
    } else {
      printer.newPage();
    }
    painter.drawImage(QPoint(0, 0), page);
    ++pages;
  }
  if (painter.isActive()) painter.end();
  return pages;
}

}  // namespace sortelia::app
