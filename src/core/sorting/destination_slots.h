// The twelve destination slots: which one the slot commands act on, binding a folder by dialog
// or by a drop, unbinding one or all, and making a slot's folder the source folder.
#pragma once

#include <string>
#include <vector>

#include "core/session/sorting_session.h"

namespace sortelia {

class DestinationSlots {
 public:
  explicit DestinationSlots(SortingSession& session) : session_(session) {}

  // PointedSlot: 1..12, or 0 for none.
  int PointedSlot() const { return pointed_; }
  // Button1MouseMove / Button1MouseDown: the pointer is over slot i (1..12).
  void pointAt(int slot) { pointed_ = (slot >= 1 && slot <= kSlotCount) ? slot : 0; }
  // Panel3MouseMove and AppDeactivate: no slot is pointed at.
  void resetPointed() { pointed_ = 0; }

  // SetBox1Click: binds the pointed slot to the folder of a file picked in the open dialog.
  void SetBox1Click();
  // SetFldNamOnBTN: binds the pointed slot to the folder that contains path.
  void SetFldNamOnBTN(const std::string& path);
  // RegBtnChkRewrite: asks whether the bound pointed slot may be rebound; true on Yes.
  bool RegBtnChkRewrite();
  // CancelBox1Click: unbinds the pointed slot after a question.
  void CancelBox1Click();
  // ClearALL1Click: unbinds every slot after a question.
  void ClearALL1Click();
  // MoveFolder1Click: makes the pointed slot's folder the source folder and rescans.
  void MoveFolder1Click();
  // A drop of files or folders from a file manager: the first path binds the pointed slot.
  void dropPaths(const std::vector<std::string>& paths);
  // PopupMenu2Popup: the slot menu's help text in the information window.
  void PopupMenu2Popup();

 private:
  Slot* pointed();

  SortingSession& session_;
  int pointed_ = 0;
};

}  // namespace sortelia
