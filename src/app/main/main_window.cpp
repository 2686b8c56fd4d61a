#include "app/main/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>

#include "app/main/control_object_name.h"
#include "core/state/window_caption.h"

namespace sortelia::app {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(objectNameOf(Control::Form1));
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  panel1_ = new DisplayArea(central);
  row->addWidget(panel1_, 1);
  row->addWidget(buildButtonColumn());
  setCentralWidget(central);

  status_ = new QLabel;
  status_->setObjectName("StatusBar1");
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(true);
  buildMenus();
  pointSlots();
  setAcceptDrops(true);
  setWindowTitle(kProductTitle);
  setGeometry(250, 108, 545, 603);
  connect(&frameWatch_, &QTimer::timeout, this, &MainWindow::watchFrame);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* e) {
  if (mainMenuEnabled_) popup1_->popup(e->globalPos());
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (activated_) return;
  activated_ = true;
  QTimer::singleShot(0, this, [this] {
    if (onFirstActivation) onFirstActivation();
  });
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (onClose) onClose();
  QMainWindow::closeEvent(e);
}

void MainWindow::showEntry(int /*n*/, const std::string& /*entry*/, const std::string& /*path*/) {}

void MainWindow::clearPicture() {
  panel1_->pictureView()->setScreenPicture(nullptr);
  panel1_->pictureView()->setPicture(nullptr);
}

void MainWindow::showPicture(std::shared_ptr<const imaging::Bitmap> picture) {
  panel1_->pictureView()->setPicture(std::move(picture));
}

int MainWindow::displayHeight() const { return panel1_->height(); }

int MainWindow::displayWidth() const { return panel1_->width(); }

void MainWindow::setPictureRect(const Rect& r) { panel1_->setPictureRect(r); }

void MainWindow::setScreenPicture(std::shared_ptr<const imaging::Bitmap> screen) {
  panel1_->pictureView()->setScreenPicture(std::move(screen));
}

void MainWindow::setDateOverlay(const std::string& date, const std::string& size) {
  panel1_->setDateOverlay(QString::fromStdString(date), QString::fromStdString(size));
}

void MainWindow::setDateOverlayVisible(bool visible) { panel1_->setDateOverlayVisible(visible); }

void MainWindow::setDeletionOverlay(bool visible) { panel1_->setDeletionOverlay(visible); }

int MainWindow::deletionLabelHeight() const { return panel1_->deletedLabel()->height(); }

void MainWindow::showMovieButton(const std::string& caption, const Rect& r) {
  QString text = QString::fromStdString(caption);
  text.replace("\r\n", "\n");
  panel1_->showMovieButton(text, r);
}

void MainWindow::hideMovieButton() { panel1_->movieButton()->hide(); }

void MainWindow::setCommentFieldVisible(bool visible) {
  panel1_->commentField()->setVisible(visible);
  if (visible) panel1_->commentField()->raise();
}

bool MainWindow::commentFieldVisible() const { return panel1_->commentField()->isVisible(); }

std::string MainWindow::commentText() const {
  return panel1_->commentField()->text().toStdString();
}

void MainWindow::setCommentText(const std::string& text) {
  panel1_->commentField()->setText(QString::fromStdString(text));
}

void MainWindow::focusCommentField() {
  panel1_->commentField()->setFocus();
  panel1_->commentField()->selectAll();
}

void MainWindow::setCommentFieldRect(const Rect& r) {
  panel1_->commentField()->setGeometry(r.left, r.top, r.width, r.height);
}

void MainWindow::setCommentFieldReadOnly(bool readOnly) {
  panel1_->commentField()->setReadOnly(readOnly);
}

void MainWindow::setStatusAlert(bool red) {
  status_->setStyleSheet(red ? "QLabel { color: red; }" : QString());
}

QObject* MainWindow::control(Control c) const {
  if (c == Control::Form1) return const_cast<MainWindow*>(this);
  const std::string_view name = controlName(c);
  QObject* o =
      findChild<QObject*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  if (!o) qFatal("MainWindow: no widget for the control %s", std::string(name).c_str());
  return o;
}

