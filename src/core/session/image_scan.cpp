#include "core/session/image_scan.h"

#include <algorithm>

#include "core/display/image_list.h"
#include "platform/file_list.h"
#include "platform/format.h"
#include "platform/line_file.h"

namespace sortelia {

ImageScan::ImageScan(SortingState& state, Ui& ui, PictureView& picture, ControlPanel& controls,
                     EntryDisplay& display)
    : state_(state), ui_(ui), picture_(picture), controls_(controls), display_(display) {}

void ImageScan::rescanSourceFolder(const std::string& firstShown) {
  ui_.setStatusText(tr("写真データの一覧を作成中です!", "Getting Image List, Now!"));
  ui_.setInfoText("イメージファイルのリストを取得中…");
  int sharedStems = 0;
  {
    BusyCursor busy(ui_);
    state_.list.images.clear();
    ++state_.list.rebuilds;
    state_.undo.lines.clear();
    controls_.setCaption(Control::Undo1, state_.undo.hint + "★記録なし★");
    std::vector<std::string> folders;
    if (!state_.list.sourceDir.empty()) {
      folders.push_back(state_.list.sourceDir);
      if (state_.list.subfolderSwitch) listSubfolders(state_.list.sourceDir, folders);
    }
    ImageListing listing =
        listPictures(folders, state_.options.keepCompanions, state_.options.jpegMovMpgOnly);
    state_.list.images = std::move(listing.entries);
    state_.list.companions = std::move(listing.companions);
    sharedStems = static_cast<int>(listing.sharedStem.size());
    state_.list.imageCount = static_cast<int>(state_.list.images.size());
    state_.list.viewerMode = false;
    controls_.setChecked(Control::CheckView, false);
  }
  if (state_.list.imageCount < 1) {
    display_.clearPicture();
    ui_.setStatusText("No File in this Folder!");
    ui_.message(Icon::Question,
                tr("このフォルダには写真データがありません", "No File in this Folder!"),
                Buttons::Ok);
    ui_.setInfoText("　このフォルダにはイメージファイルがありませんでした。");
    enableSortingControls(false);
    return;
  }
  const std::string status =
      state_.options.japaneseMode
          ? format("%s [ %d 枚 ]", {"写真データの一覧を取得しました！", state_.list.imageCount})
          : format("%s [ %d files ]", {"Finish Getting Image List!", state_.list.imageCount});
  ui_.setStatusText(status);
  std::vector<std::string> info{format("%d 枚のイメージがありました。", {state_.list.imageCount})};
  info.insert(info.end(), state_.list.images.begin(), state_.list.images.end());
  ui_.setInfoText(joinLines(info));
  const auto& images = state_.list.images;
  const auto first = std::find(images.begin(), images.end(), firstShown);
  state_.list.sortIndex = firstShown.empty() || first == images.end()
                              ? 1
                              : static_cast<int>(first - images.begin()) + 1;
  showListPosition(state_.list.sortIndex);
  enableSortingControls(true);
  // Said once per listing, after the first picture's position: which picture the files of a
  // shared name went with.
  if (sharedStems > 0) {
    ui_.setStatusText(
        state_.options.japaneseMode
            ? format("同じ名前の写真 %d 枚: RAW・XMPなどは一覧で先の写真と一緒に扱います",
                     {sharedStems})
            : format("%d pictures share a name: their RAW and sidecar files go with the first "
                     "in the list",
                     {sharedStems}));
  }
}

bool ImageScan::checkListPosition(int n) {
  if (n > state_.list.imageCount) {
    enableSortingControls(false);
    display_.clearPicture();
    ui_.setInfoText("　ここにはイメージファイルがありません。");
    ui_.message(Icon::Question, tr("写真データがありません。", "Image file Nothing"), Buttons::Ok);
    ui_.setStatusText("Image file Nothing!");
    return false;
  }
  enableSortingControls(true);
  return true;
}

void ImageScan::showListPosition(int n) {
  display_.SetDateLBL("", "");
  picture_.setDeletionOverlay(false);
  if (state_.list.viewerMode) {
    if (n >= 1 && n <= state_.list.imageCount) display_.ShowEntry(n);
    return;
  }
  if (!checkListPosition(n)) return;
  while (n <= state_.list.imageCount && state_.list.images[n - 1].rfind(kDeletionMark, 0) == 0) {
    ++n;
    ++state_.list.sortIndex;
  }
  if (checkListPosition(n)) display_.ShowEntry(n);
}

void ImageScan::enableSortingControls(bool enable) {
  enableSlotButtons(enable);
  for (Control c :
       {Control::CheckView, Control::SpeedButton1, Control::Button13, Control::Button14}) {
    controls_.setEnabled(c, enable);
  }
}

void ImageScan::enableSlotButtons(bool enabled) {
  for (int i = 1; i <= kSlotCount; ++i) controls_.setEnabled(slotControl(i), enabled);
}

}  // namespace sortelia
