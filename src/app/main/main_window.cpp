#include "app/main/main_window.h"
#include "app/main/button_column.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "core/state/window_caption.h"

namespace sortelia::app {
namespace {

constexpr int kColumnWidth = 85;
constexpr int kSlotWidth = 79;
constexpr int kSlotHeight = 21;

QString nameOf(Control c) { return QString::fromUtf8(controlName(c).data()); }

template <typename W, typename Name>
W* named(W* w, Name name, const QString& text = {}) {
  if constexpr (std::is_same_v<Name, Control>) {
    w->setObjectName(nameOf(name));
  } else {
    w->setObjectName(name);
  }
  if constexpr (std::is_base_of_v<QAbstractButton, W> || std::is_base_of_v<QLabel, W>) {
    if (!text.isNull()) w->setText(text);
  }
  return w;
}

QSpinBox* spinBox(Control name, int min, int max, int value) {
  auto* s = new QSpinBox;
  s->setObjectName(nameOf(name));
  s->setAccessibleName(s->objectName());  // a field without a caption goes by its name
  s->setRange(min, max);
  s->setValue(value);
  s->setFixedHeight(21);
  return s;
}

// Top of slot i (0-based): three groups of four, 21 pixels apart inside a group and
// 24 pixels from the last of a group to the first of the next.
int slotTop(int i) { return (i / 4) * (3 * kSlotHeight + 24) + (i % 4) * kSlotHeight; }

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(nameOf(Control::Form1));
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  panel1_ = new DisplayArea(central);
  row->addWidget(panel1_, 1);
  row->addWidget(buildButtonColumn());
  setCentralWidget(central);

  status_ = named(new QLabel, "StatusBar1");
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(true);
  buildMenus();
  trackPointer();
  setAcceptDrops(true);
  for (int i = 0; i < 12; ++i) {
    connect(slots_[i], &QPushButton::clicked, this, [this, i] {
      if (onSlotClicked) onSlotClicked(i + 1);
    });
    // F1..F12 act as a left click on slots 1..12 while the slot is enabled.
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1 + i), this);
    connect(key, &QShortcut::activated, this, [this, i] {
      if (slots_[i]->isEnabled() && slots_[i]->isVisible()) slots_[i]->click();
    });
  }
  setWindowTitle(kProductTitle);
  setGeometry(250, 108, 545, 603);
  connect(&frameWatch_, &QTimer::timeout, this, &MainWindow::watchFrame);
}

