#include "core/session/main_commands.h"

#include "platform/path.h"

namespace sortelia {

void Open1Click(SortingSession& session) {
  session.runDeletionPass();
  SortingState& state = session.state();
  FileDialog d;
  d.title = d.fileName =
      session.tr("フォトデータがあるフォルダを開く", "Open the Folder with Original Photo Data.");
  session.openDialogFilter = session.tr(
      "画像(*.JPG)とムーヴィー(*.MOV,*.MPG)|*.JPG;*.MOV;*.MPG|画像(*.JPG)|*.JPG|"
      "ムーヴィー(*.MOV,*.MPG)|*.MOV;*.MPG|すべてのファイル(*.*)|*.*|",
      "Pic(*.JPG) & Movie(*.MOV,*.MPG)|*.JPG;*.MOV;*.MPG|Pic(*.JPG)|*.JPG|Movie(*.MOV,*."
      "MPG)|*.MOV;*.MPG|All Files(*.*)|*.*|");
  d.filter = session.openDialogFilter;
  d.initialDir = state.list.sourceDir;
  d.anyName = true;  // only the folder counts
  const auto chosen = session.ui().openFile(d);
  if (!chosen) return;
  const std::string folder = fs::folderPrefixOf(*chosen);
  if (folder.empty()) return;
  state.list.sourceDir = folder;
  session.SetMFrmCap();
  session.scan().FirstStepGetImgLst();
}

void PopupMenu1Popup(SortingSession& session) {
  session.ui().setInfoText(
      "★Undo : 整理モードのとき、前の処理を元に戻します。\r\n"
      "★Open : イメージファイルが保存されているフォルダを選びます。保存先のフォルダを開き、任意の"
      "１ファイルを選びましょう。\r\n"
      "★Option : 各種のオプション設定とコマンド実行ができます。\r\n"
      "★End : このプログラムを終了します。");
}

}  // namespace sortelia
