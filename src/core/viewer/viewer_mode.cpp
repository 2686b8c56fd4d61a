#include "core/viewer/viewer_mode.h"

#include <algorithm>
#include <charconv>
#include <new>

#include "core/display/image_list.h"
#include "core/viewer/rotation.h"
#include "imaging/quarter_turn.h"
#include "platform/format.h"

namespace sortelia {
namespace {

// Edit1's text as a whole number: blanks around it and a sign are allowed, nothing else.
std::optional<int> parsePosition(const std::string& text) {
  std::size_t b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return std::nullopt;
  const std::size_t e = text.find_last_not_of(" \t") + 1;
  if (text[b] == '+') ++b;
  int value = 0;
  const char* first = text.data() + b;
  const char* last = text.data() + e;
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || first == last) return std::nullopt;
  return value;
}

}  // namespace

ViewerMode::ViewerMode(SortingSession& session, SortingLoop& loop, ViewerPanel& panel, Timer& timer)
    : session_(session), loop_(loop), panel_(panel), timer_(timer) {
  session_.display().events().subscribe(*this);
  session_.setCaptionComposer([this] { recomposeCaption(); });
}

ViewerMode::~ViewerMode() {
  timer_.stop();
  session_.setCaptionComposer(nullptr);
  session_.display().events().unsubscribe(*this);
}

void ViewerMode::recomposeCaption() {
  session_.controls().setCaption(Control::Form1, windowCaption(session_.state(), showing_));
}

void ViewerMode::setPosition(int p) {
  pos_ = std::clamp(p, min_, std::max(min_, max_));
  panel_.setViewPosition(pos_);
}

void ViewerMode::setViewerControls(bool on) {
  ControlPanel& c = session_.controls();
  // Leaving viewer mode unticks the slide show first, which ends a running show.
  if (!on && (showing_ || c.isChecked(Control::CheckShow))) endSlideShow();
  viewerControls_ = on;
  c.setEnabled(Control::Undo1, !on);
  session_.scan().enableSlotButtons(!on);
  panel_.setSlotMenuEnabled(!on);
  for (Control k :
       {Control::Edit1, Control::Label1, Control::CheckShow, Control::Edit2, Control::Label2}) {
    c.setEnabled(k, on);
  }
  if (!on) return;
  const SourceList& list = session_.state().list;
  max_ = list.imageCount;
  if (max_ != 0) {
    min_ = std::clamp(list.sortIndex, 1, max_);
    c.setCaption(Control::Label1, format("( %d - %d )", {min_, max_}));
  } else {
    min_ = 0;
    c.setCaption(Control::Label1, "/ 0");
  }
  setPosition(min_);
}

void ViewerMode::CheckViewClick() {
  session_.waitForTransfers();
  SortingState& st = session_.state();
  ControlPanel& c = session_.controls();
  const bool ticked = c.isChecked(Control::CheckView);
  if (ticked && st.list.sortIndex == 0) {
    session_.ui().setInfoText(
        "　ビューモードに切り替えるには、まず、イメージファイルが存在するフォルダを指定しましょ"
        "う。");
    c.setChecked(Control::CheckView, false);
    return;
  }
  if (ticked) {
    st.list.viewerMode = true;
    setViewerControls(true);
    st.list.viewIndex = pos_;
    if (pos_ >= 1 && pos_ <= static_cast<int>(st.list.images.size())) {
      const std::string path = entryPath(st.list.images[pos_ - 1]);
      if (path == st.comment.path) {
        // The photo data of the picture on display is read again; its rotation stays as shown,
        // so that a turn made in sorting mode is still written by the next viewer step.
        const std::string shownMark = st.comment.rotationMark;
        session_.photoData().GetPdata(path);
        session_.photoData().DspPdata();
        st.comment.rotationMark = shownMark;
      }
    }
    panel_.focusViewPosition();
  } else {
    st.list.viewerMode = false;
    if (st.list.imageCount > 0 && st.list.sortIndex >= 1)
      session_.scan().showListPosition(st.list.sortIndex);
    setViewerControls(false);
  }
  recomposeCaption();
}

void ViewerMode::Edit1KeyPress() {
  if (panel_.viewPositionTyped()) {
    const std::optional<int> typed = parsePosition(panel_.viewPositionText());
    if (!typed) {
      panel_.setViewPosition(pos_);
    } else {
      setPosition(*typed);
      try {
        DSP_ViewModeIMG();
      } catch (...) {
        panel_.setViewPosition(pos_);
        panel_.focusViewPosition();
        throw;
      }
    }
  } else {
    setPosition(pos_ + 1);
    DSP_ViewModeIMG();
  }
  panel_.focusViewPosition();
}

void ViewerMode::UpDown1Click(int step) {
  setPosition(pos_ + step);
  DSP_ViewModeIMG();
  panel_.focusViewPosition();
}

