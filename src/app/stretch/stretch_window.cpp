#include "app/stretch/stretch_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace sortelia::app {
namespace {

QSpinBox* sizeField(const char* name, const QString& label) {
  auto* s = new QSpinBox;
  s->setObjectName(name);
  s->setAccessibleName(label);
  s->setRange(0, 0);
  s->setKeyboardTracking(true);  // the other field follows every keystroke
  s->setMinimumWidth(80);
  return s;
}

QPushButton* button(const char* name, const char* caption, const char* hint = nullptr) {
  auto* b = new QPushButton(QString::fromUtf8(caption));
  b->setObjectName(name);
  if (hint) b->setToolTip(QString::fromUtf8(hint));
  return b;
}

QLabel* label(const char* name, const char* text) {
  auto* l = new QLabel(QString::fromUtf8(text));
  l->setObjectName(name);
  return l;
}

}  // namespace

StretchWindowForm::StretchWindowForm(QWidget* parent) : QDialog(parent) {
  setObjectName("Form4");
  setWindowTitle("Stretch Save");
  setModal(true);

  auto* fields = new QWidget;
  fields->setObjectName("Panel1");
  auto* grid = new QGridLayout(fields);
  grid->addWidget(label("Label1", "元のサイズ(dots)："), 0, 0);
  label2_ = label("Label2", "");
  grid->addWidget(label2_, 0, 1, 1, 3);
  grid->addWidget(label("Label4", "縮小後の画像サイズ(dots)"), 1, 0);
  auto* across = label("Label5", "横");
  auto* down = label("Label6", "縦");
  edit1_ = sizeField("Edit1", across->text());
  edit2_ = sizeField("Edit2", down->text());
  across->setBuddy(edit1_);
  down->setBuddy(edit2_);
  grid->addWidget(across, 1, 1, Qt::AlignRight);
  grid->addWidget(edit1_, 1, 2);
  grid->addWidget(down, 1, 3, Qt::AlignRight);
  grid->addWidget(edit2_, 1, 4);
  auto* qualityLabel = label("Label7", "保存時の品質(1-10)");
  edit3_ = new QSpinBox;
  edit3_->setObjectName("Edit3");
  edit3_->setAccessibleName(qualityLabel->text());
  edit3_->setRange(1, 10);
  edit3_->setValue(8);
  qualityLabel->setBuddy(edit3_);
  grid->addWidget(qualityLabel, 2, 0);
  grid->addWidget(edit3_, 2, 2);
  sepia_ = new QCheckBox("セピア");
  sepia_->setObjectName("CBSepia");
  bw_ = new QCheckBox("BW");
  bw_->setObjectName("CBbw");
  exif_ = new QCheckBox("Exif情報");
  exif_->setObjectName("CBExifAdd");
  exif_->setToolTip("Exif情報を付加するときチェック！(全実行のときは付加しません)");
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(sepia_);
  boxes->addWidget(bw_);
  boxes->addWidget(exif_);
  boxes->addStretch(1);
  grid->addLayout(boxes, 2, 3, 1, 2);
  grid->setColumnStretch(5, 1);

  button1_ = button("Button1", "ビュー", "指定されたサイズで表示します。");
  button2_ = button("Button2", "保存", "指定されたサイズと品質で保存します。");
  button3_ = button("Button3", "中止");
  button4_ = button("Button4", "全実行", "整理元の画像をすべて縮小保存します。");
  // Off until a batch run is attached to the window.
  button4_->setEnabled(false);
  auto* buttons = new QHBoxLayout;
  for (auto* b : {button1_, button2_, button3_, button4_}) buttons->addWidget(b);
  buttons->addStretch(1);

  panel_ = new QScrollArea;
  panel_->setObjectName("Panel2");
  image1_ = new QLabel;
  image1_->setObjectName("Image1");
  image1_->setAccessibleName("プレビュー");
  image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  panel_->setWidget(image1_);
  panel_->setWidgetResizable(false);

  label3_ = label("Label3", "");
  progress_ = new QProgressBar;
  progress_->setObjectName("ProgressBar1");
  progress_->setRange(0, 100);
  progress_->hide();

  auto* column = new QVBoxLayout(this);
  column->addWidget(fields);
  column->addLayout(buttons);
  column->addWidget(panel_, 1);
  column->addWidget(label3_);
  column->addWidget(progress_);

  for (auto* b : {button1_, button2_, button3_, button4_}) b->setAutoDefault(false);
}