QWidget* MainWindow::buildButtonColumn() {
  auto* panel2 = named(new QWidget, "Panel2");
  panel2->setFixedWidth(kColumnWidth);
  auto* col = new QVBoxLayout(panel2);
  col->setContentsMargins(3, 2, 3, 2);
  col->setSpacing(2);

  auto* group = named(new QGroupBox("リサイズOP"), Control::RadioGroup1);
  QFont small = group->font();
  small.setPixelSize(11);
  group->setFont(small);
  group->setFixedHeight(42);
  auto* radios = new QHBoxLayout(group);
  radios->setContentsMargins(2, 1, 2, 0);
  radios->setSpacing(0);
  // Three options side by side in 85 pixels: small indicators, a pixel before the text.
  group->setStyleSheet(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 12px; }"
      "QGroupBox::title { subcontrol-origin: margin; left: 3px; padding: 0px; }"
      "QGroupBox { font-size: 11px; } QRadioButton { font-size: 10px; spacing: 1px; }"
      "QRadioButton::indicator { width: 8px; height: 8px; }");
  const Control names[] = {Control::RadioButton1, Control::RadioButton2, Control::RadioButton3};
  const char* const texts[] = {"OG", "2M", "1M"};
  const char* const hints[] = {"オリジナルサイズで", "２メガ相当1600x1200", "１メガ相当1280x960"};
  for (int i = 0; i < 3; ++i) {
    auto* r = named(new QRadioButton, names[i], texts[i]);
    r->setToolTip(hints[i]);
    r->setChecked(i == 0);
    radios->addWidget(r);
  }
  col->addWidget(group);

  auto* quality = spinBox(Control::Edit4, 1, 10, 7);
  quality->setToolTip("圧縮率(標準は８かな？)");
  col->addWidget(quality);

  col->addWidget(buildSlotPanel());

  auto* checkDate = named(new QCheckBox, Control::CheckDATE, "日");
  checkDate->setToolTip("日時の表示");
  col->addWidget(checkDate);
  col->addWidget(named(new QPushButton, Control::Button14, "Browse"));
  col->addWidget(named(new QCheckBox, Control::CheckInfo, "Photo Info."));
  col->addWidget(named(new QCheckBox, Control::CheckView, "Viewer"));
  // Edit1 takes any text (a typed number is clamped, anything else put back, on Enter); its
  // horizontal arrows UpDown1 step the position by one.
  auto* viewRow = new QHBoxLayout;
  viewRow->setSpacing(0);
  auto* viewPos = new QLineEdit("0");
  viewPos->setObjectName(nameOf(Control::Edit1));
  viewPos->setAccessibleName("Edit1");
  viewPos->setFixedHeight(21);
  viewPos->setEnabled(false);
  viewRow->addWidget(viewPos, 1);
  upDown1_ = new QWidget;
  upDown1_->setObjectName("UpDown1");
  auto* arrows = new QHBoxLayout(upDown1_);
  arrows->setContentsMargins(0, 0, 0, 0);
  arrows->setSpacing(0);
  for (auto [name, type] :
       {std::pair{"UpDown1Down", Qt::LeftArrow}, {"UpDown1Up", Qt::RightArrow}}) {
    auto* b = new QToolButton;
    b->setObjectName(name);
    b->setArrowType(type);
    b->setAccessibleName(type == Qt::LeftArrow ? "UpDown1 -" : "UpDown1 +");
    b->setFixedSize(14, 21);
    arrows->addWidget(b);
  }
  upDown1_->setEnabled(false);
  viewRow->addWidget(upDown1_);
  col->addLayout(viewRow);
  auto* label1 = named(new QLabel, Control::Label1, "( 000 - 000 )");
  label1->setEnabled(false);
  col->addWidget(label1);
  auto* checkShow = named(new QCheckBox, Control::CheckShow, "Slide Show");
  checkShow->setEnabled(false);
  col->addWidget(checkShow);
  auto* intervalRow = new QHBoxLayout;
  auto* interval = spinBox(Control::Edit2, 1, 600, 3);
  interval->findChild<QLineEdit*>()->setReadOnly(true);  // arrows only
  interval->setEnabled(false);
  connect(interval, &QSpinBox::valueChanged, this,
          [this, interval] { intervalText_ = interval->text().toStdString(); });
  intervalRow->setSpacing(2);
  interval->setFixedWidth(48);
  intervalRow->addWidget(interval);
  auto* label2 = named(new QLabel, Control::Label2, "Sec.");
  label2->setEnabled(false);
  intervalRow->addWidget(label2);
  col->addLayout(intervalRow);
  auto* cmt = named(new QPushButton, Control::SpeedButton1, "CMT Edit");
  cmt->setCheckable(true);
  col->addWidget(cmt);
  col->addWidget(named(new QPushButton, Control::Button13, "Delete"));
  auto* sub = named(new QPushButton, Control::SubDchkBox, "サブフォルダ");
  sub->setCheckable(true);
  sub->setToolTip("サブホルダ内の画像も整理対称にする。");
  col->addWidget(sub);
  col->addStretch(1);
  finishButtonColumn(panel2);
  return panel2;
}

QWidget* MainWindow::buildSlotPanel() {
  auto* panel3 = named(new QWidget, "Panel3");
  panel3->setFixedSize(kSlotWidth, slotTop(11) + kSlotHeight);
  for (int i = 0; i < 12; ++i) {
    auto* b = new QPushButton(panel3);
    b->setObjectName(nameOf(slotControl(i + 1)));
    b->setGeometry(0, slotTop(i), kSlotWidth, kSlotHeight);
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    b->setToolTip(QString("F%1").arg(i + 1));
    slots_[i] = b;
  }
  return panel3;
}

