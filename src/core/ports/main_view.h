// The main window's view ports, split by role: the picture view, the control panel, the slot
// panel, the comment field and the window frame. Each core unit takes only the roles it uses;
// the main window implements them all (MainView). Controls are named by their typed identity.
#pragma once

#include <memory>
#include <string>

#include "core/ports/control_id.h"
#include "imaging/bitmap.h"
#include "imaging/rect.h"

namespace sortelia {

// Window bounds in pixels.
struct WindowBounds {
  int top = 108;
  int left = 250;
  int height = 603;
  int width = 545;
  bool operator==(const WindowBounds&) const = default;
};

// The display area Panel1: the picture, its overlays and the movie button.
class PictureView {
 public:
  virtual ~PictureView() = default;
  // Shows entry n (1-based) of the image list; entry is the list text, path the file.
  virtual void showEntry(int n, const std::string& entry, const std::string& path) = 0;
  // Empties the display area.
  virtual void clearPicture() = 0;
  // The picture of the display area; null empties it. The view keeps the pointer, so one
  // decoded bitmap serves both the session and the screen.
  virtual void showPicture(std::shared_ptr<const imaging::Bitmap> picture) = 0;
  // Height and width of the display area Panel1.
  virtual int displayHeight() const = 0;
  virtual int displayWidth() const = 0;
  // Where the picture control Image1 stands in the display area (it scales to fill it).
  virtual void setPictureRect(const Rect& r) = 0;
  // The picture already scaled to the size of Image1, painted as it is; null when there is
  // none (the view then scales the picture itself).
  virtual void setScreenPicture(std::shared_ptr<const imaging::Bitmap> screen) = 0;
  // The date overlay: dateLBL1 with its shadow dateLBL2, and sizeLBL; placed by the view.
  virtual void setDateOverlay(const std::string& date, const std::string& size) = 0;
  virtual void setDateOverlayVisible(bool visible) = 0;
  // The deletion overlay: DelLbl and Shape1.
  virtual void setDeletionOverlay(bool visible) = 0;
  // Height of DelLbl, the unit of the movie button's placement.
  virtual int deletionLabelHeight() const = 0;
  // The movie button BitBtn1 with its four-line caption (lines joined by CR LF).
  virtual void showMovieButton(const std::string& caption, const Rect& r) = 0;
  virtual void hideMovieButton() = 0;
};

// The buttons, check boxes, fields and menu items of the window, by identity.
class ControlPanel {
 public:
  virtual ~ControlPanel() = default;
  // Caption of a control, menu item or window (Control::Form1 is the window's title).
  virtual void setCaption(Control control, const std::string& text) = 0;
  // Tooltip (hint) of a control.
  virtual void setHint(Control control, const std::string& text) = 0;
  virtual void setEnabled(Control control, bool enabled) = 0;
  virtual void setChecked(Control control, bool checked) = 0;
  virtual bool isChecked(Control control) const = 0;
  // Text of a control in red bold (emphasized) or in the normal colour and weight.
  virtual void setEmphasized(Control control, bool emphasized) = 0;
  // Text of the slide-show interval field Edit2.
  virtual std::string intervalText() const = 0;
  virtual void setIntervalText(const std::string& text) = 0;
};

// The twelve destination slots.
class SlotPanel {
 public:
  virtual ~SlotPanel() = default;
  // Destination slot i (1..12): its caption and folder path (the tooltip shows the folder).
  virtual void showSlot(int i, const std::string& caption, const std::string& folder) = 0;
};

// The comment field Edit3 on the display area.
class CommentField {
 public:
  virtual ~CommentField() = default;
  virtual void setCommentFieldVisible(bool visible) = 0;
  virtual bool commentFieldVisible() const = 0;
  virtual std::string commentText() const = 0;
  virtual void setCommentText(const std::string& text) = 0;
  // Gives Edit3 the keyboard focus with its whole text selected.
  virtual void focusCommentField() = 0;
  virtual void setCommentFieldRect(const Rect& r) = 0;
  // A read-only field shows a note and takes no text.
  virtual void setCommentFieldReadOnly(bool readOnly) = 0;
};

// The window itself: its bounds and the status bar's colour.
class WindowFrame {
 public:
  virtual ~WindowFrame() = default;
  // Normal (not maximized) bounds of the main window.
  virtual WindowBounds normalBounds() const = 0;
  virtual void setBounds(const WindowBounds& b) = 0;
  virtual bool isMaximized() const = 0;
  virtual void setMaximized(bool maximized) = 0;
  // Status bar text in red (comment editing on) or in the normal colour.
  virtual void setStatusAlert(bool red) = 0;
};

// Every role of the main window in one interface, as the window implements them.
class MainView : public PictureView,
                 public ControlPanel,
                 public SlotPanel,
                 public CommentField,
                 public WindowFrame {};

}  // namespace sortelia
