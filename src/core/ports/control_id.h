// The controls of the main window's design, by a typed identity. Core names a control only
// through this enum, so a misspelt name does not compile; the Qt side maps each identity to
// the widget or menu item of that object name and asserts that it exists.
#pragma once

#include <array>
#include <string_view>

namespace sortelia {

// Each enumerator names its caption, Japanese / English where the language switches it (the
// table of core/session/control_captions), else the one it is built with.
enum class Control {
  Form1,  // the main window; caption: "Sortelia for Windows [ folder ] < mode >"
  // The button column.
  RadioGroup1,   // the group of the size a transfer reduces to: "リサイズOP"
  RadioButton1,  // "OG" (hint "オリジナルサイズで")
  RadioButton2,  // "2M" (hint "２メガ相当1600x1200")
  RadioButton3,  // "1M" (hint "１メガ相当1280x960")
  Edit4,  // the quality field of a reduction, no caption (hint "圧縮率(標準は８かな？)")
  CheckDATE,     // "日" (hint "日時の表示")
  Button14,      // "一覧" / "Browse"
  CheckInfo,     // "写真情報" / "Photo Info."
  CheckView,     // "ビューワ" / "Viewer"
  Edit1,         // the viewer's position field, no caption
  Label1,        // the viewer's range: "( 000 - 000 )", then "( first - last )" or "/ 0"
  CheckShow,     // "連続表示" / "Slide Show"
  Edit2,         // the slide show's interval field, no caption
  Label2,        // "Sec."
  SpeedButton1,  // "メモ編集" / "CMT Edit"
  Button13,      // "削除" / "Delete"; on a marked entry "復活" / "Restore"
  SubDchkBox,  // "サブフォルダ" (hint "サブホルダ内の画像も整理対称にする。")
  // The twelve destination slots, in order; each shows its folder's caption (hint "F1".."F12").
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
  Undo1,  // "Undo[元に戻す]" / "Undoのヘルプ", then "★記録なし★" or " ☆ step ☆"
  Open1,  // "Open[ひらく]" / "Open"
  Option1,       // "Option[オプション]" / "Option"
  Help1,         // "Help[ヘルプ]" / "Help"
  Version1,      // "Version[版]" / "Version"
  stretchsave1,  // "Stretch[縮小保存]" / "Stretch Save"
  Browse1,       // "Browse[一覧表示]" / "Browse"
  Print1,        // "Print[印刷]" / "Print"
  rot090,        // "回転(90)"
  rot180,        // "回転(180)"
  rot270,        // "回転(270)"
  End1,          // "End[おわり]" / "End"
  // The slot menu.
  SetBox1,     // "Set Folder[整理先フォルダの指定]" / "Set Folder"
  CancelBox1,  // "Clear[フォルダの解除]" / "Clear"
  ClearALL1,   // "Clear ALL[すべてのフォルダ解除]" / "Clear ALL"
  MoveFolder1,  // "Move[整理先を整理元にする] " (ending with a blank) / "Move to This Folder"
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
