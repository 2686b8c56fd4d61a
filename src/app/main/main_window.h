// TForm1: the main window. Builds the widgets of the window design (named as in the design),
// renders what the sorting session tells it through the MainView port, and forwards input.
// Its units by job: main_window.cpp (construction and the ports), main_layout.cpp (the widgets),
// window_frame_placement.cpp (bounds and frame) and slot_pointing.cpp (the pointed slot).
#pragma once

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main/display_area.h"
#include "core/ports/main_view.h"
#include "core/ports/viewer_panel.h"

namespace sortelia::app {

// The client rectangle inside a window frame with the given margins.
QRect clientRectForFrame(const QRect& frame, const QMargins& margins);

class MainWindow : public QMainWindow, public MainView, public ViewerPanel {
  Q_OBJECT
 public:
  explicit MainWindow(QWidget* parent = nullptr);

  // The widget or menu item of a control, for wiring (as control(), typed).
  template <typename T>
  T* find(Control c) const {
    return qobject_cast<T*>(control(c));
  }

  // Called once, after the window is first shown (the first activation).
  std::function<void()> onFirstActivation;
  // Called when the window is closing, before it goes.
  std::function<void()> onClose;
  // The pointer moved over (or right-pressed on) slot i; 0: over a control that forgets it.
  std::function<void(int slot)> onPointedSlot;
  // A left click on slot i, or its key F1..F12.
  std::function<void(int slot)> onSlotClicked;
  // Local paths dropped onto the window (the pointed slot was updated while dragging).
  std::function<void(const std::vector<std::string>& paths)> onDrop;

  QLabel* statusLabel() const { return status_; }
  DisplayArea* displayArea() const { return panel1_; }
  QString statusText() const { return status_->text(); }
  QPushButton* slotButton(int i) const { return slots_[i - 1]; }
  QMenu* popupMenu1() const { return popup1_; }
  QMenu* popupMenu2() const { return popup2_; }
  // Brings the window to the front, restoring it when minimized.
  void bringToFront();

  // MainView
  void showEntry(int n, const std::string& entry, const std::string& path) override;
  void clearPicture() override;
  void setCaption(Control control, const std::string& text) override;
  void setHint(Control control, const std::string& text) override;
  void setEnabled(Control control, bool enabled) override;
  void setChecked(Control control, bool checked) override;
  bool isChecked(Control control) const override;
  void setEmphasized(Control control, bool emphasized) override;
  void showSlot(int i, const std::string& caption, const std::string& folder) override;
  WindowBounds normalBounds() const override;
  void setBounds(const WindowBounds& b) override;
  bool isMaximized() const override;
  void setMaximized(bool maximized) override;
  void showPicture(std::shared_ptr<const imaging::Bitmap> picture) override;
  int displayHeight() const override;
  int displayWidth() const override;
  void setPictureRect(const Rect& r) override;
  void setScreenPicture(std::shared_ptr<const imaging::Bitmap> screen) override;
  void setDateOverlay(const std::string& date, const std::string& size) override;
  void setDateOverlayVisible(bool visible) override;
  void setDeletionOverlay(bool visible) override;
  int deletionLabelHeight() const override;
  void showMovieButton(const std::string& caption, const Rect& r) override;
  void hideMovieButton() override;
  void setCommentFieldVisible(bool visible) override;
  bool commentFieldVisible() const override;
  std::string commentText() const override;
  void setCommentText(const std::string& text) override;
  void focusCommentField() override;
  void setCommentFieldRect(const Rect& r) override;
  void setCommentFieldReadOnly(bool readOnly) override;
  void setStatusAlert(bool red) override;
  std::string intervalText() const override;
  void setIntervalText(const std::string& text) override;
  // ViewerPanel
  void setViewPosition(int position) override;
  std::string viewPositionText() const override;
  bool viewPositionTyped() const override;
  void focusViewPosition() override;
  int intervalSeconds() const override;
  void setMainMenuEnabled(bool enabled) override;
  void setSlotMenuEnabled(bool enabled) override;
  void setSubfolderAlert(bool red) override;
  // The arrows of Edit1: UpDown1Down (left, -1) and UpDown1Up (right, +1).
  QWidget* upDown1() const { return upDown1_; }

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  QWidget* buildButtonColumn();
  QWidget* buildSlotPanel();
  void buildMenus();
  // Slot pointing: the slot menu, the pointer over the slots, a slot's click and its key.
  void pointSlots();
  // The widget or menu item of a control identity; every identity has one (asserted).
  QObject* control(Control c) const;
  QMargins frameMargins() const;
  // Places the frame rectangle asked for by setBounds, as far as the frame is known.
  void applyPendingFrame();
  void watchFrame();
  void trackPointer();
  // The slot (1..12) whose button is at a point of the window, 0 for a control that resets
  // the pointed slot, -1 for anything else.
  int slotAt(const QPoint& windowPos) const;

  DisplayArea* panel1_ = nullptr;
  QLabel* status_ = nullptr;
  std::array<QPushButton*, 12> slots_{};
  QMenu* popup1_ = nullptr;
  QMenu* popup2_ = nullptr;
  bool activated_ = false;
  std::optional<QRect> pendingFrame_;  // frame rectangle still to be placed exactly
  QTimer frameWatch_;                  // looks for the window manager's frame meanwhile
  int frameChecks_ = 0;
  std::string intervalText_ = "3";
  QWidget* upDown1_ = nullptr;
  bool mainMenuEnabled_ = true;
  bool slotMenuEnabled_ = true;
};

}  // namespace sortelia::app
