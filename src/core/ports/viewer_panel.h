// The viewer's controls of the main window that the plain control panel cannot express: the
// position field Edit1 with its arrows UpDown1, the slide-show interval UpDown2, the switches
// of the two popup menus, and the subfolder button's red text.
#pragma once

#include <string>

namespace sortelia {

class ViewerPanel {
 public:
  virtual ~ViewerPanel() = default;
  // Edit1 shows position as text; the field no longer counts as typed in.
  virtual void setViewPosition(int position) = 0;
  // Edit1's text, and whether the person typed in it since it was last set.
  virtual std::string viewPositionText() const = 0;
  virtual bool viewPositionTyped() const = 0;
  // Gives Edit1 the keyboard focus.
  virtual void focusViewPosition() = 0;
  // The position of UpDown2: seconds between the pictures of a slide show.
  virtual int intervalSeconds() const = 0;
  // Whether a right click opens the main popup menu PopupMenu1 and the slot menu PopupMenu2.
  virtual void setMainMenuEnabled(bool enabled) = 0;
  virtual void setSlotMenuEnabled(bool enabled) = 0;
  // SubDchkBox's text in red (the button is down) or in the normal colour.
  virtual void setSubfolderAlert(bool red) = 0;
};

}  // namespace sortelia