void MainWindow::buildMenus() {
  popup1_ = new QMenu(this);
  popup1_->setObjectName("PopupMenu1");
  auto add = [this](QMenu* menu, Control name, const char* text, const char* key = nullptr) {
    auto* a = new QAction(text, this);
    a->setObjectName(nameOf(name));
    if (key) {
      a->setShortcut(QKeySequence(key));
      addAction(a);  // shortcuts work without opening the menu
    }
    menu->addAction(a);
    return a;
  };
  add(popup1_, Control::Undo1, "Undo", "Ctrl+Z");
  popup1_->addSeparator();
  add(popup1_, Control::Open1, "Open", "Ctrl+O");
  add(popup1_, Control::Option1, "Option", "Ctrl+T");
  add(popup1_, Control::Help1, "Help", "Ctrl+H");
  add(popup1_, Control::Version1, "Version", "Ctrl+N");
  popup1_->addSeparator();
  add(popup1_, Control::stretchsave1, "Stretch Save", "Ctrl+S");
  add(popup1_, Control::Browse1, "Browse", "Ctrl+B");
  popup1_->addSeparator();
  add(popup1_, Control::Print1, "Print", "Ctrl+P");
  add(popup1_, Control::rot090, "回転(90)");
  add(popup1_, Control::rot180, "回転(180)");
  add(popup1_, Control::rot270, "回転(270)");
  popup1_->addSeparator();
  QAction* end = add(popup1_, Control::End1, "End", "Ctrl+Q");
  connect(end, &QAction::triggered, this, &QWidget::close);

  popup2_ = new QMenu(this);
  popup2_->setObjectName("PopupMenu2");
  add(popup2_, Control::SetBox1, "Set Folder");
  popup2_->addSeparator();
  add(popup2_, Control::CancelBox1, "Clear");
  add(popup2_, Control::ClearALL1, "Clear ALL");
  popup2_->addSeparator();
  add(popup2_, Control::MoveFolder1, "Move to This Folder");
  for (auto* b : slots_) {
    connect(b, &QWidget::customContextMenuRequested, this, [this, b](const QPoint& p) {
      if (slotMenuEnabled_) popup2_->popup(b->mapToGlobal(p));
    });
  }
  for (Control c : {Control::Button13, Control::Button14}) {
    auto* b = find<QPushButton>(c);
    b->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(b, &QWidget::customContextMenuRequested, this, [this, b](const QPoint& p) {
      if (slotMenuEnabled_) popup2_->popup(b->mapToGlobal(p));
    });
  }
}

void MainWindow::contextMenuEvent(QContextMenuEvent* e) {
  if (mainMenuEnabled_) popup1_->popup(e->globalPos());
}

namespace {

// Controls over which the pointer makes the window forget the pointed slot.
const Control kResettingControls[] = {Control::CheckInfo, Control::CheckView, Control::Edit1,
                                      Control::Label1,    Control::CheckShow, Control::Edit2,
                                      Control::Label2};
// Layout parts of the design, which have no control identity.
const char* const kResettingParts[] = {"Panel1", "Panel2", "Panel3", "Image1", "StatusBar1"};

const QStringList& resettingNames() {
  static const QStringList names = [] {
    QStringList n;
    for (Control c : kResettingControls) n << nameOf(c);
    for (const char* part : kResettingParts) n << part;
    return n;
  }();
  return names;
}

}  // namespace

void MainWindow::trackPointer() {
  setMouseTracking(true);
  centralWidget()->setMouseTracking(true);
  statusBar()->setMouseTracking(true);
  statusBar()->installEventFilter(this);
  for (auto* b : slots_) {
    b->setMouseTracking(true);
    b->installEventFilter(this);
  }
  for (const QString& name : resettingNames()) {
    if (auto* w = findChild<QWidget*>(name)) {
      w->setMouseTracking(true);
      w->installEventFilter(this);
    }
  }
}

