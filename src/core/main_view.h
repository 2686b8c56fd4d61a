// The main window's view port: what the sorting session tells the window to show, and the
// few window properties it reads back. Controls are named as in the window design
// ("CheckView", "Button13", ...).
#pragma once

#include <string>

namespace sortelia {

// Window bounds in pixels.
struct WindowBounds {
  int top = 108;
  int left = 250;
  int height = 603;
  int width = 545;
  bool operator==(const WindowBounds&) const = default;
};

class MainView {
 public:
  virtual ~MainView() = default;

  // Shows entry n (1-based) of the image list; entry is the list text, path the file.
  virtual void showEntry(int n, const std::string& entry, const std::string& path) = 0;
  // Empties the display area.
  virtual void clearPicture() = 0;
  // Clears the date overlay and hides the deletion overlay.
  virtual void resetOverlays() = 0;

  // Caption of a named control, menu item or window ("CheckInfo", "Undo1", "Form1").
  virtual void setCaption(const std::string& control, const std::string& text) = 0;
  // Tooltip (hint) of a named control.
  virtual void setHint(const std::string& control, const std::string& text) = 0;
  virtual void setEnabled(const std::string& control, bool enabled) = 0;
  virtual void setChecked(const std::string& control, bool checked) = 0;
  virtual bool isChecked(const std::string& control) const = 0;

  // Destination slot i (1..12): its caption and folder path (the tooltip shows the folder).
  virtual void showSlot(int i, const std::string& caption, const std::string& folder) = 0;

  // Normal (not maximized) bounds of the main window.
  virtual WindowBounds normalBounds() const = 0;
  virtual void setBounds(const WindowBounds& b) = 0;
  virtual bool isMaximized() const = 0;
  virtual void setMaximized(bool maximized) = 0;

  // Text of the slide-show interval field Edit2.
  virtual std::string intervalText() const = 0;
  virtual void setIntervalText(const std::string& text) = 0;
};

}  // namespace sortelia
