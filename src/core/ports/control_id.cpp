#include "core/ports/control_id.h"

namespace sortelia {
namespace {

constexpr std::array<std::string_view, kControlCount> kNames = {
    "Form1",     "RadioGroup1", "RadioButton1", "RadioButton2", "RadioButton3", "Edit4",
    "CheckDATE", "Button14",    "CheckInfo",    "CheckView",    "Edit1",        "Label1",
    "CheckShow", "Edit2",       "Label2",       "SpeedButton1", "Button13",     "SubDchkBox",
    "Button1",   "Button2",     "Button3",      "Button4",      "Button5",      "Button6",
    "Button7",   "Button8",     "Button9",      "Button10",     "Button11",     "Button12",
    "Undo1",     "Open1",       "Option1",      "Help1",        "Version1",     "stretchsave1",
    "Browse1",   "Print1",      "rot090",       "rot180",       "rot270",       "End1",
    "SetBox1",   "CancelBox1",  "ClearALL1",    "MoveFolder1",
};

}  // namespace

std::array<Control, kControlCount> allControls() {
  std::array<Control, kControlCount> all{};
  for (int i = 0; i < kControlCount; ++i) all[i] = static_cast<Control>(i);
  return all;
}

std::string_view controlName(Control c) {
  const int i = static_cast<int>(c);
  return i >= 0 && i < kControlCount ? kNames[i] : std::string_view{};
}

}  // namespace sortelia