int MainWindow::slotAt(const QPoint& windowPos) const {
  QWidget* w = childAt(windowPos);
  for (; w; w = w->parentWidget()) {
    for (int i = 0; i < 12; ++i) {
      if (w == slots_[i]) return i + 1;
    }
    if (resettingNames().contains(w->objectName())) return 0;
    if (w == statusBar() || w == this) return 0;
  }
  return -1;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  const bool move = e->type() == QEvent::MouseMove;
  const bool rightPress = e->type() == QEvent::MouseButtonPress &&
                          static_cast<QMouseEvent*>(e)->button() == Qt::RightButton;
  if ((move || rightPress) && onPointedSlot) {
    int slot = 0;
    for (int i = 0; i < 12; ++i) {
      if (watched == slots_[i]) slot = i + 1;
    }
    if (slot != 0 || move) onPointedSlot(slot);
  }
  return QMainWindow::eventFilter(watched, e);
}

void MainWindow::mouseMoveEvent(QMouseEvent* e) {
  if (onPointedSlot) onPointedSlot(0);
  QMainWindow::mouseMoveEvent(e);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* e) {
  // No mouse moves arrive while dragging: follow the drag to know the slot under it.
  const int slot = slotAt(e->position().toPoint());
  if (slot >= 0 && onPointedSlot) onPointedSlot(slot);
  e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
  std::vector<std::string> paths;
  for (const QUrl& url : e->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  }
  e->acceptProposedAction();
  if (!paths.empty() && onDrop) onDrop(paths);
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

void MainWindow::bringToFront() {
  if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
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

QMargins MainWindow::frameMargins() const {
  // The window manager's frame around the client area; none before it is known (or without a
  // window manager, as offscreen).
  const QWindow* handle = windowHandle();
  return handle ? handle->frameMargins() : QMargins();
}

QRect clientRectForFrame(const QRect& frame, const QMargins& margins) {
  return frame.marginsRemoved(margins);
}

WindowBounds MainWindow::normalBounds() const {
  // The frame's rectangle, as the design keeps it (545 x 603 is the frame); a maximized window
  // reports its normal bounds.
  const QRect client = (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
                           ? normalGeometry()
                           : geometry();
  const QRect frame = client.marginsAdded(frameMargins());
  return {frame.top(), frame.left(), frame.height(), frame.width()};
}

void MainWindow::setBounds(const WindowBounds& b) {
  // Values come from a file the person may have edited: keep them in a range the window
  // system can take.
  const int w = std::clamp(b.width, 100, 16000);
  const int h = std::clamp(b.height, 100, 16000);
  pendingFrame_ = QRect(std::clamp(b.left, -16000, 16000), std::clamp(b.top, -16000, 16000), w, h);
  applyPendingFrame();
}

void MainWindow::applyPendingFrame() {
  if (!pendingFrame_) return;
  const QMargins m = frameMargins();
  setGeometry(clientRectForFrame(*pendingFrame_, m));
  // Once the frame is known the rectangle is placed for good. Until then it is placed as if
  // there were no frame, and placed again as soon as the window manager has framed the window:
  // it does so without telling the window, so the window looks for a while (without a window
  // manager there is never a frame, and the rectangle placed first stands).
  if (!m.isNull()) {
    pendingFrame_.reset();
    return;
  }
  if (!frameWatch_.isActive() && isVisible()) {
    frameChecks_ = 0;
    frameWatch_.start(25);
  }
}

void MainWindow::watchFrame() {
  if (!pendingFrame_ || ++frameChecks_ > 120) {
    frameWatch_.stop();
    return;
  }
  if (!frameMargins().isNull()) {
    frameWatch_.stop();
    applyPendingFrame();
  }
}

bool MainWindow::event(QEvent* e) {
  const bool r = QMainWindow::event(e);
  if (pendingFrame_ &&
      (e->type() == QEvent::Move || e->type() == QEvent::Resize || e->type() == QEvent::Show) &&
      !frameMargins().isNull()) {
    applyPendingFrame();
  }
  return r;
}

bool MainWindow::isMaximized() const { return windowState() & Qt::WindowMaximized; }

void MainWindow::setMaximized(bool maximized) {
  setWindowState(maximized ? (windowState() | Qt::WindowMaximized)
                           : (windowState() & ~Qt::WindowMaximized));
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
