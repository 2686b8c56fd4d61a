#include "core/session/settings_store.h"

#include <utility>

#include "core/session/control_captions.h"
#include "core/session/sorting_session.h"
#include "core/state/window_caption.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/line_file.h"
#include "platform/safe_copy.h"

namespace sortelia {

SettingsStore::SettingsStore(SortingSession& session) : session_(session) {}

void SettingsStore::FormCreate() {
  SortingState& state_ = session_.state();
  state_.options.cameraParamIndex = 0;
  state_.options.japaneseMode = true;
  state_.list.sortIndex = 0;
  state_.firstActivation = true;
  state_.options.loopSlideShow = false;
  state_.options.autoRename = false;
  state_.options.keepOriginal = false;
  state_.options.exifItemMask = exif::kDefaultExifItemMask;
  state_.undo.lines.clear();
  state_.options.resizeOption = 0;
  session_.controls().setChecked(Control::RadioButton1, true);
  session_.controls().setCaption(Control::Form1, kProductTitle);
  session_.frame().setBounds(WindowBounds{});
  session_.controls().setIntervalText("3");
}

void SettingsStore::SetJpMode() {
  SortingState& state_ = session_.state();
  ControlPanel& controls = session_.controls();
  if (!state_.options.japaneseMode) return;
  state_.captions.deleteCaption = "削除";
  state_.captions.restoreCaption = "復活";
  state_.undo.hint = "Undo[元に戻す]";
  controls.setHint(Control::Undo1, state_.undo.hint);
  controls.setCaption(Control::Undo1, state_.undo.hint + "★記録なし★");
  controls.setCaption(Control::Button13, state_.captions.deleteCaption);
  applyControlCaptions(controls, true);
}

void SettingsStore::FormActivate() {
  SortingState& state_ = session_.state();
  Ui& ui_ = session_.ui();
  const std::string& dataFolder_ = session_.dataFolder();
  exif::CameraParams& cameraParams_ = session_.photoData().cameraParams();
  if (!state_.firstActivation) return;
  SetJpMode();
  ui_.setStatusText(format("%s %s %s %s [ %s ]",
                           {"ZEL", "v2.4   '070312", "By <Mofuko>", kProductTitle,
                            session_.tr("右ボタンをクリックして！", "Click Right Button!")}));
  const std::string path = dataFolder_.empty() ? "" : dataFolder_ + "/" + kSettingsFileName;
  if (!path.empty() && fs::exists(path)) {
    readSettingsFile(path);
    removeLeftoverCopies();
    state_.list.openDialogDir = state_.list.sourceDir;
    if (deferScan_) {
      scanDeferred_ = true;
    } else {
      session_.scan().rescanSourceFolder();
    }
  }
  session_.recomposeCaption();
  ui_.setInfoText(
      "右クリックしてネ！\r\n"
      "　移動先ボタンの上でクリックすると移動先フォルダの登録ができます。その他のところでは、"
      "整理するイメージファイルが保存してあるフォルダが選択できます。");
  if (dataFolder_.empty()) {
    cameraParams_.table[0] = exif::builtInCameraParamSet();  // no data folder: built-in set only
  } else if (const std::string error = cameraParams_.SetPdPrm(dataFolder_); !error.empty()) {
    ui_.message(Icon::Error, error, Buttons::Ok);
  }
  state_.firstActivation = false;
}

void SettingsStore::removeLeftoverCopies() {
  // A copy cut short (the program was stopped while it wrote) stands under its temporary name
  // in a destination folder; the picture is still whole in its source. A comment write or a
  // reduced save stopped before its rename leaves its own temporary beside the file it was to
  // replace, which is whole: those go without a word.
  int removed = 0;
  for (const auto& slot : session_.state().slots) {
    if (slot.folder.empty()) continue;
    removed += fs::removeCopyTemporaries(slot.folder);
    (void)fs::removeReplaceTemporaries(slot.folder);
  }
  // The undo of a move writes its copy back under such a name in the source folder; one left
  // there is a copy of a picture still whole in its destination, and goes without a word.
  if (const std::string& source = session_.state().list.sourceDir; !source.empty()) {
    (void)fs::removeCopyTemporaries(source);
    (void)fs::removeReplaceTemporaries(source);
  }
  if (removed > 0) {
    session_.ui().setStatusText(format(
        session_.tr("途中で止まったコピー %d 個を整理先から削除しました。元の写真は残っています。",
                    "Removed %d unfinished copies from the destinations; the pictures are still "
                    "in their folder."),
        {removed}));
  }
}

void SettingsStore::runDeferredScan() {
  if (!scanDeferred_) return;
  scanDeferred_ = false;
  session_.scan().rescanSourceFolder();
}

void SettingsStore::readSettingsFile(const std::string& path) {
  SortingState& state_ = session_.state();
  WindowFrame& frame = session_.frame();
  auto lines = readTextLines(path);
  if (!lines) return;  // unreadable: nothing is read, defaults stand
  const SettingsRead read = parseSettings(*lines);
  if (read.foldersDiscarded) {
    session_.ui().message(
        Icon::Warning,
        format(session_.tr("設定ファイル「zel.ini」は %d 行あり、正しい %d 行ではありません。フォル"
                           "ダ名に改行が含まれていたため、どの行がどのフォルダか分からなくなってい"
                           "ます。整理先ボタンと整理元のフォルダの設定は読み込まずに破棄しました。"
                           "ウィンドウの位置と大きさ、オプションは末尾の行から読み込みました。\r\n"
                           "フォルダを指定し直しましょう！",
                           "The Settings File \"zel.ini\" has %d Lines, not %d. A Folder Name "
                           "with a Line Break has moved its Lines, so the Folders of the Buttons "
                           "and the Source Folder were discarded. The Window's Place and Size and "
                           "the Options were read from its last Lines.\r\nSelect the Folders "
                           "again."),
               {read.lineCount, kSettingsLineCount}),
        Buttons::Ok);
  }
  restoreSlots(read);
  restoreSourceDir(read.sourceLine);
  WindowBounds b = frame.normalBounds();
  int* fields[] = {&b.top, &b.left, &b.height, &b.width};
  for (std::size_t i = 0; i < read.geometry.size(); ++i) {
    *fields[i] = read.geometry[i];
    frame.setBounds(b);
  }
  if (!read.complete) return;
  state_.options.loopSlideShow = read.loopSlideShow;
  session_.controls().setIntervalText(read.intervalText);
  state_.options.autoRename = read.autoRename;
  state_.options.keepOriginal = read.keepOriginal;
  frame.setMaximized(read.maximized);
  state_.options.exifItemMask = read.exifItemMask;
}

void SettingsStore::restoreSlots(const SettingsRead& read) {
  Ui& ui_ = session_.ui();
  for (int i = 1; i <= kSlotCount; ++i) {
    const std::string& line = read.slotLines[i - 1];
    session_.setSlot(i, line);
    if (line.empty() || fs::isDirectory(line)) continue;
    const std::string text =
        session_.state().options.japaneseMode
            ? format(
                  "指定されているフォルダはありません！\r\n  整理先ボタンNo.[ %d ]\r\n  "
                  "指定フォルダ名 [ %s ]\r\nこのボタンの整理先を解除します。",
                  {i, line})
            : format(
                  "This Folder is Nothing!\r\n  Button [ %d ]\r\n  Folder [ %s ]\r\nClear "
                  "Setting on this Button.",
                  {i, line});
    if (ui_.message(Icon::Warning, text, Buttons::YesNo) == Answer::Yes) session_.setSlot(i, "");
  }
}

void SettingsStore::restoreSourceDir(const std::string& line) {
  SortingState& state_ = session_.state();
  if (line.empty()) return;
  const std::string folder = line.substr(0, line.size() - 1);
  if (fs::isDirectory(folder)) {
    state_.list.sourceDir = folder + "/";
    return;
  }
  state_.list.sourceDir.clear();
  const std::string text =
      state_.options.japaneseMode
          ? format(
                "整理もとの写真データがあるフォルダがありません。\r\n別のフォルダを後から指定"
                "しましょう！\r\n  フォルダ名[ %s ]",
                {folder})
          : format(
                "No Folder with Original Photo Data.\r\nSelect Another Folder, Later.\r\n  "
                "Folder [ %s ]",
                {folder});
  session_.ui().message(Icon::Warning, text, Buttons::Ok);
}

void SettingsStore::FormClose() {
  session_.runDeletionPass();
  const SortingState& state_ = session_.state();
  const std::string& dataFolder_ = session_.dataFolder();
  if (dataFolder_.empty() || !fs::makeDirectories(dataFolder_).ok()) return;
  SettingsValues v;
  for (int i = 0; i < kSlotCount; ++i) v.slotFolders[i] = state_.slots[i].folder;
  v.sourceDir = state_.list.sourceDir;
  v.bounds = session_.frame().normalBounds();
  v.loopSlideShow = state_.options.loopSlideShow;
  v.intervalText = session_.controls().intervalText();
  v.autoRename = state_.options.autoRename;
  v.keepOriginal = state_.options.keepOriginal;
  v.maximized = session_.frame().isMaximized();
  v.exifItemMask = state_.options.exifItemMask;
  (void)writeTextLines(dataFolder_ + "/" + kSettingsFileName, composeSettings(v));
}

}  // namespace sortelia
