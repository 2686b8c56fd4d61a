#include "core/session/photo_data_presenter.h"

#include <algorithm>

#include "core/display/entry_display.h"
#include "exif/comment_line.h"
#include "platform/format.h"

namespace sortelia {

PhotoDataPresenter::PhotoDataPresenter(SortingState& state, Ui& ui, CommentField& comment)
    : state_(state), ui_(ui), comment_(comment) {}

const exif::CameraParamSet& PhotoDataPresenter::selectedCameraSet() const {
  return cameraParams_
      .table[std::clamp(state_.options.cameraParamIndex, 0, exif::kCameraParamSetCount - 1)];
}

void PhotoDataPresenter::GetPdata(const std::string& path) {
  const Options& o = state_.options;
  photo_.GetPdata(path, o.exifItemMask, selectedCameraSet());
}

void PhotoDataPresenter::DspPdata() {
  const std::string& mask = state_.options.exifItemMask;
  photo_.DspPdata(mask, [this](const std::string& info, const std::string& comment) {
    ui_.setInfoText(info);
    comment_.setCommentText(comment);
  });
  // The overlay shows the shooting date only as item 2 of the information text, "02:撮影日時".
  const bool shootingDateItem = mask.size() > 1 && mask[1] == '1';
  if (shootingDateItem && display_) {
    const exif::TExifInfo& x = photo_.ExifInfo1;
    display_->SetDateLBL(format("%s.%s", {exif::DotDate(x.DateTimeOriginal), x.SubSecTimeOriginal}),
                         "");
  }
}

std::string PhotoDataPresenter::fileDateLine(const std::string& path) const {
  return exif::makecmt(photo_.record, path, false, "", false, true, true, false);
}

void PhotoDataPresenter::entryShown(const ShownEntry& e) {
  if (!e.isPicture) return;
  GetPdata(e.path);
  // Only a picture coming into view takes the rotation of its file; reading it again leaves
  // the turn the person made pending.
  if (exif::isExifItemMode(state_.options.exifItemMask))
    state_.comment.rotationMark = photo_.RotationMark;
  DspPdata();
}

}  // namespace sortelia
