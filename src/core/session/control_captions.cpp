#include "core/session/control_captions.h"

namespace sortelia {
namespace {

constexpr ControlCaption kCaptions[] = {
    {Control::CheckInfo, "写真情報", "Photo Info."},
    {Control::CheckView, "ビューワ", "Viewer"},
    {Control::CheckShow, "連続表示", "Slide Show"},
    {Control::SpeedButton1, "メモ編集", "CMT Edit"},
    {Control::Button14, "一覧", "Browse"},
    {Control::Open1, "Open[ひらく]", "Open"},
    {Control::Option1, "Option[オプション]", "Option"},
    {Control::Help1, "Help[ヘルプ]", "Help"},
    {Control::Version1, "Version[版]", "Version"},
    {Control::stretchsave1, "Stretch[縮小保存]", "Stretch Save"},
    {Control::Browse1, "Browse[一覧表示]", "Browse"},
    {Control::End1, "End[おわり]", "End"},
    {Control::Print1, "Print[印刷]", "Print"},
    {Control::SetBox1, "Set Folder[整理先フォルダの指定]", "Set Folder"},
    {Control::CancelBox1, "Clear[フォルダの解除]", "Clear"},
    {Control::ClearALL1, "Clear ALL[すべてのフォルダ解除]", "Clear ALL"},
    // The Japanese caption ends with a blank, as designed.
    {Control::MoveFolder1, "Move[整理先を整理元にする] ", "Move to This Folder"},
};

}  // namespace

std::span<const ControlCaption> controlCaptions() { return kCaptions; }

void applyControlCaptions(ControlPanel& controls, bool japanese) {
  for (const ControlCaption& row : kCaptions) {
    controls.setCaption(row.control, japanese ? row.japanese : row.english);
  }
}

}  // namespace sortelia
