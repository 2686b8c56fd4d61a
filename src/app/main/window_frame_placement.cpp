// Frame placement: the window's bounds as the design keeps them (the frame's rectangle), placed
// again once the window manager has framed the window; maximizing, and coming to the front.
#include <QWindow>
#include <algorithm>

#include "app/main/main_window.h"

namespace sortelia::app {

void MainWindow::bringToFront() {
  if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
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

}  // namespace sortelia::app
