#include "core/session/sorting_session.h"

#include <algorithm>

#include "core/display/image_list.h"
#include "exif/comment_line.h"
#include "platform/file_list.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/line_file.h"
#include "platform/path.h"

namespace sortelia {
SortingSession::SortingSession(SortingState& state, Ui& ui, MainView& view, std::string dataFolder)
    : state_(state),
      ui_(ui),
      view_(view),
      dataFolder_(std::move(dataFolder)),
      display_(state, ui, view) {
  state_.options.cameraParamIndex = 0;
  state_.options.japaneseMode = true;
  state_.list.sortIndex = 0;
  state_.firstActivation = true;
  state_.options.loopSlideShow = false;
  state_.options.autoRename = false;
  state_.options.keepOriginal = false;
  state_.options.exifItemMask = kDefaultExifItemMask;
  state_.undo.lines.clear();
  state_.options.resizeOption = 0;
  view_.setChecked("RadioButton1", true);
  view_.setCaption("Form1", "Sortelia for Windows");
  view_.setBounds(WindowBounds{});
  view_.setIntervalText("3");
  display_.loadPhotoData = [this](const std::string& path) { GetPdata(path); };
  display_.showPhotoData = [this] { DspPdata(); };
  // "FILE" and "." stand for the file's own time: a movie has no shooting date, and a
  // picture without one must not show the date of the picture read before it.
  display_.fileDateLine = [this](const std::string& path) {
    return exif::makecmt(photo_.record, path, false, "", false, true, true, false);
  };
}

void SortingSession::GetPdata(const std::string& path) {
  const int set = std::clamp(state_.options.cameraParamIndex, 0, exif::kCameraParamSetCount - 1);
  photo_.GetPdata(path, state_.options.exifItemMask, cameraParams_.table[set]);
  if (exif::isExifItemMode(state_.options.exifItemMask)) state_.comment.rotationMark = photo_.RotationMark;
}

void SortingSession::DspPdata() {
  photo_.DspPdata(state_.options.exifItemMask, [this](const std::string& info, const std::string& comment) {
    ui_.setInfoText(info);
    view_.setCommentText(comment);
  });
  if (exif::isExifItemMode(state_.options.exifItemMask)) {
    const exif::TExifInfo& x = photo_.ExifInfo1;
    display_.SetDateLBL(format("%s.%s", {exif::DotDate(x.DateTimeOriginal), x.SubSecTimeOriginal}),
                        "");
  }
}

void SortingSession::SetJpMode() {
  if (!state_.options.japaneseMode) return;
  state_.captions.deleteCaption = "削除";
  state_.captions.restoreCaption = "復活";
  state_.undo.hint = "Undo[元に戻す]";
  view_.setHint("Undo1", state_.undo.hint);
  view_.setCaption("Undo1", state_.undo.hint + "★記録なし★");
  static const char* const kCaptions[][2] = {
      {"CheckInfo", "写真情報"},
      {"CheckView", "ビューワ"},
      {"CheckShow", "連続表示"},
      {"SpeedButton1", "メモ編集"},
      {"Button14", "一覧"},
      {"Open1", "Open[ひらく]"},
      {"Option1", "Option[オプション]"},
      {"Help1", "Help[ヘルプ]"},
      {"Version1", "Version[版]"},
      {"stretchsave1", "Stretch[縮小保存]"},
      {"Browse1", "Browse[一覧表示]"},
      {"End1", "End[おわり]"},
      {"Print1", "Print[印刷]"},
      {"SetBox1", "Set Folder[整理先フォルダの指定]"},
      {"CancelBox1", "Clear[フォルダの解除]"},
      {"ClearALL1", "Clear ALL[すべてのフォルダ解除]"},
      {"MoveFolder1", "Move[整理先を整理元にする] "},
  };
  view_.setCaption("Button13", state_.captions.deleteCaption);
  for (const auto& c : kCaptions) view_.setCaption(c[0], c[1]);
}

void SortingSession::FormActivate() {
  if (!state_.firstActivation) return;
  SetJpMode();
  ui_.setStatusText(
      format("%s %s %s %s [ %s ]", {"ZEL", "v2.4   '070312", "By <Mofuko>", "Sortelia for Windows",
                                    tr("右ボタンをクリックして！", "Click Right Button!")}));
  const std::string path = dataFolder_.empty() ? "" : dataFolder_ + "/" + kSettingsFileName;
  if (!path.empty() && fs::exists(path)) {
    readSettingsFile(path);
    state_.list.openDialogDir = state_.list.sourceDir;
    FirstStepGetImgLst();
  }
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

void SortingSession::readSettingsFile(const std::string& path) {
  auto lines = readTextLines(path);
  if (!lines) return;  // unreadable: nothing is read, defaults stand
  const SettingsRead read = parseSettings(*lines);
  restoreSlots(read);
  restoreSourceDir(read.sourceLine);
  WindowBounds b = view_.normalBounds();
  int* fields[] = {&b.top, &b.left, &b.height, &b.width};
  for (std::size_t i = 0; i < read.geometry.size(); ++i) {
    *fields[i] = read.geometry[i];
    view_.setBounds(b);
  }
  if (!read.complete) return;
  state_.options.loopSlideShow = read.loopSlideShow;
  view_.setIntervalText(read.intervalText);
  state_.options.autoRename = read.autoRename;
  state_.options.keepOriginal = read.keepOriginal;
  view_.setMaximized(read.maximized);
  state_.options.exifItemMask = read.exifItemMask;
}

void SortingSession::restoreSlots(const SettingsRead& read) {
  for (int i = 1; i <= kSlotCount; ++i) {
    const std::string& line = read.slotLines[i - 1];
    setSlot(i, line);
    if (line.empty() || fs::isDirectory(line)) continue;
    const std::string text =
        state_.options.japaneseMode
            ? format(
                  "指定されているフォルダはありません！\r\n  整理先ボタンNo.[ %d ]\r\n  "
                  "指定フォルダ名 [ %s ]\r\nこのボタンの整理先を解除します。",
                  {i, line})
            : format(
                  "This Folder is Nothing!\r\n  Button [ %d ]\r\n  Folder [ %s ]\r\nClear "
                  "Setting on this Button.",
                  {i, line});
    if (ui_.message(Icon::Warning, text, Buttons::YesNo) == Answer::Yes) setSlot(i, "");
  }
}

void SortingSession::restoreSourceDir(const std::string& line) {
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
  ui_.message(Icon::Warning, text, Buttons::Ok);
}

void SortingSession::setSlot(int i, const std::string& folder) {
  Slot& slot = state_.slots[i - 1];
  slot.folder = folder;
  slot.caption = folder.empty() ? "" : fs::fileNameOf(folder);
  view_.showSlot(i, slot.caption, slot.folder);
}

void SortingSession::FormClose() {
  runDeletionPass();
  if (dataFolder_.empty() || !fs::makeDirectories(dataFolder_).ok()) return;
  SettingsValues v;
  for (int i = 0; i < kSlotCount; ++i) v.slotFolders[i] = state_.slots[i].folder;
  v.sourceDir = state_.list.sourceDir;
  v.bounds = view_.normalBounds();
  v.loopSlideShow = state_.options.loopSlideShow;
  v.intervalText = view_.intervalText();
  v.autoRename = state_.options.autoRename;
  v.keepOriginal = state_.options.keepOriginal;
  v.maximized = view_.isMaximized();
  v.exifItemMask = state_.options.exifItemMask;
  (void)writeTextLines(dataFolder_ + "/" + kSettingsFileName, composeSettings(v));
}

void SortingSession::FirstStepGetImgLst() {
  ui_.setStatusText(tr("写真データの一覧を作成中です!", "Getting Image List, Now!"));
  ui_.setInfoText("イメージファイルのリストを取得中…");
  std::vector<std::string> entries;
  {
    BusyCursor busy(ui_);
    state_.list.images.clear();
    state_.undo.lines.clear();
    view_.setCaption("Undo1", state_.undo.hint + "★記録なし★");
    std::vector<std::string> folders;
    if (!state_.list.sourceDir.empty()) {
      folders.push_back(state_.list.sourceDir);
      if (state_.list.subfolderSwitch) listSubfolders(state_.list.sourceDir, folders);
    }
    for (const auto& folder : folders) {
      listImageFiles(folder, {".jpg"}, entries);
      listImageFiles(folder, {".mov", ".mpg"}, entries);
    }
    sortImageList(entries);
    state_.list.images = std::move(entries);
    state_.list.imageCount = static_cast<int>(state_.list.images.size());
    state_.list.viewerMode = false;
    view_.setChecked("CheckView", false);
  }
  if (state_.list.imageCount < 1) {
    view_.clearPicture();
    ui_.setStatusText("No File in this Folder!");
    ui_.message(Icon::Question,
                tr("このフォルダには写真データがありません", "No File in this Folder!"),
                Buttons::Ok);
    ui_.setInfoText("　このフォルダにはイメージファイルがありませんでした。");
    AllBtnEnabled(false);
    return;
  }
  ui_.setStatusText(
      state_.options.japaneseMode
          ? format("%s [ %d 枚 ]", {"写真データの一覧を取得しました！", state_.list.imageCount})
          : format("%s [ %d files ]", {"Finish Getting Image List!", state_.list.imageCount}));
  std::vector<std::string> info{format("%d 枚のイメージがありました。", {state_.list.imageCount})};
  info.insert(info.end(), state_.list.images.begin(), state_.list.images.end());
  ui_.setInfoText(joinLines(info));
  state_.list.sortIndex = 1;
  imageDSP(1);
  AllBtnEnabled(true);
}

bool SortingSession::iDSPchk(int n) {
  if (n > state_.list.imageCount) {
    AllBtnEnabled(false);
    view_.clearPicture();
    ui_.setInfoText("　ここにはイメージファイルがありません。");
    ui_.message(Icon::Question, tr("写真データがありません。", "Image file Nothing"), Buttons::Ok);
    ui_.setStatusText("Image file Nothing!");
    return false;
  }
  AllBtnEnabled(true);
  return true;
}

void SortingSession::imageDSP(int n) {
  display_.SetDateLBL("", "");
  view_.setDeletionOverlay(false);
  if (state_.list.viewerMode) {
    if (n >= 1 && n <= state_.list.imageCount) showEntry(n);
    return;
  }
  if (!iDSPchk(n)) return;
  while (n <= state_.list.imageCount && state_.list.images[n - 1].rfind(kDeletionMark, 0) == 0) {
    ++n;
    ++state_.list.sortIndex;
  }
  if (iDSPchk(n)) showEntry(n);
}

void SortingSession::showEntry(int n) { display_.ShowEntry(n); }

void SortingSession::AllBtnEnabled(bool enable) {
  zelBTNctr(enable);
  for (const char* name : {"CheckView", "SpeedButton1", "Button13", "Button14"}) {
    view_.setEnabled(name, enable);
  }
}

void SortingSession::zelBTNctr(bool enabled) {
  for (int i = 1; i <= kSlotCount; ++i) view_.setEnabled("Button" + std::to_string(i), enabled);
}

}  // namespace sortelia
