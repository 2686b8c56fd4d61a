// Slot pointing: which destination slot the pointer is over (moving, right-pressing or dragging
// onto it), the slot menu on a slot or on the buttons that share it, a slot's click and its key,
// and the drop of files onto the window.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QUrl>

#include "app/main/control_object_name.h"
#include "app/main/main_window.h"

namespace sortelia::app {
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
    for (Control c : kResettingControls) n << objectNameOf(c);
    for (const char* part : kResettingParts) n << part;
    return n;
  }();
  return names;
}

}  // namespace

void MainWindow::pointSlots() {
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
  trackPointer();
  for (int i = 0; i < 12; ++i) {
    connect(slots_[i], &QPushButton::clicked, this, [this, i] {
      if (onSlotClicked) onSlotClicked(i + 1);
    });
    // F1..F12 act as a left click on slots 1..12 while the slot is enabled, once per press:
    // the repeats of a held key would sort pictures the person has not seen.
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1 + i), this);
    key->setAutoRepeat(false);
    connect(key, &QShortcut::activated, this, [this, i] {
      if (slots_[i]->isEnabled() && slots_[i]->isVisible()) slots_[i]->click();
    });
  }
}

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

}  // namespace sortelia::app