void MainWindow::setCaption(Control name, const std::string& text) {
  const QString t = QString::fromStdString(text);
  QObject* o = control(name);
  if (o == this) {
    setWindowTitle(t);
  } else if (auto* a = qobject_cast<QAction*>(o)) {
    a->setText(t);
  } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
    b->setText(t);
  } else if (auto* g = qobject_cast<QGroupBox*>(o)) {
    g->setTitle(t);
  } else if (auto* l = qobject_cast<QLabel*>(o)) {
    l->setText(t);
  }
}

void MainWindow::setHint(Control name, const std::string& text) {
  QObject* o = control(name);
  if (auto* a = qobject_cast<QAction*>(o)) {
    a->setToolTip(QString::fromStdString(text));
  } else if (auto* w = qobject_cast<QWidget*>(o)) {
    w->setToolTip(QString::fromStdString(text));
  }
}

void MainWindow::setEnabled(Control name, bool enabled) {
  if (name == Control::Edit1) upDown1_->setEnabled(enabled);  // the field and its arrows
  QObject* o = control(name);
  if (auto* a = qobject_cast<QAction*>(o)) a->setEnabled(enabled);
  if (auto* w = qobject_cast<QWidget*>(o)) w->setEnabled(enabled);
}

void MainWindow::setChecked(Control name, bool checked) {
  QObject* o = control(name);
  if (auto* a = qobject_cast<QAction*>(o)) a->setChecked(checked);
  if (auto* b = qobject_cast<QAbstractButton*>(o)) b->setChecked(checked);
}

bool MainWindow::isChecked(Control name) const {
  QObject* o = control(name);
  if (auto* a = qobject_cast<QAction*>(o)) return a->isChecked();
  if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->isChecked();
  return false;
}

void MainWindow::setEmphasized(Control name, bool emphasized) {
  auto* w = qobject_cast<QWidget*>(control(name));
  if (!w) return;
  QFont f = w->font();
  f.setBold(emphasized);
  w->setFont(f);
  // The option group styles its buttons by style sheet, so the emphasis is one too.
  w->setStyleSheet(emphasized ? "color: red; font-weight: bold;" : "");
}

void MainWindow::showSlot(int i, const std::string& caption, const std::string& folder) {
  QPushButton* b = slots_[i - 1];
  b->setText(QString::fromStdString(caption));
  const QString key = QString("F%1").arg(i);
  b->setToolTip(folder.empty() ? key : QString::fromStdString(folder) + "  [" + key + "]");
}

std::string MainWindow::intervalText() const { return intervalText_; }

void MainWindow::setViewPosition(int position) {
  auto* edit = find<QLineEdit>(Control::Edit1);
  edit->setText(QString::number(position));
  edit->setModified(false);
}

std::string MainWindow::viewPositionText() const {
  return find<QLineEdit>(Control::Edit1)->text().toStdString();
}

bool MainWindow::viewPositionTyped() const { return find<QLineEdit>(Control::Edit1)->isModified(); }

void MainWindow::focusViewPosition() { find<QLineEdit>(Control::Edit1)->setFocus(); }

int MainWindow::intervalSeconds() const { return find<QSpinBox>(Control::Edit2)->value(); }

void MainWindow::setMainMenuEnabled(bool enabled) { mainMenuEnabled_ = enabled; }

void MainWindow::setSlotMenuEnabled(bool enabled) { slotMenuEnabled_ = enabled; }

void MainWindow::setSubfolderAlert(bool red) {
  find<QPushButton>(Control::SubDchkBox)->setStyleSheet(red ? "QPushButton { color: red; }" : "");
}

void MainWindow::setIntervalText(const std::string& text) {
  auto* edit = find<QSpinBox>(Control::Edit2);
  bool ok = false;
  const int v = QString::fromStdString(text).trimmed().toInt(&ok);
  if (ok) edit->setValue(v);
  // The field keeps the text as read, also one the spin box cannot show, until it is changed.
  intervalText_ = text;
}

}  // namespace sortelia::app
