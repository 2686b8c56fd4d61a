#include "core/browse/thumb_browser.h"

#include <algorithm>

#include "core/display/image_list.h"
#include "imaging/jpeg_codec.h"
#include "imaging/picture_file.h"
#include "outputs/print/print_layout.h"
#include "platform/file_kinds.h"
#include "platform/format.h"
#include "platform/path.h"

namespace sortelia {

// One build: the entries as they were when it started, the decodes that came back early and
// the next entry to place. Jobs only hold a weak reference, so a result of a build that has
// been replaced or freed is dropped.
struct ThumbBrowser::Run {
  std::vector<std::string> paths;
  std::vector<bool> skip;  // deletion-marked entries get no cell
  int size = 100;
  CancelToken token;
  int next = 0;
  std::map<int, outputs::ThumbImage> ready;
};

ThumbBrowser::ThumbBrowser(Deps deps) : d_(std::move(deps)) {}

ThumbBrowser::~ThumbBrowser() {
  if (run_) run_->token.cancel();
}

void ThumbBrowser::Button1Click(int size) {
  if (run_) run_->token.cancel();  // a build started during a build replaces it
  d_.view.setScrollStep(size + 2);
  if (!building_) {
    savedCaption_ = d_.view.caption();
    d_.ui.setBusy(true);
  }
  building_ = true;
  d_.view.setStopEnabled(true);

  // The cells go, and with them the cell a Del. would restore: the build forgets it.
  cells_.clear();
  lastOpened_ = undoCell_ = underMouse_ = -1;
  builtOn_ = d_.state.list.rebuilds;
  auto run = std::make_shared<Run>();
  run->size = size;
  for (const std::string& entry : d_.state.list.images) {
    std::string path;
    run->skip.push_back(ChkDMRK(entry, path));
    run->paths.push_back(path);
  }
  run_ = run;
  d_.view.gridChanged();

  std::weak_ptr<Run> weak = run;
  for (int i = 0; i < static_cast<int>(run->paths.size()); ++i) {
    if (run->skip[i]) continue;
    (void)d_.pool.submit(
        [this, weak, i, path = run->paths[i], size, token = run->token, &poster = d_.poster] {
          if (token.cancelled()) return;
          outputs::ThumbImage image = outputs::makeThumbImage(path, size);
          if (token.cancelled()) return;
          // The image travels to the GUI thread in a shared box: the poster takes copyable tasks.
          auto box = std::make_shared<outputs::ThumbImage>(std::move(image));
          poster.post([this, weak, i, box] {
            std::shared_ptr<Run> r = weak.lock();
            if (!r || r != run_ || r->token.cancelled()) return;
            receive(i, std::move(*box));
          });
        });
  }
  placeReady();  // a list of only marked entries (or none) ends here
}

void ThumbBrowser::receive(int entry, outputs::ThumbImage image) {
  run_->ready.emplace(entry, std::move(image));
  placeReady();
}

void ThumbBrowser::placeReady() {
  Run& r = *run_;
  const int count = static_cast<int>(r.paths.size());
  bool placed = false;
  while (r.next < count) {
    const int i = r.next;
    if (r.skip[i]) {
      ++r.next;
      continue;
    }
    auto found = r.ready.find(i);
    if (found == r.ready.end()) break;
    outputs::ThumbImage image = std::move(found->second);
    r.ready.erase(found);
    ++r.next;
    d_.view.setCaption(format("処理中...[ %d / %d ]: %s", {i + 1, count, r.paths[i]}));
    if (!image.exists) continue;  // removed after the list was made
    if (!image.error.empty()) {
      // An undecodable thumbnail ends the build at that picture; the cells made so far stay.
      d_.view.gridChanged();
      finish(false, r.paths[i] + "\r\n" + image.error);
      return;
    }
    addCell(i, r.paths[i], r.size, std::move(image));
    placed = true;
  }
  if (placed) d_.view.gridChanged();
  if (r.next >= count) finish(false, {});
}

void ThumbBrowser::addCell(int entry, const std::string& path, int size,
                           outputs::ThumbImage image) {
  ThumbCell c;
  c.index = entry;
  c.path = path;
  c.name = fs::fileNameOf(path);
  c.size = size;
  c.rect = outputs::PlaceCell(entry, size, size, d_.view.gridWidth());
  c.picture = std::move(image.bitmap);
  c.pictureRect = image.rect;
  cells_.push_back(std::move(c));
}

void ThumbBrowser::Button2Click() {
  if (!building_) return;
  run_->token.cancel();
  finish(true, {});
}

void ThumbBrowser::FormClose() { finish(false, {}); }

void ThumbBrowser::finish(bool stopped, const std::string& error) {
  if (!building_) return;
  building_ = false;
  if (run_) run_->token.cancel();  // nothing more of this build is placed
  d_.view.setStopEnabled(false);
  d_.ui.setBusy(false);
  if (stopped) d_.ui.message(Icon::Information, "中断ボタンが押されました", Buttons::Ok);
  if (!error.empty()) d_.ui.message(Icon::Error, error, Buttons::Ok);
  d_.view.setCaption(savedCaption_);
  undoCell_ = -1;
  if (onBuildEnded) onBuildEnded();
}

void ThumbBrowser::ICclear() {
  if (building_) {
    run_->token.cancel();
    building_ = false;
    d_.view.setStopEnabled(false);
    d_.ui.setBusy(false);
    d_.view.setCaption(savedCaption_);
  }
  run_.reset();
  cells_.clear();
  lastOpened_ = undoCell_ = underMouse_ = -1;
  d_.view.gridChanged();
}

bool ThumbBrowser::clearIfListRebuilt() {
  if (builtOn_ == d_.state.list.rebuilds || (cells_.empty() && !building_)) return false;
  ICclear();
  return true;
}

void ThumbBrowser::FormResize() {
  if (cells_.size() < 2) return;
  d_.view.scrollToTop();
  const int width = d_.view.gridWidth();
  for (int k = 0; k < static_cast<int>(cells_.size()); ++k) {
    ThumbCell& c = cells_[k];
    c.rect = outputs::PlaceCell(k, c.size, c.size, width);
    c.visible = true;
  }
  d_.view.gridChanged();
}

int ThumbBrowser::cellAt(int x, int y) const {
  for (int k = static_cast<int>(cells_.size()) - 1; k >= 0; --k) {
    const ThumbCell& c = cells_[k];
    if (c.visible && x >= c.rect.left && x < c.rect.left + c.rect.width && y >= c.rect.top &&
        y < c.rect.top + c.rect.height)
      return k;
  }
  return -1;
}

bool ThumbBrowser::onPicture(int cell, int x, int y) const {
  if (cell < 0 || cell >= static_cast<int>(cells_.size())) return false;
  const ThumbCell& c = cells_[cell];
  return cellAt(x, y) == cell && y < c.rect.top + c.rect.height - outputs::kCellLabelHeight;
}

int ThumbBrowser::contentHeight() const {
  int bottom = 0;
  for (const ThumbCell& c : cells_) bottom = std::max(bottom, c.rect.top + c.rect.height + 2);
  return bottom;
}

PopupItems ThumbBrowser::PopupMenu1Popup() const {
  PopupItems p;
  p.undo = p.undoVisible = undoCell_ >= 0;
  if (underMouse_ < 0 || underMouse_ >= static_cast<int>(cells_.size())) return p;
  const std::string& path = cells_[underMouse_].path;
  const bool movie = fs::isMovieName(fs::fileNameOf(path));
  p.del = true;
  p.info = p.prtMark = p.print = !movie;
  return p;
}

void ThumbBrowser::Info1Click() {
  if (underMouse_ < 0) return;
  ThumbCell& c = cells_[underMouse_];
  const std::string mask = d_.itemMask();
  // The browser reads into its own photo record: the shown picture's record (and the
  // rotation mark a comment is written back with) stays that of the main window.
  photo_.GetPdata(c.path, mask, d_.cameraSet());
  const std::string text = photo_.MakeDspPdat(mask);
  const int cell = underMouse_;
  c.infoShown = true;
  d_.view.gridChanged();
  d_.ui.message(Icon::Information, text, Buttons::Ok);
  if (cell < static_cast<int>(cells_.size())) cells_[cell].infoShown = false;
  d_.view.gridChanged();
}

void ThumbBrowser::Delete1Click() {
  if (underMouse_ < 0) return;
  // A cell whose entry can no longer be marked stays in sight, and the person is told.
  if (clearIfListRebuilt() ||
      !d_.toggleDeletionMark(cells_[underMouse_].index, cells_[underMouse_].path)) {
    d_.ui.message(Icon::Warning,
                  d_.state.options.japaneseMode
                      ? "写真の一覧が縮小一覧を作った後で作り直されたため、この写真に削除の印を付"
                        "けられません。縮小一覧を作り直しましょう！"
                      : "The Image List was made again after the Thumbnails, so this Picture "
                        "cannot be Marked for Deletion. Make the Thumbnails again.",
                  Buttons::Ok);
    return;
  }
  ThumbCell& c = cells_[underMouse_];
  c.visible = false;
  undoCell_ = underMouse_;
  underMouse_ = -1;  // the picture is gone from under the mouse
  d_.view.gridChanged();
}

void ThumbBrowser::Undo1Click() {
  if (clearIfListRebuilt()) return;
  if (undoCell_ < 0 || undoCell_ >= static_cast<int>(cells_.size())) return;
  ThumbCell& c = cells_[undoCell_];
  c.visible = true;
  (void)d_.toggleDeletionMark(c.index, c.path);
  undoCell_ = -1;
  d_.view.gridChanged();
}

void ThumbBrowser::PrtMarkClick() {
  if (underMouse_ < 0) return;
  LabelColour& l = cells_[underMouse_].label;
  l = l == LabelColour::Blue ? LabelColour::Face : LabelColour::Blue;
  d_.view.gridChanged();
}

void ThumbBrowser::LblClickMRK(int cell) {
  if (cell < 0 || cell >= static_cast<int>(cells_.size())) return;
  LabelColour& l = cells_[cell].label;
  switch (l) {
    case LabelColour::Face:
      l = LabelColour::Green;
      break;
    case LabelColour::Green:
      l = LabelColour::Red;
      break;
    case LabelColour::Red:
    case LabelColour::Blue:
    case LabelColour::Printing:
      l = LabelColour::Face;
      break;
  }
  d_.view.gridChanged();
}

void ThumbBrowser::ImgDblDsp(int cell, bool realSize) {
  if (cell < 0 || cell >= static_cast<int>(cells_.size())) return;
  if (lastOpened_ >= 0 && cells_[lastOpened_].label != LabelColour::Blue)
    cells_[lastOpened_].label = LabelColour::Red;
  lastOpened_ = cell;
  if (cells_[cell].label != LabelColour::Blue) cells_[cell].label = LabelColour::Green;
  d_.view.gridChanged();
  const std::string path = cells_[cell].path;
  if (!fs::isPictureName(fs::fileNameOf(path))) {
    d_.startPlayer(path);
    return;
  }
  // The full-size picture is decoded here, at full scale; a file that cannot be decoded says
  // why and opens no window.
  imaging::JpegDecodeResult decoded = imaging::decodePictureFile(path, imaging::JpegScale::Full);
  if (!decoded.ok()) {
    d_.ui.message(Icon::Error, decoded.error, Buttons::Ok);
    return;
  }
  imaging::convertTo24Bit(decoded.bitmap);
  d_.view.showFullSize(path, std::move(decoded.bitmap), realSize);
}

int ThumbBrowser::CollectPrintMarks(std::string& list) const {
  std::vector<std::string> paths;
  for (const ThumbCell& c : cells_)
    if (c.label == LabelColour::Blue) paths.push_back(c.path);
  list = outputs::quotedFileList(paths);
  return static_cast<int>(paths.size());
}

void ThumbBrowser::Print1Click() {
  std::string list;
  const int count = CollectPrintMarks(list);
  if (count == 0) {
    if (underMouse_ < 0) return;
    const int cell = underMouse_;
    const LabelColour before = cells_[cell].label;
    cells_[cell].label = LabelColour::Printing;
    d_.view.gridChanged();
    const std::string path = cells_[cell].path;
    d_.view.openPrint(outputs::quotedFileList({path}),
                      format("印刷[ %s ]", {fs::fileNameOf(path)}));
    if (cell < static_cast<int>(cells_.size())) cells_[cell].label = before;
    d_.view.gridChanged();
    return;
  }
  if (d_.ui.message(Icon::Question,
                    format("以下の写真[ %d 枚]を印刷します。%s%s", {count, "\r\n", list}),
                    Buttons::YesNo) != Answer::Yes)
    return;
  d_.view.openPrint(list, format("写真を[ %d ]枚 印刷します。", {count}));
}

}  // namespace sortelia
