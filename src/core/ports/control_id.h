// The controls of the main window's design, by a typed identity. Core names a control only
// through this enum, so a misspelt name does not compile; the Qt side maps each identity to
// the widget or menu item of that object name and asserts that it exists.
#pragma once

#include <array>
#include <string_view>

namespace sortelia {

enum class Control {
  Form1,
  // The button column.
  RadioGroup1,
  RadioButton1,
  RadioButton2,
  RadioButton3,
  Edit4,
  CheckDATE,
  Button14,
  CheckInfo,
  CheckView,
  Edit1,
  Label1,
  CheckShow,
  Edit2,
  Label2,
  SpeedButton1,
  Button13,
  SubDchkBox,
  // The twelve destination slots, in order.
  Button1,
  Button2,
  Button3,
  Button4,
  Button5,
  Button6,
  Button7,
  Button8,
  Button9,
  Button10,
  Button11,
  Button12,
  // The main menu.
  Undo1,
  Open1,
  Option1,
  Help1,
  Version1,
  stretchsave1,
  Browse1,
  Print1,
  rot090,
  rot180,
  rot270,
  End1,
  // The slot menu.
  SetBox1,
  CancelBox1,
  ClearALL1,
  MoveFolder1,
};

// Every control, in the order above.
inline constexpr int kControlCount = static_cast<int>(Control::MoveFolder1) + 1;
std::array<Control, kControlCount> allControls();

// The design's object name of a control ("CheckInfo", "Button7", "rot090").
std::string_view controlName(Control c);

// The control of destination slot i (1..12).
constexpr Control slotControl(int i) {
  return static_cast<Control>(static_cast<int>(Control::Button1) + i - 1);
}

}  // namespace sortelia
