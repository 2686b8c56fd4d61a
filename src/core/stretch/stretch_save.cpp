#include "core/stretch/stretch_save.h"

#include <algorithm>

#include "core/display/entry_display.h"
#include "core/display/image_list.h"
#include "exif/exif_info.h"
#include "exif/exif_writer.h"
#include "exif/rotation_mark.h"
#include "outputs/reduce_pipeline.h"
#include "platform/file_kinds.h"
#include "platform/format.h"
#include "platform/path.h"

namespace sortelia {
namespace {

// other * value / own, rounded half to even (the products fit 64 bits whatever the fields).
int inProportion(int other, int value, int own) {
  if (own <= 0) return 0;
  return static_cast<int>(
      roundHalfEven(static_cast<double>(static_cast<std::int64_t>(other) * value) / own));
}

// The comment of a reduced save without the rotation mark it may start with: the saved
// pixels are turned already, and a mark would turn them a second time.
void dropRotationMark(std::vector<std::string>& userComment) {
  if (userComment.empty()) return;
  std::string& first = userComment.front();
  const std::string mark = exif::rotationMarkOf(first);
  if (!mark.empty()) first.erase(0, mark.size());
}

}  // namespace

StretchSave::StretchSave(SortingSession& session) : session_(session) {}

void StretchSave::stretchsave1Click(StretchWindow& window) {
  SortingState& st = session_.state();
  const std::string* shown = st.list.shownEntry();
  if (!shown) return;
  const std::string path = entryPath(*shown);
  // Only a picture on display can be reduced: a movie, or a picture that could not be decoded,
  // has no working bitmap.
  std::shared_ptr<const imaging::Bitmap> picture;
  if (fs::isPictureName(fs::fileNameOf(path))) picture = session_.display().fullPicture();
  if (!picture) {
    session_.ui().message(Icon::None, "現在表示中のものは縮小処理ができません。", Buttons::Ok);
    return;
  }
  open(std::move(picture), path);
  window.showModal(format("%s[ %s ]", {"画像縮小保存", path}));
  close();
  if (session_.ui().message(Icon::Question, "再オープンしますか？", Buttons::YesNo) ==
      Answer::Yes) {
    session_.runDeletionPass();
    session_.scan().rescanSourceFolder();
    session_.recomposeCaption();  // the rebuilt list is sorted, whatever mode was on before
  }
}

void StretchSave::open(std::shared_ptr<const imaging::Bitmap> picture, const std::string& path) {
  picture_ = std::move(picture);
  path_ = path;
  width_ = previewWidth_ = maxWidth();
  height_ = previewHeight_ = maxHeight();
  preview_ = picture_;
  previewSepia_ = previewBlackAndWhite_ = false;
}

void StretchSave::close() {
  picture_.reset();
  preview_.reset();
}

void StretchSave::Edit1Exit(int width) {
  width_ = std::clamp(width, 0, maxWidth());
  height_ = std::clamp(inProportion(maxHeight(), width_, maxWidth()), 0, maxHeight());
}

void StretchSave::Edit2Exit(int height) {
  height_ = std::clamp(height, 0, maxHeight());
  width_ = std::clamp(inProportion(maxWidth(), height_, maxHeight()), 0, maxWidth());
}

void StretchSave::setLevel(int level) { options_.level = std::clamp(level, 1, 10); }

void StretchSave::CBSepiaClick(bool checked) {
  options_.sepia = checked;
  if (checked) options_.blackAndWhite = false;
}

void StretchSave::CBbwClick(bool checked) {
  options_.blackAndWhite = checked;
  if (checked) options_.sepia = false;
}

void StretchSave::Button1Click() {
  if (!picture_) return;
  const int w = width_;
  const int h = height_;
  if (w < 1 || h < 1) {
    session_.ui().message(
        Icon::Warning,
        session_.tr("縮小後の画像サイズを1以上にしましょう！", "Set a Size of at Least 1 Dot!"),
        Buttons::Ok);
    return;
  }
  BusyCursor busy(session_.ui());
  preview_ = std::make_shared<const imaging::Bitmap>(
      outputs::ReduceWithEffects(*picture_, w, h, options_.sepia, options_.blackAndWhite));
  previewWidth_ = w;
  previewHeight_ = h;
  previewSepia_ = options_.sepia;
  previewBlackAndWhite_ = options_.blackAndWhite;
  // The fields settle as the height field sets them: the width follows the height.
  Edit2Exit(h);
}

bool StretchSave::previewCurrent() const {
  return preview_ && width_ == previewWidth_ && height_ == previewHeight_;
}

bool StretchSave::previewEffectsCurrent() const {
  return previewSepia_ == options_.sepia && previewBlackAndWhite_ == options_.blackAndWhite;
}

void StretchSave::Button2Click() {
  if (!picture_) return;
  Ui& ui = session_.ui();
  // The file is named after the effects ticked now, so its pixels must carry them too.
  if (!previewCurrent() || !previewEffectsCurrent()) {
    ui.message(Icon::None, "[ビュー]してから実行しましょう！", Buttons::Ok);
    return;
  }
  {
    BusyCursor busy(ui);
    const std::string name = outputs::MakeReducedName(path_, previewWidth_, previewHeight_,
                                                      options_.level, options_.sepia);
    // The EXIF data go in with the picture, in one write: data that cannot be written leave
    // no picture without them in place of an earlier save.
    std::string segment;
    if (options_.addExif) {
      exif::TExifInfo info;
      info.setImageFileName(path_);
      dropRotationMark(info.UserComment);
      segment = exif::buildExifSegment(info, preview_->width(), preview_->height());
    }
    outputs::SaveJpegAtLevel(*preview_, name, options_.level, segment);
  }
  ui.message(Icon::None, "処理が終了しました。", Buttons::Ok);
}

std::string StretchSave::sizeText() const {
  return format("%8.0n            %8.0n", {maxWidth(), maxHeight()});
}

}  // namespace sortelia
