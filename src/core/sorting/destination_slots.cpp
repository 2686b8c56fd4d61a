#include "core/sorting/destination_slots.h"

#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/path.h"

namespace sortelia {

Slot* DestinationSlots::pointed() {
  return pointed_ == 0 ? nullptr : &session_.state().slots[pointed_ - 1];
}

void DestinationSlots::SetBox1Click() {
  Slot* slot = pointed();
  if (!slot) return;
  FileDialog d;
  d.title = d.fileName =
      session_.tr("フォトデータの移動先フォルダを開く", "Open the Folder for Dividing");
  d.initialDir = slot->bound() ? slot->folder : session_.state().list.sourceDir;
  d.filter = session_.openDialogFilter;
  d.anyName = true;  // only the folder counts, and a new empty folder must do
  if (!slot->bound() || RegBtnChkRewrite()) {
    if (auto chosen = session_.ui().openFile(d)) SetFldNamOnBTN(*chosen);
  }
  session_.ui().setStatusText("");
  session_.ui().setInfoText("");
}

void DestinationSlots::SetFldNamOnBTN(const std::string& path) {
  if (!pointed()) return;
  Ui& ui = session_.ui();
  const std::string prefix = fs::folderPrefixOf(path);
  const std::string folder = prefix.empty() ? "" : prefix.substr(0, prefix.size() - 1);
  const std::string name = fs::fileNameOf(folder);
  if (name.empty()) {
    ui.setInfoText("　ドライブのルートは指定できません。フォルダを選びましょう。");
    ui.message(Icon::None,
               session_.tr("ドライブのルートは指定できません。フォルダを選んでください！",
                           "We can't use ROOT on the Drive. Please Select a Folder."),
               Buttons::Ok);
    return;
  }
  if (session_.refuseLineBreakFolder(folder)) return;
  if (fs::isDirectory(folder)) {
    session_.setSlot(pointed_, folder);
    return;
  }
  ui.setInfoText("　選ばれたものはフォルダではありません。");
  ui.message(Icon::None, session_.tr("これはフォルダではありません。", "This is not a Folder."),
             Buttons::Ok);
}

bool DestinationSlots::RegBtnChkRewrite() {
  const std::string& folder = pointed()->folder;
  session_.ui().setInfoText(format("移動先[ %s ]が登録済みです。変更しますか？", {folder}));
  const std::string question = session_.state().options.japaneseMode
                                   ? format("移動先[ %s ]が登録済みです。変更しますか？", {folder})
                                   : format("Folder[ %s ] was registed. Change?", {folder});
  return session_.ui().message(Icon::Question, question, Buttons::YesNo) == Answer::Yes;
}

void DestinationSlots::CancelBox1Click() {
  Slot* slot = pointed();
  if (!slot || !slot->bound()) return;
  const std::string folder = slot->folder;
  session_.ui().setInfoText(format("移動先[ %s ]を解除しますか？", {folder}));
  const std::string question =
      session_.state().options.japaneseMode
          ? format("フォルダ[ %s ] は登録済みです。登録を中止しますか？", {folder})
          : format("Folder[ %s ] was registed. Cancel?", {folder});
  if (session_.ui().message(Icon::Question, question, Buttons::YesNo) == Answer::Yes) {
    session_.setSlot(pointed_, "");
  }
}

void DestinationSlots::ClearALL1Click() {
  session_.ui().setInfoText("　移動先のフォルダ登録をすべて解除します。");
  if (session_.ui().message(Icon::Question,
                            session_.tr("すべての整理先ボタンの登録を解除します。",
                                        "Clear All Registered Folders on Buttons."),
                            Buttons::YesNo) != Answer::Yes) {
    return;
  }
  for (int i = 1; i <= kSlotCount; ++i) session_.setSlot(i, "");
}

void DestinationSlots::MoveFolder1Click() {
  Slot* slot = pointed();
  if (!slot) return;
  if (!slot->bound()) {
    session_.ui().message(Icon::None, "登録がありません！移動できません。", Buttons::Ok);
    return;
  }
  const std::string folder = slot->folder;
  session_.runDeletionPass();
  session_.state().list.sourceDir = folder + "/";
  session_.recomposeCaption();
  session_.scan().rescanSourceFolder();
}

void DestinationSlots::dropPaths(const std::vector<std::string>& paths) {
  Slot* slot = pointed();
  if (!slot || paths.empty()) return;
  // The dropped item read as a file inside itself: a folder yields the folder, a file fails
  // the folder test.
  const std::string inside = fs::withoutTrailingSlashes(paths.front()) + "/dummy";
  if (!slot->bound() || RegBtnChkRewrite()) SetFldNamOnBTN(inside);
}

void DestinationSlots::PopupMenu2Popup() {
  session_.ui().setInfoText(
      "☆Set Folder : 移動先フォルダを登録します。右クリックしたボタンに移動先が登録できます。\r\n"
      "☆Clear : 移動先ボタンの移動先を解除します。\r\n"
      "☆Clear ALL : すべての移動先ボタンの移動先を解除します。");
}

}  // namespace sortelia