void StretchWindowForm::attach(StretchSave& save,
                               std::function<void(const std::function<void()>&)> guarded) {
  save_ = &save;
  guarded_ = std::move(guarded);
  connect(edit1_, &QSpinBox::valueChanged, this, [this](int v) {
    save_->Edit1Exit(v);
    showFields();
  });
  connect(edit2_, &QSpinBox::valueChanged, this, [this](int v) {
    save_->Edit2Exit(v);
    showFields();
  });
  connect(edit3_, &QSpinBox::valueChanged, this, [this](int v) { save_->setLevel(v); });
  connect(sepia_, &QCheckBox::clicked, this, [this](bool on) {
    save_->CBSepiaClick(on);
    refresh();
  });
  connect(bw_, &QCheckBox::clicked, this, [this](bool on) {
    save_->CBbwClick(on);
    refresh();
  });
  connect(exif_, &QCheckBox::clicked, this, [this](bool on) { save_->CBExifAddClick(on); });
  connect(button1_, &QPushButton::clicked, this, [this] {
    guarded_([this] { save_->Button1Click(); });
    refresh();
  });
  connect(button2_, &QPushButton::clicked, this,
          [this] { guarded_([this] { save_->Button2Click(); }); });
  connect(button3_, &QPushButton::clicked, this, &QDialog::reject);
}

void StretchWindowForm::attachAlbum(AlbumCommand& album) {
  album_ = &album;
  connect(button4_, &QPushButton::clicked, this,
          [this] { guarded_([this] { album_->Button4Click(*save_, *this, width()); }); });
  button4_->setEnabled(true);
  // The parts where a mouse press stops a run: the preview panel and picture, the progress
  // bar, the size and quality labels and fields, and the four buttons (the window's own
  // background through mousePressEvent). The option boxes, Label3 and the panel that holds
  // the fields do not stop it.
  for (const char* name :
       {"Panel2", "Image1", "ProgressBar1", "Label1", "Label2", "Label4", "Label5", "Label6",
        "Label7", "Edit1", "Edit2", "Edit3", "Button1", "Button2", "Button3", "Button4"}) {
    auto* w = findChild<QWidget*>(name);
    if (!w) continue;
    w->installEventFilter(this);
    for (QWidget* part : w->findChildren<QWidget*>()) part->installEventFilter(this);
  }
}

bool StretchWindowForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && album_) album_->FormMouseDown();
  return QDialog::eventFilter(watched, event);
}

void StretchWindowForm::mousePressEvent(QMouseEvent* event) {
  // Presses that children pass up arrive here too: only the window's own background counts.
  if (album_ && !childAt(event->position().toPoint())) album_->FormMouseDown();
  QDialog::mousePressEvent(event);
}

void StretchWindowForm::reject() {
  if (album_ && album_->running()) {
    album_->FormMouseDown();
    return;
  }
  QDialog::reject();
}

void StretchWindowForm::showProgress(int count) {
  progress_->setRange(0, count);
  progress_->setValue(0);
  progress_->show();
}

void StretchWindowForm::setProgress(int position) { progress_->setValue(position); }

void StretchWindowForm::hideProgress() { progress_->hide(); }

void StretchWindowForm::setProgressText(const std::string& text) {
  QString t = QString::fromStdString(text);
  t.replace("\r\n", "\n");
  label3_->setText(t);
}

void StretchWindowForm::setRunning(bool running) { button4_->setEnabled(!running); }

void StretchWindowForm::showModal(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
  refresh();
  QWidget* place = placeOf ? placeOf() : nullptr;
  if (place) {
    setGeometry(place->geometry());
    place->hide();
  }
  exec();
  if (place) place->show();
  image1_->clear();
}

void StretchWindowForm::refresh() {
  label2_->setText(QString::fromStdString(save_->sizeText()));
  {
    const QSignalBlocker b1(edit1_), b2(edit2_), b3(edit3_);
    edit1_->setRange(0, save_->maxWidth());
    edit2_->setRange(0, save_->maxHeight());
    edit3_->setValue(save_->options().level);
  }
  sepia_->setChecked(save_->options().sepia);
  bw_->setChecked(save_->options().blackAndWhite);
  exif_->setChecked(save_->options().addExif);
  showFields();
  showPreview();
}

void StretchWindowForm::showFields() {
  // Set without their change signals: the field being typed in is not set back from the other.
  const QSignalBlocker b1(edit1_), b2(edit2_);
  if (edit1_->value() != save_->width()) edit1_->setValue(save_->width());
  if (edit2_->value() != save_->height()) edit2_->setValue(save_->height());
}

void StretchWindowForm::showPreview() {
  auto p = save_->preview();
  if (!p) {
    image1_->clear();
    return;
  }
  const QImage image(p->data(), p->width(), p->height(), static_cast<qsizetype>(p->stride()),
                     QImage::Format_BGR888);
  image1_->setPixmap(QPixmap::fromImage(image));
  image1_->resize(p->width(), p->height());
}

}  // namespace sortelia::app
