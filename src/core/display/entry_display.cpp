#include "core/display/entry_display.h"

#include "core/display/display_geometry.h"
#include "core/display/image_list.h"
#include "imaging/quarter_turn.h"
#include "imaging/screen_scale.h"
#include "platform/file_kinds.h"
#include "platform/file_ops.h"
#include "platform/format.h"
#include "platform/path.h"
#include "platform/player_app.h"

namespace sortelia {
namespace {

const Control kPictureCommands[] = {Control::Print1, Control::rot090, Control::rot180,
                                    Control::rot270};

}  // namespace

EntryDisplay::EntryDisplay(SortingState& state, Ui& ui, PictureView& picture,
                           ControlPanel& controls, FileDateLine fileDateLine)
    : state_(state),
      ui_(ui),
      view_(picture),
      controls_(controls),
      fileDateLine_(std::move(fileDateLine)) {}

void EntryDisplay::ShowEntry(int n) {
  view_.hideMovieButton();
  const std::string& entry = state_.list.images[n - 1];
  ui_.setStatusText(entryStatusText(n));
  ShownEntry shown;
  shown.index = n;
  shown.entry = entry;
  shown.marked = ChkDMRK(entry, shown.path);
  view_.showEntry(n, entry, shown.path);
  const std::string name = fs::fileNameOf(shown.path);
  if (fs::isPictureName(name)) {
    shown.isPicture = showPicture(shown.path);
    shown.isJpeg = shown.isPicture && fs::hasExtension(shown.path, ".jpg");
    shown.width = fileWidth_;
    shown.height = fileHeight_;
  } else if (fs::isMovieName(name)) {
    showMovie(entry, shown.path);
  }
  events_.announceShown(shown);
}

std::string EntryDisplay::entryStatusText(int n) const {
  if (n < 1 || n > static_cast<int>(state_.list.images.size())) return "";
  return format("%s [ %d / %d files ]", {state_.list.images[n - 1], n, state_.list.imageCount});
}

void EntryDisplay::dropPicture(const std::string& path) {
  view_.setScreenPicture(nullptr);
  view_.showPicture(nullptr);
  picture_.reset();
  screen_.reset();
  pictureWidth_ = pictureHeight_ = 0;
  fileWidth_ = fileHeight_ = 0;
  turn_ = 0;
  shownPath_ = path;
}

bool EntryDisplay::showPicture(const std::string& path) {
  for (Control c : kPictureCommands) controls_.setEnabled(c, true);
  BusyCursor busy(ui_);
  // Let go of the previous picture before decoding the next: one full-size bitmap at a time.
  dropPicture(path);
  if (!fs::isRegularFile(path)) {
    events_.announceNoPicture();
    ui_.message(Icon::Error, format("%s が見つかりません。", {path}), Buttons::Ok);
    return false;
  }
  PreparedPicture prepared = source_->load(path, view_.displayWidth(), view_.displayHeight());
  if (prepared.decoded()) {
    fileWidth_ = prepared.width;
    fileHeight_ = prepared.height;
    turn_ = prepared.turn;
    const bool sideways = turn_ == 90 || turn_ == 270;
    pictureWidth_ = sideways ? prepared.height : prepared.width;
    pictureHeight_ = sideways ? prepared.width : prepared.height;
    picture_ = std::move(prepared.picture);  // null when it was reduced while decoding
    screen_ = std::move(prepared.screen);
    view_.showPicture(picture_);
    fit();
  }
  return true;
}

std::shared_ptr<const imaging::Bitmap> EntryDisplay::fullPicture() {
  if (picture_ || !hasPicture()) return picture_;
  BusyCursor busy(ui_);
  auto full = decodeFullPicture(shownPath_);
  // The file changed under the display: its pixels are not the picture shown.
  if (!full || full->width() != fileWidth_ || full->height() != fileHeight_) return nullptr;
  if (turn_ != 0 && !(full = imaging::quarterTurned(*full, turn_))) return nullptr;
  picture_ = std::move(full);
  view_.showPicture(picture_);
  return picture_;
}

void EntryDisplay::showMovie(const std::string& entry, const std::string& path) {
  for (Control c : kPictureCommands) controls_.setEnabled(c, false);
  events_.announceNoPicture();
  ui_.setInfoText("");
  dropPicture(path);
  std::string app = FindPlayerApp(path);
  if (app.empty()) app = "None";
  const std::string caption =
      state_.options.japaneseMode
          ? "[ " + entry +
                " ]\r\n動画ファイルです。\r\n再生するならここをクリック！\r\n再生アプリは< " + app +
                " >です。"
          : "[ " + entry + " ]\r\nThis is Movie.\r\nClick here, Start Movie.\r\nAPL:< " + app +
                " >";
  view_.showMovieButton(caption, movieButtonRect(view_.displayWidth(), view_.displayHeight(),
                                                 view_.deletionLabelHeight()));
  SetDateLBL("FILE", path);
}

void EntryDisplay::fit() {
  if (auto r = FitImageToPanel(pictureHeight_, pictureWidth_, view_.displayHeight(),
                               view_.displayWidth())) {
    // The screen copy is made once per picture and size, with the program's own area
    // averaging, so that painting only copies pixels.
    if (!screen_ || screen_->width() != r->width || screen_->height() != r->height) {
      // A new size (the window was resized) is made from the full-size picture, decoded once
      // for it and then kept; if that fails the screen copy at hand stays.
      if (auto full = fullPicture()) screen_ = imaging::scaleForScreen(full, r->width, r->height);
    }
    view_.setPictureRect(*r);
    view_.setScreenPicture(screen_);
  }
}

void EntryDisplay::clearPicture() {
  dropPicture("");
  view_.clearPicture();
}

void EntryDisplay::FormResize() {
  if (hasPicture()) fit();
  events_.announceResized();
}

void EntryDisplay::replacePicture(std::shared_ptr<const imaging::Bitmap> picture, int turnedBy) {
  if (!picture || picture->empty()) return;
  turn_ = ((turn_ + turnedBy) % 360 + 360) % 360;
  picture_ = std::move(picture);
  screen_.reset();
  pictureWidth_ = picture_->width();
  pictureHeight_ = picture_->height();
  view_.showPicture(picture_);
  fit();
  view_.setDateOverlay(dateText_, format("%d x %d", {pictureWidth_, pictureHeight_}));
}

void EntryDisplay::SetDateLBL(const std::string& text, const std::string& path) {
  std::string shown = text;
  const std::string t = text::trimBlanks(text);
  if ((t == "FILE" || t == ".") && fileDateLine_) {
    shown = fileDateLine_(path.empty() ? shownPath_ : path);
  }
  dateText_ = shown;
  view_.setDateOverlay(shown, format("%d x %d", {pictureWidth_, pictureHeight_}));
}

void EntryDisplay::CheckDATEClick() {
  view_.setDateOverlayVisible(controls_.isChecked(Control::CheckDATE));
}

void EntryDisplay::BitBtn1Click() {
  const SourceList& list = state_.list;
  if (const std::string* shown = list.shownEntry()) StartPlayer(entryPath(*shown));
}

bool EntryDisplay::StartPlayer(const std::string& path) {
  BusyCursor busy(ui_);
  const std::string app = FindPlayerApp(path);
  if (app.empty()) {
    ui_.message(Icon::Warning,
                format("このデータ[ %s ]のさいせいアプリがありません", {fs::fileNameOf(path)}),
                Buttons::Ok);
    return false;
  }
  bool noApp = false;
  if (!startAssociatedApp(path, &noApp).empty()) {
    ui_.message(Icon::Error, format("再生アプリ[ %s ]が実行できなかった", {app}), Buttons::Ok);
    return false;
  }
  return true;
}

}  // namespace sortelia