void ViewerMode::DSP_ViewModeIMG() {
  SortingState& st = session_.state();
  ControlPanel& c = session_.controls();
  loop_.comments.RewriteCMT(st.list.viewIndex);
  st.list.viewIndex = pos_;
  c.setEnabled(Control::Edit1, false);
  session_.scan().showListPosition(st.list.viewIndex);
  c.setEnabled(Control::Edit1, true);
}

void ViewerMode::CheckShowClick() {
  const bool ticked = session_.controls().isChecked(Control::CheckShow);
  if (ticked && !showing_) {
    timer_.stop();
    setSlideShow(true);
  } else if (!ticked && showing_) {
    setSlideShow(false);
  }
  recomposeCaption();
}

void ViewerMode::setSlideShow(bool on) {
  ControlPanel& c = session_.controls();
  showing_ = on;
  for (Control k : {Control::Edit1, Control::Edit2, Control::CheckView, Control::Button13,
                    Control::SpeedButton1}) {
    c.setEnabled(k, !on);
  }
  panel_.setMainMenuEnabled(!on);
  if (on) {
    CommentField& field = session_.commentField();
    field.setCommentFieldVisible(false);
    if (c.isChecked(Control::SpeedButton1)) {
      c.setChecked(Control::SpeedButton1, false);
      session_.frame().setStatusAlert(false);
    }
    timer_.start(std::max(1, panel_.intervalSeconds()) * 1000, [this] { Timer1Timer(); });
    return;
  }
  timer_.stop();
  // The controls the mark of the shown entry governs follow that mark again.
  const SourceList& list = session_.state().list;
  if (const std::string* shown = list.shownEntry()) {
    loop_.marks.DelMark(shown->rfind(kDeletionMark, 0) == 0);
  }
}

void ViewerMode::endSlideShow() {
  session_.controls().setChecked(Control::CheckShow, false);
  CheckShowClick();
}

void ViewerMode::Timer1Timer() {
  SortingState& st = session_.state();
  if (!st.list.viewerMode) {  // the list was rebuilt under the show
    leftByRebuild();
    return;
  }
  setPosition(st.list.viewIndex);
  ++st.list.viewIndex;
  if (st.list.viewIndex <= max_) {
    session_.scan().showListPosition(st.list.viewIndex);
  } else if (st.options.loopSlideShow) {
    st.list.viewIndex = min_;
  } else {
    endSlideShow();
    session_.ui().message(Icon::Information, tr("おわり！", "Finished!"), Buttons::Ok);
  }
}

void ViewerMode::leftByRebuild() {
  setViewerControls(false);
  recomposeCaption();
}

void ViewerMode::entryShown(const ShownEntry& e) {
  if (viewerControls_ && !session_.state().list.viewerMode) leftByRebuild();
  if (e.hasPicture()) rfDspImgRotation(session_.state().comment.rotationMark);
}

void ViewerMode::RotationClick(Control item) {
  SortingState& st = session_.state();
  if (st.comment.path.empty() || !session_.display().hasPicture()) return;
  const int angle = rotationOfItem(std::string(controlName(item)));
  DspImgRotation(angle);
  st.comment.rotationMark = markForRotation(rotationOfMark(st.comment.rotationMark) + angle);
}

void ViewerMode::DspImgRotation(int angle) {
  EntryDisplay& display = session_.display();
  const std::shared_ptr<const imaging::Bitmap> shown = display.fullPicture();
  if (!shown) return;
  BusyCursor busy(session_.ui());
  // No room for the turned picture: it stays as it was.
  if (auto turned = imaging::quarterTurned(*shown, angle)) {
    display.replacePicture(std::move(turned), angle);
  } else {
    display.replacePicture(shown, 0);
  }
}

void ViewerMode::rfDspImgRotation(const std::string& mark) {
  // A picture prepared ahead comes already turned by its mark; only the rest is turned here.
  const int angle = ((rotationOfMark(mark) - session_.display().turn()) % 360 + 360) % 360;
  if (angle != 0) DspImgRotation(angle);
}

void ViewerMode::SubDchkBoxClick() {
  ControlPanel& c = session_.controls();
  Ui& ui = session_.ui();
  const bool down = c.isChecked(Control::SubDchkBox);
  panel_.setSubfolderAlert(down);
  const Answer a = ui.message(Icon::Question,
                              down ? "現在の整理場所にあるサブフォルダも整理対象にしますか？"
                                   : "サブフォルダを整理対象から外しますか？",
                              Buttons::YesNo);
  if (a != Answer::Yes) {
    c.setChecked(Control::SubDchkBox, !down);
    panel_.setSubfolderAlert(!down);
    return;
  }
  session_.runDeletionPass();
  session_.state().list.subfolderSwitch = down;
  recomposeCaption();
  session_.scan().rescanSourceFolder();
}

std::vector<std::string> ViewerMode::dragPaths() const {
  const SourceList& list = session_.state().list;
  const std::string* shown = list.shownEntry();
  if (!shown) return {};
  return filesOfPicture(session_.state(), entryPath(*shown));
}

}  // namespace sortelia
